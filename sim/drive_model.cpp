#include "drive_model.h"

#include "device_texts.h"
#include "drive_protocol.h"
#include "frame.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kinetra::sim {

namespace {

constexpr int kDevice = ParameterMemory::kDevice;
constexpr double kStep = 0.001;

// The status word's bits for the simulated drive's own states; the rest are the protocol's.
constexpr quint32 kMoving = 1;
constexpr quint32 kReferencing = 2;
constexpr quint32 kJogging = 8;
constexpr quint32 kOvercurrentError = 16;
constexpr quint32 kEndLimitError = 32;
constexpr quint32 kMeasuring = 1u << 25;
constexpr quint32 kSaving = 1u << 27;

int counterOf(quint32 errorBit)
{
    switch (errorBit) {
    case 16: return 37;
    case 32: return 40;
    case 64: return 43;
    case 128: return 46;
    default: return -1;
    }
}

std::optional<int> parseCommand(const QByteArray& text)
{
    if (text.size() != 4)
        return std::nullopt;
    for (const char c : text)
        if (c < '0' || c > '9')
            return std::nullopt;
    return text.toInt();
}

QByteArray field(qint64 v)
{
    v = std::clamp<qint64>(v, -999999999, 9999999999);
    return QByteArray::number(v).rightJustified(10, ' ');
}

} // namespace

DriveModel::DriveModel(const DriveConfig& config, double startTime)
    : config_(config), softwareVersion_(0), memory_(540), random_(config.seed), start_(startTime), now_(startTime),
      lineFree_(startTime), incomingFree_(startTime)
{
    int version = 540;
    int type = 2000;
    for (const auto& [cmd, value] : config_.startValues) {
        if (cmd == protocol::kSoftwareVersion)
            version = static_cast<int>(value);
        if (cmd == protocol::kDeviceType)
            type = static_cast<int>(value);
    }
    softwareVersion_ = config_.softwareVersion.value_or(version);
    memory_ = ParameterMemory(softwareVersion_);
    for (const auto& [cmd, value] : config_.startValues) {
        const int axis = (cmd / 100) % 10;
        const int p = cmd % 100;
        if (!ParameterMemory::valid(axis, p))
            continue;
        const auto kind = memory_.rule(axis, p).kind;
        if (axis != kDevice && p == 0)
            axes_[axis - 1].setPosition(value);
        else if (kind == ParameterMemory::Kind::ReadOnly ||
                 (kind == ParameterMemory::Kind::Stored && memory_.accepts(axis, p, value)))
            memory_.set(axis, p, value);
    }
    memory_.set(kDevice, 1, config_.deviceType.value_or(type));
    memory_.set(kDevice, 2, softwareVersion_);
    // One more power-up.
    memory_.set(kDevice, 30, memory_.value(kDevice, 30) + 1);
    operatingMinutesAtStart_ = memory_.value(kDevice, 29);
}

int DriveModel::busType() const
{
    return busTypeOf(deviceType());
}

int DriveModel::busState() const
{
    // Without a bus master to talk to, the bus comes up on its own after power-up, as a drive
    // on a commissioned machine does.
    const double up = now_ - start_;
    switch (busType()) {
    case 1:
        if (config_.busState)
            return *config_.busState;
        return up < 1 ? 0 : (up < 3 ? 127 : 5);
    case 2:
        if (config_.busState)
            return *config_.busState;
        return up < 1 ? 0 : (up < 2 ? 1 : (up < 3 ? 2 : 4));
    default: return 0;
    }
}

void DriveModel::feed(const QByteArray& bytes, double now)
{
    advanceTo(now);
    double at = now;
    for (const char c : bytes) {
        if (hungUp_)
            return;
        // With pacing the tool's characters cross the line one after another as well: a frame
        // is heard when its last character is in, not when the burst was written.
        if (config_.pacing) {
            incomingFree_ = std::max(now, incomingFree_) + kCharacterTime;
            at = incomingFree_;
            advanceTo(at);
        }
        const int skippedBefore = reader_.skipped();
        const auto frame = reader_.take(c);
        if (reader_.skipped() != skippedBefore && c != ctl::EOT)
            noise_ += c;
        if (frame) {
            flushNoise(at);
            handle(*frame, at);
        }
    }
    flushNoise(at);
}

