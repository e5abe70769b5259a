#pragma once

#include "drive_display.h"
#include "recording_display_window.h"
#include "recording_window.h"
#include "shared_state.h"
#include "value_display.h"

namespace kinetra::test {

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
