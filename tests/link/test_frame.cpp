#include "answer_text.h"
#include "frame.h"
#include "numeric_text.h"

#include <QTest>

using namespace kinetra;

Q_DECLARE_METATYPE(kinetra::CrcVerdict)

namespace {
// "<" and ">" stand for STX and ETX, "|" for EOT, so that a row reads like the line.
QByteArray line(QByteArray text)
{
    return text.replace('<', ctl::STX).replace('>', ctl::ETX).replace('|', ctl::EOT);
}
} // namespace

class TestFrame : public QObject {
    Q_OBJECT
private slots:
    // The check character is the XOR from after STX up to and including ETX, lifted by 32 when it
    // would be a control character.
    void checkCharacter_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("check");
        QTest::newRow("2152 = 129") << line("<2152129>") << int('=');
        QTest::newRow("2152 = 128") << line("<2152128>") << int('<');
        QTest::newRow("XOR 0 gives a blank") << line("<21011000>") << 32;
        QTest::newRow("answer 2100 = -5") << line("<2100-5>") << int('8');
        QTest::newRow("XOR 5 gives %") << line("<\x06>ab") << int('%');
        QTest::newRow("XOR 31 gives ?") << line("<\x1c>ab") << int('?');
        QTest::newRow("XOR 32 stays") << line("<#>ab") << 32;
        QTest::newRow("high bit kept") << line("<\xe4>ab") << (0xE4 ^ 3);
        QTest::newRow("garbage before STX ignored") << line("abc<2152129>") << int('=');
        QTest::newRow("a later STX is data") << line("<<>zz") << 33;
        QTest::newRow("five characters are enough") << line("<215>") << int('5');
        QTest::newRow("four have none") << line("<21>") << -1;
    }
    void checkCharacter()
    {
        QFETCH(QByteArray, text);
        QTEST(SetCRC(text).value_or(-1), "check");
    }

    void framesByteForByte_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QByteArray>("wire");
        QTest::newRow("write") << writeFrame(11, 2152, "129") << line("|11<2152129>=");
        QTest::newRow("write, blank check") << writeFrame(11, 2101, "1000") << line("|11<21011000> ");
        QTest::newRow("poll") << pollFrame(11, 2100) << line("|11<2100\x05");
        QTest::newRow("answer") << answerFrame("2100", "-5") << line("<2100-5>8");
        QTest::newRow("trace") << describeControlCharacters(line("|11<2152129>=") + QByteArray("\x06\x15\x00\xe4", 4))
                               << QByteArray("<EOT>11<STX>2152129<ETX>=<ACK><NAK><00><E4>");
        // What a poll's answer is checked on: trimmed, at most 60 characters, a blank check kept.
        QTest::newRow("answer trimmed") << cutAnswer("  " + line("<2100-5>8   ")) << line("<2100-5>8");
        QTest::newRow("blank check character kept") << cutAnswer(line("<210011> ")) << line("<210011> ");
        QTest::newRow("answer cut at 60") << cutAnswer(QByteArray(70, 'x')) << QByteArray(60, 'x');
    }
    void framesByteForByte()
    {
        QFETCH(QByteArray, frame);
        QTEST(frame, "wire");
    }

    void verdict_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<CrcVerdict>("verdict");
        QTest::newRow("match") << line("<2100-5>8") << CrcVerdict::Match;
        QTest::newRow("wrong check") << line("<2100-5>9") << CrcVerdict::Mismatch;
        QTest::newRow("corrupted value") << line("<2100-6>8") << CrcVerdict::Mismatch;
        QTest::newRow("garbage before") << line("#~\x15<2100-5>8") << CrcVerdict::Match;
        QTest::newRow("trailing characters ignored") << line("<2100-5>8junk") << CrcVerdict::Match;
        QTest::newRow("EOT in the garbage") << line("#|<2100-5>8") << CrcVerdict::NoVerdict;
        QTest::newRow("EOT inside") << line("<21|0-5>8") << CrcVerdict::NoVerdict;
        QTest::newRow("EOT right after STX is data")
            << line("<|100>") + char(4 ^ '1' ^ '0' ^ '0' ^ 3) << CrcVerdict::Match;
        QTest::newRow("cut at ETX") << line("<2100-5>") << CrcVerdict::NoVerdict;
        QTest::newRow("no ETX") << line("<2100-5") << CrcVerdict::NoVerdict;
        QTest::newRow("no STX") << line("2100-5>8") << CrcVerdict::NoVerdict;
        QTest::newRow("four characters") << line("<21>") << CrcVerdict::NoVerdict;
        QTest::newRow("empty") << QByteArray() << CrcVerdict::NoVerdict;
        QTest::newRow("status block we build")
            << answerFrame("2170", QByteArray("-2147483648").repeated(5)) << CrcVerdict::Match;
    }
    void verdict()
    {
        QFETCH(QByteArray, text);
        QTEST(CheckCRC(text), "verdict");
    }

    // The value after the echo, or the k-th ten-character field of a status block.
    void answerText_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("field"); // -1: the value after the echo
        QTest::addColumn<QString>("value");
        const QByteArray b = QByteArray("<2170         1        22    -001230000000123      last>X");
        const std::tuple<const char*, QByteArray, int, const char*> rows[] = {
            {"negative", line("<2100-5>8"), -1, "-5"},
            {"blanks dropped, stops at ETX", line("zz<21001 234>99"), -1, "1234"},
            {"no STX", line("2100-5>"), -1, ""},
            {"no value", line("<2100>"), -1, ""},
            {"cut off echo", line("<21"), -1, ""},
            {"padded field", line(b), 0, "         1"},
            {"minus inside a field", line(b), 2, "-00123"},
            {"zeros kept", line(b), 3, "0000000123"},
            {"last field", line(b), 4, "      last"},
            {"last minus wins", line("<2170  -12-3456"), 0, "-3456"},
            {"short block", line("<2170   12"), 0, "   12"},
            {"ETX before STX", line("><2170         5"), 0, ""}};
        for (const auto& [name, text, field, value] : rows)
            QTest::newRow(name) << text << field << QString(value);
    }
    void answerText()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, field);
        QTEST(field < 0 ? frameValue(text, kRawChars) : frameField(text, field), "value");
    }

    void echoIsTheFourCharactersAfterStx()
    {
        QCOMPARE(CheckComand(line("xx<2170abc")), QByteArray("2170"));
        QCOMPARE(CheckComand(line("<21")), QByteArray("21"));
        QCOMPARE(CheckComand("2170"), QByteArray());
    }
};

QTEST_GUILESS_MAIN(TestFrame)
#include "test_frame.moc"
