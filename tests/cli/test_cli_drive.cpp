// kinetra-cli against kinetra-drive-sim on pseudo-terminals, in real time: a few scenarios on one
// 5.23 drive (fewer parameters), and the README's example, the longest run, on four drives of its
// own started at once, beside the other functions; the last one checks it.

#include "messages.h"
#include "parameter_file_writer.h"
#include "parameterfiles/hand_written_file.h"
#include "pty_pair.h"
#include "sim_device.h"
#include "sim_process.h"
#include "value_display.h"
#include "virtual_link.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSerialPort>
#include <QTest>

#include <array>

using namespace kinetra;
using namespace kinetra::test;
using handwritten::contentOf;
using handwritten::put;

namespace {

// Exit codes as the help documents them.
constexpr int kSuccess = 0, kDifferences = 1, kRefused = 3, kNoDrive = 4, kLinkLost = 5, kFileError = 6,
              kInterrupted = 130;
constexpr int kLevel = 523;

// kinetra-drive-sim registered as COM1 in a settings folder of its own; answers unpaced, at once.
struct SimulatorProcess : sim::SimProcess {
    bool start(const QStringList& arguments = {})
    {
        return SimProcess::start(
            KINETRA_DRIVE_SIM,
            arguments + QStringList{"--no-pacing", "--latency", "0", "--software-version", QString::number(kLevel)});
    }
};

struct CliRun {
    int exitCode = -1;
    QByteArray out, err;
    QString describe() const { return "exit " + QString::number(exitCode) + "\nstdout:\n" + out + "\nstderr:\n" + err; }
    QJsonValue json() const
    {
        const QJsonDocument doc = QJsonDocument::fromJson(out);
        return doc.isArray() ? QJsonValue(doc.array()) : QJsonValue(doc.object());
    }
};
#define VERIFY_RUN(run, code, condition) QVERIFY2((run).exitCode == (code) && (condition), qPrintable((run).describe()))

// kinetra-cli, or a program that calls it by name, with the settings in `settingsDir`.
bool startCli(QProcess& process, const QString& settingsDir, const QStringList& arguments,
              const QString& program = KINETRA_CLI)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("PATH", QFileInfo(KINETRA_CLI).absolutePath() + ':' + env.value("PATH"));
    env.insert("KINETRA_SETTINGS_DIR", settingsDir);
    env.remove("KINETRA_TRACE");
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    return process.waitForStarted(5000);
}

// Waits for its end; one that does not end in time is killed and reported as exit -1.
CliRun finish(QProcess& process)
{
    if (!process.waitForFinished(40000))
        process.kill();
    process.waitForFinished(3000);
    const int code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return {code, process.readAllStandardOutput(), process.readAllStandardError()};
}

// The parameter file the window's store writes after its connect has read `config`'s drive: the
// same drive model on virtual time, read by the window's link and display.
QByteArray windowStoreOf(sim::DriveConfig config)
{
    config.softwareVersion = config.softwareVersion.value_or(kLevel);
    VirtualLink link;
    SimDevice drive(config);
    drive.attachTo(link.port, 1);
    ValueDisplay display(link.state, link.window);
    link.com->setValueSink([&display](QString& value, int index) { display.showValues(value, index); });
    link.com->cmdConnect();
    link.com->timerReceive().setEnabled(false);
    return link.state.paramsLoaded == 1 ? formatParameterFile(link.state.table, link.state.firmwareLevel)
                                        : QByteArray();
}

QString messageOf(const QString& language, int index)
{
    SharedState state;
    cli::loadMessageTexts(state, KINETRA_LANGUAGE_DIR "/" + language + ".txt");
    return state.message(index);
}

QStringList lines(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes).split('\n', Qt::SkipEmptyParts);
}

} // namespace

class TestCliDrive : public QObject {
    Q_OBJECT
    std::array<SimulatorProcess, 4> readmeDrives_;
    QTemporaryDir readmeDir_;
    QProcess readmeShell_;
    SimulatorProcess drive_;
    QTemporaryDir dir_;
    // A reference drive's file for drive_: three values of its own, one of them the drive's own.
    QString reference_;

