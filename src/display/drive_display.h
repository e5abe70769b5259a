#pragma once

#include "chart_model.h"
#include "device_status.h"
#include "display_hand_over.h"
#include "status_word.h"

namespace kinetra {

// The values with logic of their own, as showValues hands them over: the drive's identification
// and field-bus state, the status word with its lamps, currents, PWM output, the chart and the
// input/output captions.
class DriveDisplay : public DisplayHandOver {
public:
    DriveDisplay(SharedState& state, WindowElements& window, DisplayWindow& extra);

    void deviceType(const QString& text) override { device_.deviceType(text); }
    void softwareVersion(const QString& text) override { device_.softwareVersion(text); }
    void operatingTime(const QString& text) override { device_.operatingTime(text); }
    void fieldBusState(const QString& text) override { device_.fieldBusState(text); }
    void positionChart(const QString& text) override { chart_.sample(text); }
    void statusWord(const QString& text) override
    {
        status_.show(text);
        chart_.statusWord(text);
    }
    void motorCurrent(const QString& text) override { chart_.motorCurrent(text); }
    void pwmOutput(const QString& text) override { chart_.pwmOutput(text); }
    void ioCaption(int line, const QString& text) override;

    // Every status word that is a number, for the endurance test's re-arm on bit value 4.
    void setOnStatusWord(std::function<void(qint64 statusWord)> callback)
    {
        status_.onStatusWord = std::move(callback);
    }

    DeviceStatus& device() { return device_; }
    StatusWordDisplay& status() { return status_; }
    ChartModel& chart() { return chart_; }

private:
    WindowElements& window_;
    DisplayWindow& extra_;
    DeviceStatus device_;
    StatusWordDisplay status_;
    ChartModel chart_;
};

} // namespace kinetra
