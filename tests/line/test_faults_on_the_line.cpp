// Faults of the drive end to end: the simulator program misbehaves on a pseudo-terminal, the
// tool meets it through the real serial port and clock. Every fault ends in the link's error
// state (one message, link offline), without a hang, without a busy processor afterwards and
// without harm to the file being loaded.
#include "drive_com.h"
#include "ini_settings_store.h"
#include "link_presenter.h"
#include "parameter_file_reader.h"
#include "parameter_file_writer.h"
#include "qt_clock.h"
#include "qt_serial_port.h"
#include "recording_dialogs.h"
#include "recording_window.h"
#include "shared_state.h"
#include "sim_link.h"
#include "sim_process.h"
#include "value_display.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <ctime>

using namespace kinetra;
using namespace kinetra::test;

namespace {

const QStringList kError{QStringLiteral("Error")};

enum class Phase { FullRead, LivePolling, Load };

// The tool's side; the simulator registered itself as COM1 in these settings, every other port
// names a device that does not exist.
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
        for (int n = 2; n <= 10; ++n)
            settings.setValue(kApplicationName, QStringLiteral("Ports"), QStringLiteral("COM%1").arg(n),
                              QStringLiteral("/nonexistent/kinetra-test-port"));
        com.setValueSink([this](QString& value, int index) { display.showValues(value, index); });
    }
    ~Tool() { com.timerReceive().setEnabled(false); }
};

// A load into the drive as the file window runs it: every record into the table, the ones a
// drive takes written to it, on to the end even when the link has died meanwhile (unless Stop).
int loadIntoDrive(DriveCom& com, SharedState& state, const QString& path)
{
    state.transferActive = true;
    int written = 0;
    readParameterFile(path, state.table, state.firmwareLevel, [&](const ParameterRecord& r) {
        if (r.sentToDrive()) {
            com.WriteCom(11, r.cmd, r.value, SelectionTranslation::Keep);
            ++written;
        }
        return !state.stopRequest;
    });
    state.transferActive = false;
    return written;
}

QByteArray fileContent(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

Q_DECLARE_METATYPE(Phase)

class TestFaultsOnTheLine : public QObject {
    Q_OBJECT
private slots:
    void faultEndsInOneErrorAndAnIdleTool_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<Phase>("phase");
        // Frames heard before the fault: the search poll and a few of the full read; a few
        // status blocks; a few writes.
        QTest::newRow("silent during live polling") << "--silent-after 4" << Phase::LivePolling;
        QTest::newRow("hang-up during the full read") << "--hang-up-after 6" << Phase::FullRead;
        QTest::newRow("hang-up during a load") << "--hang-up-after 3" << Phase::Load;
        QTest::newRow("garbage before every answer") << "--garbage 100" << Phase::LivePolling;
        QTest::newRow("wrong check characters") << "--wrong-check --faults-after 3" << Phase::LivePolling;
    }
    void faultEndsInOneErrorAndAnIdleTool()
    {
        QFETCH(QString, fault);
        QFETCH(Phase, phase);
        sim::SimProcess sim;
        QVERIFY2(sim.start(QStringLiteral(KINETRA_DRIVE_SIM), fault.split(' ') << QStringLiteral("--no-pacing")
                                                                               << QStringLiteral("--latency")
                                                                               << QStringLiteral("0")),
                 qPrintable(sim.output()));
        Tool tool(sim.settingsDir());
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("Antrieb ä.par"));
        QByteArray fileBytes;
        if (phase == Phase::FullRead) {
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
        if (phase == Phase::LivePolling) {
            tool.com.timerReceive().setEnabled(true);
            QTRY_COMPARE_WITH_TIMEOUT(tool.state.comOnline, 0, 15000);
            QVERIFY(!tool.state.transferActive);
        }
        if (phase == Phase::Load) {
            QVERIFY(writeParameterFile(file, tool.state.table, tool.state.firmwareLevel).ok());
            fileBytes = fileContent(file);
            // Stop is pressed at the error: the rest would only wait out each record's pause
            // (that it still reaches the table is shown on virtual time below).
            tool.dialogs.onShow = [&] { tool.state.stopRequest = true; };
            QCOMPARE(loadIntoDrive(tool.com, tool.state, file), 4);
        }

        QCOMPARE(tool.dialogs.texts(), kError);
        QCOMPARE(tool.state.comOnline, 0);
        QVERIFY(!tool.state.comBusy);
        QVERIFY(!tool.com.timerReceive().isEnabled());
        QVERIFY(!tool.com.transactionRunning());
        QCOMPARE(tool.window.statusText.value(1), kOffline);
        if (fault.startsWith(QLatin1String("--hang-up"))) {
            QVERIFY(!tool.port.isOpen());
            // The simulator ends and gives its COM number back.
            QTRY_COMPARE_WITH_TIMEOUT(sim.process().state(), QProcess::NotRunning, 5000);
            QCOMPARE(tool.settings.value(kApplicationName, QStringLiteral("Ports"), QStringLiteral("COM1")), QString());
        }
        // Idle with the event loop running: a loop that spins would take all of the processor.
        const std::clock_t before = std::clock();
        tool.clock.waitServing(0.3);
        const double cpu = double(std::clock() - before) / CLOCKS_PER_SEC / 0.3;
        QVERIFY2(cpu < 0.3, qPrintable(QStringLiteral("%1 of the processor after the fault").arg(cpu)));
        // Nothing more is reported later, and the loaded file is as it was.
        QCOMPARE(tool.dialogs.texts(), kError);
        if (phase == Phase::Load)
            QCOMPARE(fileContent(file), fileBytes);
    }

    // A drive that falls silent during a load, on virtual time: three frames of the silent
    // write, one error, and the rest of the file still reaches the table.
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

        QCOMPARE(loadIntoDrive(*link.com, link.state, file), 80);
        QCOMPARE(link.dialogs.texts(), kError);
        QCOMPARE(link.state.comOnline, 0);
        QCOMPARE(link.frames(), 3 + 3);
        QCOMPARE(link.state.table.value(2179).toInteger(), std::optional<qint64>(2179 % 50 + 2));
        QCOMPARE(fileContent(file), before);
    }
};

QTEST_GUILESS_MAIN(TestFaultsOnTheLine)
#include "test_faults_on_the_line.moc"