    CliRun cli(const QStringList& arguments, const QStringList& port = {"--port", "1"})
    {
        QProcess process;
        return startCli(process, drive_.settingsDir(), arguments + port) ? finish(process) : CliRun{};
    }

private slots:
    void initTestCase()
    {
        // The README's commissioning example as written, under `bash -e` in a folder whose settings
        // name its drives COM1-COM4 and switch the fast link on (the others run on classic timing).
        const QString text = QString::fromUtf8(contentOf(KINETRA_README));
        const QString commands = text.mid(text.indexOf("Commissioning a series of drives")).section("\n\n", 1, 1);
        QVERIFY2(commands.split('\n').filter(QRegularExpression("^    kinetra-cli ")).size() == 4,
                 qPrintable(commands));
        QString ports = "[System]\nFastLink=1\n[Ports]\n";
        for (int n = 0; n < 4; ++n) {
            QVERIFY2(readmeDrives_[n].start(), qPrintable(readmeDrives_[n].output()));
            ports += QStringLiteral("COM%1=%2\n").arg(n + 1).arg(readmeDrives_[n].device());
        }
        QVERIFY(put(readmeDir_.filePath("kinetra.ini"), ports.toUtf8()));
        readmeShell_.setWorkingDirectory(readmeDir_.path());
        readmeShell_.setProcessChannelMode(QProcess::MergedChannels);
        QVERIFY(startCli(readmeShell_, readmeDir_.path(), {"-e", "-c", commands}, "bash"));

        QVERIFY2(drive_.start(), qPrintable(drive_.output()));
        reference_ = dir_.filePath("reference.par");
        sim::DriveConfig reference;
        reference.startValues = {{2110, 777}, {2111, 3000}, {2429, 5}};
        const QByteArray stored = windowStoreOf(reference);
        QVERIFY(!stored.isEmpty() && put(reference_, stored));
    }

    // The port search as the window's connect makes it, and what fails before a full read.
    void findThenWhatFailsBeforeAFullRead()
    {
        // A device path for the port; one that does not open names the serial devices there are.
        CliRun run = cli({"find", "--json"}, {"--port", drive_.device()});
        const QJsonValue found = run.json();
        VERIFY_RUN(run, kSuccess, found["device"] == drive_.device() && found["port"] == 1 && found["busAddress"] == 1);
        QCOMPARE(found["model"].toString() + ' ' + found["version"].toString(), "Corvex RS232 V5-23");
        run = cli({"find"}, {"--device", "/dev/kinetra-no-such-device"});
        VERIFY_RUN(run, kNoDrive, run.err.contains("Serial devices found: COM1 " + drive_.device().toUtf8()));
        // The batch says which drive failed and ends with its code.
        run = cli({"batch", reference_, "--json"}, {"--ports", "/dev/kinetra-no-such-device"});
        const QJsonValue row = run.json()[0];
        VERIFY_RUN(run, kNoDrive, row["port"] == "/dev/kinetra-no-such-device" && row["ok"] == false);

        // A value that is no number is refused, by its record, before anything goes to the drive.
        QByteArray bytes = contentOf(reference_);
        const qsizetype at = bytes.indexOf("\"P13\",");
        bytes.replace(at, bytes.indexOf("\r\n", at) - at, "\"P13\",eighty");
        const QString bad = dir_.filePath("bad.par");
        const QString trace = dir_.filePath("bad.log");
        QVERIFY(at > 0 && put(bad, bytes));
        run = cli({"load", bad, "--trace", trace});
        VERIFY_RUN(run, kFileError, run.err.contains("P13") && run.err.contains("not a number"));
        QVERIFY(!contentOf(trace).contains("<ACK>"));
    }

    // The preview names what a load would change and writes nothing: the diff after it still
    // finds every difference. On a terminal the full read draws its progress bar.
    void previewAndDiffNameWhatDiffers()
    {
        const QString trace = dir_.filePath("preview.log");
        const CliRun run = cli({"load", reference_, "--check", "--trace", trace});
        // The bus address 2429 is the drive's own: a load does not send it.
        VERIFY_RUN(run, kDifferences, lines(run.out).size() == 2);
        QVERIFY2(run.out.contains("2110  P10  In-position time  file 7,77 s  drive 0,50 s"),
                 qPrintable(run.describe()));
        // Polls end in ENQ; a write would end in ETX and its check character.
        QVERIFY(lines(contentOf(trace)).filter(" -> ").filter("<ETX>").isEmpty());

        PtyPair terminal;
        QVERIFY(terminal.isValid());
        QProcess process;
        process.setStandardErrorFile(terminal.devicePath());
        QVERIFY(startCli(process, drive_.settingsDir(), {"diff", reference_, "--all", "--json", "--port", "1"}));
        QByteArray onTerminal;
        while (!process.waitForFinished(20))
            onTerminal += terminal.read(20);
        onTerminal += terminal.read(20);
        QCOMPARE(process.exitCode(), kDifferences);
        QVERIFY2(onTerminal.contains("\r[") && onTerminal.contains("100%"), onTerminal.constData());
        QStringList differing;
        for (const QJsonValue& v : QJsonDocument::fromJson(process.readAllStandardOutput()).array())
            differing << QString::number(v["cmd"].toInt());
        QCOMPARE(differing, (QStringList{"2110", "2111", "2429"}));
    }

