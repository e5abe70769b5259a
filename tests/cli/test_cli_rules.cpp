// The pure parts of kinetra-cli: entry rules, command line, drive texts.

#include "cli_options.h"
#include "drive_texts.h"
#include "entry_rules.h"
#include "messages.h"

#include <QTest>

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
        row("plain minus inside sent as typed", "1-2", 2111, 2, "1-2", "1-2");
        row("decimal point", "12.5", 2110, 2);
        row("letters", "12mm", 2101, 2);
        row("two commas", "1,2,5", 2110, 2);
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

    void everyCommandHasHelp()
    {
        for (const char* name : {"ports", "find", "read", "get", "set", "load", "diff", "monitor"})
            QVERIFY2(commandHelp(QLatin1String(name)).contains(QLatin1String("Exit codes")), name);
        QVERIFY(commandHelp(QStringLiteral("erase")).isEmpty());
    }

    void driveTexts()
    {
        QCOMPARE(modelText(2000), QStringLiteral("Corvex RS232"));
        QCOMPARE(modelText(2013), QStringLiteral("Pivora canOPEN"));
        QCOMPARE(modelText(2054), QStringLiteral("Pivora ProfiBus"));
        QCOMPARE(modelText(2034), QStringLiteral("Tusk1 ProfiBus"));
        QCOMPARE(modelText(2023), QString());
        QCOMPARE(modelText(2005), QString());
        QCOMPARE(versionText(1200), QStringLiteral("V12-00"));
        QCOMPARE(versionText(5), QStringLiteral("V0-05"));
    }

    void statusTexts_data()
    {
        QTest::addColumn<qint64>("word");
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("message");
        QTest::newRow("later bit wins") << qint64(5) << 400 << 50;
        QTest::newRow("error over state") << qint64(4 + 64) << 400 << 54;
        QTest::newRow("all errors before 5.31") << qint64(240 + 8192) << 530 << 55;
        QTest::newRow("all errors from 5.31") << qint64(240 + 8192) << 531 << 77;
        QTest::newRow("emergency stop open") << qint64(4) << 500 << 78;
        QTest::newRow("in position, circuit closed") << qint64(4 + 8192) << 540 << 50;
        QTest::newRow("nothing") << qint64(0) << 400 << -1;
    }
    void statusTexts()
    {
        QFETCH(qint64, word);
        QFETCH(int, level);
        QFETCH(int, message);
        std::array<QString, 101> messages;
        for (size_t i = 0; i < messages.size(); ++i)
            messages[i] = QStringLiteral("m%1").arg(i);
        QCOMPARE(statusText(static_cast<quint32>(word), level, messages),
                 message < 0 ? QString() : QStringLiteral("m%1").arg(message));
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
