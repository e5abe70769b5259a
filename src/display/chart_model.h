#pragma once

#include "chart_recording.h"

#include <QString>

#include <array>
#include <optional>

namespace kinetra {

class ChartSurface;
class DisplayWindow;
class WindowElements;
struct SharedState;

// The diagnosis chart: motor current and PWM output, one sample per status block. Until the
// chart is full each sample adds one segment per trace; from then on every sample scrolls the
// chart left by one sample, redrawing grid, zero line and the stored samples. Every sample the
// chart records goes to the window's recording too, with the position and status word shown
// with it; while the user holds the chart (the pause button) nothing is drawn or recorded.
class ChartModel {
public:
    static constexpr int kHistory = 101;
    // One sample advances the chart by this many window units; the grid has the same pitch.
    static constexpr double kStep = 100;
    // The zero line lies this far above the bottom edge.
    static constexpr double kZeroAbove = 100;

    ChartModel(SharedState& state, WindowElements& window, DisplayWindow& extra);

    // 2182: the motor current's display text ("1,23"): the boxes, and current x 100 for the chart.
    void motorCurrent(const QString& text);
    // 2183: the PWM output, centred on 127: its distance from 127, x 4, for the chart.
    void pwmOutput(const QString& text);
    // 2180: the status word, as shown; a sample records the last one.
    void statusWord(const QString& text);
    // 2170: one sample of the chart clock, with the actual position's display text.
    void sample(const QString& position = {});

    // The window's trace boxes and multiplier boxes, as the user sets them: trace 0 is the
    // current, 1 the PWM output. A multiplier without a digit leaves its trace out; so does a
    // cleared trace box. Both traces start switched on at 1.
    void setTrace(int trace, bool on, const QString& multiplier);

    double chartX() const { return chartX_; }
    int chartCount() const { return chartCount_; }
    bool chartFull() const { return chartFull_; }
    double lastCurrent() const { return lastCurrent_; }
    double lastPwm() const { return lastPwm_; }

private:
    struct Trace {
        bool on = false;
        double factor = 0;
    };
    Trace trace(int index) const;
    void scroll(ChartSurface& surface, const Trace& current, const Trace& pwm, double zero);
    void store(std::array<double, kHistory>& history, double value) const;

    SharedState& state_;
    WindowElements& window_;
    DisplayWindow& extra_;

    struct TraceSetting {
        bool on = true;
        std::optional<double> factor = 1;
    };
    std::array<TraceSetting, 2> traces_{};

    double chartX_ = 0;
    int chartCount_ = 0;
    bool chartFull_ = false;
    double chartPrevX_ = 0;
    double chartNextX_ = 0;
    double lastCurrent_ = 0;
    double prevCurrent_ = 0;
    double lastPwm_ = 0;
    double prevPwm_ = 0;
    double curY0_ = 0;
    double curY1_ = 0;
    double pwmY0_ = 0;
    double pwmY1_ = 0;
    std::array<double, kHistory> currentHistory_{};
    std::array<double, kHistory> pwmHistory_{};
    // The values of the sample being completed, as the window shows them.
    ChartSample shown_;
};

} // namespace kinetra