    // A commit as the window's entry box makes it, by number or by name in the language in use.
    void setAndGetByNumberAndName()
    {
        CliRun run = cli({"list", "--json"});
        const QJsonArray all = run.json().toArray();
        // Level 5.23: the axis parameters below 5.40's, and the device's.
        VERIFY_RUN(run, kSuccess, all.size() == 59 + 38);
        QJsonValue fast;
        for (const QJsonValue& v : all)
            fast = v["cmd"] == 2113 ? v : fast;
        QVERIFY2(fast["name"] == "Fast speed" && fast["unit"] == "%" && fast["value"] == 80,
                 qPrintable(run.describe()));
        run = cli({"get", "fast speed"});
        VERIFY_RUN(run, kSuccess, lines(run.out) == QStringList{"2113  80  80 %  Fast speed"});
        run = cli({"set", "Schnelle Geschw.", "70", "--language", "German"});
        VERIFY_RUN(run, kSuccess, run.out.startsWith("2113  70"));

        run = cli({"set", "2110", "12,5"});
        VERIFY_RUN(run, kSuccess, lines(run.out) == QStringList{"2110  1250  12,50  accepted"});
        // The edge evaluation's list position 0 is the drive's 1.
        run = cli({"set", "2125", "0"});
        VERIFY_RUN(run, kSuccess, true);
        // 200,00 is beyond what the drive takes: refused, in the chosen language.
        run = cli({"set", "2110", "200", "--language", "German"});
        const QString refusal = "2110: " + messageOf("German", 75);
        VERIFY_RUN(run, kRefused,
                   run.out.isEmpty() && QString::fromUtf8(run.err).contains(refusal) && refusal.size() > 8);
        // Numbers as JSON numbers: the raw integer beside the value as shown, and its decimals.
        run = cli({"get", "2110", "2125", "--json"});
        const QJsonValue got = run.json();
        VERIFY_RUN(run, kSuccess, got[0]["raw"] == 1250 && got[0]["value"] == 12.5 && got[0]["decimals"] == 2);
        QCOMPARE(got[1]["raw"].toInt(), 1);
        // A position with its decimal places given.
        run = cli({"set", "2101", "7", "--decimals", "1", "--json"});
        VERIFY_RUN(run, kSuccess, run.json()["raw"] == 70 && run.json()["decimals"] == 1);
    }

    void monitorPrintsRowsAsTheyArrive()
    {
        const CliRun run = cli({"monitor", "--count", "5", "--csv"});
        const QStringList rows = lines(run.out);
        VERIFY_RUN(run, kSuccess, rows.size() == 1 + 5);
        QCOMPARE(rows.first(), "time,position,status,status_text,current,peak,pwm");
        // At rest, in position, the emergency-stop circuit closed.
        const QString inPosition = messageOf("English", 50);
        const QRegularExpression current("^-?\\d+\\.\\d\\d$");
        // CSV takes a decimal point: the current is one field, "0.20", not "0,20" in quotes.
        for (const QString& row : rows.mid(1))
            QVERIFY2(row.contains(',' + inPosition + ',') && current.match(row.section(',', 4, 4)).hasMatch(),
                     qPrintable(row));
        // Without --count, Ctrl+C (or a terminate) ends it, and the exit code says so.
        QProcess endless;
        QVERIFY(startCli(endless, drive_.settingsDir(), {"monitor", "--csv", "--port", "1"}));
        QByteArray shown;
        QTRY_VERIFY_WITH_TIMEOUT((shown += endless.readAllStandardOutput()).count('\n') > 1, 10000);
        endless.terminate();
        QCOMPARE(finish(endless).exitCode, kInterrupted);
    }

