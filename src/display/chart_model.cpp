#include "chart_model.h"

#include "display_numbers.h"
#include "display_window.h"
#include "shared_state.h"

#include <cmath>
#include <limits>

namespace kinetra {

ChartModel::ChartModel(SharedState& state, WindowElements& window, DisplayWindow& extra)
    : state_(state), window_(window), extra_(extra)
{
}

void ChartModel::store(std::array<double, kHistory>& history, double value) const
{
    // The newest sample goes into its own slot and the one after; the scroll reads one ahead.
    for (int i : {chartCount_, chartCount_ + 1})
        if (i >= 0 && i < kHistory)
            history[static_cast<size_t>(i)] = value;
}

void ChartModel::motorCurrent(const QString& text)
{
    window_.setText(el::txtPara(2182), text);
    window_.setText(el::txtPara1(2182), text);
    if (const auto amperes = displayNumber(text))
        lastCurrent_ = 100 * *amperes;
    store(currentHistory_, lastCurrent_);
    shown_.current = shownNumber(text);
}

void ChartModel::pwmOutput(const QString& text)
{
    if (const auto raw = displayNumber(text))
        lastPwm_ = 4 * std::abs(*raw - 127);
    store(pwmHistory_, lastPwm_);
    shown_.pwm = shownNumber(text);
}

void ChartModel::statusWord(const QString& text)
{
    // Signed or unsigned, as the status display takes it.
    const auto value = wholeNumber(text);
    if (value && *value >= std::numeric_limits<qint32>::min() && *value <= std::numeric_limits<quint32>::max())
        shown_.statusWord = static_cast<quint32>(*value);
    else
        shown_.statusWord.reset();
}

void ChartModel::setTrace(int trace, bool on, const QString& multiplier)
{
    if (trace < 0 || trace >= static_cast<int>(traces_.size()))
        return;
    traces_[static_cast<size_t>(trace)] = {on, digitsNumber(multiplier)};
}

ChartModel::Trace ChartModel::trace(int index) const
{
    const TraceSetting& setting = traces_[static_cast<size_t>(index)];
    return {setting.on && setting.factor.has_value(), setting.factor.value_or(0)};
}

void ChartModel::sample(const QString& position)
{
    ChartSurface* surface = extra_.chart();
    if (!surface)
        return;
    // The user's hold: the chart stands as it is, the recording takes nothing, and on Continue
    // the next segment runs from the last point drawn. The recording flag is left alone.
    if (extra_.isChecked(el::cmdChartPause()))
        return;
    const double width = surface->chartWidth();
    const double zero = surface->chartHeight() - kZeroAbove;
    const Trace current = trace(0);
    const Trace pwm = trace(1);

    if (state_.chartRecording) {
        chartX_ += kStep;
        if (!chartFull_)
            ++chartCount_;
        if (chartX_ > width)
            scroll(*surface, current, pwm, zero);
        chartNextX_ = chartX_;
        if (current.on)
            curY1_ = zero - current.factor * lastCurrent_;
        if (pwm.on)
            pwmY1_ = zero - pwm.factor * lastPwm_;
        shown_.position = shownNumber(position);
        extra_.chartSampled(shown_, chartX_);
    }
    // While recording is off, x stays put and the segment runs from the previous point to the
    // last recorded one.
    if (chartCount_ > 1) {
        if (current.on)
            surface->drawLine(chartPrevX_, curY0_, chartNextX_, curY1_, ChartInk::Current);
        if (pwm.on)
            surface->drawLine(chartPrevX_, pwmY0_, chartNextX_, pwmY1_, ChartInk::Pwm);
    }
    if (current.on) {
        prevCurrent_ = lastCurrent_;
        curY0_ = zero - current.factor * prevCurrent_;
    }
    if (pwm.on) {
        prevPwm_ = lastPwm_;
        pwmY0_ = zero - pwm.factor * prevPwm_;
    }
    chartPrevX_ = chartX_;
}

void ChartModel::scroll(ChartSurface& surface, const Trace& current, const Trace& pwm, double zero)
{
    chartFull_ = true;
    const double width = surface.chartWidth();
    const double height = surface.chartHeight();
    // The redraw starts from a clean background: erasing the old segments one by one would
    // miss the first pass (drawn one sample further right than the history says) and would cut
    // gaps into the fresh grid.
    surface.clear();
    for (double y = 0; y <= height; y += kStep)
        surface.drawLine(0, y, width, y, ChartInk::Grid);
    for (double x = 0; x <= width; x += kStep)
        surface.drawLine(x, 0, x, height, ChartInk::Grid);
    surface.drawLine(0, zero, width, zero, ChartInk::Zero);

    // Every stored sample moves one place left; segment i runs from the value that was at
    // i + 1 to the one at i + 2.
    for (int i = 0; i <= chartCount_ && i + 2 < kHistory; ++i) {
        const auto at = static_cast<size_t>(i);
        const double x0 = kStep * i;
        chartPrevX_ = x0;
        chartNextX_ = x0 + kStep;
        if (current.on) {
            currentHistory_[at] = currentHistory_[at + 1];
            surface.drawLine(x0, zero - current.factor * currentHistory_[at + 1], x0 + kStep,
                             zero - current.factor * currentHistory_[at + 2], ChartInk::Current);
        }
        if (pwm.on) {
            pwmHistory_[at] = pwmHistory_[at + 1];
            surface.drawLine(x0, zero - pwm.factor * pwmHistory_[at + 1], x0 + kStep,
                             zero - pwm.factor * pwmHistory_[at + 2], ChartInk::Pwm);
        }
    }
    chartX_ = width;
}

} // namespace kinetra
