#pragma once

#include "drive_com.h"
#include "drive_display.h"
#include "fake_serial_port.h"
#include "frm_sdi.h"
#include "main_window_display.h"
#include "memory_settings_store.h"
#include "recording_dialogs.h"
#include "shared_state.h"
#include "sim_device.h"
#include "test_jog_timers.h"
#include "value_display.h"

#include <QCoreApplication>
#include <QDir>
#include <QTabWidget>

#include <memory>

namespace kinetra::test {

// The real main window offscreen, connected through the link to the simulated drive on
// virtual time, with the live display wired as the program wires it.
struct DiagnoseWindowRig {
    VirtualClock clock;
    FakeSerialPort port{clock};
    SimDevice drive;
    SharedState state;
    MemorySettingsStore settings;
    RecordingDialogs dialogs;
    QString previousFolder = QDir::currentPath();
    std::unique_ptr<frmSDI> window;
    std::unique_ptr<DriveCom> com;
    std::unique_ptr<MainWindowDisplay> extra;
    std::unique_ptr<DriveDisplay> driveDisplay;
    std::unique_ptr<ValueDisplay> display;

    explicit DiagnoseWindowRig(const sim::DriveConfig& config, int language = 1) : drive(config)
    {
        drive.attachTo(port, 1);
        const QString system = QStringLiteral("System");
        settings.setValue(kApplicationName, system, QStringLiteral("Check"), QStringLiteral("1"));
        settings.setValue(kApplicationName, system, QStringLiteral("Language"), QString::number(language));
        settings.setValue(kApplicationName, system, QStringLiteral("Expert"), QStringLiteral("1"));
        settings.setValue(kApplicationName, system, QStringLiteral("Encoder"), QStringLiteral("0"));
        window = std::make_unique<frmSDI>(state, settings, dialogs, clock, QCoreApplication::applicationDirPath());
        com = std::make_unique<DriveCom>(state, port, clock, *window, dialogs);
        window->setDriveCom(com.get());
        extra = std::make_unique<MainWindowDisplay>(*window);
        driveDisplay = std::make_unique<DriveDisplay>(state, *window, *extra);
        display = std::make_unique<ValueDisplay>(state, *window);
        display->setHandOver(driveDisplay.get());
        driveDisplay->setOnStatusWord([this](qint64 statusWord) {
            if (TestJogTimers* timers = window->testJogTimers())
                timers->inPositionSignal(statusWord);
        });
        com->setValueSink([this](QString& value, int index) { display->showValues(value, index); });
        window->resize(1280, 800);
        window->Form_Load();
        // Without the language files beside the test, the status texts still say something.
        for (int i = 0; i < SharedState::kMessageCount; ++i)
            if (state.messageText[static_cast<size_t>(i)].isEmpty())
                state.messageText[static_cast<size_t>(i)] = QStringLiteral("msg%1").arg(i);
    }
    ~DiagnoseWindowRig()
    {
        com.reset();
        window.reset();
        QDir::setCurrent(previousFolder);
    }

    // Connects and lets live polling run every `pollMs` milliseconds.
    bool connect(int pollMs = 20)
    {
        com->cmdConnect();
        com->timerReceive().setInterval(pollMs);
        return state.comOnline == 1 && state.paramsLoaded == 1;
    }
    // Drives to `target` (raw units) with the start command, then lets `seconds` pass.
    void moveTo(qint64 target, double seconds)
    {
        com->WriteCom(11, 2101, target);
        com->WriteCom(11, 2152, 128);
        clock.advance(seconds);
    }
    QTabWidget* tabs() const { return window->elementAs<QTabWidget>(Element{QStringLiteral("SSTab1"), 0}); }
    template <class T = QWidget> T* find(const QString& name, int index = 0) const
    {
        return window->elementAs<T>(Element{name, index});
    }
};

} // namespace kinetra::test
