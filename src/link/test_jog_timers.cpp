#include "test_jog_timers.h"

#include "drive_com.h"
#include "entry_text.h"
#include "numeric_text.h"
#include "shared_state.h"
#include "window_elements.h"

#include <limits>

namespace kinetra {

namespace {

constexpr int kAddress = 11;
constexpr int kSetPosition = 2101;
constexpr int kCommandWord = 2152;
constexpr int kStartAbsolute = 128;
constexpr int kStop = 129;
constexpr int kFirstPositionBox = 10;
constexpr int kSecondPositionBox = 11;
constexpr int kPauseBox = 12;

} // namespace

TestJogTimers::TestJogTimers(DriveCom& com) : com_(com)
{
    com_.TimerTest().setCallback([this] { testTick(); });
    com_.ManualTimer().setCallback([this] { manualTick(); });
}

long long TestJogTimers::pauseMilliseconds(const QString& pauseText)
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

void TestJogTimers::sendTarget(int box)
{
    normalizeEntry(com_.window(), box, com_.state().decPnt);
    const QString raw = filterChars(com_.window().text(el::txtPara(box)), kRawChars);
    com_.WriteCom(kAddress, kSetPosition, ParameterValue::text(raw));
}

void TestJogTimers::startTest()
{
    SharedState& state = com_.state();
    sendTarget(kFirstPositionBox);
    state.testToggle = false;
    startMove();
    state.testRunning = true;
    com_.TimerTest().setInterval(pauseMilliseconds(com_.window().text(el::txtPara(kPauseBox))));
}

void TestJogTimers::stopTest()
{
    com_.TimerTest().setEnabled(false);
    com_.state().testRunning = false;
}

void TestJogTimers::startMove()
{
    moveOwed_ = true;
    // Queued behind a poll, the move goes out after it: that poll's status block still shows
    // the drive where the last move left it.
    com_.writeThen(kAddress, kCommandWord, ParameterValue::number(kStartAbsolute), [this](WriteOutcome) {
        moveOwed_ = false;
        moveTransaction_ = com_.transactionNumber();
    });
}

void TestJogTimers::inPositionSignal(qint64 statusWord)
{
    if (moveOwed_ || com_.answerNumber() <= moveTransaction_)
        return;
    if (inPosition(statusWord) && com_.state().testRunning)
        com_.TimerTest().setEnabled(true);
}

void TestJogTimers::testTick()
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

void TestJogTimers::armJogStop()
{
    com_.ManualTimer().setEnabled(true);
}

void TestJogTimers::stopJogOnExit(bool jogRunning)
{
    const bool stopDue = com_.ManualTimer().isEnabled();
    com_.ManualTimer().setEnabled(false);
    if (jogRunning || stopDue)
        com_.sendWithoutAnswer(kAddress, kCommandWord, kStop);
}

void TestJogTimers::manualTick()
{
    com_.ManualTimer().setEnabled(false);
    // A stop asked for while another transaction is on the wire is queued behind it, never lost.
    com_.WriteCom(kAddress, kCommandWord, kStop);
}

} // namespace kinetra
