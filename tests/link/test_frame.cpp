#include "frame.h"

#include <QTest>

using namespace kinetra;

Q_DECLARE_METATYPE(kinetra::CrcVerdict)

namespace {
QByteArray bytes(std::initializer_list<int> codes)
{
    QByteArray b;
    for (int c : codes)
        b += static_cast<char>(c);
    return b;
}
} // namespace

class TestFrame : public QObject {
    Q_OBJECT
private slots:
    void checkCharacterKnownAnswers_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("check");
        QTest::newRow("2152 = 129") << QByteArray("\x02"
                                                  "2152129\x03")
                                    << int('=');
        QTest::newRow("2152 = 128") << QByteArray("\x02"
                                                  "2152128\x03")
                                    << int('<');
        QTest::newRow("2101 = 1000, XOR 0 gives blank") << QByteArray("\x02"
                                                                      "21011000\x03")
                                                        << 32;
        QTest::newRow("answer 2100 = -5") << QByteArray("\x02"
                                                        "2100-5\x03")
                                          << int('8');
        QTest::newRow("XOR 5 gives %") << bytes({2, 6, 3, 'a', 'b'}) << int('%');
        QTest::newRow("XOR 31 gives ?") << bytes({2, 28, 3, 'a', 'b'}) << int('?');
        QTest::newRow("32 stays") << bytes({2, 35, 3, 'a', 'b'}) << 32;
        QTest::newRow("garbage before STX ignored") << QByteArray("abc\x02"
                                                                  "2152129\x03")
                                                    << int('=');
        QTest::newRow("a later STX is data") << bytes({2, 2, 3, 'z', 'z'}) << 33;
        QTest::newRow("four characters have none") << QByteArray("\x02"
                                                                 "21\x03")
                                                   << -1;
        QTest::newRow("five are enough") << QByteArray("\x02"
                                                       "215\x03")
                                         << int('5');
    }
    void checkCharacterKnownAnswers()
    {
        QFETCH(QByteArray, text);
        QTEST(SetCRC(text).value_or(-1), "check");
    }

    void writeAndPollFramesByteForByte()
    {
        QCOMPARE(writeFrame(11, 2152, "129"), QByteArray("\x04"
                                                         "11\x02"
                                                         "2152129\x03"
                                                         "="));
        QCOMPARE(writeFrame(11, 2101, "1000"), QByteArray("\x04"
                                                          "11\x02"
                                                          "21011000\x03"
                                                          " "));
        QCOMPARE(pollFrame(11, 2100), QByteArray("\x04"
                                                 "11\x02"
                                                 "2100\x05"));
        QCOMPARE(answerFrame("2100", "-5"), QByteArray("\x02"
                                                       "2100-5\x03"
                                                       "8"));
    }

    void verification_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<CrcVerdict>("verdict");
        const QByteArray good("\x02"
                              "2100-5\x03"
                              "8");
        QTest::newRow("match") << good << CrcVerdict::Match;
        QTest::newRow("wrong check") << QByteArray("\x02"
                                                   "2100-5\x03"
                                                   "9")
                                     << CrcVerdict::Mismatch;
        QTest::newRow("corrupted value") << QByteArray("\x02"
                                                       "2100-6\x03"
                                                       "8")
                                         << CrcVerdict::Mismatch;
        QTest::newRow("garbage before") << QByteArray("#~\x15") + good << CrcVerdict::Match;
        QTest::newRow("EOT in the garbage") << QByteArray("#\x04") + good << CrcVerdict::NoVerdict;
        QTest::newRow("EOT inside") << QByteArray("\x02"
                                                  "21\x04"
                                                  "0-5\x03"
                                                  "8")
                                    << CrcVerdict::NoVerdict;
        QTest::newRow("EOT right after STX is not tested") << QByteArray("\x02\x04"
                                                                         "100\x03") +
                                                                  char(4 ^ '1' ^ '0' ^ '0' ^ 3)
                                                           << CrcVerdict::Match;
        QTest::newRow("cut at ETX") << QByteArray("\x02"
                                                  "2100-5\x03")
                                    << CrcVerdict::NoVerdict;
        QTest::newRow("no ETX") << QByteArray("\x02"
                                              "2100-5")
                                << CrcVerdict::NoVerdict;
        QTest::newRow("four characters") << QByteArray("\x02"
                                                       "21\x03")
                                         << CrcVerdict::NoVerdict;
        QTest::newRow("empty") << QByteArray() << CrcVerdict::NoVerdict;
        QTest::newRow("trailing characters ignored") << good + "junk" << CrcVerdict::Match;
        QTest::newRow("no STX") << QByteArray("2100-5\x03"
                                              "8")
                                << CrcVerdict::NoVerdict;
    }
    void verification()
    {
        QFETCH(QByteArray, text);
        QTEST(CheckCRC(text), "verdict");
    }

    void everyFrameWeBuildVerifies()
    {
        for (const QByteArray& value : {QByteArray("0"), QByteArray("-2147483648"), QByteArray("99999")})
            for (int cmd : {2000, 2170, 2401, 2152})
                QCOMPARE(CheckCRC(answerFrame(QByteArray::number(cmd), value)), CrcVerdict::Match);
    }

    void commandEcho()
    {
        QCOMPARE(CheckComand("xx\x02"
                             "2170abc"),
                 QByteArray("2170"));
        QCOMPARE(CheckComand("\x02"
                             "21"),
                 QByteArray("21"));
        QCOMPARE(CheckComand("2170"), QByteArray());
    }

    void traceNamesControlCharacters()
    {
        QCOMPARE(describeControlCharacters(writeFrame(11, 2152, "129")), QByteArray("<EOT>11<STX>2152129<ETX>="));
        QCOMPARE(describeControlCharacters(bytes({6, 21, 0, 0xE4})), QByteArray("<ACK><NAK><00><E4>"));
    }
};

QTEST_GUILESS_MAIN(TestFrame)
#include "test_frame.moc"
