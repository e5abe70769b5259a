#include "startup_probe.h"

#include "drive_com.h"
#include "drive_display.h"
#include "frm_sdi.h"
#include "ini_settings_store.h"
#include "link_presenter.h"
#include "main_window_display.h"
#include "qt_clock.h"
#include "qt_serial_port.h"
#include "shared_state.h"
#include "single_instance.h"
#include "tool_rig.h"
#include "value_display.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QWindow>

#include <cstdio>

namespace kinetra::bench {

double timeStartUp(const QString& settingsDir)
{
    QProcess probe;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    probe.setProcessEnvironment(env);
    QElapsedTimer t;
    t.start();
    probe.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(kStartUpProbe), settingsDir});
    QByteArray out;
    while (!out.contains("shown") && t.elapsed() < 10000) {
        if (!probe.waitForReadyRead(10000))
            break;
        out += probe.readAllStandardOutput();
    }
    const double seconds = t.nsecsElapsed() / 1e9;
    probe.waitForFinished(5000);
    return out.contains("shown") ? seconds : -1;
}

int runStartUpProbe(int argc, char** argv, const QString& settingsDir)
{
    // As main() does it, with the settings in a folder of the bench's own and a socket name of
    // its own (a running tool of the user's is left alone).
    QElapsedTimer phases;
    phases.start();
    QApplication app(argc, argv);
    QApplication::setApplicationName(kApplicationName);
    const qint64 appMs = phases.elapsed();
    SingleInstance instance(QStringLiteral("kinetra-bench-%1").arg(QCoreApplication::applicationPid()));
    if (!instance.claim())
        return 1;
    SharedState state;
    IniSettingsStore settings(settingsDir);
    QtClock clock;
    QtSerialPort port(settings);
    RecordedDialogs dialogs;
    frmSDI window(state, settings, dialogs, clock, QCoreApplication::applicationDirPath());
    const qint64 builtMs = phases.elapsed();
    LinkPresenter presenter(state, window, dialogs);
    DriveCom com(state, port, clock, presenter);
    window.setDriveCom(&com);
    ValueDisplay display(state, window);
    MainWindowDisplay windowDisplay(window);
    DriveDisplay driveDisplay(state, window, windowDisplay);
    display.setHandOver(&driveDisplay);
    com.setValueSink([&display](QString& value, int index) { display.showValues(value, index); });
    window.Form_Load();
    const qint64 loadedMs = phases.elapsed();

    QElapsedTimer t;
    t.start();
    while (!(window.windowHandle() && window.windowHandle()->isExposed()) && t.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    std::puts(window.windowHandle() && window.windowHandle()->isExposed() ? "shown" : "not shown");
    // Where the time went inside the process (the parent adds the start of the process).
    std::printf("phases (ms from main): application %lld, window built %lld, Form_Load %lld, exposed %lld\n",
                static_cast<long long>(appMs), static_cast<long long>(builtMs), static_cast<long long>(loadedMs),
                static_cast<long long>(phases.elapsed()));
    std::fflush(stdout);
    return 0;
}

} // namespace kinetra::bench
