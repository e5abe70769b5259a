// The serial line for real: the tool's serial port and clock against a bare pseudo-terminal and
// the simulator program misbehaving on cue. Every fault ends in one message and the link offline,
// without a hang, a busy processor afterwards or harm to the file being loaded.
#include "com_registration.h"
#include "drive_com.h"
#include "drive_config.h"
#include "drive_load.h"
#include "drive_workflows.h"
#include "ini_settings_store.h"
#include "link_presenter.h"
#include "memory_settings_store.h"
#include "parameter_file_writer.h"
#include "pty_pair.h"
#include "qt_clock.h"
#include "qt_serial_port.h"
#include "recording_dialogs.h"
#include "recording_window.h"
#include "shared_state.h"
#include "sim_link.h"
#include "sim_process.h"
#include "value_display.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <ctime>

using namespace kinetra;
using namespace kinetra::test;

namespace {

const QStringList kError{QStringLiteral("Error")};
const QString kPorts = QStringLiteral("Ports");

// The tool's side, in the settings folder where the simulator registered itself as COM1.
struct Tool {
    IniSettingsStore settings;
    QtClock clock;
    QtSerialPort port{settings};
    SharedState state;
    RecordingWindow window;
    RecordingDialogs dialogs;
    ValueDisplay display{state, window};
    LinkPresenter presenter{state, window, dialogs};
    DriveCom com{state, port, clock, presenter};