void DriveModel::flushNoise(double now)
{
    if (!noise_.isEmpty())
        trace(now, true, noise_, QStringLiteral("noise"));
    noise_.clear();
}

void DriveModel::handle(const FrameReader::Frame& frame, double now)
{
    if (frame.address != config_.address) {
        trace(now, true, frame.raw, QStringLiteral("for another address"));
        return;
    }
    if (frame.type == FrameReader::Frame::Type::Write && !frame.checkOk) {
        trace(now, true, frame.raw, QStringLiteral("wrong check character, ignored"));
        return;
    }
    if (now < deafUntil_) {
        trace(now, true, frame.raw, QStringLiteral("busy writing memory, not heard"));
        return;
    }
    ++framesHeard_;
    const DriveFaults& f = config_.faults;
    if (f.hangUpAfterFrames >= 0 && framesHeard_ > f.hangUpAfterFrames) {
        trace(now, true, frame.raw, QStringLiteral("hang-up"));
        hungUp_ = true;
        output_.clear();
        return;
    }
    const auto cmd = parseCommand(frame.command);
    if (faultsActive() && (f.silent || (cmd && f.silentFor.contains(*cmd)))) {
        trace(now, true, frame.raw, QStringLiteral("silent"));
        return;
    }
    trace(now, true, frame.raw);
    if (frame.type == FrameReader::Frame::Type::Poll) {
        if (!cmd)
            return;
        send(answerPoll(*cmd, frame.command), now, true);
        return;
    }
    const bool ok = cmd && acceptWrite(*cmd, frame.value, now);
    send(QByteArray(1, ok ? ctl::ACK : ctl::NAK), now, false);
}

void DriveModel::send(QByteArray bytes, double now, bool isPollAnswer)
{
    QString note;
    double delay = config_.latency;
    if (faultsActive()) {
        const DriveFaults& f = config_.faults;
        if (isPollAnswer && f.wrongCheck && !bytes.isEmpty()) {
            char& check = bytes[bytes.size() - 1];
            check = static_cast<char>(check == 32 ? 33 : check - 1);
            note += QStringLiteral(" wrong check");
        }
        if (f.noiseRate > 0 && std::uniform_real_distribution<double>(0, 1)(random_) < f.noiseRate) {
            // Inside the text of a poll answer, where the check character catches it; before a
            // one-character answer.
            const qsizetype at =
                bytes.size() < 3 ? 0 : std::uniform_int_distribution<qsizetype>(1, bytes.size() - 2)(random_);
            bytes.insert(at, randomPrintable());
            note += QStringLiteral(" noise");
        }
        if (f.garbageBefore > 0) {
            QByteArray garbage;
            for (int i = 0; i < f.garbageBefore; ++i)
                garbage += randomPrintable();
            bytes.prepend(garbage);
            note += QStringLiteral(" garbage");
        }
        if (f.slowAnswer > 0) {
            delay = f.slowAnswer;
            note += QStringLiteral(" slow");
        }
    }
    double t = std::max(now + delay, lineFree_);
    trace(t, false, bytes, note.trimmed());
    for (const char c : bytes) {
        if (config_.pacing)
            t += kCharacterTime;
        output_.push_back({t, c});
    }
    lineFree_ = t;
}

char DriveModel::randomPrintable()
{
    // Printable characters only: noise on the line, but never a control character of the
    // protocol.
    return static_cast<char>(std::uniform_int_distribution<int>(33, 126)(random_));
}

void DriveModel::trace(double time, bool fromTool, const QByteArray& bytes, const QString& note)
{
    if (trace_)
        trace_({time, fromTool, bytes, note});
}

double DriveModel::nextOutputTime() const
{
    return output_.empty() || hungUp_ ? std::numeric_limits<double>::infinity() : output_.front().time;
}

double DriveModel::lastOutputTime() const
{
    return output_.empty() || hungUp_ ? std::numeric_limits<double>::infinity() : output_.back().time;
}

QByteArray DriveModel::takeOutput(double now)
{
    QByteArray out;
    while (!output_.empty() && output_.front().time <= now) {
        out += output_.front().c;
        output_.pop_front();
    }
    return out;
}

