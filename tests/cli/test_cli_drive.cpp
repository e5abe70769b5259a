// kinetra-cli as a process against kinetra-drive-sim on a pseudo-terminal.

#include "cli_process.h"
#include "drive_com.h"
#include "fake_serial_port.h"
#include "link_presenter.h"
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
#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QTest>

#include <array>

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
    LinkPresenter presenter(state, window, dialogs);
    DriveCom com(state, port, clock, presenter);
    com.setValueSink([&display](QString& value, int index) { display.showValues(value, index); });
    com.cmdConnect();
    com.timerReceive().setEnabled(false);
    if (state.paramsLoaded != 1)
        return {};
    return formatParameterFile(state.table, state.firmwareLevel);
}

// The window's store of `config`'s drive, as reference.par in `dir`.
QString storeReference(const QTemporaryDir& dir, const sim::DriveConfig& config = {})
{
    const QString path = dir.filePath("reference.par");
    QFile out(path);
    const QByteArray bytes = windowStoreOf(config);
    return !bytes.isEmpty() && out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size() ? path : QString();
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString messageOf(const QString& language, int index)
{
    SharedState state;
    cli::loadMessageTexts(state, QStringLiteral(KINETRA_LANGUAGE_DIR "/") + language + ".txt");
    return state.message(index);
}

QStringList lines(const QByteArray& bytes)
{
    return QString::fromUtf8(bytes).split('\n', Qt::SkipEmptyParts);
}

} // namespace

class TestCliDrive : public QObject {
    Q_OBJECT
    const QStringList onCom1{"--port", "1"};

private slots:
    // The port search, as the window's connect makes it; what fails before a drive answers.
    void findReportsTheSimulatedModel()
    {
        SimulatorProcess sim;
        QVERIFY2(sim.start({"--device-type", "2013"}), qPrintable(sim.output()));
        CliRun run = runCli(sim, {"find", "--json"});
        QVERIFY2(run.exitCode == kSuccess, qPrintable(run.describe()));
        const QJsonObject found = QJsonDocument::fromJson(run.out).object();
        QCOMPARE(found.value("port").toInt(), 1);
        QCOMPARE(found.value("device").toString(), sim.device());
        QCOMPARE(found.value("model").toString(), "Pivora canOPEN");
        QCOMPARE(found.value("version").toString(), "V5-40");
        QCOMPARE(found.value("busAddress").toInt(), 1);

        run = runCli(sim, {"ports"});
        QVERIFY2(run.exitCode == kSuccess, qPrintable(run.describe()));
        QVERIFY(lines(run.out).first().contains(sim.device()));
        // No drive behind COM2 (nothing is registered there).
        run = runCli(sim, {"find", "--port", "2"});
        QVERIFY2(run.exitCode == kNoDrive, qPrintable(run.describe()));
        // A device path instead of a COM number, by either option; one that does not open names
        // the serial devices there are.
        for (const char* option : {"--device", "--port"}) {
            run = runCli(sim, {"find", option, sim.device()});
            QVERIFY2(run.exitCode == kSuccess && run.out.contains(sim.device().toUtf8()), qPrintable(run.describe()));
        }
        run = runCli(sim, {"find", "--port", "/dev/kinetra-no-such-device"});
        QVERIFY2(run.exitCode == kNoDrive, qPrintable(run.describe()));
        QVERIFY2(run.err.contains("erial devices found"), qPrintable(run.describe()));
        QTemporaryDir dir;
        run = runCli(sim, {"load", dir.filePath("missing.par")});
        QVERIFY2(run.exitCode == kFileError, qPrintable(run.describe()));
        // A file that cannot be stored fails before the drive is asked anything.
        const QString trace = dir.filePath("wire.log");
        run = runCli(sim, QStringList{"read", "-o", "/nonexistent/folder/x.par", "--trace", trace} + onCom1);
        QVERIFY2(run.exitCode == kFileError, qPrintable(run.describe()));
        QVERIFY(!readFile(trace).contains("<ENQ>"));
    }

    // The file is the one the window's store writes for the table its connect reads; piped,
    // standard error carries no progress bar.
    void readWritesWhatTheWindowStores()
    {
        SimulatorProcess sim;
        QVERIFY2(sim.start(), qPrintable(sim.output()));
        QTemporaryDir dir;
        const QString path = dir.filePath("read.par");
        const CliRun run = runCli(sim, QStringList{"read", "-o", path} + onCom1);
        QVERIFY2(run.exitCode == kSuccess, qPrintable(run.describe()));
        QVERIFY(!run.err.contains('\r'));
        const QByteArray expected = windowStoreOf({});
        QVERIFY(!expected.isEmpty());
        QCOMPARE(readFile(path), expected);
    }

