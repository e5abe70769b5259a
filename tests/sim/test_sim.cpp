#include "drive_model.h"
#include "frame.h"
#include "numeric_text.h"
#include "parameter_file_values.h"
#include "sim_exchange.h"

#include <QTemporaryDir>
#include <QTest>

using namespace kinetra;
using namespace kinetra::sim;
using namespace kinetra::test;

namespace {

DriveConfig modelConfig(int type, int version)
{
    DriveConfig c;
    c.deviceType = type;
    c.softwareVersion = version;
    return c;
}

// What the tool polls: the port search, the full read and the live plan.
QList<int> polledNumbers()
{
    QList<int> numbers{2000, 2170, 2180, 2182, 2183, 2184, 2429, 2411, 2437, 2440, 2443, 2446};
    for (int n = 2400; n <= 2448; ++n)
        numbers << n;
    for (int n = 2100; n <= 2199; ++n)
        numbers << n;
    return numbers;
}

} // namespace

class TestSimModel : public QObject {
    Q_OBJECT
private slots:
    void everyPollAnswerVerifies_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("version");
        QTest::newRow("Corvex RS232 5.40") << 2000 << 540;
        QTest::newRow("Pivora canOPEN 5.23") << 2013 << 523;
        QTest::newRow("Tusk1 ProfiBus 4.00") << 2034 << 400;
        QTest::newRow("unnamed code") << 2022 << 540;
    }
    void everyPollAnswerVerifies()
    {
        QFETCH(int, type);
        QFETCH(int, version);
        SimExchange x(modelConfig(type, version));
        for (const int cmd : polledNumbers()) {
            const QByteArray answer = x.poll(cmd);
            QVERIFY2(CheckCRC(answer) == CrcVerdict::Match, describeControlCharacters(answer).constData());
            QCOMPARE(CheckComand(answer), QByteArray::number(cmd));
            QVERIFY(answer.size() >= 8);
        }
        QCOMPARE(x.number(2401), qint64(type));
        QCOMPARE(x.number(2402), qint64(version));
        // The mirror boxes' numbers (group digit 3) echo as polled and answer the same value.
        QCOMPARE(CheckComand(x.poll(3113)), QByteArray("3113"));
        QCOMPARE(x.value(3113), x.value(2113));
    }

    void statusBlockHasItsFieldsAtTheirOffsets()
    {
        SimExchange x;
        QCOMPARE(x.write(2103, "-100000"), QByteArray(1, ctl::ACK));
        QCOMPARE(x.write(2101, "-30000"), QByteArray(1, ctl::ACK));
        QCOMPARE(x.write(2152, "128"), QByteArray(1, ctl::ACK));
        x.advance(0.05); // moving: current and PWM are up
        QByteArray block = x.poll(2170);
        QCOMPARE(block.size(), 57);
        QCOMPARE(CheckCRC(block), CrcVerdict::Match);
        QCOMPARE(block.left(5), QByteArray("\x02"
                                           "2170"));
        QCOMPARE(block.at(55), ctl::ETX);
        for (int k = 0; k < 5; ++k) {
            const QByteArray f = block.mid(5 + 10 * k, 10);
            QVERIFY2(f.back() != ' ' && !f.contains(ctl::ETX), f.constData()); // right-aligned, 10 wide
            QCOMPARE(frameField(block, k).toLongLong(), f.trimmed().toLongLong());
        }
        const qint64 pwm = frameField(block, 0).toLongLong() & 0xFFFF;
        QVERIFY2(pwm < 127, "moving in the negative direction drives the PWM below its centre");
        QVERIFY((frameField(block, 1).toLongLong() & 0xFFFF) > 20);
        QVERIFY(frameField(block, 3).toLongLong() & 1);
        QCOMPARE(frameField(block, 4).trimmed(), QStringLiteral("0"));

        x.advance(5);
        block = x.poll(2170);
        QCOMPARE(frameField(block, 2).trimmed(), QStringLiteral("-30000"));
        QCOMPARE(block.mid(25, 10), QByteArray("    -30000"));
        QCOMPARE(frameField(block, 0).toLongLong() & 0xFFFF, 127);
        QCOMPARE(frameField(block, 3).toLongLong(), x.number(2180));
        QVERIFY(x.number(2180) & 4);
    }

    void writesAreCheckedAgainstTheirRange_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<int>("cmd");
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<bool>("accepted");
        const auto row = [](const char* name, int cmd, const char* value, bool accepted, int version = 540) {
            QTest::newRow(name) << version << cmd << QByteArray(value) << accepted;
        };
        row("set point", 2101, "123456", true);
        row("negative position", 2103, "-2500", true);
        row("fast speed 100 %", 2113, "100", true);
        row("fast speed 101 %", 2113, "101", false);
        row("slow speed 0 %", 2114, "0", false);
        row("edge evaluation 2", 2125, "2", true);
        row("edge evaluation 3", 2125, "3", false);
        row("cycle time 0", 2137, "0", false);
        row("max frequency 0", 2140, "0", false);
        row("input 1 BCD", 2146, "4", true);
        row("input 1 BCD before 5.00", 2146, "4", false, 400);
        row("input 1 highest before 5.00", 2146, "3", true, 400);
        row("axis 2 speed", 2213, "55", true);
        row("bus address 5", 2410, "5", true);
        row("bus address 200", 2410, "200", false);
        row("device type is read-only", 2401, "2013", false);
        row("operating time is read-only", 2429, "0", false);
        row("counter is read-only", 2437, "0", false);
        row("minus inside", 2101, "1-2", false);
        row("empty value", 2101, "", false);
        row("too long", 2101, "1234567890123456789", false);
        row("general number", 2001, "1", false);
    }
    void writesAreCheckedAgainstTheirRange()
    {
        QFETCH(int, version);
        QFETCH(int, cmd);
        QFETCH(QByteArray, value);
        QFETCH(bool, accepted);
        DriveConfig c;
        c.softwareVersion = version;
        SimExchange x(c);
        const QByteArray before = x.value(cmd);
        QCOMPARE(x.write(cmd, value), QByteArray(1, accepted ? ctl::ACK : ctl::NAK));
        x.advance(1); // past the pause after a new bus address
        QCOMPARE(x.value(cmd), accepted ? value : before);
    }

    void theLineIsReadForgivingly_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("answer");
        const QByteArray ack(1, ctl::ACK);
        const QByteArray poll = pollFrame(11, 2402);
        const QByteArray version = answerFrame("2402", "540");
        QTest::newRow("noise before a poll") << QByteArray("x\x01\x7f 9") + poll << version;
        QTest::newRow("cut-off frame, then a poll") << QByteArray("\x04"
                                                                  "11\x02"
                                                                  "21") +
                                                           poll
                                                    << version;
        QTest::newRow("two polls at once") << poll + poll << version + version;
        QTest::newRow("other address") << pollFrame(12, 2402) << QByteArray();
        QByteArray corrupted = writeFrame(11, 2101, "500");
        corrupted[corrupted.size() - 1] = static_cast<char>(corrupted.back() ^ 1);
        QTest::newRow("wrong check character") << corrupted << QByteArray();
        QTest::newRow("write then poll") << writeFrame(11, 2101, "500") + pollFrame(11, 2101)
                                         << ack + answerFrame("2101", "500");
        QTest::newRow("poll of a short number") << QByteArray("\x04"
                                                              "11\x02"
                                                              "210\x05")
                                                << QByteArray();
    }
    void theLineIsReadForgivingly()
    {
        QFETCH(QByteArray, bytes);
        SimExchange x;
        QTEST(x.send(bytes), "answer");
    }

    void pacedFramesTakeOneCharacterTimeEachWay()
    {
        DriveConfig c;
        c.pacing = true;
        c.latency = 0.004;
        DriveModel drive(c);
        // The 9-character poll is heard when its last character is in.
        drive.feed(pollFrame(11, 2170), 1.0);
        const double first = drive.nextOutputTime();
        QVERIFY(qAbs(first - (1.0 + 9 * kCharacterTime + 0.004 + kCharacterTime)) < 1e-9);
        QCOMPARE(drive.takeOutput(first + 55.5 * kCharacterTime).size(), 56);
        QCOMPARE(drive.takeOutput(first + 56.5 * kCharacterTime).size(), 1);
        QVERIFY(qIsInf(drive.nextOutputTime()));
    }

    void inputsAndEmergencyStopAsConfigured_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<int>("inputs");
        QTest::addColumn<bool>("emergencyStopOpen");
        QTest::addColumn<qint64>("bits"); // of 256 | 512 | 1024 | 8192
        QTest::newRow("defaults") << 540 << 0 << false << qint64(8192);
        QTest::newRow("input 1") << 540 << 1 << false << qint64(256 | 8192);
        QTest::newRow("input 2 from 5.00") << 540 << 2 << false << qint64(1024 | 8192);
        QTest::newRow("input 2 before 5.00") << 400 << 2 << false << qint64(512 | 8192);
        QTest::newRow("input 3 from 5.00") << 500 << 4 << false << qint64(512 | 8192);
        QTest::newRow("emergency stop open") << 540 << 0 << true << qint64(0);
    }
    void inputsAndEmergencyStopAsConfigured()
    {
        QFETCH(int, version);
        QFETCH(int, inputs);
        QFETCH(bool, emergencyStopOpen);
        DriveConfig c = modelConfig(2000, version);
        c.inputs = inputs;
        c.emergencyStopOpen = emergencyStopOpen;
        SimExchange x(c);
        QTEST(x.number(2180) & (256 | 512 | 1024 | 8192), "bits");
    }

    void operatingTimeCountsMinutes()
    {
        SimExchange x;
        const qint64 start = x.number(2429);
        x.advance(125);
        QCOMPARE(x.number(2429), start + 2);
        // The power-up counted one more switch-on.
        QCOMPARE(x.number(2430), qint64(413));
    }

    void fieldBusComesUp_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QList<int>>("states"); // at 0.5 s, 1.5 s, 2.5 s, 4 s
        QTest::addColumn<bool>("inStatusWord");
        QTest::newRow("canOPEN") << 2013 << QList<int>{0, 127, 127, 5} << true;
        QTest::newRow("ProfiBus") << 2004 << QList<int>{0, 1, 2, 4} << false;
        QTest::newRow("RS485") << 2001 << QList<int>{0, 0, 0, 0} << false;
    }
    void fieldBusComesUp()
    {
        QFETCH(int, type);
        QFETCH(QList<int>, states);
        QFETCH(bool, inStatusWord);
        SimExchange x(modelConfig(type, 540));
        const double times[] = {0.5, 1.5, 2.5, 4.0};
        for (int i = 0; i < 4; ++i) {
            x.now = times[i];
            x.drive.advanceTo(x.now);
            QCOMPARE(x.number(2411), qint64(states[i]));
            const qint64 busBits = (x.number(2180) >> 16) & 0xFF;
            QCOMPARE(busBits, inStatusWord ? qint64(states[i]) : 0);
        }
    }

    void startsFromAParameterFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("set.par"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("\"Parameter KINETRA\"\r\n\"----------------\"\r\n\"Achse X\"\r\n\"----------------\"\r\n"
                "\"P0\",\"1500\"\r\n\"P1\",\"7000\"\r\n\"P13\",55\r\n\"P14\",\r\n\"P37\",\"0\"\r\n"
                "\"----------------\"\r\n\"Ger\xe4te Daten\"\r\n\"----------------\"\r\n"
                "\"P1\",\"2033\"\r\n\"P2\",\"523\"\r\n\"P10\",\"7\"\r\n\"P29\",\"600\"\r\n");
        f.close();
        QString error;
        const auto values = readParameterFileValues(path, &error);
        QVERIFY2(values, qPrintable(error));
        DriveConfig c;
        c.startValues = *values;
        SimExchange x(c);
        QCOMPARE(x.number(2100), qint64(1500));
        QCOMPARE(x.number(2101), qint64(7000));
        QCOMPARE(x.number(2113), qint64(55));
        QCOMPARE(x.number(2114), qint64(15)); // empty: the default stays
        QCOMPARE(x.number(2137), qint64(10)); // 0 is no cycle time the drive takes
        QCOMPARE(x.number(2401), qint64(2033));
        QCOMPARE(x.number(2402), qint64(523));
        QCOMPARE(x.number(2410), qint64(7));
        QCOMPARE(x.number(2429), qint64(600));

        QFile other(dir.filePath(QStringLiteral("notes.txt")));
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.write("shopping list\r\n");
        other.close();
        QVERIFY(!readParameterFileValues(other.fileName(), &error));
        QVERIFY(error.contains(QLatin1String("not a parameter file")));
        QVERIFY(!readParameterFileValues(dir.filePath(QStringLiteral("missing.par")), &error));
    }
};

QTEST_GUILESS_MAIN(TestSimModel)
#include "test_sim_model.moc"
