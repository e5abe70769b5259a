// The simulated drive as the tool meets it: answers, memory, motion and the line.
#include "drive_model.h"
#include "frame.h"
#include "numeric_text.h"

#include <QTest>

using namespace kinetra;
using namespace kinetra::sim;

namespace {

constexpr qint64 kMoving = 1, kReferencing = 2, kInPosition = 4, kJogging = 8, kOvercurrent = 16, kEndLimit = 32;

DriveConfig config(int version, int type = 2000, bool emergencyStopOpen = false, int inputs = 0)
{
    DriveConfig c;
    c.softwareVersion = version;
    c.deviceType = type;
    c.emergencyStopOpen = emergencyStopOpen;
    c.inputs = inputs;
    return c;
}

// The drive on a time line of the test's own: each exchange sends one frame and takes what
// arrives within 0.2 s.
struct Exchange {
    DriveModel drive;
    double now = 0;

    explicit Exchange(const DriveConfig& c = {}) : drive(c) {}
    QByteArray send(const QByteArray& bytes)
    {
        drive.feed(bytes, now);
        advance(0.2);
        return drive.takeOutput(now);
    }
    // "2101=500" acknowledged, "!2101=500" refused; "+2" lets 2 s pass.
    bool apply(const QString& step)
    {
        if (step.startsWith('+'))
            return advance(step.mid(1).toDouble()), true;
        const QStringList parts = step.mid(step.startsWith('!')).split('=');
        const QByteArray answer = send(writeFrame(11, parts[0].toInt(), parts[1].toLatin1()));
        return answer == QByteArray(1, step.startsWith('!') ? ctl::NAK : ctl::ACK);
    }
    QByteArray value(int cmd)
    {
        const QByteArray answer = send(pollFrame(11, cmd));
        return CheckCRC(answer) == CrcVerdict::Match ? answer.mid(5, answer.size() - 7) : "bad answer";
    }
    qint64 number(int cmd) { return value(cmd).toLongLong(); }
    void advance(double seconds) { drive.advanceTo(now += seconds); }
};

} // namespace

class TestSim : public QObject {
    Q_OBJECT
private slots:
    // Every number the tool polls is answered with a verified frame that echoes it (a mirror
    // box's number, 3pp, answers its parameter's value). The inputs, the emergency stop and the
    // field bus show in the status word (bits 256, 512, 1024, 8192; canOPEN's state in bits 16-23)
    // and 2411 as configured, at 0.5, 1.5, 2.5 and 4 s.
    void answersAsConfigured_data()
    {
        QTest::addColumn<DriveConfig>("config");
        QTest::addColumn<QList<qint64>>("inputs");
        QTest::addColumn<QList<qint64>>("bus");
        const QList<qint64> none(4, 0), closed(4, 8192);
        QTest::newRow("Corvex RS232 5.40") << config(540) << closed << none;
        QTest::newRow("input 1") << config(540, 2000, false, 1) << QList<qint64>(4, 8192 + 256) << none;
        QTest::newRow("input 2 from 5.00") << config(500, 2022, false, 2) << QList<qint64>(4, 8192 + 1024) << none;
        QTest::newRow("input 2 before 5.00") << config(400, 2000, false, 2) << QList<qint64>(4, 8192 + 512) << none;
        QTest::newRow("emergency stop open") << config(540, 2000, true) << none << none;
        QTest::newRow("Pivora canOPEN 5.23") << config(523, 2013) << closed << QList<qint64>{0, 127, 127, 5};
        QTest::newRow("ProfiBus") << config(540, 2004) << closed << QList<qint64>{0, 1, 2, 4};
    }
    void answersAsConfigured()
    {
        QFETCH(DriveConfig, config);
        QFETCH(QList<qint64>, inputs);
        QFETCH(QList<qint64>, bus);
        Exchange x(config);
        const double times[] = {0.5, 1.5, 2.5, 4.0};
        for (int i = 0; i < 4; ++i) {
            x.drive.advanceTo(x.now = times[i]);
            const qint64 word = x.number(2180);
            QCOMPARE(word & 0x2700, inputs[i]);
            QCOMPARE(x.number(2411), bus[i]);
            QCOMPARE((word >> 16) & 0xFF, *config.deviceType == 2013 ? bus[i] : 0);
        }
        for (int cmd = 2100; cmd <= 2199; ++cmd)
            for (const int n : {2000, cmd, cmd + 300, cmd + 1000}) {
                const QByteArray answer = x.send(pollFrame(11, n));
                QVERIFY2(CheckCRC(answer) == CrcVerdict::Match, describeControlCharacters(answer).constData());
                QCOMPARE(CheckComand(answer), QByteArray::number(n));
            }
        QCOMPARE(x.number(2401), qint64(*config.deviceType));
        QCOMPARE(x.number(2402), qint64(*config.softwareVersion));
        QCOMPARE(x.value(3113), x.value(2113));
    }

