#include "axis_motion.h"

#include <algorithm>
#include <cmath>

namespace kinetra::sim {

namespace {

double speedOf(int percent)
{
    return AxisMotion::kTopSpeed * std::clamp(percent, 1, 100) / 100.0;
}

} // namespace

void AxisMotion::moveTo(qint64 target)
{
    target_ = target;
    hasTarget_ = true;
    mode_ = Mode::Positioning;
}

void AxisMotion::jog(int direction)
{
    jogDirection_ = direction < 0 ? -1 : 1;
    hasTarget_ = false;
    mode_ = Mode::Jogging;
}

void AxisMotion::stop()
{
    if (mode_ == Mode::Idle)
        return;
    // A positioning move that is stopped has not reached its target.
    if (mode_ != Mode::Positioning || std::llabs(target_ - rawPosition()) > 0)
        hasTarget_ = false;
    mode_ = Mode::Stopping;
}

void AxisMotion::referenceRun(double camDistance, qint64 referenceValue)
{
    camLeft_ = std::max(1.0, camDistance);
    referenceValue_ = referenceValue;
    hasTarget_ = false;
    mode_ = Mode::Referencing;
}

void AxisMotion::setPosition(qint64 position)
{
    position_ = static_cast<double>(position);
    target_ = position;
    hasTarget_ = true;
    referenced_ = true;
}

bool AxisMotion::inPosition(const MotionParameters& p) const
{
    return mode_ == Mode::Idle && hasTarget_ && std::llabs(rawPosition() - target_) <= std::max<qint64>(p.tolerance, 0);
}

double AxisMotion::approach(double wanted, double dt, double accel, double decel)
{
    const double before = velocity_;
    const bool speedingUp = std::abs(wanted) > std::abs(velocity_) && (wanted * velocity_ >= 0);
    const double rate = speedingUp ? accel : decel;
    if (std::abs(wanted - velocity_) <= rate * dt)
        velocity_ = wanted;
    else
        velocity_ += (wanted > velocity_ ? rate : -rate) * dt;
    acceleration_ = dt > 0 ? (velocity_ - before) / dt : 0;
    return velocity_;
}

bool AxisMotion::step(double dt, const MotionParameters& p)
{
    if (mode_ == Mode::Idle || dt <= 0) {
        acceleration_ = 0;
        return false;
    }
    const double fast = speedOf(p.fastPercent);
    const double slow = speedOf(p.slowPercent);
    // Ramps as distances (start ramp) and times (stop ramp) turned into accelerations.
    const double accel = fast * fast / (2.0 * std::max<qint64>(p.startRamp, 1));
    const double stopDecel = kTopSpeed / (std::max<qint64>(p.stopRampMs, 1) / 1000.0);
    const double targetDecel = fast * fast / (2.0 * std::max<qint64>(p.targetRamp, 1));

    switch (mode_) {
    case Mode::Idle: break;
    case Mode::Positioning: {
        const double left = static_cast<double>(target_) - position_;
        const double dir = left >= 0 ? 1.0 : -1.0;
        // Slow down in time for the target, creep the last bit at the slow speed.
        const double brake = std::sqrt(2.0 * targetDecel * std::abs(left));
        const double wanted = dir * std::min(fast, std::max(slow, brake));
        approach(wanted, dt, accel, targetDecel);
        const double move = velocity_ * dt;
        if (std::abs(move) >= std::abs(left) || std::abs(left) < 0.5) {
            position_ = static_cast<double>(target_);
            velocity_ = 0;
            mode_ = Mode::Idle;
            return false;
        }
        position_ += move;
        break;
    }
    case Mode::Jogging:
        approach(jogDirection_ * slow, dt, accel, stopDecel);
        position_ += velocity_ * dt;
        break;
    case Mode::Stopping:
        approach(0, dt, accel, stopDecel);
        position_ += velocity_ * dt;
        if (velocity_ == 0)
            mode_ = Mode::Idle;
        break;
    case Mode::Referencing: {
        const double dir = p.referencePositive ? 1.0 : -1.0;
        approach(dir * speedOf(p.referencePercent), dt, accel, stopDecel);
        const double move = velocity_ * dt;
        position_ += move;
        camLeft_ -= std::abs(move);
        if (camLeft_ <= 0) {
            // On the cam: the count starts again at the reference value.
            velocity_ = 0;
            mode_ = Mode::Idle;
            setPosition(referenceValue_);
        }
        return false;
    }
    }

    // The end limits only hold for a referenced axis with a travel range set.
    if (referenced_ && p.limitPos > p.limitNeg && mode_ != Mode::Idle) {
        const double lo = static_cast<double>(p.limitNeg);
        const double hi = static_cast<double>(p.limitPos);
        if ((position_ <= lo && velocity_ < 0) || (position_ >= hi && velocity_ > 0)) {
            position_ = std::clamp(position_, lo, hi);
            velocity_ = 0;
            acceleration_ = 0;
            hasTarget_ = false;
            mode_ = Mode::Idle;
            return true;
        }
    }
    return false;
}

} // namespace kinetra::sim
