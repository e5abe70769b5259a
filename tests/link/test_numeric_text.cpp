// Numbers as text: what the drive's answers hold, how the window shows them, what goes back.
#include "display_hand_over.h"
#include "entry_text.h"
#include "numeric_text.h"
#include "parameter_catalogue.h"
#include "parameter_table.h"
#include "recording_window.h"
#include "shared_state.h"
#include "value_display.h"

#include <QTest>

using namespace kinetra;
using namespace kinetra::test;

namespace {
// A status block whose fields are each right-aligned to ten characters.
QByteArray block(const QList<QByteArray>& fields)
{
    QByteArray b = "\x02"
                   "2170";
    for (const QByteArray& f : fields)
        b += f.rightJustified(10, ' ');
    return b + "\x03X";
}

// Records which hand-over ran with which text.
struct RecordingHandOver : DisplayHandOver {
    QStringList calls;
    void deviceType(const QString& t) override { calls << "deviceType " + t; }
    void softwareVersion(const QString& t) override { calls << "softwareVersion " + t; }
    void operatingTime(const QString& t) override { calls << "operatingTime " + t; }
    void fieldBusState(const QString& t) override { calls << "fieldBusState " + t; }
    void positionChart(const QString& t) override { calls << "positionChart " + t; }
    void statusWord(const QString& t) override { calls << "statusWord " + t; }
    void motorCurrent(const QString& t) override { calls << "motorCurrent " + t; }
    void pwmOutput(const QString& t) override { calls << "pwmOutput " + t; }
    void ioCaption(int line, const QString& t) override { calls << QStringLiteral("ioCaption %1 %2").arg(line).arg(t); }
};
} // namespace

class TestNumericText : public QObject {
    Q_OBJECT
private slots:
    void tableSlots_data()
    {
        QTest::addColumn<int>("cmd");
        QTest::addColumn<int>("slot");
        const std::pair<const char*, std::pair<int, int>> rows[] = {
            {"axis 1", {2125, 125}}, {"mirror box shares the slot", {3125, 125}}, {"device", {2448, 448}},
            {"general", {2000, 0}}, {"axis 5 has none", {2550, -1}}, {"entry box only", {11, -1}},
            {"five digits", {12100, -1}}};
        for (const auto& [name, row] : rows)
            QTest::newRow(name) << row.first << row.second;
    }
    void tableSlots()
    {
        QFETCH(int, cmd);
        QFETCH(int, slot);
        QCOMPARE(CommandNumber::slotOf(cmd).value_or(-1), slot);
        ParameterTable t;
        t.store(cmd, ParameterValue::number(7));
        for (int i = 0; i < ParameterTable::kSlots; ++i)
            QCOMPARE(t.atSlot(i).isEmpty(), i != slot);
    }