    // The status block: five right-aligned fields of ten, 57 characters in all.
    void statusBlock()
    {
        Exchange x;
        for (const char* step : {"2103=-100000", "2101=-30000", "2152=128", "+0.05"})
            QVERIFY(x.apply(step));
        QByteArray block = x.send(pollFrame(11, 2170));
        QCOMPARE(block.size(), 57);
        QCOMPARE(CheckCRC(block), CrcVerdict::Match);
        QVERIFY2((frameField(block, 0).toLongLong() & 0xFFFF) < 127, "moving negative drives the PWM below its centre");
        QVERIFY((frameField(block, 1).toLongLong() & 0xFFFF) > 20);
        x.advance(5);
        block = x.send(pollFrame(11, 2170));
        const QByteArray word = QByteArray::number(x.number(2180)).rightJustified(10);
        QCOMPARE(block.mid(0, 15) + block.mid(25, 32),
                 "\0022170       127    -30000" + word + "         0\x03" + block.back());
    }

    // Paced, a frame is heard when its last character is in and every answer character leaves
    // one character time after the one before, as on a 9600-baud line.
    void pacingTakesOneCharacterTimeEachWay()
    {
        DriveConfig c;
        c.pacing = true;
        DriveModel drive(c);
        drive.feed(pollFrame(11, 2170), 1.0);
        const double first = drive.nextOutputTime();
        QCOMPARE(first, 1.0 + 9 * kCharacterTime + c.latency + kCharacterTime);
        QCOMPARE(drive.takeOutput(first + 55.5 * kCharacterTime).size(), 56);
        QCOMPARE(drive.takeOutput(first + 56.5 * kCharacterTime).size(), 1);
        QVERIFY(qIsInf(drive.nextOutputTime()));
    }