    void setCommitsWithTheEntryRulesAndReportsRefusals()
    {
        SimulatorProcess sim;
        QVERIFY2(sim.start(), qPrintable(sim.output()));
        CliRun run = runCli(sim, QStringList{"set", "2110", "12,5"} + onCom1);
        QVERIFY2(run.exitCode == kSuccess, qPrintable(run.describe()));
        QCOMPARE(lines(run.out), QStringList{"2110  1250  12,50  accepted"});
        // The edge evaluation's list position 0 is the drive's 1.
        run = runCli(sim, QStringList{"set", "2125", "0"} + onCom1);
        QVERIFY2(run.exitCode == kSuccess, qPrintable(run.describe()));

        // 200,00 is beyond what the drive takes: refused, in the chosen language.
        run = runCli(sim, QStringList{"set", "2110", "200", "--language", "German"} + onCom1);
        QVERIFY2(run.exitCode == kRefused, qPrintable(run.describe()));
        const QString refusal = messageOf("German", 75);
        QVERIFY(!refusal.isEmpty());
        QVERIFY2(QString::fromUtf8(run.err).contains("2110: " + refusal), qPrintable(run.describe()));
        QVERIFY(run.out.isEmpty());

        run = runCli(sim, QStringList{"get", "2110", "2125", "--json"} + onCom1);
        QVERIFY2(run.exitCode == kSuccess, qPrintable(run.describe()));
        const QJsonArray values = QJsonDocument::fromJson(run.out).array();
        QCOMPARE(values.size(), 2);
        // Numbers as JSON numbers: the raw integer beside the value as shown, and its decimals.
        QCOMPARE(values.at(0).toObject().value("raw").toInteger(), 1250);
        QCOMPARE(values.at(0).toObject().value("value").toDouble(), 12.5);
        QCOMPARE(values.at(0).toObject().value("decimals").toInt(), 2);
        QCOMPARE(values.at(1).toObject().value("raw").toInteger(), 1);

        // A point is a decimal separator as the comma is.
        run = runCli(sim, QStringList{"set", "2110", "12.75"} + onCom1);
        QVERIFY2(run.exitCode == kSuccess, qPrintable(run.describe()));
        QCOMPARE(lines(run.out), QStringList{"2110  1275  12,75  accepted"});

        // A position needs its decimal places: given, or the window's setting; never a guess.
        run = runCli(sim, QStringList{"set", "2101", "7"} + onCom1);
        QVERIFY2(run.exitCode == kUsage, qPrintable(run.describe()));
        QVERIFY(run.err.contains("--decimals"));
        run = runCli(sim, QStringList{"set", "2101", "7", "--decimals", "1", "--json"} + onCom1);
        QVERIFY2(run.exitCode == kSuccess, qPrintable(run.describe()));
        const QJsonObject set = QJsonDocument::fromJson(run.out).object();
        QCOMPARE(set.value("raw").toInteger(), 70);
        QCOMPARE(set.value("decimals").toInt(), 1);
    }

    // Parameters by name and unit in the language in use: the list of them, and get and set by name.
    void parametersGoByNameAsByNumber()
    {
        SimulatorProcess sim;
        QVERIFY2(sim.start(), qPrintable(sim.output()));
        CliRun run = runCli(sim, QStringList{"list", "--json"} + onCom1);
        QVERIFY2(run.exitCode == kSuccess, qPrintable(run.describe()));
        const QJsonArray all = QJsonDocument::fromJson(run.out).array();
        QCOMPARE(all.size(), 100 + 38); // level 5.40: every axis parameter, and the device's
        QJsonObject fast;
        for (const QJsonValue& v : all)
            if (v.toObject().value("cmd").toInt() == 2113)
                fast = v.toObject();
        QCOMPARE(fast.value("name").toString(), "Fast speed");
        QCOMPARE(fast.value("unit").toString(), "%");
        QCOMPARE(fast.value("value").toInteger(), 80);

        run = runCli(sim, QStringList{"get", "fast speed"} + onCom1);
        QVERIFY2(run.exitCode == kSuccess, qPrintable(run.describe()));
        QCOMPARE(lines(run.out), QStringList{"2113  80  80 %  Fast speed"});
        run = runCli(sim, QStringList{"set", "Schnelle Geschw.", "70", "--language", "German"} + onCom1);
        QVERIFY2(run.exitCode == kSuccess && run.out.startsWith("2113  70"), qPrintable(run.describe()));
        // Two parameters share this name: the number decides.
        run = runCli(sim, QStringList{"get", "Measuring time"} + onCom1);
        QVERIFY2(run.exitCode == kUsage && run.err.contains("2131, 2134"), qPrintable(run.describe()));
    }