bool DriveModel::busy() const
{
    return std::any_of(axes_.begin(), axes_.end(), [](const AxisMotion& a) { return a.moving(); }) ||
           now_ < measuringUntil_;
}

MotionParameters DriveModel::motionParameters(int axis) const
{
    MotionParameters p;
    p.limitNeg = memory_.value(axis, 3);
    p.limitPos = memory_.value(axis, 4);
    p.tolerance = memory_.value(axis, 9);
    p.startRamp = memory_.value(axis, 11);
    p.fastPercent = static_cast<int>(memory_.value(axis, 13));
    p.slowPercent = static_cast<int>(memory_.value(axis, 14));
    p.stopRampMs = memory_.value(axis, 15);
    p.targetRamp = memory_.value(axis, 43);
    p.referencePercent = static_cast<int>(memory_.value(axis, 45));
    p.referencePositive = memory_.value(axis, 27) != 0;
    return p;
}

void DriveModel::advanceTo(double now)
{
    if (!(now > now_))
        return;
    if (!busy()) {
        now_ = now;
        return;
    }
    // Steps of at most 1 ms; a remainder below a nanosecond is not worth a step (and would not
    // move a clock that has run for hours).
    while (now - now_ > 1e-9) {
        const double dt = std::min(kStep, now - now_);
        stepAxes(dt);
        now_ += dt;
        if (measuringUntil_ >= 0 && now_ >= measuringUntil_) {
            // The measured top frequency of the measuring system.
            const qint64 measured = 25000 + std::uniform_int_distribution<int>(-250, 250)(random_);
            memory_.set(1, 40, measured);
            measuringUntil_ = -1;
        }
        if (!busy())
            break;
    }
    now_ = now;
}

void DriveModel::stepAxes(double dt)
{
    for (int i = 0; i < 3; ++i) {
        AxisMotion& a = axes_[i];
        if (!a.moving())
            continue;
        if (a.step(dt, motionParameters(i + 1)))
            raiseError(i + 1, kEndLimitError);
        // A current limit below what the motion needs trips the overcurrent protection.
        if (a.moving() && demandOf(i + 1) > memory_.value(i + 1, 51)) {
            raiseError(i + 1, kOvercurrentError);
            a.stop();
        }
        peak_[i] = std::max<double>(peak_[i], currentOf(i + 1));
    }
}

double DriveModel::demandOf(int axis) const
{
    // Holding current at rest; more with speed and much more while accelerating (hundredths
    // of an ampere).
    const AxisMotion& a = axes_[axis - 1];
    const double speed = std::abs(a.velocity()) / AxisMotion::kTopSpeed;
    const double accel = std::min(1.0, std::abs(a.acceleration()) / 200000.0);
    return 20 + (a.moving() ? 60 + 200 * speed + 400 * accel : 0);
}

int DriveModel::currentOf(int axis) const
{
    // What flows is limited by the current limit (parameter 51).
    return static_cast<int>(std::min<double>(demandOf(axis), std::max<qint64>(memory_.value(axis, 51), 20)));
}

void DriveModel::raiseError(int axis, quint32 bit)
{
    axis = clampAxis(axis);
    if ((bit & status::kErrorBits) == 0 || (errors_[axis - 1] & bit))
        return;
    errors_[axis - 1] |= bit;
    const int counter = counterOf(bit);
    if (counter >= 0)
        memory_.set(kDevice, counter, memory_.value(kDevice, counter) + 1);
}

