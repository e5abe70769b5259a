#include "entry_text.h"
#include "numeric_text.h"
#include "parameter_table.h"
#include "recording_window.h"
#include "shared_state.h"

#include <QTest>

using namespace kinetra;

namespace {
QByteArray block(const QList<QByteArray>& fields)
{
    QByteArray b = "\x02"
                   "2170";
    for (const QByteArray& f : fields)
        b += f.rightJustified(10, ' ');
    b += "\x03";
    return b + "X";
}
} // namespace

class TestNumericText : public QObject {
    Q_OBJECT
private slots:
    void tableSlotsFollowAxisAndParameter_data()
    {
        QTest::addColumn<int>("cmd");
        QTest::addColumn<int>("slot");
        QTest::newRow("axis 1") << 2125 << 125;
        QTest::newRow("mirror box shares the slot") << 3125 << 125;
        QTest::newRow("device") << 2448 << 448;
        QTest::newRow("general") << 2000 << 0;
        QTest::newRow("axis 5 has none") << 2550 << -1;
        QTest::newRow("entry box only") << 11 << -1;
        QTest::newRow("five digits") << 12100 << -1;
    }
    void tableSlotsFollowAxisAndParameter()
    {
        QFETCH(int, cmd);
        QFETCH(int, slot);
        QCOMPARE(CommandNumber::slotOf(cmd).value_or(-1), slot);
        ParameterTable t;
        t.store(cmd, ParameterValue::number(7));
        if (slot >= 0) {
            QCOMPARE(t.atSlot(slot), ParameterValue::number(7));
        } else {
            for (int i = 0; i < ParameterTable::kSlots; ++i)
                QVERIFY(t.atSlot(i).isEmpty());
        }
    }

    void transferCountWrapsPastTheTotal()
    {
        SharedState s;
        s.transferCount = s.transferTotal;
        s.countTransfer();
        QCOMPARE(s.transferCount, qint16(0));
    }

    void filterKeepsAllowedCharactersInOrder()
    {
        QCOMPARE(filterChars(QStringLiteral("-12,5 mm"), kRawChars), QStringLiteral("-125"));
        QCOMPARE(filterChars(QStringLiteral("a1b2"), kDigitChars), QStringLiteral("12"));
        QCOMPARE(filterChars(QString(), kDigitChars), QString());
    }