    explicit Tool(const QString& settingsDir) : settings(settingsDir)
    {
        com.setValueSink([this](QString& value, int index) { display.showValues(value, index); });
    }
};

QByteArray fileContent(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestFaultsOnTheLine : public QObject {
    Q_OBJECT
private slots:
    // The simulator takes a free or stale COM number and, ended, leaves the user's own entries.
    void registrationGivesTheComNumberBack()
    {
        const QString existing = QDir::tempPath(); // a path that exists, standing for an adapter
        MemorySettingsStore store;
        const auto entry = [&](int n) { return store.value(kApplicationName, kPorts, QStringLiteral("COM%1").arg(n)); };
        store.setValue(kApplicationName, kPorts, QStringLiteral("COM1"), existing);
        store.setValue(kApplicationName, kPorts, QStringLiteral("COM2"), QStringLiteral("/dev/gone-long-ago"));
        {
            sim::ComRegistration automatic(store), chosen(store);
            QCOMPARE(automatic.add(0, QStringLiteral("/dev/pts/77")), 2); // the stale entry is taken over
            QCOMPARE(chosen.add(1, QStringLiteral("/dev/pts/78")), 1);
            QCOMPARE(entry(1) + entry(2), QStringLiteral("/dev/pts/78/dev/pts/77"));
        }
        QCOMPARE(entry(1) + entry(2), existing);
    }

    // A port whose device is not there, or hangs up (also while it waits for more characters
    // of an answer), is closed and a silent drive: writes vanish, nothing arrives.
    void aPortWithoutItsDeviceIsASilentDrive_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<int>("awaited");
        QTest::addColumn<QByteArray>("arrived");
        QTest::newRow("hang-up on an idle line") << QString() << 0 << QByteArray();
        QTest::newRow("hang-up inside an answer") << QString() << 200 << QByteArray("abc");
        QTest::newRow("not ASCII") << QDir::temp().filePath(QStringLiteral("Prüfstand Ω € 日本/ttyΩ0")) << 0
                                   << QByteArray();
    }
    void aPortWithoutItsDeviceIsASilentDrive()
    {
        QFETCH(QString, device);
        QFETCH(int, awaited);
        QFETCH(QByteArray, arrived);
        PtyPair pty;
        MemorySettingsStore store;
        store.setValue(kApplicationName, kPorts, QStringLiteral("COM3"), device.isEmpty() ? pty.devicePath() : device);
        QtSerialPort port(store);
        port.setPortNumber(3);
        QSignalSpy lost(&port, &SerialPort::lostDevice);
        QCOMPARE(port.open(), device.isEmpty());
        if (device.isEmpty()) {
            port.reportArrivalsFrom(awaited);
            pty.write(arrived);
            pty.hangUp();
            QTRY_VERIFY_WITH_TIMEOUT(!port.isOpen(), 3000);
            QCOMPARE(lost.count(), 1);
        } else {
            QCOMPARE(port.lastOpenError(), PortOpenError::NoSuchDevice);
        }
        port.write("x");
        QCOMPARE(port.bytesWaiting(), qint64(0));
        QCOMPARE(port.readAll(), QByteArray());
    }

    void faultEndsInOneErrorAndAnIdleTool_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("phase");
        // Frames heard before the fault: the search poll and a few of the full read; a few
        // status blocks; a few writes.
        QTest::newRow("silent during live polling") << QStringLiteral("--silent-after 4") << "live polling";
        QTest::newRow("hang-up during the full read") << QStringLiteral("--hang-up-after 6") << "full read";
        QTest::newRow("hang-up during a load") << QStringLiteral("--hang-up-after 3") << "load";
        QTest::newRow("garbage before every answer") << QStringLiteral("--garbage 100") << "live polling";
    }
    void faultEndsInOneErrorAndAnIdleTool()
    {
        QFETCH(QString, fault);
        QFETCH(QString, phase);
        sim::SimProcess sim;
        QVERIFY2(sim.start(QStringLiteral(KINETRA_DRIVE_SIM),
                           (fault + QStringLiteral(" --no-pacing --latency 0")).split(' ')),
                 qPrintable(sim.output()));
        Tool tool(sim.settingsDir());
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("Antrieb ä.par"));
        QByteArray fileBytes;
        if (phase == QLatin1String("full read")) {
            tool.com.cmdConnect();
            // A read that failed keeps the connect button blocked until Stop.
            QVERIFY(tool.state.transferActive);
            QCOMPARE(tool.state.paramsLoaded, 0);
        } else {
            tool.state.comPort = 1;
            tool.com.Init();
            tool.state.comOnline = 1;
            tool.state.firmwareLevel = 540;
        }
        if (phase == QLatin1String("live polling")) {
            tool.com.timerReceive().setEnabled(true);
            QTRY_COMPARE_WITH_TIMEOUT(tool.state.comOnline, 0, 15000);
            QVERIFY(!tool.state.transferActive);
        }
        if (phase == QLatin1String("load")) {
            QVERIFY(writeParameterFile(file, tool.state.table, tool.state.firmwareLevel).ok());
            fileBytes = fileContent(file);
            // Stop pressed at the first message; four records were written.
            const TransferScope scope(tool.state, TransferScope::Target::Drive, TransferScope::Runner::Headless);
            tool.dialogs.onShow = [&] { tool.state.stopRequest = true; };
            int written = 0;
            loadIntoDrive(tool.com, file, [&](const ParameterRecord&, std::optional<WriteOutcome> outcome) {
                written += outcome.has_value();
                return !tool.state.stopRequest;
            });
            QCOMPARE(written, 4);
        }
        QCOMPARE(tool.dialogs.texts(), kError);
        QCOMPARE(tool.state.comOnline, 0);
        QVERIFY(!tool.state.comBusy && !tool.com.timerReceive().isEnabled() && !tool.com.transactionRunning());
        QCOMPARE(tool.window.statusText.value(1), kOffline);
        if (fault.startsWith(QLatin1String("--hang-up"))) {
            QVERIFY(!tool.port.isOpen());
            // The simulator ends and gives its COM number back.
            QTRY_COMPARE_WITH_TIMEOUT(sim.process().state(), QProcess::NotRunning, 5000);
            QCOMPARE(tool.settings.value(kApplicationName, kPorts, QStringLiteral("COM1")), QString());
        }
        // Idle with the event loop running: a loop that spins would take all of the processor.
        const std::clock_t before = std::clock();
        tool.clock.waitServing(0.3);
        const double cpu = double(std::clock() - before) / CLOCKS_PER_SEC / 0.3;
        QVERIFY2(cpu < 0.3, qPrintable(QStringLiteral("%1 of the processor after the fault").arg(cpu)));
        // Nothing more is reported later, and the loaded file is as it was.
        QCOMPARE(tool.dialogs.texts(), kError);
        if (phase == QLatin1String("load"))
            QCOMPARE(fileContent(file), fileBytes);
    }

    // A drive that falls silent during a load, on virtual time (its nine seconds of waiting are
    // not the point): three frames of the silent write, one error, and without Stop the rest of
    // the file still reaches the table.
    void silentDuringALoadReportsOnceAndLoadsTheTable()
    {
        sim::DriveConfig config;
        config.faults.silent = true;
        config.faults.afterFrames = 3;
        SimLink link(config);
        link.state.firmwareLevel = 540;
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("Antrieb.par"));
        ParameterTable values;
        for (int cmd = 2100; cmd <= 2180; ++cmd)
            values.store(cmd, ParameterValue::number(cmd % 50 + 2));
        QVERIFY(writeParameterFile(file, values, 540).ok());
        const QByteArray before = fileContent(file);
        const TransferScope scope(link.state, TransferScope::Target::Drive, TransferScope::Runner::Headless);
        QVERIFY(loadIntoDrive(*link.com, file, [](auto&&...) { return true; }).ok());
        QCOMPARE(link.dialogs.texts(), kError);
        QCOMPARE(link.state.comOnline, 0);
        QCOMPARE(link.frames(), 3 + 3);
        QCOMPARE(link.state.table.value(2179).toInteger(), std::optional<qint64>(2179 % 50 + 2));
        QCOMPARE(fileContent(file), before);
    }
};

QTEST_GUILESS_MAIN(TestFaultsOnTheLine)
#include "test_faults_on_the_line.moc"
