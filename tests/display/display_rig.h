#pragma once

#include "display_window.h"
#include "drive_display.h"
#include "recording_window.h"
#include "shared_state.h"
#include "value_display.h"

#include <QHash>
#include <QList>
#include <QStringList>

namespace kinetra::test {

// The chart as a list of the lines drawn since the last clear, in window units.
class RecordingChart : public ChartSurface {
public:
    struct Line {
        double x0, y0, x1, y1;
        ChartInk ink;
    };
    double chartWidth() const override { return 5000; }
    double chartHeight() const override { return 1395; }
    void drawLine(double x0, double y0, double x1, double y1, ChartInk ink) override
    {
        lines.append({x0, y0, x1, y1, ink});
    }
    void clear() override
    {
        lines.clear();
        ++clears;
    }
    QList<Line> inked(ChartInk ink) const
    {
        QList<Line> out;
        for (const Line& l : lines)
            if (l.ink == ink)
                out << l;
        return out;
    }

    QList<Line> lines;
    int clears = 0;
};

// Tabs and check boxes kept in tables; the chart records its lines. Check boxes
// start as the main window has them: both traces on, "auto" off.
class RecordingDisplayWindow : public DisplayWindow {
public:
    static QString key(const Element& e) { return e.name + QLatin1Char('#') + QString::number(e.index); }

    void setTabVisible(int tab, bool on) override { tabVisible[tab] = on; }
    bool isChecked(const Element& e) const override { return checked.value(key(e)); }
    void setChecked(const Element& e, bool on) override { checked[key(e)] = on; }
    ChartSurface* chart() override { return surface ? surface : &recordingChart; }

    QHash<int, bool> tabVisible;
    QHash<QString, bool> checked;
    RecordingChart recordingChart;
    // Another chart to draw on instead, the real one for instance.
    ChartSurface* surface = nullptr;
};

// showValues with the drive display behind it, on a recording window. Messages read "msg<n>".
struct DisplayRig {
    SharedState state;
    RecordingWindow window;
    RecordingDisplayWindow extra;
    DriveDisplay drive{state, window, extra};
    ValueDisplay display{state, window};

    DisplayRig()
    {
        for (int i = 0; i < SharedState::kMessageCount; ++i)
            state.messageText[static_cast<size_t>(i)] = QStringLiteral("msg%1").arg(i);
        state.chartRecording = true;
        display.setHandOver(&drive);
    }
    // A value as the link hands it over: raw text and command number.
    void show(const QString& raw, int index)
    {
        QString value = raw;
        display.showValues(value, index);
    }
    void show(qint64 raw, int index) { show(QString::number(raw), index); }
    // One status block's share of the chart: PWM, current, then the position as the clock.
    void sample(int pwm, qint64 current)
    {
        show(pwm, 2183);
        show(current, 2182);
        show(0, 2170);
    }

    QString text(const Element& e) const { return window.text(e); }
    // Visibility as last set; `fallback` when the element was never shown or hidden.
    bool visible(const Element& e, bool fallback = true) const
    {
        return window.visible.value(RecordingWindow::key(e), fallback);
    }
    // Lamps lit, by number: ledOn shown and ledOff hidden.
    QList<int> litLamps() const
    {
        QList<int> lit;
        for (int k = 0; k <= 8; ++k)
            if (visible(el::ledOn(k), false) && !visible(el::ledOff(k), true))
                lit << k;
        return lit;
    }
};

} // namespace kinetra::test
