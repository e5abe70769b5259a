// Numbers as text: how the window shows what the drive holds, and what goes back to it. Rows
// are written as their fields joined by "|".
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
// Adds the rows, one column of text per field.
void addRows(std::initializer_list<const char*> columns, const QStringList& rows)
{
    for (const char* c : columns)
        QTest::addColumn<QString>(c);
    for (const QString& row : rows) {
        QTestData& data = QTest::newRow(qPrintable(row));
        for (const QString& field : row.split('|'))
            data << field;
    }
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
    // Axis 1-3 and the device have slots by their parameter; a mirror box (3pp) shares its slot.
    void tableSlots_data()
    {
        addRows({"cmd", "slot"}, {"2125|125", "3125|125", "2448|448", "2000|0", "2550|-1", "11|-1", "12100|-1"});
    }
    void tableSlots()
    {
        QFETCH(QString, cmd);
        QFETCH(QString, slot);
        QCOMPARE(CommandNumber::slotOf(cmd.toInt()).value_or(-1), slot.toInt());
        ParameterTable t;
        t.store(cmd.toInt(), ParameterValue::number(7));
        for (int i = 0; i < ParameterTable::kSlots; ++i)
            QCOMPARE(t.atSlot(i).isEmpty(), i != slot.toInt());
    }

    // Raw value, command number, decimal places of positions: what a box shows ("-": no number).
    void formatValue_data()
    {
        // Rows apart by spaces.
        addRows({"raw", "cmd", "decPnt", "display"},
                QStringLiteral("12345|2110|0|123,45 12345|2115|0|12,345 12345|2101|1|1234,5 12345|2170|3|12,345 "
                               "00123|2101|0|00123 5|10|2|0,05 -1|2419|1|-0,1 12345|2152|2|12345 1|2182|0|0,00 "
                               "123|2182|0|1,23 -5|2110|0|-0,05 -0|2110|0|0,00 |2110|2| 007|2108|0|7 "
                               "-2.5|2108|0|-3 9.996|2110|0|0,10 5|2222|0|0,005 abc|2110|0|- 1-2|2110|0|- "
                               "1,2,3|2110|0|-")
                        .split(' ')
                    << QString(60, u'9') + "|2110|0|" + QString(58, u'9') + ",99");
    }
    void formatValue()
    {
        QFETCH(QString, raw);
        QFETCH(QString, cmd);
        QFETCH(QString, decPnt);
        QTEST(kinetra::formatValue(raw, cmd.toInt(), decPnt.toInt()).value_or("-"), "display");
    }

    // What the drive is sent: the one form of an integer ("i"), or what a typed entry becomes at
    // the decimal places the setting gives, and what its box shows then.
    void textForTheDrive_data()
    {
        addRows({"typed", "decPnt", "raw", "display"},
                {"025|i|25|", "-050|i|-50|", "-0|i|0|", " 7 |i|7|", "+5|i|none|", "25k|i|none|", "1,5|i|none|",
                 "|i|none|", "99999999999999999999|i|99999999999999999999|", "mm|1|0|0,0", " 4,2 mm|1|42|4,2",
                 "12-5|0|12|12"});
    }
    void textForTheDrive()
    {
        QFETCH(QString, typed);
        QFETCH(QString, decPnt);
        if (decPnt == "i") {
            QTEST(canonicalInteger(typed).value_or("none"), "raw");
            return;
        }
        RecordingWindow window;
        window.setText(el::txtPara(10), typed);
        QTEST(normalizeEntry(window, 10, decPnt.toInt()), "raw");
        QTEST(window.text(el::txtPara(10)), "display");
    }

    // What one received value does to the window (the element operations in order, ";" between
    // them) and to the display parts that are no box; the level follows the software version.
    // The edge list follows the table (1, 2, 4), not the received text.
    void receivedValueIsShown_data()
    {
        addRows({"index", "value", "log", "handOver"},
                {"2110|1250|text txtPara#2110 = 12,50|", "2105|7|text txtPara#3105 = 7;text txtPara#2105 = 7|",
                 "2126|1|select cmbPara#2126 = 1|", "2126|7||", "2129|-||", "2125|4|select cmbPara#2125 = 2|",
                 "2125|3||", "2147|2|select cmbPara#2147 = 2|ioCaption 1 2",
                 "2170|-35|text txtPara#2100 = -35|positionChart -35", "2401|2013||deviceType 2013",
                 "2402|499||softwareVersion 499", "2402|70000||softwareVersion 70000", "2429|125||operatingTime 125",
                 "2411|4||fieldBusState 4", "2180|5||statusWord 5", "2182|150||motorCurrent 1,50",
                 "2183|80||pwmOutput 80", "2425|9||", "3105|9||",
                 // The correction bar grows upward from 2250, 30 a step; from 1620 on its top stays.
                 "20|1619|height picCorr#0 = 48570;top picCorr#0 = -46320;text txtCorr#0 = 1619|",
                 "20|1620|height picCorr#0 = 48600;text txtCorr#0 = 1620|"});
    }
    void receivedValueIsShown()
    {
        QFETCH(QString, index);
        QFETCH(QString, value);
        SharedState state;
        state.firmwareLevel = 123;
        state.table.store(index.toInt(), ParameterValue::text(value));
        RecordingWindow window;
        window.listSize[RecordingWindow::key(el::cmbPara(2126))] = 2;
        RecordingHandOver hooks;
        ValueDisplay display(state, window);
        display.setHandOver(&hooks);
        display.showValues(value, index.toInt());
        QTEST(window.log.join(';'), "log");
        QTEST(hooks.calls.join(';'), "handOver");
        QCOMPARE(int(state.firmwareLevel), value == "499" ? 499 : 123);
        // The caller gets the text shown; a box that does not exist is skipped.
        QCOMPARE(value, index == "2110" ? QStringLiteral("12,50") : value);
        const qsizetype logged = window.log.size();
        window.missing << RecordingWindow::key(el::txtPara(2110));
        display.showValues(value = "1", 2110);
        QCOMPARE(window.log.size(), logged);
    }
};

QTEST_GUILESS_MAIN(TestNumericText)
#include "test_numeric_text.moc"
