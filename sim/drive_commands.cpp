// What the drive does with a write: parameters within their range, command codes on the command
// word.

#include "drive_model.h"

#include "drive_protocol.h"

#include <random>

namespace kinetra::sim {

namespace {

constexpr int kDevice = ParameterMemory::kDevice;
constexpr double kMeasureSeconds = 2.0;
constexpr double kSaveFlagSeconds = 1.0;

// A whole number as the drive reads it from a write frame: optional minus, 1-18 digits.
std::optional<qint64> parseValue(const QByteArray& text)
{
    const QByteArray digits = text.startsWith('-') ? text.mid(1) : text;
    if (digits.isEmpty() || digits.size() > 18)
        return std::nullopt;
    for (const char c : digits)
        if (c < '0' || c > '9')
            return std::nullopt;
    return text.toLongLong();
}

} // namespace

bool DriveModel::acceptWrite(int cmd, const QByteArray& valueText, double now)
{
    if (faultsActive() && config_.faults.refuseWrites)
        return false;
    const auto value = parseValue(valueText);
    const int axis = (cmd / 100) % 10;
    const int p = cmd % 100;
    if (!value || !ParameterMemory::valid(axis, p) || !memory_.accepts(axis, p, *value))
        return false;
    switch (memory_.rule(axis, p).kind) {
    case ParameterMemory::Kind::Command: return runCommand(axis, *value, now);
    case ParameterMemory::Kind::Live:
        // Writing the status word acknowledges the drive's errors; other measured values are
        // taken and ignored, so loading a parameter file that holds them does no harm.
        if (axis != kDevice && p == 80)
            errors_[axis - 1] = 0;
        return true;
    case ParameterMemory::Kind::ReadOnly: return false;
    case ParameterMemory::Kind::Stored: break;
    }
    memory_.set(axis, p, *value);
    // A new bus address is written to non-volatile memory at once.
    if (axis == kDevice && p == 10)
        deafUntil_ = now + config_.saveBusySeconds;
    return true;
}

bool DriveModel::runCommand(int axis, qint64 code, double now)
{
    // The device's command word acts on axis 1.
    const int a = axis == kDevice ? 1 : axis;
    AxisMotion& motion = axes_[a - 1];
    const auto startMotion = [&] { errors_[a - 1] = 0; };
    // With the emergency-stop circuit open the power stage is off: nothing may start moving.
    const bool starts = code == command::kStartAbsolute ||
                        (code >= command::kStepPositive && code <= command::kJogNegative) ||
                        code == command::kReferenceRun;
    if (starts && config_.emergencyStopOpen)
        return false;
    switch (code) {
    case 0:
    case command::kTakeOver: // take the values over; nothing to do for a drive that uses them at once
        return true;
    case command::kStartAbsolute:
        startMotion();
        motion.moveTo(memory_.value(a, 1));
        return true;
    case command::kStop: motion.stop(); return true;
    case command::kStepPositive:
    case command::kStepNegative: {
        startMotion();
        const qint64 width = memory_.value(a, 16);
        motion.moveTo(motion.rawPosition() + (code == command::kStepPositive ? width : -width));
        return true;
    }
    case command::kJogPositive:
    case command::kJogNegative:
        startMotion();
        motion.jog(code == command::kJogPositive ? 1 : -1);
        return true;
    case command::kReferenceRun: {
        startMotion();
        // The reference cam lies 5-30 mm away in the configured direction.
        const double cam = std::uniform_real_distribution<double>(500, 3000)(random_);
        motion.referenceRun(cam, memory_.value(a, 2));
        return true;
    }
    case command::kSave:
        savingUntil_ = now + kSaveFlagSeconds;
        // Writing the non-volatile memory keeps the drive from listening for a moment.
        deafUntil_ = now + config_.saveBusySeconds;
        return true;
    case command::kSaveParameters: savingUntil_ = now + kSaveFlagSeconds; return true;
    case command::kSetReference: motion.setPosition(memory_.value(a, 2)); return true;
    case command::kMeasure: measuringUntil_ = now + kMeasureSeconds; return true;
    case command::kFactorySettingsDevice: memory_.resetDevice(); return true;
    case command::kFactorySettingsAxes: memory_.resetAxes(); return true;
    case command::kClearServiceCounters:
        for (const int counter : {25, 30, 37, 40, 43, 46})
            memory_.set(kDevice, counter, 0);
        return true;
    default: return false;
    }
}

} // namespace kinetra::sim
