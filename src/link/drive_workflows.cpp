#include "drive_workflows.h"

#include "drive_protocol.h"
#include "shared_state.h"

#include <algorithm>

namespace kinetra {

namespace {

using protocol::kAddress;
using protocol::kCommandWord;
constexpr double kSavePause = 1.0;
constexpr double kResetSeconds = 2.0;
constexpr double kProgressStep = 0.05;
constexpr double kAfterResetPause = 0.3;

bool isCommandWord(int cmd)
{
    return cmd % 100 == protocol::kCommandWordParameter;
}

} // namespace

WriteOutcome commitValue(DriveCom& com, int cmd, const ParameterValue& value, SelectionTranslation translation)
{
    const WriteOutcome outcome = com.WriteCom(kAddress, cmd, value, translation);
    const bool taken = outcome != WriteOutcome::Refused && outcome != WriteOutcome::NoAnswer;
    if (taken && com.state().firmwareLevel < kTakeOverLevel && cmd != protocol::kSetPosition && !isCommandWord(cmd))
        com.WriteCom(kAddress, kCommandWord, command::kTakeOver);
    return outcome;
}

SaveOutcome saveParameters(DriveCom& com)
{
    // A drive that did not take the parameters over is not told to save them; its refusal or
    // the dead link has been reported.
    if (com.WriteCom(kAddress, kCommandWord, command::kTakeOver) != WriteOutcome::Accepted)
        return SaveOutcome::NotTakenOver;
    com.clock().waitBlocking(kSavePause);
    if (com.WriteCom(kAddress, kCommandWord, command::kSave) != WriteOutcome::Accepted)
        return SaveOutcome::NotSaved;
    com.valuesSaved();
    return SaveOutcome::Saved;
}

RevertResult revertToValuesRead(DriveCom& com)
{
    SharedState& state = com.state();
    RevertResult result;
    const auto online = [&] { return state.comOnline == 1 && !com.clock().quitting(); };
    if (!online())
        return result;
    result.sent = true;
    const QList<int> changed = state.unsaved.changed(state.table);
    result.changed = static_cast<int>(changed.size());
    for (const int cmd : changed) {
        // A link lost on the way takes nothing more: offline, a write would only change the table.
        if (!online()) {
            ++result.failed;
            continue;
        }
        const ParameterValue value = state.unsaved.valueRead(cmd);
        // The values read are the drive's own: a selection of parameter 25 is no list position.
        if (commitValue(com, cmd, value, SelectionTranslation::Keep) != WriteOutcome::Accepted) {
            ++result.failed;
            continue;
        }
        QString shown = value.toText();
        com.showValues(shown, cmd);
    }
    if (result.failed == 0)
        com.unsavedSettled();
    return result;
}

void serviceReset(DriveCom& com, int code, const std::function<void(int percent)>& progress)
{
    Clock& clock = com.clock();
    com.WriteCom(kAddress, protocol::kDeviceCommandWord, code);
    // The drive restores its settings meanwhile.
    const double start = clock.now();
    for (double elapsed = 0; elapsed < kResetSeconds && !clock.quitting(); elapsed = clock.now() - start) {
        const int percent = static_cast<int>(40 * elapsed);
        if (percent < 100 && progress)
            progress(percent);
        clock.waitServing(std::min(kProgressStep, kResetSeconds - elapsed));
    }
    if (progress)
        progress(0);
    com.readParameter();
    clock.waitServing(kAfterResetPause);
}

TransferScope::TransferScope(SharedState& state, Target target, Runner runner)
    : state_(state), fileWindow_(runner == Runner::FileWindow)
{
    state_.transferActive = true;
    if (fileWindow_)
        state_.fileWindowActive = true;
    if (target == Target::Drive)
        state_.driveLoadActive = 1;
}

void TransferScope::end()
{
    if (!active_)
        return;
    active_ = false;
    state_.driveLoadActive = 0;
    if (fileWindow_)
        state_.fileWindowActive = false;
    state_.transferActive = false;
    state_.transferCount = 0;
}

} // namespace kinetra
