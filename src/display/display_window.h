#pragma once

#include "chart_recording.h"
#include "window_elements.h"

#include <optional>

namespace kinetra {

// Inks of the diagnosis chart, in the colours of the classic 16-colour palette: grid 7 (light
// grey), zero line 0 (black), current 12 (light red), PWM 9 (light blue).
enum class ChartInk { Grid, Zero, Current, Pwm };

// The drawing surface of the diagnosis chart, in window units with y growing downward (5000 x
// 1395 on the main window, however large the widget shows it). Drawing is incremental: what
// is drawn stays until the surface is cleared.
class ChartSurface {
public:
    virtual ~ChartSurface() = default;
    virtual double chartWidth() const = 0;
    virtual double chartHeight() const = 0;
    virtual void drawLine(double x0, double y0, double x1, double y1, ChartInk ink) = 0;
    // Back to the plain background (the system's tooltip colour).
    virtual void clear() = 0;
};

// What the live display needs of the main window beyond the plain element operations: tab
// visibility, check boxes, list item texts and the chart. As with WindowElements, a missing
// element is a silent no-op and this base class stands for "no window".
class DisplayWindow {
public:
    virtual ~DisplayWindow() = default;

    // Shows or hides tab `tab` (0-based) of the main tab control.
    virtual void setTabVisible(int, bool) {}
    virtual bool isChecked(const Element&) const { return false; }
    // Ticks or clears a check box; a change runs the box's click rule, as a click would.
    virtual void setChecked(const Element&, bool) {}
    // The text of item `position` (0-based) of a selection list; none outside the list.
    virtual std::optional<QString> itemText(const Element&, int) const { return std::nullopt; }
    // The diagnosis chart; none when the window has no chart.
    virtual ChartSurface* chart() { return nullptr; }
    // The chart recorded `sample`, its newest point now at `x` (window units): the window keeps
    // it in its recording.
    virtual void chartSampled(const ChartSample&, double) {}
    // The drive's software version was shown: what depends on its level may follow.
    virtual void firmwareLevelShown() {}
};

namespace el {
inline Element ledOn(int k)
{
    return {QStringLiteral("ledOn"), k};
}
inline Element ledOff(int k)
{
    return {QStringLiteral("ledOff"), k};
}
inline Element chkRead(int k)
{
    return {QStringLiteral("chkRead"), k};
}
inline Element chkReadStop()
{
    return {QStringLiteral("chkReadStop"), 0};
}
// The user's hold of the chart: checked while the chart and its recording pause.
inline Element cmdChartPause()
{
    return {QStringLiteral("cmdChartPause"), 0};
}
inline Element chkEncoder()
{
    return {QStringLiteral("chkEncoder"), 0};
}
inline Element cmdComand(int code)
{
    return {QStringLiteral("cmdComand"), code};
}
inline Element valCurMult()
{
    return {QStringLiteral("valCurMult"), 0};
}
inline Element valPwmMult()
{
    return {QStringLiteral("valPwmMult"), 0};
}
} // namespace el

} // namespace kinetra
