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
#include "sim_on_pty.h"
#include "value_display.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <ctime>

using namespace kinetra;
using namespace kinetra::test;

namespace {

const QString kError = QStringLiteral("Error");

enum class Phase { FullRead, LivePolling, Load };

// The tool's side, with its settings in the simulator's settings folder (where it registered
// itself as COM1). Every other port names a device that does not exist.
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
        state.messageText[75] = QStringLiteral("refused");
        com.setValueSink([this](QString& value, int index) { display.showValues(value, index); });
    }
    ~Tool() { com.timerReceive().setEnabled(false); }

    // Online at level 540 without the full read: the live polling asks for status blocks.
    void online()
    {
        state.comPort = 1;
        com.Init();
        state.comOnline = 1;
        state.firmwareLevel = 540;
    }
    // The share of the processor the tool takes while it idles with its event loop running: a
    // loop that spins takes all of it.
    double cpuShareWhileIdle()
    {
        const std::clock_t before = std::clock();
        clock.waitServing(0.5);
        return double(std::clock() - before) / CLOCKS_PER_SEC / 0.5;
    }
};

// A load into the drive as the file window runs it: every record into the table, the ones a
// drive takes written to it, on to the end even when the link has died meanwhile (unless Stop
// is pressed).
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
        QTest::addColumn<QStringList>("fault");
        QTest::addColumn<Phase>("phase");
        const auto args = [](const char* text) { return QString::fromLatin1(text).split(QLatin1Char(' ')); };
        // Frames heard before the fault: the search poll and a few of the full read; a few
        // status blocks; a few writes.
        QTest::newRow("silent during the full read") << args("--silent-after 6") << Phase::FullRead;
        QTest::newRow("silent during live polling") << args("--silent-after 4") << Phase::LivePolling;
        QTest::newRow("hang-up during the full read") << args("--hang-up-after 6") << Phase::FullRead;
        QTest::newRow("hang-up during live polling") << args("--hang-up-after 4") << Phase::LivePolling;
        QTest::newRow("hang-up during a load") << args("--hang-up-after 3") << Phase::Load;
        QTest::newRow("garbage instead of status blocks") << args("--garbage 100") << Phase::LivePolling;
        QTest::newRow("wrong check characters") << args("--wrong-check --faults-after 3") << Phase::LivePolling;
    }
    void faultEndsInOneErrorAndAnIdleTool()
    {
        QFETCH(QStringList, fault);
        QFETCH(Phase, phase);
        SimOnPty sim;
        QVERIFY2(
            sim.start(fault << QStringLiteral("--no-pacing") << QStringLiteral("--latency") << QStringLiteral("0")),
            qPrintable(sim.output()));
        Tool tool(sim.settingsDir());

        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("Antrieb ä.par"));
        QByteArray fileBytes;
        switch (phase) {
        case Phase::FullRead:
            tool.com.cmdConnect();
            // A read that failed keeps the connect button blocked until Stop.
            QVERIFY(tool.state.transferActive);
            QCOMPARE(tool.state.paramsLoaded, 0);
            break;
        case Phase::LivePolling:
            tool.online();
            tool.com.timerReceive().setEnabled(true);
            QTRY_COMPARE_WITH_TIMEOUT(tool.state.comOnline, 0, 15000);
            QVERIFY(!tool.state.transferActive);
            break;
        case Phase::Load: {
            tool.online();
            QCOMPARE(writeParameterFile(file, tool.state.table, tool.state.firmwareLevel).error,
                     ParameterFileError::None);
            fileBytes = fileContent(file);
            // Stop is pressed at the error: that the rest of the load still reaches the table is
            // shown on virtual time below, and here it would only wait out each record's pause.
            tool.dialogs.onShow = [&] { tool.state.stopRequest = true; };
            QCOMPARE(loadIntoDrive(tool.com, tool.state, file), 4);
            break;
        }
        }

        QCOMPARE(tool.dialogs.texts(), QStringList{kError});
        QCOMPARE(tool.state.comOnline, 0);
        QVERIFY(!tool.state.comBusy);
        QVERIFY(!tool.com.timerReceive().isEnabled());
        QVERIFY(!tool.com.transactionRunning());
        QCOMPARE(tool.window.statusText.value(1), kOffline);
        if (fault.contains(QStringLiteral("--hang-up-after")))
            QVERIFY(!tool.port.isOpen());

        const double cpu = tool.cpuShareWhileIdle();
        QVERIFY2(cpu < 0.3, qPrintable(QStringLiteral("%1 of the processor after the fault").arg(cpu)));
        // Nothing more is reported later, and the loaded file is as it was.
        QCOMPARE(tool.dialogs.texts(), QStringList{kError});
        if (phase == Phase::Load)
            QCOMPARE(fileContent(file), fileBytes);
    }

    // A drive that falls silent during a load, on virtual time (its nine seconds of waiting are
    // not the point here): three frames of the silent write, one error, and the rest of the
    // file still reaches the table.
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
        QCOMPARE(link.dialogs.texts(), QStringList{kError});
        QCOMPARE(link.state.comOnline, 0);
        QCOMPARE(link.frames(), 3 + 3);
        QCOMPARE(link.state.table.value(2179).toInteger(), std::optional<qint64>(2179 % 50 + 2));
        QCOMPARE(fileContent(file), before);
    }

    // A drive that refuses every write: the refusal once per write, the old value back, and
    // the link stays up (it answered).
    void refusedWriteRollsBackAndKeepsTheLink()
    {
        SimOnPty sim;
        QVERIFY2(sim.start({QStringLiteral("--refuse-writes"), QStringLiteral("--no-pacing")}),
                 qPrintable(sim.output()));
        Tool tool(sim.settingsDir());
        tool.online();
        tool.state.table.store(2110, ParameterValue::text(QStringLiteral("1000")));
        tool.com.timerReceive().setEnabled(true);
        tool.clock.waitServing(0.2);
        QCOMPARE(tool.com.WriteCom(11, 2110, 500), WriteOutcome::Refused);
        QCOMPARE(tool.dialogs.texts(), QStringList{QStringLiteral("refused")});
        QCOMPARE(tool.state.table.value(2110).toText(), QStringLiteral("1000"));
        QCOMPARE(tool.state.comOnline, 1);
        // Live polling stays off until a command button or a connection starts it again.
        QVERIFY(!tool.com.timerReceive().isEnabled());
        const double cpu = tool.cpuShareWhileIdle();
        QVERIFY2(cpu < 0.3, qPrintable(QStringLiteral("%1 of the processor while idle").arg(cpu)));
    }
};

QTEST_GUILESS_MAIN(TestFaultsOnTheLine)
#include "test_faults_on_the_line.moc"