    // Two programs on one line: the port this test holds is named as in use by it, not as a
    // matter of rights, by the port list and by a command that wants the port.
    void aPortHeldByAnotherProgramNamesItsHolder()
    {
        QSerialPort holder(drive_.device());
        QVERIFY2(holder.open(QIODevice::ReadWrite), qPrintable(holder.errorString()));
        const QByteArray held =
            "in use by test_cli_drive, process " + QByteArray::number(QCoreApplication::applicationPid());
        CliRun run = cli({"find"});
        VERIFY_RUN(run, kNoDrive,
                   run.err.contains(held) && run.err.contains("closing its window releases it") &&
                       !run.err.contains("dialout"));
        run = cli({"ports"}, {});
        VERIFY_RUN(run, kSuccess, run.out.contains(held));
    }

    // Ctrl+C (or a terminate) during a load: the load ends after its current write, never inside
    // a frame, and says so.
    void interruptedLoadEndsBetweenTwoWrites()
    {
        const QString trace = dir_.filePath("interrupted.log");
        QProcess process;
        QVERIFY(startCli(process, drive_.settingsDir(), {"load", reference_, "--trace", trace, "--port", "1"}));
        QTRY_VERIFY_WITH_TIMEOUT(contentOf(trace).count("<ETX>") >= 8, 10000);
        process.terminate();
        const CliRun run = finish(process);
        VERIFY_RUN(run, kInterrupted,
                   run.err.contains(messageOf("English", 11).toUtf8()) && run.err.contains("nothing was saved") &&
                       QRegularExpression("\\d+ of 56 records went to the drive").match(run.err).hasMatch());
        const QStringList log = lines(contentOf(trace));
        const qsizetype writes = log.filter("-> <EOT>11<STX>21").size();
        QVERIFY2(writes > 0 && writes < 55 && log.last().contains(" <- <ACK>"), qPrintable(log.join('\n')));
    }

    // A drive that stops answering, or answers a write with neither ACK nor NAK: the command
    // fails with its exit code and says why; nothing is reported as accepted.
    void faultyDriveEndsInItsExitCode()
    {
        // The simulator's options, the command, its exit code and what it says.
        const QList<std::tuple<QStringList, QStringList, int, QString>> cases{
            // The poll that finds it is answered, nothing after it.
            {{"--silent-after", "1"}, {"get", "2110"}, kLinkLost, "link lost"},
            {{"--garbage", "3"},
             {"set", "2113", "80"},
             kRefused,
             "2113: the drive's answer was neither an acknowledgement nor a refusal"}};
        for (const auto& [fault, command, exitCode, said] : cases) {
            SimulatorProcess faulty;
            QProcess process;
            QVERIFY2(faulty.start(fault), qPrintable(faulty.output()));
            QVERIFY(startCli(process, faulty.settingsDir(), command + QStringList{"--port", "1"}));
            const CliRun run = finish(process);
            VERIFY_RUN(run, exitCode, QString::fromUtf8(run.err).contains(said) && run.out.isEmpty());
        }
    }

    // The README's example: the reference drive read into the very file the window stores, the
    // preview, COM2-COM4 loaded, saved and compared at once, and the diff that ends it.
    void theReadmeCommissioningExampleRunsAsWritten()
    {
        // It may have ended while the other commands ran.
        QVERIFY(readmeShell_.state() == QProcess::NotRunning || readmeShell_.waitForFinished(180000));
        const QString said = QString::fromUtf8(readmeShell_.readAll());
        QVERIFY2(readmeShell_.exitCode() == 0 && said.contains("COM3 matches reference.par"), qPrintable(said));
        // Piped, standard error carries no progress bar.
        QVERIFY(!said.contains('\r'));
        QCOMPARE(contentOf(readmeDir_.filePath("reference.par")), windowStoreOf({}));
        const QStringList batchRows = said.split('\n').filter(QRegularExpression("^COM[234] +Corvex"));
        QCOMPARE(batchRows.size(), 3);
        for (const QString& row : batchRows)
            QVERIFY2(QRegularExpression("Corvex RS232 +V5-23 +56 +0 yes +ok$").match(row).hasMatch(), qPrintable(row));
    }
};

QTEST_GUILESS_MAIN(TestCliDrive)
#include "test_cli_drive.moc"
