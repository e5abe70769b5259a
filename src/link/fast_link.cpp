#include "drive_com.h"

#include "fast_link_settings.h"
#include "frame.h"
#include "serial_port.h"
#include "settings_store.h"

#include <algorithm>
#include <utility>

namespace kinetra {

namespace {

// A gap beyond this many character times is no longer a breath but a stall.
constexpr double kMostGapCharacters = 100;
// More trouble than this in one full read and the fast link falls back.
constexpr int kTroubleAllowed = 1;

} // namespace

void DriveCom::setFastLink(bool on, double gapCharacters)
{
    fast_ = on;
    if (on)
        fellBack_ = false;
    gapSeconds_ = std::clamp(gapCharacters, 0.0, kMostGapCharacters) * protocol::kCharacterSeconds;
    fastLinkTroubles_ = 0;
    answerOwed_ = false;
}

QByteArray DriveCom::receiveAll()
{
    // The trace gets an answer in one piece, whether the fast link read it in several or not.
    QByteArray data = std::exchange(pending_, {});
    data += port_.readAll();
    if (wireObserver_ && !data.isEmpty())
        wireObserver_(false, data);
    return data;
}

void DriveCom::waitForGap()
{
    if (!fast_)
        return;
    const double rest = answerEndedAt_ + gapSeconds_ - clock_.now();
    if (rest > 0)
        clock_.waitBlocking(rest);
}

void DriveCom::awaitCompleteAnswer(double most, bool (*complete)(const QByteArray&))
{
    // The rest of the answer is read as it arrives; the wait ends when it is complete, and no
    // later than the classic settle would have.
    const auto done = [this, complete] {
        pending_ += port_.readAll();
        return !port_.isOpen() || complete(pending_);
    };
    if (!done())
        clock_.waitServing(most, done);
    answerWaitEnded(complete(pending_));
}

void DriveCom::answerWaitEnded(bool complete)
{
    if (!fast_)
        return;
    answerEndedAt_ = clock_.now();
    answerOwed_ = !complete;
}

void DriveCom::noteFastLinkTrouble()
{
    if (!fast_ || ++fastLinkTroubles_ <= kTroubleAllowed)
        return;
    fast_ = false;
    fellBack_ = true;
    if (traceNote_)
        traceNote_("fast link off: the drive answered late, garbled or not at all more than once; "
                   "classic timing for the rest of the session");
    observer_.fastLinkFellBack();
}

bool answerFrameComplete(const QByteArray& received)
{
    // An answer ends with its ETX and the check character after it; the value holds no ETX.
    const qsizetype etx = received.indexOf(ctl::ETX);
    return etx >= 0 && etx + 1 < received.size();
}

bool writeAnswerComplete(const QByteArray& received)
{
    return !received.isEmpty() && (received.front() == ctl::ACK || received.front() == ctl::NAK);
}

bool storedFastLink(const SettingsStore& settings)
{
    return settings.value(kApplicationName, kFastLinkSection, kFastLinkKey).trimmed() == QLatin1String("1");
}

void applyFastLink(DriveCom& com, const SettingsStore& settings, bool on)
{
    bool ok = false;
    const double gap = settings.value(kApplicationName, kFastLinkSection, kFastLinkGapKey).trimmed().toDouble(&ok);
    com.setFastLink(on, ok && gap >= 0 ? gap : DriveCom::kFastLinkGapCharacters);
}

} // namespace kinetra