    // A reference drive's file loaded into another drive (values of its own), saved, and compared.
    void loadThenDiffReportsNoDifferences()
    {
        sim::DriveConfig reference;
        reference.startValues = {{2110, 777}, {2111, 3000}, {2125, 2}, {2101, -12345}};
        QTemporaryDir dir;
        const QString path = storeReference(dir, reference);
        QVERIFY(!path.isEmpty());
        SimulatorProcess sim;
        QVERIFY2(sim.start(), qPrintable(sim.output()));
        // The preview first: what the load would change, and not one write on the wire.
        const QString preview = dir.filePath("preview.log");
        CliRun run = runCli(sim, QStringList{"load", path, "--check", "--trace", preview} + onCom1);
        QVERIFY2(run.exitCode == kDifferences, qPrintable(run.describe()));
        QVERIFY2(run.out.contains("2110  P10  In-position time  file 7,77 s  drive 0,50 s"), qPrintable(run.describe()));
        // Polls end in ENQ; a write would end in ETX and its check character.
        QVERIFY(QString::fromLatin1(readFile(preview)).split('\n').filter("-> ").filter("<ETX>").isEmpty());

        const QString trace = dir.filePath("wire.log");
        run = runCli(sim, QStringList{"load", path, "--save", "--trace", trace} + onCom1);
        QVERIFY2(run.exitCode == kSuccess, qPrintable(run.describe()));
        // 137, then the save command, after the values.
        const QByteArray log = readFile(trace);
        const qsizetype takeOver = log.indexOf("<STX>2152137<ETX>");
        QVERIFY(log.indexOf("<STX>2110777<ETX>") >= 0);
        QVERIFY(takeOver > log.indexOf("<STX>2110777<ETX>"));
        QVERIFY(log.indexOf("<STX>2152138<ETX>") > takeOver);

        run = runCli(sim, QStringList{"diff", path} + onCom1);
        QVERIFY2(run.exitCode == kSuccess, qPrintable(run.describe()));
        QVERIFY(run.out.isEmpty());
        QVERIFY(run.err.contains("no differences"));
    }

