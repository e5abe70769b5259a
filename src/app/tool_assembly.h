#pragma once

#include "drive_com.h"
#include "drive_display.h"
#include "file_window_elements.h"
#include "frm_sdi.h"
#include "link_presenter.h"
#include "main_window_display.h"
#include "value_display.h"
#include "wire_trace.h"

#include <memory>

namespace kinetra {

class Clock;
class Dialogs;
class SerialPort;
class SettingsStore;
struct SharedState;

// The program's parts wired together: the main window, the link on `port`, the live display,
// the file and save windows and the wire trace. The program runs it on the real clock and
// port; the end-to-end tests run the same assembly against the simulated drive.
class ToolAssembly {
public:
    ToolAssembly(SharedState& state, SettingsStore& settings, SerialPort& port, Clock& clock, Dialogs& dialogs,
                 const QString& programFolder);
    ToolAssembly(const ToolAssembly&) = delete;
    ToolAssembly& operator=(const ToolAssembly&) = delete;

    frmSDI& window() { return window_; }
    DriveCom& com() { return com_; }

private:
    frmSDI window_;
    // The link writes its help and progress of a file transfer to the file window while one is
    // open, everything else to the main window.
    FileWindowElements elements_;
    Dialogs& dialogs_;
    LinkPresenter presenter_;
    DriveCom com_;
    std::unique_ptr<WireTrace> trace_;
    // Every value the link decodes goes to the window element that shows it; identification,
    // field bus, status word and chart have logic of their own.
    ValueDisplay display_;
    MainWindowDisplay windowDisplay_;
    DriveDisplay driveDisplay_;
};

} // namespace kinetra
