#include "motion_timers.h"

#include "drive_com.h"
#include "drive_protocol.h"
#include "entry_text.h"
#include "numeric_text.h"
#include "shared_state.h"
#include "window_elements.h"

#include <limits>

namespace kinetra {

namespace {

constexpr int kFirstPositionBox = 10;
constexpr int kSecondPositionBox = 11;
constexpr int kPauseBox = 12;

} // namespace

MotionTimers::MotionTimers(DriveCom& com, WindowElements& window) : com_(com), window_(window)
{
    com_.TimerTest().setCallback([this] { testTick(); });
    com_.ManualTimer().setCallback([this] { manualTick(); });
}

long long MotionTimers::pauseMilliseconds(const QString& pauseText)
{
    const QString digits = filterChars(pauseText, kDigitChars);
    // Digits beyond what a timer can wait are simply the longest pause there is.
    constexpr long long kLongest = std::numeric_limits<int>::max();
    long long seconds = 0;
    for (const QChar c : digits) {
        seconds = seconds * 10 + (c.unicode() - '0');
        if (seconds * 1000 > kLongest)
            return kLongest;
    }
    return seconds * 1000;
}

void MotionTimers::sendTarget(int box)
{
    normalizeEntry(window_, box, com_.state().decPnt);
    const QString raw = filterChars(window_.text(el::txtPara(box)), kRawChars);
    com_.WriteCom(protocol::kAddress, protocol::kSetPosition, ParameterValue::text(raw));
}

void MotionTimers::startTest()
{
    SharedState& state = com_.state();
    sendTarget(kFirstPositionBox);
    state.testToggle = false;
    startMove();
    state.testRunning = true;
    com_.TimerTest().setInterval(pauseMilliseconds(window_.text(el::txtPara(kPauseBox))));
}

void MotionTimers::stopTest()
{
    com_.TimerTest().setEnabled(false);
    com_.state().testRunning = false;
}

void MotionTimers::startMove()
{
    moveOwed_ = true;
    // Queued behind a poll, the move goes out after it: that poll's status block still shows
    // the drive where the last move left it.
    const ParameterValue start = ParameterValue::number(command::kStartAbsolute);
    com_.writeThen(protocol::kAddress, protocol::kCommandWord, start, [this](WriteOutcome) {
        moveOwed_ = false;
        moveTransaction_ = com_.transactionNumber();
    });
}

void MotionTimers::inPositionSignal(qint64 statusWord)
{
    if (moveOwed_ || com_.answerNumber() <= moveTransaction_)
        return;
    if (inPosition(statusWord) && com_.state().testRunning)
        com_.TimerTest().setEnabled(true);
}

void MotionTimers::testTick()
{
    // One move per in-position signal.
    com_.TimerTest().setEnabled(false);
    SharedState& state = com_.state();
    if (state.testToggle) {
        sendTarget(kFirstPositionBox);
        state.testToggle = false;
    } else {
        sendTarget(kSecondPositionBox);
        state.testToggle = true;
    }
    startMove();
}

void MotionTimers::armJogStop()
{
    com_.ManualTimer().setEnabled(true);
}

void MotionTimers::stopJogOnExit(bool jogRunning)
{
    const bool stopDue = com_.ManualTimer().isEnabled();
    com_.ManualTimer().setEnabled(false);
    if (jogRunning || stopDue)
        com_.sendWithoutAnswer(protocol::kAddress, protocol::kCommandWord, command::kStop);
}

void MotionTimers::manualTick()
{
    com_.ManualTimer().setEnabled(false);
    // A stop asked for while another transaction is on the wire is queued behind it, never lost.
    com_.WriteCom(protocol::kAddress, protocol::kCommandWord, command::kStop);
}

} // namespace kinetra
