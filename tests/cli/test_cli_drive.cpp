// kinetra-cli as a process against kinetra-drive-sim on a pseudo-terminal.

#include "cli_process.h"
#include "drive_com.h"
#include "fake_serial_port.h"
#include "messages.h"
#include "parameter_file_writer.h"
#include "pty_pair.h"
#include "recording_dialogs.h"
#include "recording_window.h"
#include "shared_state.h"
#include "sim_device.h"
#include "value_display.h"
#include "virtual_clock.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

using namespace kinetra;
using namespace kinetra::test;

namespace {

// Exit codes as the help documents them.
constexpr int kSuccess = 0;
constexpr int kDifferences = 1;
constexpr int kUsage = 2;
constexpr int kRefused = 3;
constexpr int kNoDrive = 4;
constexpr int kLinkLost = 5;
constexpr int kFileError = 6;

// The parameter file the window's store writes after its connect has read `config`'s drive: the
// same drive model on virtual time, read by the window's link.
QByteArray windowStoreOf(const sim::DriveConfig& config)
{
    VirtualClock clock;
    FakeSerialPort port{clock};
    SimDevice drive(config);
    drive.attachTo(port, 1);
    SharedState state;
    RecordingWindow window;
    RecordingDialogs dialogs;
    ValueDisplay display(state, window);
    DriveCom com(state, port, clock, window, dialogs);
    com.setValueSink([&display](QString& value, int index) { display.showValues(value, index); });
    com.cmdConnect();
    com.timerReceive().setEnabled(false);
    if (state.paramsLoaded != 1)
        return {};
    return formatParameterFile(state.table, state.firmwareLevel);
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString messageOf(const QString& language, int index)
{
    SharedState state;
    cli::loadMessageTexts(state, QStringLiteral(KINETRA_LANGUAGE_DIR "/") + language + QStringLiteral(".txt"));
    return state.message(index);
}

QStringList lines(const QByteArray& bytes)
{
    return QString::fromUtf8(bytes).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

class TestCliDrive : public QObject {
    Q_OBJECT
private slots:
    void findReportsTheSimulatedModel()
    {
        SimulatorProcess sim;
        QVERIFY2(sim.start({QStringLiteral("--device-type"), QStringLiteral("2013")}), qPrintable(sim.output()));
        // The port search, as the window's connect makes it.
        const CliRun run = runCli(sim, {QStringLiteral("find"), QStringLiteral("--json")});
        QVERIFY2(run.exitCode == kSuccess, qPrintable(run.describe()));
        const QJsonObject found = QJsonDocument::fromJson(run.out).object();
        QCOMPARE(found.value(QStringLiteral("port")).toInt(), 1);
        QCOMPARE(found.value(QStringLiteral("device")).toString(), sim.device());
        QCOMPARE(found.value(QStringLiteral("model")).toString(), QStringLiteral("Pivora canOPEN"));
        QCOMPARE(found.value(QStringLiteral("version")).toString(), QStringLiteral("V5-40"));
        QCOMPARE(found.value(QStringLiteral("address")).toInt(), 1);
    }

    // The file is the one the window's store writes for the table its connect reads; piped,
    // standard error carries no progress bar.
    void readWritesWhatTheWindowStores()
    {
        SimulatorProcess sim;
        QVERIFY2(sim.start(), qPrintable(sim.output()));
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("reference.par"));
        const CliRun run = runCli(
            sim, {QStringLiteral("read"), QStringLiteral("-o"), path, QStringLiteral("--port"), QStringLiteral("1")});
        QVERIFY2(run.exitCode == kSuccess, qPrintable(run.describe()));
        QVERIFY(!run.err.contains('\r'));
        const QByteArray expected = windowStoreOf(sim::DriveConfig());
        QVERIFY(!expected.isEmpty());
        QCOMPARE(readFile(path), expected);
    }

    void setCommitsWithTheEntryRulesAndReportsRefusals()
    {
        SimulatorProcess sim;
        QVERIFY2(sim.start(), qPrintable(sim.output()));
        const QStringList onCom1{QStringLiteral("--port"), QStringLiteral("1")};

        CliRun run =
            runCli(sim, QStringList{QStringLiteral("set"), QStringLiteral("2110"), QStringLiteral("12,5")} + onCom1);
        QVERIFY2(run.exitCode == kSuccess, qPrintable(run.describe()));
        QCOMPARE(lines(run.out), QStringList{QStringLiteral("2110  1250  12,50  accepted")});
        // The edge evaluation's list position 0 is the drive's 1.
        run = runCli(sim, QStringList{QStringLiteral("set"), QStringLiteral("2125"), QStringLiteral("0")} + onCom1);
        QVERIFY2(run.exitCode == kSuccess, qPrintable(run.describe()));

        // 200,00 is beyond what the drive takes: refused, in the chosen language.
        run = runCli(sim, QStringList{QStringLiteral("set"), QStringLiteral("2110"), QStringLiteral("200"),
                                      QStringLiteral("--language"), QStringLiteral("German")} +
                              onCom1);
        QVERIFY2(run.exitCode == kRefused, qPrintable(run.describe()));
        const QString refusal = messageOf(QStringLiteral("German"), 75);
        QVERIFY(!refusal.isEmpty());
        QVERIFY2(QString::fromUtf8(run.err).contains(refusal), qPrintable(run.describe()));
        QVERIFY(run.out.isEmpty());

        run = runCli(sim, QStringList{QStringLiteral("get"), QStringLiteral("2110"), QStringLiteral("2125"),
                                      QStringLiteral("--json")} +
                              onCom1);
        QVERIFY2(run.exitCode == kSuccess, qPrintable(run.describe()));
        const QJsonArray values = QJsonDocument::fromJson(run.out).array();
        QCOMPARE(values.size(), 2);
        QCOMPARE(values.at(0).toObject().value(QStringLiteral("raw")).toString(), QStringLiteral("1250"));
        QCOMPARE(values.at(0).toObject().value(QStringLiteral("display")).toString(), QStringLiteral("12,50"));
        QCOMPARE(values.at(1).toObject().value(QStringLiteral("raw")).toString(), QStringLiteral("1"));

        // A point would be dropped by an entry box; here it is refused before anything is sent.
        run = runCli(sim, QStringList{QStringLiteral("set"), QStringLiteral("2110"), QStringLiteral("12.5")} + onCom1);
        QCOMPARE(run.exitCode, kUsage);
    }

    // A reference drive's file loaded into another drive (values of its own), saved, and compared.
    void loadThenDiffReportsNoDifferences()
    {
        sim::DriveConfig reference;
        reference.startValues = {{2110, 777}, {2111, 3000}, {2125, 2}, {2101, -12345}};
        QByteArray file = windowStoreOf(reference);
        QVERIFY(!file.isEmpty());
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("reference.par"));
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(file);
        out.close();

        SimulatorProcess sim;
        QVERIFY2(sim.start(), qPrintable(sim.output()));
        const QStringList onCom1{QStringLiteral("--port"), QStringLiteral("1")};
        const QString trace = dir.filePath(QStringLiteral("wire.log"));
        CliRun run = runCli(
            sim, QStringList{QStringLiteral("load"), path, QStringLiteral("--save"), QStringLiteral("--trace"), trace} +
                     onCom1);
        QVERIFY2(run.exitCode == kSuccess, qPrintable(run.describe()));
        // 137, then the save command, after the values.
        const QByteArray log = readFile(trace);
        const qsizetype takeOver = log.indexOf("<STX>2152137<ETX>");
        QVERIFY(log.indexOf("<STX>2110777<ETX>") >= 0);
        QVERIFY(takeOver > log.indexOf("<STX>2110777<ETX>"));
        QVERIFY(log.indexOf("<STX>2152138<ETX>") > takeOver);

        run = runCli(sim, QStringList{QStringLiteral("diff"), path} + onCom1);
        QVERIFY2(run.exitCode == kSuccess, qPrintable(run.describe()));
        QVERIFY(run.out.isEmpty());
        QVERIFY(run.err.contains("no differences"));
    }

    // The drive's own values differ from a reference drive's even after a load; a changed
    // setting is named.
    void diffNamesWhatDiffers()
    {
        sim::DriveConfig reference;
        reference.startValues = {{2110, 777}, {2429, 5}};
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("reference.par"));
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(windowStoreOf(reference));
        out.close();

        SimulatorProcess sim;
        QVERIFY2(sim.start({QStringLiteral("--software-version"), QStringLiteral("523")}), qPrintable(sim.output()));
        // Written for a 5.40 drive: 79 axis records do not fit a 5.23 drive.
        CliRun run = runCli(sim, {QStringLiteral("diff"), path, QStringLiteral("--port"), QStringLiteral("1")});
        QVERIFY2(run.exitCode == kFileError, qPrintable(run.describe()));

        sim::DriveConfig older = reference;
        older.softwareVersion = 523;
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(windowStoreOf(older));
        out.close();
        // Standard error on a terminal this time: the full read draws its progress bar there.
        PtyPair terminal;
        QVERIFY(terminal.isValid());
        QProcess cli;
        cli.setStandardErrorFile(terminal.devicePath());
        QVERIFY(startCli(cli, sim,
                         {QStringLiteral("diff"), path, QStringLiteral("--all"), QStringLiteral("--json"),
                          QStringLiteral("--port"), QStringLiteral("1")}));
        QByteArray onTerminal;
        while (!cli.waitForFinished(20))
            onTerminal += terminal.read(20);
        onTerminal += terminal.read(20);
        run.exitCode = cli.exitCode();
        run.out = cli.readAllStandardOutput();
        run.err = onTerminal;
        QVERIFY2(run.exitCode == kDifferences, qPrintable(run.describe()));
        QVERIFY(onTerminal.contains("\r[") && onTerminal.contains("100%"));
        QStringList differing;
        for (const QJsonValue& v : QJsonDocument::fromJson(run.out).array())
            differing << QString::number(v.toObject().value(QStringLiteral("cmd")).toInt());
        QCOMPARE(differing, (QStringList{QStringLiteral("2110"), QStringLiteral("2429")}));
    }

