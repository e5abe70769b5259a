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

#include <array>

using namespace kinetra;
using namespace kinetra::test;

namespace {
// Table rows as text, the row's name first.
template <size_t N> using Rows = std::initializer_list<std::array<const char*, N>>;

#define RECORD(hook)                                                                                                   \
    void hook(const QString& t) override                                                                               \
    {                                                                                                                  \
        calls << #hook " " + t;                                                                                        \
    }
// Records which hand-over ran with which text.
struct RecordingHandOver : DisplayHandOver {
    QStringList calls;
    RECORD(deviceType)
    RECORD(softwareVersion)
    RECORD(operatingTime)
    RECORD(fieldBusState) RECORD(positionChart) RECORD(statusWord) RECORD(motorCurrent)
        RECORD(pwmOutput) void ioCaption(int line, const QString& t) override
    {
        calls << QStringLiteral("ioCaption %1 %2").arg(line).arg(t);
    }
};
} // namespace

class TestNumericText : public QObject {
    Q_OBJECT
private slots:
    void tableSlots_data()
    {
        QTest::addColumn<int>("cmd");
        QTest::addColumn<int>("slot");
        for (auto [name, cmd, slot] : Rows<3>{{"axis 1", "2125", "125"},
                                              {"mirror box shares the slot", "3125", "125"},
                                              {"device", "2448", "448"},
                                              {"general", "2000", "0"},
                                              {"axis 5 has none", "2550", "-1"},
                                              {"entry box only", "11", "-1"},
                                              {"five digits", "12100", "-1"}})
            QTest::newRow(name) << atoi(cmd) << atoi(slot);
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

    void formatValue_data()
    {
        QTest::addColumn<QString>("raw");
        QTest::addColumn<int>("cmd");
        QTest::addColumn<int>("decPnt");
        QTest::addColumn<QString>("display"); // "-": no number
        for (auto [name, raw, cmd, decPnt, display] : Rows<5>{{"hundredths", "12345", "2110", "0", "123,45"},
                                                              {"thousandths", "12345", "2115", "0", "12,345"},
                                                              {"position decPnt 1", "12345", "2101", "1", "1234,5"},
                                                              {"position decPnt 3", "12345", "2170", "3", "12,345"},
                                                              {"position decPnt 0", "00123", "2101", "0", "00123"},
                                                              {"entry box 10 is a position", "5", "10", "2", "0,05"},
                                                              {"command word", "12345", "2152", "2", "12345"},
                                                              {"current 1 is none", "1", "2182", "0", "0,00"},
                                                              {"current", "123", "2182", "0", "1,23"},
                                                              {"small negative", "-5", "2110", "0", "-0,05"},
                                                              {"negative zero", "-0", "2110", "0", "0,00"},
                                                              {"empty stays empty", "", "2110", "2", ""},
                                                              {"integer drops zeros", "007", "2108", "0", "7"},
                                                              {"half away from zero", "-2.5", "2108", "0", "-3"},
                                                              {"rounding carries", "9.996", "2110", "0", "0,10"},
                                                              {"axis 2 thousandths", "5", "2222", "0", "0,005"},
                                                              {"letters", "abc", "2110", "0", "-"},
                                                              {"minus inside", "1-2", "2110", "0", "-"},
                                                              {"two commas", "1,2,3", "2110", "0", "-"}})
            QTest::newRow(name) << QString(raw) << atoi(cmd) << atoi(decPnt) << QString(display);
        QTest::newRow("sixty digits") << QString(60, u'9') << 2110 << 0 << QString(58, u'9') + ",99";
    }
    void formatValue()
    {
        QFETCH(QString, raw);
        QFETCH(int, cmd);
        QFETCH(int, decPnt);
        QTEST(kinetra::formatValue(raw, cmd, decPnt).value_or("-"), "display");
    }

    // What the drive is sent: the one form of an integer, or nothing; and what a typed entry
    // becomes at the decimal places the setting gives.
    void textForTheDrive_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("decPnt"); // -1: as an integer
        QTest::addColumn<QString>("raw");
        QTest::addColumn<QString>("display");
        for (auto [typed, decPnt, raw, display] : Rows<4>{{"025", "-1", "25", ""},
                                                          {"-050", "-1", "-50", ""},
                                                          {"-0", "-1", "0", ""},
                                                          {" 7 ", "-1", "7", ""},
                                                          {"+5", "-1", "none", ""},
                                                          {"25k", "-1", "none", ""},
                                                          {"1,5", "-1", "none", ""},
                                                          {"", "-1", "none", ""},
                                                          {"99999999999999999999", "-1", "99999999999999999999", ""},
                                                          {"12,5", "2", "1250", "12,50"},
                                                          {"7", "1", "70", "7,0"},
                                                          {"1,25", "1", "125", "12,5"},
                                                          {"12,5", "0", "125", "125"},
                                                          {"mm", "1", "0", "0,0"},
                                                          {"-3,5", "2", "-350", "-3,50"},
                                                          {" 4,2 mm", "1", "42", "4,2"},
                                                          {"12-5", "0", "12", "12"}})
            QTest::newRow(qPrintable(QStringLiteral("'%1' at %2").arg(typed, decPnt)))
                << QString(typed) << atoi(decPnt) << QString(raw) << QString(display);
    }
    void textForTheDrive()
    {
        QFETCH(QString, typed);
        QFETCH(int, decPnt);
        if (decPnt < 0) {
            QTEST(canonicalInteger(typed).value_or("none"), "raw");
            return;
        }
        RecordingWindow window;
        window.setText(el::txtPara(10), typed);
        QTEST(normalizeEntry(window, 10, decPnt), "raw");
        QTEST(window.text(el::txtPara(10)), "display");
    }

