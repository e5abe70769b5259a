#pragma once

#include "drive_com.h"

#include <functional>

namespace kinetra {

// The sequences of writes that the window and kinetra-cli run alike. Each exists once, here.

// Drives below this level take a written value over only when told so with 137.
inline constexpr qint16 kTakeOverLevel = 500;

// A value the user commits (an entry box, kinetra-cli set): written and, on a drive below level
// 500, taken over with 137. The set position (2101) is taken at once, and a code written to the
// command word is no value to take over. A value the drive refused or did not answer is not
// taken over either: there is nothing new to take.
WriteOutcome commitValue(DriveCom& com, int cmd, const ParameterValue& value,
                         SelectionTranslation translation = SelectionTranslation::Translate);

// What the save sequence came to.
enum class SaveOutcome {
    Saved,        // both commands acknowledged
    NotTakenOver, // 137 was not acknowledged: 138 was not sent
    NotSaved,     // 138 was not acknowledged
};

// The save: the drive takes its parameters over with 137 and, a second later, writes them to
// its memory with 138. The pause does not serve the user interface: the drive needs it.
SaveOutcome saveParameters(DriveCom& com);

// What a revert to the values read came to: sent or not (offline), how many values differed
// from the values read and how many of them the drive did not take back (refused, no answer, an
// answer that is neither, or not sent because the link was lost on the way).
struct RevertResult {
    bool sent = false;
    int changed = 0;
    int failed = 0;
};

// Writes each value the drive accepted since the last read back as it was read (or last saved),
// by command number, with the rules of a commit (a drive below level 500 takes each over with
// 137), and hands each value taken back to the display. Offline nothing is sent. When every
// value went back, those values are no longer unsaved; when the read found nothing unsaved, the
// drive then holds nothing unsaved.
RevertResult revertToValuesRead(DriveCom& com);

// The service resets (codes 161-163): the code to the device's command word, then the drive's
// two seconds of restoring while `progress` gets 0-99 percent, then a full read.
void serviceReset(DriveCom& com, int code, const std::function<void(int percent)>& progress);

// The flags of a bulk transfer, set together and cleared together when the scope ends (or at
// end()). A transfer into the drive also marks the drive load, so that the window asks nothing
// while the values arrive; one the file window runs marks that too, so that the link's progress
// and search texts go to that window.
class TransferScope {
public:
    enum class Target { Tool, Drive };
    enum class Runner { FileWindow, Headless };
    TransferScope(SharedState& state, Target target, Runner runner = Runner::FileWindow);
    ~TransferScope() { end(); }
    TransferScope(const TransferScope&) = delete;
    TransferScope& operator=(const TransferScope&) = delete;

    void end();

private:
    SharedState& state_;
    bool fileWindow_;
    bool active_ = true;
};

} // namespace kinetra