    // Ctrl+C (or a terminate) during a load: the load ends after its current write, never inside
    // a frame, and says so.
    void interruptedLoadEndsBetweenTwoWrites()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("reference.par"));
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(windowStoreOf(sim::DriveConfig()));
        out.close();
        SimulatorProcess sim;
        QVERIFY2(sim.start(), qPrintable(sim.output()));

        const QString trace = dir.filePath(QStringLiteral("wire.log"));
        QProcess cli;
        QVERIFY(startCli(cli, sim,
                         {QStringLiteral("load"), path, QStringLiteral("--trace"), trace, QStringLiteral("--port"),
                          QStringLiteral("1")}));
        QTRY_VERIFY_WITH_TIMEOUT(readFile(trace).count("<ETX>") >= 8, 10000);
        cli.terminate();
        QVERIFY(cli.waitForFinished(10000));
        QCOMPARE(cli.exitStatus(), QProcess::NormalExit);
        QCOMPARE(cli.exitCode(), 130);
        QVERIFY(QString::fromUtf8(cli.readAllStandardError()).contains(messageOf(QStringLiteral("English"), 11)));

        const QStringList log = QString::fromLatin1(readFile(trace)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        const qsizetype writes = log.filter(QStringLiteral("-> <EOT>11<STX>21")).size();
        QVERIFY2(writes > 0 && writes < 79, qPrintable(log.join(QLatin1Char('\n'))));
        QVERIFY2(log.last().contains(QLatin1String(" <- <ACK>")), qPrintable(log.last()));
    }

    void monitorPrintsRowsAsTheyArrive()
    {
        SimulatorProcess sim;
        QVERIFY2(sim.start(), qPrintable(sim.output()));
        const CliRun run = runCli(sim, {QStringLiteral("monitor"), QStringLiteral("--count"), QStringLiteral("5"),
                                        QStringLiteral("--csv"), QStringLiteral("--port"), QStringLiteral("1")});
        QVERIFY2(run.exitCode == kSuccess, qPrintable(run.describe()));
        const QStringList rows = lines(run.out);
        QCOMPARE(rows.size(), 1 + 5);
        QCOMPARE(rows.first(), QStringLiteral("time,position,status,status_text,current,peak,pwm"));
        // At rest, in position, the emergency-stop circuit closed.
        const QString inPosition = messageOf(QStringLiteral("English"), 50);
        for (const QString& row : rows.mid(1))
            QVERIFY2(row.contains(QLatin1Char(',') + inPosition + QLatin1Char(',')), qPrintable(row));
    }

    void silentDriveEndsWithLinkLost()
    {
        SimulatorProcess sim;
        // The poll that finds it is answered, nothing after it.
        QVERIFY2(sim.start({QStringLiteral("--silent-after"), QStringLiteral("1")}), qPrintable(sim.output()));
        const CliRun run =
            runCli(sim, {QStringLiteral("get"), QStringLiteral("2110"), QStringLiteral("--port"), QStringLiteral("1")});
        QVERIFY2(run.exitCode == kLinkLost, qPrintable(run.describe()));
        QVERIFY(run.out.isEmpty());
    }

    void failuresBeforeTheDriveHaveTheirCodes()
    {
        SimulatorProcess sim;
        QVERIFY2(sim.start(), qPrintable(sim.output()));
        QTemporaryDir dir;
        // No drive behind COM2 (nothing is registered there).
        CliRun run = runCli(sim, {QStringLiteral("find"), QStringLiteral("--port"), QStringLiteral("2")});
        QVERIFY2(run.exitCode == kNoDrive, qPrintable(run.describe()));
        run = runCli(sim, {QStringLiteral("load"), dir.filePath(QStringLiteral("missing.par"))});
        QVERIFY2(run.exitCode == kFileError, qPrintable(run.describe()));
        run = runCli(sim, {QStringLiteral("erase")});
        QCOMPARE(run.exitCode, kUsage);
        run = runCli(sim, {QStringLiteral("ports")});
        QVERIFY2(run.exitCode == kSuccess, qPrintable(run.describe()));
        QVERIFY(lines(run.out).first().contains(sim.device()));
    }
};

QTEST_GUILESS_MAIN(TestCliDrive)
#include "test_cli_drive.moc"
