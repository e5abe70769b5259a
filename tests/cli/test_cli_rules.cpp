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
        row("hundredths", "12,5", 2110, 1, "1250", "12,50");
        row("hundredths extra decimal stays", "1,234", 2110, 2, "1234", "12,34");
        row("hundredths of axis 2 without display class", "1,5", 2218, 2, "150", "150");
        row("negative hundredths", "-0,5", 2141, 2, "-50", "-0,50");
        row("thousandths", "0,25", 2137, 2, "250", "0,250");
        row("position decPnt 0 drops the comma", "12,5", 2101, 0, "125", "125");
        row("position decPnt 1", "7", 2101, 1, "70", "7,0");
        row("position decPnt 1 extra decimal", "7,25", 2101, 1, "725", "72,5");
        row("position decPnt 3", "-1,5", 2413, 3, "-1500", "-1,500");
        row("plain as typed", "1,5", 2106, 2, "15", "15");
        row("plain minus inside is no number", "1-2", 2111, 2);
        row("leading zeros go", "007", 2111, 2, "7", "7");
        row("decimal point", "12.5", 2110, 2, "1250", "12,50");
        row("decimal point in a position", "-7.25", 2101, 1, "-725", "-72,5");
        row("a point and a comma", "1.2,5", 2110, 2);
        row("two points", "1.2.5", 2110, 2);
        row("letters", "12mm", 2101, 2);
        row("two commas", "1,2,5", 2110, 2);
        row("no digits", ",,", 2110, 2);
        row("lone minus", "-", 2106, 2);
        row("minus inside a scaled class", "1-2", 2110, 2);
        row("longer than an entry box", "12345678901", 2106, 2);
    }
    void labelsSplitIntoUnitAndName_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("name");
        QTest::newRow("millimetres") << "mm Actual position" << "mm" << "Actual position";
        QTest::newRow("percent") << "% Fast speed" << "%" << "Fast speed";
        QTest::newRow("German seconds") << "sek Zeit Bremse" << "sek" << "Zeit Bremse";
        QTest::newRow("Turkish seconds") << "sn Fren süresi" << "sn" << "Fren süresi";
        QTest::newRow("no unit") << "Start retries" << "" << "Start retries";
        QTest::newRow("a letter that is no unit") << "I gain 1" << "" << "I gain 1";
        QTest::newRow("a unit alone") << "mm" << "" << "mm";
    }
    void labelsSplitIntoUnitAndName()
    {
        QFETCH(QString, label);
        const ParameterLabel split = splitLabel(label);
        QTEST(split.unit, "unit");
        QTEST(split.name, "name");
    }

    void entriesScaledByClassOrRefused()
    {
        QFETCH(QString, typed);
        QFETCH(int, cmd);
        QFETCH(int, decPnt);
        QFETCH(QString, raw);
        const EntryValue v = entryToRaw(typed, cmd, decPnt);
        QVERIFY2(v.ok != raw.isEmpty(), qPrintable(v.error));
        QVERIFY(v.ok || !v.error.isEmpty());
        if (v.ok) {
            QCOMPARE(v.raw, raw);
            QTEST(v.display, "display");
        }
    }

    void rawValuesAreIntegers()
    {
        QVERIFY(isRawInteger(QStringLiteral("-5")));
        QVERIFY(isRawInteger(QStringLiteral("123456789012345678")));
        QVERIFY(!isRawInteger(QStringLiteral("1234567890123456789")));
        QVERIFY(!isRawInteger(QStringLiteral("12,5")));
        QVERIFY(!isRawInteger(QStringLiteral("--5")));
    }

    void commandLines_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("run");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("nothing") << QStringList{} << false << 2;
        QTest::newRow("general help") << QStringList{"--help"} << false << 0;
        QTest::newRow("command help") << QStringList{"monitor", "--help"} << false << 0;
        QTest::newRow("help command") << QStringList{"help", "load"} << false << 0;
        QTest::newRow("unknown command") << QStringList{"erase"} << false << 2;
        QTest::newRow("unknown option") << QStringList{"find", "--fast"} << false << 2;
        QTest::newRow("option of another command") << QStringList{"get", "2110", "--raw"} << false << 2;
        QTest::newRow("read without file") << QStringList{"read"} << false << 2;
        QTest::newRow("set with one argument") << QStringList{"set", "2110"} << false << 2;
        QTest::newRow("port out of range") << QStringList{"find", "--port", "11"} << false << 2;
        QTest::newRow("decimals out of range") << QStringList{"get", "2101", "--decimals", "4"} << false << 2;
        QTest::newRow("unknown language") << QStringList{"find", "--language", "Klingon"} << false << 2;
        QTest::newRow("csv and json") << QStringList{"monitor", "--csv", "--json"} << false << 2;
        QTest::newRow("count zero") << QStringList{"monitor", "--count", "0"} << false << 2;
        QTest::newRow("find") << QStringList{"find", "--port", "3", "--json"} << true << 0;
        QTest::newRow("read") << QStringList{"read", "-o", "a.par"} << true << 0;
    }
    void commandLines()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, run);
        QFETCH(int, exitCode);
        const ParseResult r = parseCommandLine(arguments);
        QCOMPARE(r.run, run);
        QCOMPARE(int(r.exitCode), exitCode);
        if (!r.run)
            QVERIFY(!r.text.isEmpty());
    }

    // A negative value is a value, not an option, wherever it stands; an option's own value
    // stays with its option.
    void negativeValuesAreArguments()
    {
        ParseResult r = parseCommandLine({"set", "2101", "-5", "--port", "2"});
        QVERIFY2(r.run, qPrintable(r.text));
        QCOMPARE(r.options.arguments, (QStringList{"2101", "-5"}));
        QCOMPARE(r.options.port, 2);
        r = parseCommandLine({"set", "--raw", "2101", "-0,5"});
        QVERIFY2(r.run, qPrintable(r.text));
        QCOMPARE(r.options.arguments, (QStringList{"2101", "-0,5"}));
        QVERIFY(r.options.raw);
    }

    // Refused before the port is opened: the device given does not exist, so a command that
    // went on to the drive would end in "no drive" instead.
    void refusedBeforeTheDriveIsAsked_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("said");
        QTest::newRow("a name of two parameters") << QStringList{"get", "Measuring time"} << 2 << "2131, 2134";
        QTest::newRow("a name of none") << QStringList{"set", "Top speed", "5"} << 2 << "kinetra-cli list names them";
        QTest::newRow("a position without its decimal places") << QStringList{"set", "2101", "7"} << 2 << "--decimals";
        QTest::newRow("a raw value that is no integer") << QStringList{"set", "--raw", "2110", "12,5"} << 2 << "not a raw value";
        QTest::newRow("an entry that is no number") << QStringList{"set", "2110", "12mm"} << 2 << "cannot be sent";
        QTest::newRow("a file that is not there") << QStringList{"load", "/nonexistent/x.par"} << 6 << "/nonexistent/x.par";
        QTest::newRow("a file that cannot be stored") << QStringList{"read", "-o", "/nonexistent/x.par"} << 6 << "/nonexistent/x.par";
    }
    void refusedBeforeTheDriveIsAsked()
    {
        QFETCH(QStringList, arguments);
        QTemporaryDir settings;
        const ParseResult parsed = parseCommandLine(
            arguments << "--device" << "/dev/kinetra-no-such-device" << "--settings-dir" << settings.path());
        QVERIFY2(parsed.run, qPrintable(parsed.text));
        char* text = nullptr;
        size_t size = 0;
        std::FILE* stream = open_memstream(&text, &size);
        ExitCode code = ExitCode::Success;
        {
            Console console(stream, stream);
            DriveSession session(parsed.options, console);
            QVERIFY(session.setUp());
            const auto command = parsed.options.command;
            code = command == Command::Get    ? runGet(session)
                   : command == Command::Set  ? runSet(session)
                   : command == Command::Load ? runLoad(session)
                                              : runRead(session);
        }
        std::fclose(stream);
        const QString shown = QString::fromUtf8(text, qsizetype(size));
        std::free(text);
        QFETCH(int, exitCode);
        QVERIFY2(int(code) == exitCode, qPrintable(shown));
        QFETCH(QString, said);
        QVERIFY2(shown.contains(said), qPrintable(shown));
    }

    void everyCommandHasHelp()
    {
        for (const char* name : {"ports", "find", "read", "get", "set", "load", "diff", "monitor"})
            QVERIFY2(commandHelp(QLatin1String(name)).contains(QLatin1String("Exit codes")), name);
        QVERIFY(commandHelp(QStringLiteral("erase")).isEmpty());
    }

    void languageNames()
    {
        QCOMPARE(languageIndexFor(QStringLiteral("English")), 0);
        QCOMPARE(languageIndexFor(QStringLiteral("german")), 1);
        QCOMPARE(languageIndexFor(QStringLiteral("France")), 3);
        QCOMPARE(languageIndexFor(QStringLiteral("Latin")), -1);
    }
};

QTEST_GUILESS_MAIN(TestCliRules)
#include "test_cli_rules.moc"