    // What one received value does to the window (the element operations in order, "|" between
    // them) and to the display parts that are no box; the level follows the software version.
    void receivedValueIsShown_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("log");
        QTest::addColumn<QString>("handOver");
        for (auto [name, index, value, log, handOver] :
             Rows<5>{{"plain box", "2110", "1250", "text txtPara#2110 = 12,50", ""},
                     {"mirror box first", "2105", "7", "text txtPara#3105 = 7|text txtPara#2105 = 7", ""},
                     {"list position", "2126", "1", "select cmbPara#2126 = 1", ""},
                     {"list position beyond the list", "2126", "7", "", ""},
                     {"list position not a number", "2129", "-", "", ""},
                     {"edge list follows the table", "2125", "4", "select cmbPara#2125 = 2", ""},
                     {"edge 3 leaves the list", "2125", "3", "", ""},
                     {"input function", "2147", "2", "select cmbPara#2147 = 2", "ioCaption 1 2"},
                     {"actual position into box 2100", "2170", "-35", "text txtPara#2100 = -35", "positionChart -35"},
                     {"device type", "2401", "2013", "", "deviceType 2013"},
                     {"software version", "2402", "499", "", "softwareVersion 499"},
                     {"software version beyond 16 bits", "2402", "70000", "", "softwareVersion 70000"},
                     {"operating time", "2429", "125", "", "operatingTime 125"},
                     {"field-bus state", "2411", "4", "", "fieldBusState 4"},
                     {"status word", "2180", "5", "", "statusWord 5"},
                     {"motor current", "2182", "150", "", "motorCurrent 1,50"},
                     {"PWM output", "2183", "80", "", "pwmOutput 80"},
                     // The correction bar grows upward from 2250, 30 a step; from 1620 on its top stays.
                     {"correction bar 1619", "20", "1619",
                      "height picCorr#0 = 48570|top picCorr#0 = -46320|text txtCorr#0 = 1619", ""},
                     {"correction bar 1620", "20", "1620", "height picCorr#0 = 48600|text txtCorr#0 = 1620", ""},
                     {"power failures not shown", "2425", "9", "", ""},
                     {"file mirror number ignored", "3105", "9", "", ""}})
            QTest::newRow(name) << atoi(index) << QString(value) << QString(log) << QString(handOver);
    }
    void receivedValueIsShown()
    {
        QFETCH(int, index);
        QFETCH(QString, value);
        SharedState state;
        state.firmwareLevel = 123;
        state.table.store(index, ParameterValue::text(value));
        RecordingWindow window;
        window.listSize[RecordingWindow::key(el::cmbPara(2126))] = 2;
        RecordingHandOver hooks;
        ValueDisplay display(state, window);
        display.setHandOver(&hooks);
        display.showValues(value, index);
        QTEST(window.log.join('|'), "log");
        QTEST(hooks.calls.join('|'), "handOver");
        QCOMPARE(int(state.firmwareLevel), value == "499" ? 499 : 123);
    }
};

QTEST_GUILESS_MAIN(TestNumericText)
#include "test_numeric_text.moc"