quint32 DriveModel::statusWord(int axis) const
{
    axis = clampAxis(axis);
    const AxisMotion& a = axes_[axis - 1];
    const MotionParameters p = motionParameters(axis);
    quint32 word = errors_[axis - 1];
    if (a.moving())
        word |= kMoving;
    if (a.mode() == AxisMotion::Mode::Referencing)
        word |= kReferencing;
    if (a.mode() == AxisMotion::Mode::Jogging)
        word |= kJogging;
    const bool inPosition = a.inPosition(p);
    if (inPosition)
        word |= status::kInPosition;

    // Inputs: as configured; besides, inputs 2 and 3, when set up as end switches, see the axis
    // at its end limits. Drives from 5.00 on report input 3 in bit 512 and input 2 in 1024.
    const bool referencedRange = a.referenced() && p.limitPos > p.limitNeg;
    const bool in2 = memory_.value(axis, 47) == 2 && referencedRange && a.rawPosition() <= p.limitNeg;
    const bool in3 = memory_.value(axis, 48) == 2 && referencedRange && a.rawPosition() >= p.limitPos;
    const quint32 in2Bit = softwareVersion_ >= 500 ? status::kInputBit1024 : status::kInputBit512;
    const quint32 in3Bit = softwareVersion_ >= 500 ? status::kInputBit512 : status::kInputBit1024;
    if (in2 || (config_.inputs & 2))
        word |= in2Bit;
    if (in3 || (config_.inputs & 4))
        word |= in3Bit;
    if (config_.inputs & 1)
        word |= status::kInput1;

    // Output function: 0 in position, 1 brake released and 2 moving (both while moving), 3 none.
    switch (memory_.value(axis, 49)) {
    case 0:
        if (inPosition)
            word |= status::kOutput;
        break;
    case 1:
    case 2:
        if (a.moving())
            word |= status::kOutput;
        break;
    default: break;
    }
    if (!config_.emergencyStopOpen)
        word |= status::kEmergencyCircuitClosed;
    if (now_ < measuringUntil_)
        word |= kMeasuring;
    if (now_ < savingUntil_)
        word |= kSaving;
    if (busType() == 1)
        word |= static_cast<quint32>(busState() & 0xFF) << 16;
    return word;
}

QByteArray DriveModel::valueText(int cmd)
{
    return answerPoll(cmd, QByteArray::number(cmd)).mid(5).chopped(2);
}

QByteArray DriveModel::answerPoll(int cmd, const QByteArray& echo)
{
    const int axis = (cmd / 100) % 10;
    const int p = cmd % 100;
    if (!ParameterMemory::valid(axis, p))
        return answerFrame(echo, "0");
    if (axis == kDevice) {
        switch (p) {
        case 11: return answerFrame(echo, QByteArray::number(busState()));
        case 29: {
            const qint64 minutes = operatingMinutesAtStart_ + static_cast<qint64>((now_ - start_) / 60.0);
            return answerFrame(echo, QByteArray::number(minutes));
        }
        case protocol::kCommandWordParameter: return answerFrame(echo, "0");
        default: return answerFrame(echo, QByteArray::number(memory_.value(axis, p)));
        }
    }
    const AxisMotion& a = axes_[axis - 1];
    // Current and PWM with a little measurement noise, the PWM centred on 127.
    const int noise = std::uniform_int_distribution<int>(-2, 2)(random_);
    const int current = std::max(0, currentOf(axis) + noise);
    const int pwm = std::clamp(127 + static_cast<int>(std::lround(a.velocity() / AxisMotion::kTopSpeed * 100)) +
                                   (a.moving() ? noise : 0),
                               0, 255);
    const int peak = std::max(current, static_cast<int>(peak_[axis - 1]));
    switch (p) {
    case 0: return answerFrame(echo, QByteArray::number(a.rawPosition()));
    // A command word reads 0 once the command is taken.
    case protocol::kCommandWordParameter: return answerFrame(echo, "0");
    case 70: {
        // Status block: PWM plus the controller's correction times 196608, current plus peak
        // times 65536, actual position, status word, and a spare field.
        const qint64 correction = std::min<qint64>(50, std::llround(std::abs(a.acceleration()) / 20000.0));
        QByteArray fields = field(pwm + correction * 196608) + field(current + qint64(peak) * 65536) +
                            field(a.rawPosition()) + field(statusWord(axis)) + field(0);
        peak_[axis - 1] = current;
        return answerFrame(echo, fields);
    }
    case 80: return answerFrame(echo, QByteArray::number(statusWord(axis)));
    case 82: return answerFrame(echo, QByteArray::number(current));
    case 83: return answerFrame(echo, QByteArray::number(pwm));
    case 84: {
        peak_[axis - 1] = current;
        return answerFrame(echo, QByteArray::number(peak));
    }
    default: return answerFrame(echo, QByteArray::number(memory_.value(axis, p)));
    }
}

} // namespace kinetra::sim