    void writesAreCheckedAgainstTheirRange_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<QString>("write"); // "!": refused
        for (const char* w : {"2101=123456", "2103=-2500", "2113=100", "!2113=101", "!2114=0", "2125=2", "!2125=3",
                              "!2137=0", "2146=4", "2213=55", "2410=5", "!2410=200", "!2401=2013", "!2429=0", "!2437=0",
                              "!2101=1-2", "!2101=", "!2101=1234567890123456789", "!2001=1"})
            QTest::newRow(w) << 540 << QString(w);
        QTest::newRow("input 1 BCD before 5.00") << 400 << "!2146=4";
        QTest::newRow("input 1 highest before 5.00") << 400 << "2146=3";
    }
    void writesAreCheckedAgainstTheirRange()
    {
        QFETCH(int, version);
        QFETCH(QString, write);
        Exchange x(config(version));
        const int cmd = write.mid(write.startsWith('!'), 4).toInt();
        const QByteArray before = x.value(cmd);
        QVERIFY(x.apply(write) && x.apply("+1")); // past the pause after a new bus address
        QCOMPARE(x.value(cmd), write.startsWith('!') ? before : write.section('=', 1).toLatin1());
    }

    // What the drive makes of what it hears, and that nothing stays stuck afterwards.
    void theLineIsReadForgivingly_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("answer");
        const QByteArray poll = pollFrame(11, 2402), version = answerFrame("2402", "540"), ack(1, ctl::ACK);
        QByteArray corrupted = writeFrame(11, 2101, "500");
        corrupted.back() = char(corrupted.back() ^ 1);
        QTest::newRow("noise before a poll") << QByteArray("x\x01\x7f 9") + poll << version;
        QTest::newRow("cut-off frame, then a poll") << pollFrame(11, 2100).left(5) + poll << version;
        QTest::newRow("two polls at once") << poll + poll << version + version;
        QTest::newRow("other address") << pollFrame(12, 2402) << QByteArray();
        QTest::newRow("wrong check character") << corrupted << QByteArray();
        QTest::newRow("write then poll") << writeFrame(11, 2101, "500") + pollFrame(11, 2101)
                                         << ack + answerFrame("2101", "500");
        QTest::newRow("poll of a short number") << pollFrame(11, 210) << QByteArray();
        QTest::newRow("deaf while saving") << writeFrame(11, 2152, "138") + poll << ack;
    }
    void theLineIsReadForgivingly()
    {
        QFETCH(QByteArray, bytes);
        Exchange x;
        QTEST(x.send(bytes), "answer");
        x.advance(0.5);
        QCOMPARE(x.number(2402), qint64(540));
    }

    // Motion from the command word, seen through the position (2100) and the status word (2180).
    void motion_data()
    {
        QTest::addColumn<DriveConfig>("config");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<qint64>("low"); // position
        QTest::addColumn<qint64>("high");
        QTest::addColumn<qint64>("mask"); // of the status word
        QTest::addColumn<qint64>("bits");
        const auto row = [](const char* name, const QStringList& steps, qint64 low, qint64 high, qint64 mask,
                            qint64 bits, const DriveConfig& c = config(540)) {
            QTest::newRow(name) << c << steps << low << high << mask << bits;
        };
        const qint64 still = kMoving | kInPosition | kJogging | kReferencing, end = kEndLimit | kMoving | 512 | 1024;
        row("start absolute", {"2101=40000", "2152=128", "+0.3"}, 1, 39999, still, kMoving);
        row("arrived, output 1 set", {"2101=40000", "2152=128", "+10"}, 40000, 40000, still | 4096, kInPosition | 4096);
        row("step positive", {"2152=130", "+10"}, 1000, 1000, still, kInPosition);
        row("step negative", {"2103=-5000", "2152=131", "+10"}, -1000, -1000, still, kInPosition);
        row("set reference", {"2102=2345", "2152=139", "+10"}, 2345, 2345, still, kInPosition);
        row("reference run, towards the cam", {"2152=136", "+0.2"}, -1000000, -1, still, kMoving | kReferencing);
        row("reference run, done", {"2102=777", "2152=136", "+10"}, 777, 777, still, kInPosition);
        row("jog positive", {"2152=132", "+5"}, 5000, 1000000, still, kMoving | kJogging);
        row("jog, stopped", {"2103=-1000000", "2152=133", "+3", "2152=129", "+1"}, -1000000, -3000, still, 0);
        row("end switch", {"2104=3000", "2152=132", "+5"}, 3000, 3000, end, kEndLimit | 512);
        row("end switch, 4.00", {"2104=3000", "2152=132", "+5"}, 3000, 3000, end, kEndLimit | 1024, config(400));
        row("end limit acknowledged", {"2104=3000", "2152=132", "+5", "2180=0"}, 3000, 3000, kEndLimit, 0);
        row("low current limit", {"2151=150", "2152=128", "+2"}, 0, 24999, kOvercurrent | still, kOvercurrent);
        row("new start clears the error", {"2151=150", "2152=128", "+2", "2151=800", "2152=128", "+10"}, 25000, 25000,
            kOvercurrent | still, kInPosition);
        row("emergency stop open", {"!2152=128", "!2152=130", "!2152=132", "!2152=136", "2152=129"}, 0, 0, still | 8192,
            kInPosition, config(540, 2000, true));
    }
    void motion()
    {
        QFETCH(DriveConfig, config);
        QFETCH(QStringList, steps);
        QFETCH(qint64, low);
        QFETCH(qint64, high);
        QFETCH(qint64, mask);
        Exchange x(config);
        for (const QString& step : steps)
            QVERIFY2(x.apply(step), qPrintable(step));
        const qint64 position = x.number(2100);
        QVERIFY2(position >= low && position <= high, qPrintable(QString::number(position)));
        QTEST(x.number(2180) & mask, "bits");
        QCOMPARE(x.number(2152), qint64(0)); // the command word is taken, not kept
    }

    // Memory that is more than values: the operating time, factory settings, the service counters.
    void memory()
    {
        Exchange x;
        const qint64 minutes = x.number(2429);
        QCOMPARE(x.number(2430), qint64(413)); // the power-up counted one more switch-on
        x.advance(125);
        QCOMPARE(x.number(2429), minutes + 2);
        QVERIFY(x.apply("2113=33") && x.apply("2413=4444") && x.apply("2452=162"));
        QCOMPARE(x.number(2113), qint64(80));
        QCOMPARE(x.number(2413), qint64(4444));
        QVERIFY(x.apply("2452=161") && x.apply("2452=163") && x.apply("!2452=999"));
        QCOMPARE(x.number(2413), qint64(0));
        QCOMPARE(x.number(2402), qint64(540));
        for (const int counter : {2425, 2430, 2437, 2440, 2443, 2446})
            QCOMPARE(x.number(counter), qint64(0));
        QVERIFY(x.number(2429) > 0);
    }
};

QTEST_GUILESS_MAIN(TestSim)
#include "test_sim.moc"