    // The README's commissioning example, run line by line as written, against four simulated
    // drives that the settings name COM1-COM4.
    void theReadmeCommissioningExampleRunsAsWritten()
    {
        QFile readme(QStringLiteral(KINETRA_README));
        QVERIFY(readme.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(readme.readAll());
        const qsizetype from = text.indexOf("Commissioning a series of drives");
        QVERIFY(from >= 0);
        QStringList commands;
        for (const QString& line : text.mid(from).split('\n').mid(1)) {
            if (line.startsWith("    kinetra-cli "))
                commands << line.trimmed();
            else if (!commands.isEmpty() && !line.trimmed().isEmpty())
                break;
        }
        QCOMPARE(commands.size(), 4);

        std::array<SimulatorProcess, 4> drives;
        QTemporaryDir work;
        QString ports = "[Ports]\n";
        for (int n = 0; n < 4; ++n) {
            QVERIFY2(drives[n].start(), qPrintable(drives[n].output()));
            ports += QStringLiteral("COM%1=%2\n").arg(n + 1).arg(drives[n].device());
        }
        QFile ini(work.filePath("kinetra.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly) && ini.write(ports.toUtf8()) > 0);
        ini.close();
        QProcess shell;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("PATH", QFileInfo(QStringLiteral(KINETRA_CLI)).absolutePath() + ':' + env.value("PATH"));
        env.insert("KINETRA_SETTINGS_DIR", work.path());
        shell.setProcessEnvironment(env);
        shell.setWorkingDirectory(work.path());
        shell.start("bash", {"-e", "-c", commands.join('\n')});
        QVERIFY(shell.waitForFinished(180000));
        const QString said = QString::fromUtf8(shell.readAllStandardOutput() + shell.readAllStandardError());
        QVERIFY2(shell.exitCode() == 0, qPrintable(said));
        QVERIFY2(said.contains("COM3 matches reference.par"), qPrintable(said));
        // The batch's table: COM2-COM4 loaded, saved and matching, each with all 80 records.
        const QStringList batchRows = said.split('\n').filter(QRegularExpression("^COM[234] +Corvex"));
        QCOMPARE(batchRows.size(), 3);
        for (const QString& row : batchRows)
            QVERIFY2(QRegularExpression("Corvex RS232 +V5-40 +80 +0 yes +ok$").match(row).hasMatch(), qPrintable(row));

        // A port without a drive fails the batch with its code, and says which.
        shell.start(QStringLiteral(KINETRA_CLI), {"batch", "reference.par", "--ports", "2,/dev/kinetra-no-such-device", "--json"});
        QVERIFY(shell.waitForFinished(180000));
        QCOMPARE(shell.exitCode(), kNoDrive);
        const QJsonArray results = QJsonDocument::fromJson(shell.readAllStandardOutput()).array();
        QCOMPARE(results.size(), 2);
        QVERIFY(results.at(0).toObject().value("ok").toBool());
        QCOMPARE(results.at(0).toObject().value("sent").toInt(), 80);
        QVERIFY(!results.at(1).toObject().value("ok").toBool());
    }

    // A file with a value that is no number is refused before anything goes to the drive, and
    // the message names the record.
    void loadRefusesAValueThatIsNoNumber()
    {
        QTemporaryDir dir;
        const QString path = storeReference(dir);
        QVERIFY(!path.isEmpty());
        QByteArray bytes = readFile(path);
        const qsizetype at = bytes.indexOf("\"P13\",");
        QVERIFY(at > 0);
        bytes.replace(at, bytes.indexOf("\r\n", at) - at, "\"P13\",eighty");
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size());
        out.close();
        SimulatorProcess sim;
        QVERIFY2(sim.start(), qPrintable(sim.output()));
        const QString trace = dir.filePath("wire.log");
        const CliRun run = runCli(sim, QStringList{"load", path, "--trace", trace} + onCom1);
        QVERIFY2(run.exitCode == kFileError, qPrintable(run.describe()));
        QVERIFY2(run.err.contains("P13") && run.err.contains("not a number"), qPrintable(run.describe()));
        QVERIFY(!readFile(trace).contains("<ACK>"));
    }

    // The drive's own values differ from a reference drive's even after a load; a changed
    // setting is named.
    void diffNamesWhatDiffers()
    {
        sim::DriveConfig reference;
        reference.startValues = {{2110, 777}, {2429, 5}};
        QTemporaryDir dir;
        QString path = storeReference(dir, reference);
        QVERIFY(!path.isEmpty());
        SimulatorProcess sim;
        QVERIFY2(sim.start({"--software-version", "523"}), qPrintable(sim.output()));
        // Written for a 5.40 drive: 79 axis records do not fit a 5.23 drive.
        CliRun run = runCli(sim, QStringList{"diff", path} + onCom1);
        QVERIFY2(run.exitCode == kFileError, qPrintable(run.describe()));

        reference.softwareVersion = 523;
        path = storeReference(dir, reference);
        QVERIFY(!path.isEmpty());
        // Standard error on a terminal this time: the full read draws its progress bar there.
        PtyPair terminal;
        QVERIFY(terminal.isValid());
        QProcess cli;
        cli.setStandardErrorFile(terminal.devicePath());
        QVERIFY(startCli(cli, sim, QStringList{"diff", path, "--all", "--json"} + onCom1));
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
            differing << QString::number(v.toObject().value("cmd").toInt());
        QCOMPARE(differing, (QStringList{"2110", "2429"}));
    }

    // Ctrl+C (or a terminate) during a load: the load ends after its current write, never inside
    // a frame, and says so.
    void interruptedLoadEndsBetweenTwoWrites()
    {
        QTemporaryDir dir;
        const QString path = storeReference(dir);
        QVERIFY(!path.isEmpty());
        SimulatorProcess sim;
        QVERIFY2(sim.start(), qPrintable(sim.output()));
        const QString trace = dir.filePath("wire.log");
        QProcess cli;
        QVERIFY(startCli(cli, sim, QStringList{"load", path, "--trace", trace} + onCom1));
        QTRY_VERIFY_WITH_TIMEOUT(readFile(trace).count("<ETX>") >= 8, 10000);
        cli.terminate();
        QVERIFY(cli.waitForFinished(10000));
        QCOMPARE(cli.exitStatus(), QProcess::NormalExit);
        QCOMPARE(cli.exitCode(), 130);
        const QString said = QString::fromUtf8(cli.readAllStandardError());
        QVERIFY(said.contains(messageOf("English", 11)));
        QVERIFY2(said.contains(QRegularExpression("\\d+ of 80 records went to the drive")) &&
                     said.contains("nothing was saved"),
                 qPrintable(said));

        const QStringList log = QString::fromLatin1(readFile(trace)).split('\n', Qt::SkipEmptyParts);
        const qsizetype writes = log.filter("-> <EOT>11<STX>21").size();
        QVERIFY2(writes > 0 && writes < 79, qPrintable(log.join('\n')));
        QVERIFY2(log.last().contains(" <- <ACK>"), qPrintable(log.last()));
    }

    void monitorPrintsRowsAsTheyArrive()
    {
        SimulatorProcess sim;
        QVERIFY2(sim.start(), qPrintable(sim.output()));
        const CliRun run = runCli(sim, QStringList{"monitor", "--count", "5", "--csv"} + onCom1);
        QVERIFY2(run.exitCode == kSuccess, qPrintable(run.describe()));
        const QStringList rows = lines(run.out);
        QCOMPARE(rows.size(), 1 + 5);
        QCOMPARE(rows.first(), "time,position,status,status_text,current,peak,pwm");
        // At rest, in position, the emergency-stop circuit closed.
        const QString inPosition = messageOf("English", 50);
        for (const QString& row : rows.mid(1)) {
            QVERIFY2(row.contains(',' + inPosition + ','), qPrintable(row));
            // CSV takes a decimal point: the current is one field, "0.20", not "0,20" in quotes.
            QVERIFY2(QRegularExpression("^-?\\d+\\.\\d\\d$").match(row.section(',', 4, 4)).hasMatch(), qPrintable(row));
        }

        // Without --count, Ctrl+C (or a terminate) ends it, and the exit code says so.
        QProcess endless;
        QVERIFY(startCli(endless, sim, QStringList{"monitor", "--csv"} + onCom1));
        QByteArray shown;
        QTRY_VERIFY2_WITH_TIMEOUT((shown += endless.readAllStandardOutput()).count('\n') > 1,
                                  qPrintable(endless.readAllStandardError()), 10000);
        endless.terminate();
        QVERIFY(endless.waitForFinished(10000));
        QCOMPARE(endless.exitCode(), 130);
    }

    // Two programs on one line: the port this test holds is named as in use by it, not as a
    // matter of rights, by the port list and by a command that wants the port.
    void aPortHeldByAnotherProgramNamesItsHolder()
    {
        SimulatorProcess sim;
        QVERIFY2(sim.start(), qPrintable(sim.output()));
        QSerialPort holder(sim.device());
        QVERIFY2(holder.open(QIODevice::ReadWrite), qPrintable(holder.errorString()));
        const QString held = QStringLiteral("in use by %1, process %2")
                                 .arg(QCoreApplication::applicationName())
                                 .arg(QCoreApplication::applicationPid());
        CliRun run = runCli(sim, QStringList{"find"} + onCom1);
        QVERIFY2(run.exitCode == kNoDrive, qPrintable(run.describe()));
        QVERIFY2(run.err.contains(held.toUtf8()), qPrintable(run.describe()));
        QVERIFY2(run.err.contains("closing its window releases it"), qPrintable(run.describe()));
        QVERIFY(!run.err.contains("dialout"));
        run = runCli(sim, QStringList{"ports"});
        QVERIFY2(run.out.contains(held.toUtf8()), qPrintable(run.describe()));
    }

    // A drive that stops answering, or answers a write with neither ACK nor NAK: the command
    // fails with its exit code and says why; nothing is reported as accepted.
    void faultyDriveEndsInItsExitCode_data()
    {
        QTest::addColumn<QStringList>("fault");
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("said");
        // The poll that finds it is answered, nothing after it.
        QTest::newRow("silent after the search")
            << QStringList{"--silent-after", "1"} << QStringList{"get", "2110"} << kLinkLost << "link lost";
        QTest::newRow("write answered with stray characters")
            << QStringList{"--garbage", "3"} << QStringList{"set", "2113", "80"} << kRefused
            << "2113: the drive's answer was neither an acknowledgement nor a refusal";
    }
    void faultyDriveEndsInItsExitCode()
    {
        QFETCH(QStringList, fault);
        QFETCH(QStringList, command);
        QFETCH(QString, said);
        SimulatorProcess sim;
        QVERIFY2(sim.start(fault), qPrintable(sim.output()));
        const CliRun run = runCli(sim, command + onCom1);
        QFETCH(int, exitCode);
        QVERIFY2(run.exitCode == exitCode, qPrintable(run.describe()));
        QVERIFY2(QString::fromUtf8(run.err).contains(said), qPrintable(run.describe()));
        QVERIFY(run.out.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCliDrive)
#include "test_cli_drive.moc"
