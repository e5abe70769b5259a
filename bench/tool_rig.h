#pragma once

#include "dialogs.h"
#include "drive_com.h"
#include "drive_display.h"
#include "frm_sdi.h"
#include "ini_settings_store.h"
#include "link_presenter.h"
#include "main_window_display.h"
#include "qt_clock.h"
#include "qt_serial_port.h"
#include "shared_state.h"
#include "value_display.h"

#include <QStringList>

namespace kinetra::bench {

// Message boxes of the measured tool: recorded, never shown (nobody is there to answer them).
class RecordedDialogs : public Dialogs {
public:
    MessageAnswer message(const QString& text, const QString&, MessageIcon, MessageButtons,
                          MessageAnswer defaultAnswer) override
    {
        shown << text;
        return defaultAnswer;
    }
    QStringList shown;
};

// The window's adapter of the live display, with the chart's recording switched off on demand:
// the chart draws as before, the window keeps no sample.
class BenchWindowDisplay : public MainWindowDisplay {
public:
    using MainWindowDisplay::MainWindowDisplay;
    void chartSampled(const ChartSample& sample, double x) override
    {
        if (recording)
            MainWindowDisplay::chartSampled(sample, x);
    }
    bool recording = true;
};

// The tool as main() wires it: the real serial port, clock, link and main window (shown
// offscreen), with its settings in `settingsDir`. Counts the status blocks it decodes.
struct ToolRig {
    explicit ToolRig(const QString& settingsDir);
    ~ToolRig();

    // Every port other than COM1 (the simulator) names a device that does not exist, so that
    // a search never reaches the machine's own serial ports.
    void confineSearchToCom1();
    // Runs the user interface until `condition` holds or `seconds` have passed.
    bool serveUntil(const std::function<bool()>& condition, double seconds);

    IniSettingsStore settings;
    QtClock clock;
    QtSerialPort port{settings};
    SharedState state;
    RecordedDialogs dialogs;
    frmSDI window;
    LinkPresenter presenter;
    DriveCom com;
    ValueDisplay display;
    BenchWindowDisplay windowDisplay;
    DriveDisplay driveDisplay;
    int statusBlocks = 0;
};

} // namespace kinetra::bench