    void frameValueTakesTheValueAfterTheEcho_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QString>("value");
        QTest::newRow("negative") << QByteArray("\x02"
                                                "2100-5\x03"
                                                "8")
                                  << "-5";
        QTest::newRow("blanks dropped") << QByteArray("\x02"
                                                      "21001 234\x03"
                                                      "x")
                                        << "1234";
        QTest::newRow("garbage before STX") << QByteArray("zz9\x02"
                                                          "210042\x03"
                                                          "x")
                                            << "42";
        QTest::newRow("no STX") << QByteArray("2100-5\x03") << "";
        QTest::newRow("no value") << QByteArray("\x02"
                                                "2100\x03")
                                  << "";
        QTest::newRow("stops at ETX") << QByteArray("\x02"
                                                    "21007\x03"
                                                    "99")
                                      << "7";
        QTest::newRow("cut off echo") << QByteArray("\x02"
                                                    "21")
                                      << "";
    }
    void frameValueTakesTheValueAfterTheEcho()
    {
        QFETCH(QByteArray, frame);
        QTEST(frameValue(frame, kRawChars), "value");
    }

    void frameFieldCutsTenCharacterFields_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("k");
        QTest::addColumn<QString>("field");
        const QByteArray b = block({"1", "22", "    -00123", "0000000123", "last"});
        QTest::newRow("padded") << b << 0 << "         1";
        QTest::newRow("minus inside") << b << 2 << "-00123";
        QTest::newRow("zeros kept") << b << 3 << "0000000123";
        QTest::newRow("last field") << b << 4 << "      last";
        QTest::newRow("minus first stays whole") << block({"-123456789"}) << 0 << "-123456789";
        QTest::newRow("last minus wins") << block({"  -12-3456"}) << 0 << "-3456";
        QTest::newRow("short text") << QByteArray("\x02"
                                                  "2170   12")
                                    << 0 << "   12";
        QTest::newRow("ETX before STX") << QByteArray("\x03\x02"
                                                      "2170         5")
                                        << 0 << "";
        QTest::newRow("no STX") << QByteArray("2170         5") << 0 << "";
    }
    void frameFieldCutsTenCharacterFields()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, k);
        QTEST(frameField(text, k), "field");
    }

    void formatValueByCommandNumber_data()
    {
        QTest::addColumn<QString>("raw");
        QTest::addColumn<int>("cmd");
        QTest::addColumn<int>("decPnt");
        QTest::addColumn<QString>("display");
        QTest::newRow("hundredths") << "12345" << 2110 << 0 << "123,45";
        QTest::newRow("thousandths") << "12345" << 2115 << 0 << "12,345";
        QTest::newRow("position decPnt 1") << "12345" << 2101 << 1 << "1234,5";
        QTest::newRow("position decPnt 3") << "12345" << 2170 << 3 << "12,345";
        QTest::newRow("position decPnt 0 unchanged") << "00123" << 2101 << 0 << "00123";
        QTest::newRow("entry box 10 is a position") << "5" << 10 << 2 << "0,05";
        QTest::newRow("program set point") << "-1" << 2419 << 1 << "-0,1";
        QTest::newRow("command word") << "12345" << 2152 << 2 << "12345";
        QTest::newRow("current 1 is none") << "1" << 2182 << 0 << "0,00";
        QTest::newRow("peak 1 is none") << "1" << 2184 << 0 << "0,00";
        QTest::newRow("current") << "123" << 2182 << 0 << "1,23";
        QTest::newRow("small negative") << "-5" << 2110 << 0 << "-0,05";
        QTest::newRow("negative zero") << "-0" << 2110 << 0 << "0,00";
        QTest::newRow("empty stays empty") << "" << 2110 << 2 << "";
        QTest::newRow("empty position") << "" << 2101 << 0 << "";
        QTest::newRow("integer drops zeros") << "007" << 2108 << 0 << "7";
        QTest::newRow("non-integer rounds") << "12.6" << 2108 << 0 << "13";
        QTest::newRow("half away from zero") << "-2.5" << 2108 << 0 << "-3";
        QTest::newRow("rounding carries") << "9.996" << 2110 << 0 << "0,10";
        QTest::newRow("axis 3 hundredths") << "250" << 2318 << 0 << "2,50";
        QTest::newRow("axis 2 thousandths") << "5" << 2222 << 0 << "0,005";
        QTest::newRow("sixty digits") << QString(60, QLatin1Char('9')) << 2110 << 0
                                      << QString(58, QLatin1Char('9')) + QStringLiteral(",99");
    }
    void formatValueByCommandNumber()
    {
        QFETCH(QString, raw);
        QFETCH(int, cmd);
        QFETCH(int, decPnt);
        QTEST(formatValue(raw, cmd, decPnt).value_or(QStringLiteral("<none>")), "display");
    }

    void formatValueRefusesWhatIsNoNumber()
    {
        for (const char* raw : {"abc", "1-2", "-", "1,2,3", " "})
            QVERIFY2(!formatValue(QString::fromLatin1(raw), 2110, 0), raw);
    }

    // What the drive is sent: the one form of an integer, or nothing.
    void canonicalIntegerIsTheOneFormOnTheWire_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("canonical"); // "none": no integer
        const char* rows[][2] = {{"25", "25"},   {"025", "25"},  {"-050", "-50"}, {"00", "0"},     {"-0", "0"},
                                 {" 7 ", "7"},   {"+5", "none"}, {"25k", "none"}, {"eighty", "none"}, {"1-2", "none"},
                                 {"-", "none"},  {"", "none"},   {"1,5", "none"}, {"99999999999999999999", "99999999999999999999"}};
        for (const auto& [text, canonical] : rows)
            QTest::newRow(text) << QString::fromLatin1(text) << QString::fromLatin1(canonical);
    }
    void canonicalIntegerIsTheOneFormOnTheWire()
    {
        QFETCH(QString, text);
        QFETCH(QString, canonical);
        QCOMPARE(canonicalInteger(text).value_or(QStringLiteral("none")), canonical);
    }

    void normalizeEntryScalesByDecimalPlaces_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("decPnt");
        QTest::addColumn<QString>("raw");
        QTest::addColumn<QString>("display");
        QTest::newRow("2 places, one typed") << "12,5" << 2 << "1250"
                                             << "12,50";
        QTest::newRow("2 places, none typed") << "7" << 2 << "700"
                                              << "7,00";
        QTest::newRow("2 places, two typed") << "1,25" << 2 << "125"
                                             << "1,25";
        QTest::newRow("1 place, none typed") << "7" << 1 << "70"
                                             << "7,0";
        QTest::newRow("1 place, two typed enlarge") << "1,25" << 1 << "125"
                                                    << "12,5";
        QTest::newRow("0 places drop the comma") << "12,5" << 0 << "125"
                                                 << "125";
        QTest::newRow("empty is zero") << "" << 2 << "0"
                                       << "0,00";
        QTest::newRow("letters only are zero") << "mm" << 1 << "0"
                                               << "0,0";
        QTest::newRow("negative") << "-3,5" << 2 << "-350"
                                  << "-3,50";
        QTest::newRow("units around") << " 4,2 mm" << 1 << "42"
                                      << "4,2";
        QTest::newRow("stray minus ends the number") << "12-5" << 0 << "12"
                                                     << "12";
        QTest::newRow("long entry") << "9999999999" << 2 << "999999999900"
                                    << "9999999999,00";
    }
    void normalizeEntryScalesByDecimalPlaces()
    {
        QFETCH(QString, typed);
        QFETCH(int, decPnt);
        test::RecordingWindow window;
        window.setText(el::txtPara(10), typed);
        QTEST(normalizeEntry(window, 10, decPnt), "raw");
        QTEST(window.text(el::txtPara(10)), "display");
    }
};

QTEST_GUILESS_MAIN(TestNumericText)
#include "test_numeric_text.moc"
