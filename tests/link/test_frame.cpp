// The frame on the line, byte for byte: its check character, its verdict, the text it carries.
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
    // The check character is the XOR from after the first STX up to and including ETX, lifted by
    // 32 when it would be a control character; fewer than five characters have none.
    void checkCharacter_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("check");
        const std::pair<const char*, int> rows[] = {{"<2152129>", '='}, {"<2152128>", '<'}, {"<21011000>", ' '},
                                                    {"<2100-5>", '8'},  {"<\x06>ab", '%'},  {"<\x1c>ab", '?'},
                                                    {"<#>ab", ' '},     {"<\xe4>ab", 0xE7}, {"abc<2152129>", '='},
                                                    {"<<>zz", '!'},     {"<215>", '5'},     {"<21>", -1}};
        for (const auto& [text, check] : rows)
            QTest::newRow(text) << line(text) << check;
    }
    void checkCharacter()
    {
        QFETCH(QByteArray, text);
        QTEST(SetCRC(text).value_or(-1), "check");
    }

    void verdict_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<CrcVerdict>("verdict");
        using enum CrcVerdict;
        const std::pair<const char*, CrcVerdict> rows[] = {
            {"<2100-5>8", Match},     {"<2100-5>9", Mismatch},    {"<2100-6>8", Mismatch},  {"#~\x15<2100-5>8", Match},
            {"<2100-5>8junk", Match}, {"#|<2100-5>8", NoVerdict}, {"<21|0-5>8", NoVerdict}, {"<|100>6", Match},
            {"<2100-5>", NoVerdict},  {"<2100-5", NoVerdict},     {"2100-5>8", NoVerdict},  {"<21>", NoVerdict},
            {"", NoVerdict}};
        for (const auto& [text, verdict] : rows)
            QTest::newRow(text) << line(text) << verdict;
        QTest::newRow("status block") << answerFrame("2170", QByteArray("-2147483648").repeated(5)) << Match;
    }
    void verdict()
    {
        QFETCH(QByteArray, text);
        QTEST(CheckCRC(text), "verdict");
    }

    void framesByteForByte_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QByteArray>("wire");
        QTest::newRow("write") << writeFrame(11, 2152, "129") << line("|11<2152129>=");
        QTest::newRow("write, blank check") << writeFrame(11, 2101, "1000") << line("|11<21011000> ");
        QTest::newRow("poll") << pollFrame(11, 2100) << line("|11<2100\x05");
        QTest::newRow("answer") << answerFrame("2100", "-5") << line("<2100-5>8");
        QTest::newRow("echo") << CheckComand(line("xx<2170abc")) << QByteArray("2170");
        QTest::newRow("trace") << describeControlCharacters(line("|11<2>=") + QByteArray("\x06\x15\x00\xe4", 4))
                               << QByteArray("<EOT>11<STX>2<ETX>=<ACK><NAK><00><E4>");
        // What a poll's answer is checked on: trimmed, at most 60 characters, a blank check kept.
        QTest::newRow("answer trimmed") << cutAnswer("  " + line("<2100-5>8   ")) << line("<2100-5>8");
        QTest::newRow("blank check kept") << cutAnswer(line("<210011> ")) << line("<210011> ");
        QTest::newRow("answer cut at 60") << cutAnswer(QByteArray(70, 'x')) << QByteArray(60, 'x');
    }
    void framesByteForByte()
    {
        QFETCH(QByteArray, frame);
        QTEST(frame, "wire");
    }

    // The value after the echo, or field k of a status block (ten characters each).
    void answerText_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("field"); // -1: the value after the echo
        QTest::addColumn<QString>("value");
        const char* block = "<2170         1        22    -001230000000123      last>X";
        const std::tuple<const char*, int, const char*> rows[] = {{"<2100-5>8", -1, "-5"},
                                                                  {"zz<21001 234>99", -1, "1234"},
                                                                  {"2100-5>", -1, ""},
                                                                  {"<2100>", -1, ""},
                                                                  {"<21", -1, ""},
                                                                  {block, 0, "         1"},
                                                                  {block, 2, "-00123"},
                                                                  {block, 3, "0000000123"},
                                                                  {block, 4, "      last"},
                                                                  {"<2170  -12-3456", 0, "-3456"},
                                                                  {"<2170   12", 0, "   12"},
                                                                  {"><2170         5", 0, ""}};
        for (const auto& [text, field, value] : rows)
            QTest::newRow(qPrintable(QStringLiteral("%1 field %2").arg(text).arg(field)))
                << line(text) << field << QString(value);
    }
    void answerText()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, field);
        QTEST(field < 0 ? frameValue(text, kRawChars) : frameField(text, field), "value");
    }
};

QTEST_GUILESS_MAIN(TestFrame)
#include "test_frame.moc"