    void answerText_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("field"); // -1: the value after the echo
        QTest::addColumn<QString>("value");
        const auto row = [](const char* name, const QByteArray& text, int field, const char* value) {
            QTest::newRow(name) << text << field << QString::fromLatin1(value);
        };
        row("negative", "\x02" "2100-5\x03" "8", -1, "-5");
        row("blanks dropped", "\x02" "21001 234\x03" "x", -1, "1234");
        row("garbage before STX", "zz9\x02" "210042\x03" "x", -1, "42");
        row("stops at ETX", "\x02" "21007\x03" "99", -1, "7");
        row("no STX", "2100-5\x03", -1, "");
        row("no value", "\x02" "2100\x03", -1, "");
        row("cut off echo", "\x02" "21", -1, "");
        const QByteArray b = block({"1", "22", "    -00123", "0000000123", "last"});
        row("padded field", b, 0, "         1");
        row("minus inside a field", b, 2, "-00123");
        row("zeros kept", b, 3, "0000000123");
        row("last field", b, 4, "      last");
        row("minus first stays whole", block({"-123456789"}), 0, "-123456789");
        row("last minus wins", block({"  -12-3456"}), 0, "-3456");
        row("short block", "\x02" "2170   12", 0, "   12");
        row("ETX before STX", "\x03\x02" "2170         5", 0, "");
    }
    void answerText()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, field);
        QTEST(field < 0 ? frameValue(text, kRawChars) : frameField(text, field), "value");
    }

    void formatValue_data()
    {
        QTest::addColumn<QString>("raw");
        QTest::addColumn<int>("cmd");
        QTest::addColumn<int>("decPnt");
        QTest::addColumn<QString>("display"); // "<none>": no number
        const auto row = [](const char* name, const QString& raw, int cmd, int decPnt, const QString& display) {
            QTest::newRow(name) << raw << cmd << decPnt << display;
        };
        row("hundredths", "12345", 2110, 0, "123,45");
        row("thousandths", "12345", 2115, 0, "12,345");
        row("position decPnt 1", "12345", 2101, 1, "1234,5");
        row("position decPnt 3", "12345", 2170, 3, "12,345");
        row("position decPnt 0 unchanged", "00123", 2101, 0, "00123");
        row("entry box 10 is a position", "5", 10, 2, "0,05");
        row("program set point", "-1", 2419, 1, "-0,1");
        row("command word", "12345", 2152, 2, "12345");
        row("current 1 is none", "1", 2182, 0, "0,00");
        row("peak 1 is none", "1", 2184, 0, "0,00");
        row("current", "123", 2182, 0, "1,23");
        row("small negative", "-5", 2110, 0, "-0,05");
        row("negative zero", "-0", 2110, 0, "0,00");
        row("empty stays empty", "", 2110, 2, "");
        row("empty position", "", 2101, 0, "");
        row("integer drops zeros", "007", 2108, 0, "7");
        row("non-integer rounds", "12.6", 2108, 0, "13");
        row("half away from zero", "-2.5", 2108, 0, "-3");
        row("rounding carries", "9.996", 2110, 0, "0,10");
        row("axis 3 hundredths", "250", 2318, 0, "2,50");
        row("axis 2 thousandths", "5", 2222, 0, "0,005");
        row("sixty digits", QString(60, '9'), 2110, 0, QString(58, '9') + ",99");
        for (const char* raw : {"abc", "1-2", "-", "1,2,3", " "})
            row(raw, raw, 2110, 0, "<none>");
    }
    void formatValue()
    {
        QFETCH(QString, raw);
        QFETCH(int, cmd);
        QFETCH(int, decPnt);
        QTEST(kinetra::formatValue(raw, cmd, decPnt).value_or("<none>"), "display");
    }

    // What the drive is sent: the one form of an integer, or nothing.
    void canonicalInteger_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("canonical");
        const char* rows[][2] = {{"25", "25"},  {"025", "25"},   {"-050", "-50"}, {"00", "0"},       {"-0", "0"},
                                 {" 7 ", "7"},  {"+5", "none"},  {"25k", "none"}, {"eighty", "none"}, {"1-2", "none"},
                                 {"-", "none"}, {"", "none"},    {"1,5", "none"}, {"99999999999999999999", "99999999999999999999"}};
        for (const auto& [text, canonical] : rows)
            QTest::newRow(text) << QString::fromLatin1(text) << QString::fromLatin1(canonical);
    }
    void canonicalInteger()
    {
        QFETCH(QString, text);
        QTEST(kinetra::canonicalInteger(text).value_or("none"), "canonical");
    }

    void typedEntryIsScaled_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("decPnt");
        QTest::addColumn<QString>("raw");
        QTest::addColumn<QString>("display");
        const char* rows[][4] = {{"12,5", "2", "1250", "12,50"},   {"7", "2", "700", "7,00"},
                                 {"1,25", "2", "125", "1,25"},     {"7", "1", "70", "7,0"},
                                 {"1,25", "1", "125", "12,5"},     {"12,5", "0", "125", "125"},
                                 {"", "2", "0", "0,00"},           {"mm", "1", "0", "0,0"},
                                 {"-3,5", "2", "-350", "-3,50"},   {" 4,2 mm", "1", "42", "4,2"},
                                 {"12-5", "0", "12", "12"},        {"9999999999", "2", "999999999900", "9999999999,00"}};
        for (const auto& [typed, decPnt, raw, display] : rows)
            QTest::newRow(qPrintable(QStringLiteral("'%1' at %2").arg(typed, decPnt)))
                << QString(typed) << QByteArray(decPnt).toInt() << QString(raw) << QString(display);
    }
    void typedEntryIsScaled()
    {
        QFETCH(QString, typed);
        QFETCH(int, decPnt);
        RecordingWindow window;
        window.setText(el::txtPara(10), typed);
        QTEST(normalizeEntry(window, 10, decPnt), "raw");
        QTEST(window.text(el::txtPara(10)), "display");
        QCOMPARE(filterChars(QStringLiteral("-12,5 mm"), kRawChars), QStringLiteral("-125"));
    }

    // What one received value does to the window: the element operations in order, and the
    // hand-over to the display parts that are no box.
    void receivedValueIsShown_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QStringList>("log");
        QTest::addColumn<QStringList>("handOver");
        const auto row = [](const char* name, int index, const char* value, QStringList log, QStringList handOver = {}) {
            QTest::newRow(name) << index << QString(value) << log << handOver;
        };
        row("plain box", 2110, "1250", {"text txtPara#2110 = 12,50"});
        row("mirrored box, mirror first", 2105, "7", {"text txtPara#3105 = 7", "text txtPara#2105 = 7"});
        row("tolerance window, mirror first", 2109, "3", {"text txtPara#3109 = 3", "text txtPara#2109 = 3"});
        row("service counter", 2440, "12", {"text txtPara#2440 = 12"});
        row("peak current", 2184, "2", {"text txtPara#2184 = 0,02"});
        row("list position", 2126, "1", {"select cmbPara#2126 = 1"});
        row("list position beyond the list", 2126, "7", {});
        row("list position not a number", 2129, "-", {});
        row("input function", 2147, "2", {"select cmbPara#2147 = 2"}, {"ioCaption 1 2"});
        row("actual position into box 2100", 2170, "-35", {"text txtPara#2100 = -35"}, {"positionChart -35"});
        row("device type", 2401, "2013", {}, {"deviceType 2013"});
        row("software version", 2402, "540", {}, {"softwareVersion 540"});
        row("operating time", 2429, "125", {}, {"operatingTime 125"});
        row("field-bus state", 2411, "4", {}, {"fieldBusState 4"});
        row("status word", 2180, "5", {}, {"statusWord 5"});
        row("motor current", 2182, "150", {}, {"motorCurrent 1,50"});
        row("PWM output", 2183, "80", {}, {"pwmOutput 80"});
        // The correction bar grows upward from 2250, 30 units a step; from 1620 on its top stays.
        row("correction bar empty", kCorrectionBar, "0", {"height picCorr#0 = 0", "top picCorr#0 = 2250", "text txtCorr#0 = 0"});
        row("correction bar 1619", kCorrectionBar, "1619",
            {"height picCorr#0 = 48570", "top picCorr#0 = -46320", "text txtCorr#0 = 1619"});
        row("correction bar 1620 keeps its top", kCorrectionBar, "1620", {"height picCorr#0 = 48600", "text txtCorr#0 = 1620"});
        for (int ignored : {2400, 2000, 2185, 2425, 3105})
            row(qPrintable(QString::number(ignored)), ignored, "9", {});
    }
    void receivedValueIsShown()
    {
        QFETCH(int, index);
        QFETCH(QString, value);
        SharedState state;
        RecordingWindow window;
        window.listSize[RecordingWindow::key(el::cmbPara(2126))] = 2;
        RecordingHandOver hooks;
        ValueDisplay display(state, window);
        display.setHandOver(&hooks);
        display.showValues(value, index);
        QTEST(window.log, "log");
        QTEST(hooks.calls, "handOver");
    }

    // The edge evaluation's list follows the table (1, 2, 4), not the received text; the software
    // version sets the level when it is a 16-bit number.
    void tableAndLevelFollowTheDrive_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("result"); // list position, or level
        const auto row = [](const char* name, int index, const char* value, int result) {
            QTest::newRow(name) << index << QString(value) << result;
        };
        row("edge 1 -> first", 2125, "1", 0);
        row("edge 2 -> second", 2125, "2", 1);
        row("edge 4 -> third", 2125, "4", 2);
        row("edge 3 leaves it", 2125, "3", 1);
        row("edge empty leaves it", 2125, "", 1);
        row("level 540", 2402, "540", 540);
        row("level 499", 2402, "499", 499);
        row("level not a number keeps it", 2402, "-", 123);
        row("level beyond 16 bits keeps it", 2402, "70000", 123);
    }
    void tableAndLevelFollowTheDrive()
    {
        QFETCH(int, index);
        QFETCH(QString, value);
        SharedState state;
        state.firmwareLevel = 123;
        RecordingWindow window;
        window.setSelection(el::cmbPara(2125), 1);
        if (!value.isEmpty())
            state.table.store(index, ParameterValue::text(value));
        ValueDisplay display(state, window);
        QString received = QStringLiteral("1");
        display.showValues(index == 2125 ? received : value, index);
        QTEST(index == 2125 ? window.selection(el::cmbPara(2125)) : int(state.firmwareLevel), "result");
    }
};

QTEST_GUILESS_MAIN(TestNumericText)
#include "test_numeric_text.moc"
