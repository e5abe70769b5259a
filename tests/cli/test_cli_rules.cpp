// The parts of kinetra-cli that need no drive: entry rules, command line, and what a command
// refuses before it asks the drive anything.

#include "cli_options.h"
#include "commands.h"
#include "console.h"
#include "drive_session.h"
#include "entry_rules.h"
#include "messages.h"

#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <cstdlib>

using namespace kinetra::cli;

class TestCliRules : public QObject {
    Q_OBJECT
private slots:
    // A raw value of "" marks an entry that is refused: what the window's key filter would
    // silently drop is refused here, since a dropped point turns 12.5 into 125.
    void entriesScaledByClassOrRefused_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("cmd");
        QTest::addColumn<int>("decPnt");
        QTest::addColumn<QString>("raw");
        QTest::addColumn<QString>("display");
        const auto row = [](const char* name, const char* typed, int cmd, int decPnt, const char* raw = "",
                            const char* display = "") {
            QTest::newRow(name) << typed << cmd << decPnt << raw << display;
        };
        row("hundredths extra decimal stays", "1,234", 2110, 2, "1234", "12,34");
        row("hundredths of axis 2 without display class", "1,5", 2218, 2, "150", "150");
        row("negative hundredths", "-0,5", 2141, 2, "-50", "-0,50");
        row("thousandths", "0,25", 2137, 2, "250", "0,250");
        row("position decPnt 0 drops the comma", "12,5", 2101, 0, "125", "125");
        row("position decPnt 1 extra decimal", "7,25", 2101, 1, "725", "72,5");
        row("position decPnt 3", "-1,5", 2413, 3, "-1500", "-1,500");
        row("plain as typed", "1,5", 2106, 2, "15", "15");
        row("plain minus inside is no number", "1-2", 2111, 2);
        row("leading zeros go", "007", 2111, 2, "7", "7");
        row("decimal point in a position", "-7.25", 2101, 1, "-725", "-72,5");
        row("a point and a comma", "1.2,5", 2110, 2);
        row("no digits", ",,", 2110, 2);
        row("lone minus", "-", 2106, 2);
        row("minus inside a scaled class", "1-2", 2110, 2);
        row("longer than an entry box", "12345678901", 2106, 2);
    }
    void entriesScaledByClassOrRefused()
    {
        QFETCH(QString, typed);
        QFETCH(int, cmd);
        QFETCH(int, decPnt);
        const EntryValue v = entryToRaw(typed, cmd, decPnt);
        // A refusal says why.
        QVERIFY2(v.ok == v.error.isEmpty(), qPrintable(v.error));
        QTEST(v.ok ? v.raw : QString(), "raw");
        QTEST(v.ok ? v.display : QString(), "display");
    }

    // What a command line comes to without a drive: help, a refusal of the parser or of the
    // command before it asks the drive anything, or a port that does not open (exit 4), which
    // shows that the command went on to the drive. No COM number stands for a device here.
    void commandLines_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("said");
        const auto row = [](const char* name, const QStringList& arguments, int exitCode, const char* said) {
            QTest::newRow(name) << arguments << exitCode << QString::fromUtf8(said);
        };
        row("nothing", {}, 2, "a command is missing");
        row("general help", {"--help"}, 0, "130  interrupted");
        row("command help", {"monitor", "--help"}, 0, "Exit codes");
        row("help command", {"help", "load"}, 0, "--check");
        row("unknown command", {"erase"}, 2, "unknown command \"erase\"");
        row("unknown option", {"find", "--turbo"}, 2, "Unknown option 'turbo'");
        row("option of another command", {"get", "2110", "--raw"}, 2, "Unknown option 'raw'");
        row("read without file", {"read"}, 2, "-o FILE");
        row("set with one argument", {"set", "2110"}, 2, "set CMD|NAME VALUE");
        row("port out of range", {"find", "--port", "11"}, 2, "from 1 to 10");
        row("decimals out of range", {"get", "2101", "--decimals", "4"}, 2, "0, 1, 2 or 3");
        row("unknown language", {"find", "--language", "Klingon"}, 2, "unknown language \"Klingon\"");
        row("csv and json", {"monitor", "--csv", "--json"}, 2, "exclude each other");
        row("count zero", {"monitor", "--count", "0"}, 2, "1 or more");
        row("a name of two parameters", {"get", "Measuring time"}, 2, "give one of 2131, 2134");
        row("I is no unit", {"get", "gain 1"}, 2, "kinetra-cli list names them");
        row("a position without its decimal places", {"set", "2101", "7"}, 2, "give --decimals");
        row("an entry that is no number", {"set", "2110", "12mm"}, 2, "cannot be sent");
        row("a negative raw value that is no integer", {"set", "--raw", "2101", "-0,5"}, 2,
            "\"-0,5\" is not a raw value");
        row("a raw value of 19 digits", {"set", "--raw", "2106", "1234567890123456789"}, 2, "not a raw value");
        row("a file that is not there", {"load", "/nonexistent/x.par"}, 6, "/nonexistent/x.par: Path not found");
        row("a file that cannot be stored", {"read", "-o", "/nonexistent/x.par"}, 6,
            "/nonexistent/x.par: Path not found");
        const char* unopened = "/dev/kinetra-none) cannot be opened";
        row("find", {"find", "--json"}, 4, unopened);
        row("the fast link", {"find", "--fast"}, 4, unopened);
        row("a language by a name of its own", {"find", "--language", "france"}, 4, unopened);
        // A label's unit is no part of its name, in the language in use.
        row("a name in German", {"get", "Zeit Bremse", "--language", "German"}, 4, unopened);
        row("a name in Turkish", {"get", "fren süresi", "--language", "Turkish"}, 4, unopened);
        row("a raw value of 18 digits", {"set", "--raw", "2106", "123456789012345678"}, 4, unopened);
        row("a negative value, then an option's own", {"set", "2101", "-5", "--decimals", "1"}, 4, unopened);
    }
    void commandLines()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, said);
        QTemporaryDir settings;
        if (!arguments.isEmpty())
            arguments += {"--device", "/dev/kinetra-none", "--settings-dir", settings.path()};
        const ParseResult parsed = parseCommandLine(arguments);
        int code = int(parsed.exitCode);
        QString shown = parsed.text;
        if (parsed.run) {
            char* text = nullptr;
            size_t size = 0;
            std::FILE* stream = open_memstream(&text, &size);
            {
                Console console(stream, stream);
                DriveSession session(parsed.options, console);
                static const QHash<Command, ExitCode (*)(DriveSession&)> commands{{Command::Find, runFind},
                                                                                  {Command::Get, runGet},
                                                                                  {Command::Set, runSet},
                                                                                  {Command::Load, runLoad},
                                                                                  {Command::Read, runRead}};
                QVERIFY(session.setUp() && commands.contains(parsed.options.command));
                code = int(commands.value(parsed.options.command)(session));
            }
            std::fclose(stream);
            shown = QString::fromUtf8(text, qsizetype(size));
            std::free(text);
        }
        QVERIFY2(code == exitCode && shown.contains(said), qPrintable(shown));
    }
};

QTEST_GUILESS_MAIN(TestCliRules)
#include "test_cli_rules.moc"
