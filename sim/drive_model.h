#pragma once

#include "axis_motion.h"
#include "drive_config.h"
#include "frame_reader.h"
#include "parameter_memory.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <deque>
#include <functional>
#include <random>

namespace kinetra::sim {

// A positioning drive as the tool sees it on its serial line: it hears poll and write frames,
// answers after its latency (optionally paced at the line rate, one character at a time), keeps
// its parameter memory, moves its axes as time passes and misbehaves on cue. It does no I/O and
// owns no timer: the caller feeds it what arrived, lets time pass and collects what it sends.
class DriveModel {
public:
    explicit DriveModel(const DriveConfig& config, double startTime = 0);

    // The tool's characters, heard at `now`.
    void feed(const QByteArray& bytes, double now);
    // When the next character of an answer is on the line; infinity when none is pending.
    double nextOutputTime() const;
    // When the last character of the answers on the line arrives; infinity when none is pending.
    double lastOutputTime() const;
    // Every character whose time has come by `now`.
    QByteArray takeOutput(double now);
    // Lets the axes move and the clocks run up to `now`.
    void advanceTo(double now);
    // Something changes on its own as time passes (an axis moves, a measurement runs).
    bool busy() const;

    // The line went dead (hang-up fault): nothing more is heard or sent.
    bool hungUp() const { return hungUp_; }
    int framesHeard() const { return framesHeard_; }
    int busType() const; // 0 serial only, 1 canOPEN, 2 ProfiBus
    int deviceType() const { return memory_.value(ParameterMemory::kDevice, 1); }
    int softwareVersion() const { return softwareVersion_; }
    const DriveConfig& config() const { return config_; }
    DriveFaults& faults() { return config_.faults; }

    // The value text a poll of `cmd` answers right now (the status block's fields for 2170).
    QByteArray valueText(int cmd);
    quint32 statusWord(int axis) const;
    const AxisMotion& axis(int n) const { return axes_[clampAxis(n) - 1]; }
    const ParameterMemory& memory() const { return memory_; }
    // An error of the drive, by its status bit (16 overcurrent, 32 end limit, 64 short circuit,
    // 128 measuring system); each one counts in its service counter.
    void raiseError(int axis, quint32 bit);

    struct TraceEvent {
        double time;
        bool fromTool; // heard (true) or sent (false)
        QByteArray bytes;
        QString note; // why a frame got no answer, or what was done to an answer
    };
    void setTrace(std::function<void(const TraceEvent&)> trace) { trace_ = std::move(trace); }

private:
    void handle(const FrameReader::Frame& frame, double now);
    QByteArray answerPoll(int cmd, const QByteArray& echo);
    bool acceptWrite(int cmd, const QByteArray& valueText, double now);
    bool runCommand(int axis, qint64 code, double now);
    void send(QByteArray bytes, double now, bool isPollAnswer);
    void flushNoise(double now);
    void trace(double time, bool fromTool, const QByteArray& bytes, const QString& note = {});
    bool faultsActive() const { return framesHeard_ > config_.faults.afterFrames; }
    MotionParameters motionParameters(int axis) const;
    void stepAxes(double dt);
    double demandOf(int axis) const;
    int currentOf(int axis) const;
    int busState() const;
    static int clampAxis(int n) { return n < 1 ? 1 : (n > 3 ? 3 : n); }
    char randomPrintable();

    DriveConfig config_;
    int softwareVersion_;
    ParameterMemory memory_;
    std::array<AxisMotion, 3> axes_;
    std::array<quint32, 3> errors_{};
    std::array<double, 3> peak_{};
    std::mt19937 random_;
    FrameReader reader_;
    QByteArray noise_;

    double start_;
    double now_;
    qint64 operatingMinutesAtStart_ = 0;
    double deafUntil_ = -1;
    double measuringUntil_ = -1;
    double savingUntil_ = -1;
    int framesHeard_ = 0;
    bool hungUp_ = false;

    struct Pending {
        double time;
        char c;
    };
    std::deque<Pending> output_;
    double lineFree_ = 0;
    // When the last character the tool wrote is in, with pacing.
    double incomingFree_ = 0;
    std::function<void(const TraceEvent&)> trace_;
};

} // namespace kinetra::sim
