#pragma once

#include <QtGlobal>

namespace kinetra::sim {

// What the motion of one axis needs from its parameters, in raw units (position in hundredths
// of a millimetre, speeds in percent of the drive's top speed).
struct MotionParameters {
    qint64 limitNeg = 0;            // 3
    qint64 limitPos = 0;            // 4
    qint64 tolerance = 0;           // 9
    qint64 startRamp = 1;           // 11: distance to reach the speed
    int fastPercent = 80;           // 13
    int slowPercent = 15;           // 14
    qint64 stopRampMs = 250;        // 15: time to stop from top speed
    qint64 targetRamp = 1;          // 43: distance over which the axis slows down before the target
    int referencePercent = 20;      // 45
    bool referencePositive = false; // 27
};

// One axis moving over time: positioning to a target, jogging, stopping on a ramp and the
// reference run. Speeds ramp; the end limits stop the axis.
class AxisMotion {
public:
    // Top speed at 100 %: 200 mm/s.
    static constexpr double kTopSpeed = 20000.0;

    enum class Mode { Idle, Positioning, Jogging, Stopping, Referencing };

    void moveTo(qint64 target);
    void jog(int direction);
    void stop();
    // Runs in the configured direction until the reference cam, `camDistance` away, then takes
    // `referenceValue` as its position.
    void referenceRun(double camDistance, qint64 referenceValue);
    void setPosition(qint64 position);

    // Advances by `dt` seconds; returns true when an end limit stopped the axis.
    bool step(double dt, const MotionParameters& p);

    Mode mode() const { return mode_; }
    bool moving() const { return mode_ != Mode::Idle; }
    double position() const { return position_; }
    qint64 rawPosition() const { return qRound64(position_); }
    double velocity() const { return velocity_; }
    double acceleration() const { return acceleration_; }
    bool hasTarget() const { return hasTarget_; }
    qint64 target() const { return target_; }
    bool referenced() const { return referenced_; }
    bool inPosition(const MotionParameters& p) const;

private:
    double approach(double wanted, double dt, double accel, double decel);

    Mode mode_ = Mode::Idle;
    double position_ = 0;
    double velocity_ = 0;
    double acceleration_ = 0;
    qint64 target_ = 0;
    bool hasTarget_ = true;
    int jogDirection_ = 0;
    double camLeft_ = 0;
    qint64 referenceValue_ = 0;
    bool referenced_ = true; // a commissioned drive keeps its count
};

} // namespace kinetra::sim
