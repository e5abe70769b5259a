#pragma once

#include "cli_options.h"
#include "console_link_observer.h"
#include "drive_com.h"
#include "exit_codes.h"
#include "ini_settings_store.h"
#include "qt_clock.h"
#include "qt_serial_port.h"
#include "shared_state.h"
#include "value_display.h"
#include "window_elements.h"
#include "wire_trace.h"

#include <QHash>

#include <functional>
#include <memory>
#include <optional>

namespace kinetra::cli {

class Console;

// What every command works with: the settings store, the message texts, the serial port and the
// very same link as the window, with a console standing in for the window and its message boxes.
class DriveSession {
public:
    DriveSession(const Options& options, Console& console);
    ~DriveSession();
    DriveSession(const DriveSession&) = delete;
    DriveSession& operator=(const DriveSession&) = delete;

    // Message texts and the wire trace. False when the trace file cannot be opened.
    bool setUp();

    // The port search (or, with --port, one poll on that port). Tells the user what it found.
    bool findDrive();
    // Polls one value; its raw text, or none when the poll failed.
    std::optional<QString> poll(int cmd);
    // Polls the software version, so that the level-dependent rules know it.
    bool readLevel();
    // The full read, as the window's connect makes it, with its progress bar; the level must be
    // known. False when it did not complete (failureCode() says why).
    bool fullRead();

    // The drive stopped answering during the command (the link reported it).
    bool linkLost() const { return link.linkErrors() > 0; }
    // The exit code of a failed transaction: link lost, else no drive.
    ExitCode failureCode() const { return linkLost() ? ExitCode::LinkLost : ExitCode::NoDrive; }
    // "COM3 (/dev/pts/4)".
    QString portDescription();
    // The serial devices COM1-COM10 stand for, as one line ("Serial devices found: COM1 ...").
    QString serialDevicesFound() const;
    // Every decoded value goes here too (raw text, command number), before it is shown.
    void setValueObserver(std::function<void(int cmd, const QString& raw)> observer)
    {
        valueObserver_ = std::move(observer);
    }
    QString message(int index) const { return state.message(index); }
    // The decimal places of positions were given (--decimals) or are the window's setting.
    bool decimalsKnown = false;
    // The parameters' label texts in the language in use, by command number ("mm Actual position").
    QHash<int, QString> labels;
    // A command number given as a number (2113) or as a parameter's name in the language in use
    // ("Fast speed", case aside); none, after a message, for a name that fits none or several.
    std::optional<int> commandFor(const QString& text);

    const Options& options;
    Console& console;
    std::unique_ptr<IniSettingsStore> settings;
    SharedState state;
    QtClock clock;
    std::unique_ptr<QtSerialPort> port;
    ConsoleLinkObserver link;
    // The live display shows nothing here; it decodes values as the window would.
    WindowElements noWindow;
    ValueDisplay display;
    std::unique_ptr<DriveCom> com;

private:
    void loadMessages();
    int storedSetting(const QString& key, int fallback, int min, int max) const;

    std::unique_ptr<WireTrace> trace_;
    QHash<int, QString> received_;
    std::function<void(int, const QString&)> valueObserver_;
};

// A command number the drive knows: 2000-2499 (general, axes 1-3, device).
std::optional<int> parseCommandNumber(const QString& text);

} // namespace kinetra::cli
