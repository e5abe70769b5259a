#include "drive_model.h"
#include "sim_exchange.h"

#include <QTest>

using namespace kinetra;
using namespace kinetra::sim;
using namespace kinetra::test;

namespace {

constexpr qint64 kMoving = 1, kReferencing = 2, kInPosition = 4, kJogging = 8, kEndLimit = 32;
const QByteArray kAck(1, ctl::ACK);

} // namespace

class TestSimMotion : public QObject {
    Q_OBJECT
private slots:
    void startAbsoluteReachesTheSetPoint()
    {
        SimExchange x;
        QVERIFY(x.number(2180) & kInPosition); // standing at its start target
        QCOMPARE(x.write(2101, "40000"), kAck);
        QCOMPARE(x.write(2152, "128"), kAck);
        x.advance(0.3);
        const qint64 word = x.number(2180);
        QVERIFY(word & kMoving);
        QVERIFY(!(word & kInPosition));
        const qint64 early = x.number(2100);
        QVERIFY(early > 0 && early < 40000);
        QVERIFY(x.number(2182) > 60); // current follows the motion
        x.advance(10);
        QCOMPARE(x.number(2100), qint64(40000));
        QCOMPARE(x.number(2180) & (kMoving | kInPosition), kInPosition);
        QVERIFY(x.number(2180) & 4096); // output 1 set up as "in position"
        QCOMPARE(x.number(2183), qint64(127));
        // The command word is taken, not kept.
        QCOMPARE(x.number(2152), qint64(0));
        // The peak current holds the start ramp's until read, then starts again from the present.
        const qint64 peak = x.number(2184);
        QVERIFY2(peak > x.number(2182) + 50, "the start ramp drew more current than standing still");
        QVERIFY(x.number(2184) < 40);
    }

    void jogMovesUntilStop_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("direction");
        QTest::newRow("positive") << 132 << 1;
        QTest::newRow("negative") << 133 << -1;
    }
    void jogMovesUntilStop()
    {
        QFETCH(int, code);
        QFETCH(int, direction);
        SimExchange x;
        QCOMPARE(x.write(2103, "-1000000"), kAck);
        QCOMPARE(x.write(2152, QByteArray::number(code)), kAck);
        qint64 last = x.number(2100);
        for (int i = 0; i < 5; ++i) {
            x.advance(1);
            const qint64 now = x.number(2100);
            QVERIFY2((now - last) * direction > 1000, "a jog keeps moving while no stop comes");
            QVERIFY(x.number(2180) & kJogging);
            last = now;
        }
        QCOMPARE(x.write(2152, "129"), kAck);
        x.advance(1);
        const qint64 stopped = x.number(2100);
        x.advance(5);
        QCOMPARE(x.number(2100), stopped);
        QCOMPARE(x.number(2180) & (kMoving | kJogging | kInPosition), 0);
    }

    void commandCodesActAsNamed_data()
    {
        QTest::addColumn<QByteArray>("code");
        QTest::addColumn<qint64>("position"); // after 10 s; start at 0, step 1000, reference 2345
        QTest::addColumn<bool>("inPosition");
        QTest::newRow("step positive") << QByteArray("130") << qint64(1000) << true;
        QTest::newRow("step negative") << QByteArray("131") << qint64(-1000) << true;
        QTest::newRow("set reference") << QByteArray("139") << qint64(2345) << true;
        QTest::newRow("reference run") << QByteArray("136") << qint64(2345) << true;
        QTest::newRow("save") << QByteArray("153") << qint64(0) << true;
        QTest::newRow("take over") << QByteArray("137") << qint64(0) << true;
    }
    void commandCodesActAsNamed()
    {
        QFETCH(QByteArray, code);
        SimExchange x;
        QCOMPARE(x.write(2103, "-5000"), kAck);
        QCOMPARE(x.write(2102, "2345"), kAck);
        QCOMPARE(x.write(2152, code), kAck);
        x.advance(10);
        QTEST(x.number(2100), "position");
        QTEST(bool(x.number(2180) & kInPosition), "inPosition");
    }

    void referenceRunMovesThenTakesTheReference()
    {
        SimExchange x;
        QCOMPARE(x.write(2102, "777"), kAck);
        QCOMPARE(x.write(2152, "136"), kAck);
        x.advance(0.2);
        QVERIFY(x.number(2180) & kReferencing);
        QVERIFY(x.number(2100) < 0); // towards the cam, negative by default
        x.advance(10);
        QCOMPARE(x.number(2100), qint64(777));
        QVERIFY(!(x.number(2180) & kReferencing));
    }

    // Input 3 is the positive end switch; drives from version 5.00 on report it in bit 512,
    // older ones in bit 1024.
    void endLimitStopsTheAxisAndCounts_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<qint64>("switchBit");
        QTest::addColumn<qint64>("otherBit");
        QTest::newRow("5.40") << 540 << qint64(512) << qint64(1024);
        QTest::newRow("4.00") << 400 << qint64(1024) << qint64(512);
    }
    void endLimitStopsTheAxisAndCounts()
    {
        QFETCH(int, version);
        QFETCH(qint64, switchBit);
        QFETCH(qint64, otherBit);
        DriveConfig c;
        c.softwareVersion = version;
        SimExchange x(c);
        const qint64 counted = x.number(2440);
        QCOMPARE(x.write(2104, "3000"), kAck);
        QCOMPARE(x.write(2152, "132"), kAck);
        x.advance(5);
        QCOMPARE(x.number(2100), qint64(3000));
        const qint64 word = x.number(2180);
        QCOMPARE(word & (kEndLimit | kMoving | switchBit | otherBit), kEndLimit | switchBit);
        QCOMPARE(x.number(2440), counted + 1);
        // Writing the status word acknowledges the error.
        QCOMPARE(x.write(2180, "0"), kAck);
        QVERIFY(!(x.number(2180) & kEndLimit));
    }

    void aLowCurrentLimitTripsOvercurrent()
    {
        SimExchange x;
        const qint64 counted = x.number(2437);
        QCOMPARE(x.write(2151, "150"), kAck);
        QCOMPARE(x.write(2152, "128"), kAck);
        x.advance(2);
        const qint64 word = x.number(2180);
        QVERIFY(word & 16);
        QVERIFY(!(word & (kMoving | kInPosition)));
        QVERIFY(x.number(2100) < 25000);
        QCOMPARE(x.number(2437), counted + 1);
        // A new start clears the error and, with room for the current, reaches the set point.
        QCOMPARE(x.write(2151, "800"), kAck);
        QCOMPARE(x.write(2152, "128"), kAck);
        x.advance(10);
        QCOMPARE(x.number(2180) & (16 | kInPosition), kInPosition);
    }

    void nothingStartsWithTheEmergencyStopOpen_data()
    {
        QTest::addColumn<QByteArray>("code");
        for (const char* code : {"128", "130", "131", "132", "133", "136"})
            QTest::newRow(code) << QByteArray(code);
    }
    void nothingStartsWithTheEmergencyStopOpen()
    {
        QFETCH(QByteArray, code);
        DriveConfig c;
        c.emergencyStopOpen = true;
        SimExchange x(c);
        QCOMPARE(x.write(2152, code), QByteArray(1, ctl::NAK));
        x.advance(2);
        QCOMPARE(x.number(2100), qint64(0));
        QCOMPARE(x.write(2152, "129"), kAck); // stopping is always allowed
    }

    void frequencyMeasurementShowsWhileItRuns()
    {
        SimExchange x;
        QCOMPARE(x.write(2140, "1"), kAck);
        QCOMPARE(x.write(2152, "140"), kAck);
        QVERIFY(x.number(2180) & (1 << 25));
        x.advance(3);
        QVERIFY(!(x.number(2180) & (1 << 25)));
        QVERIFY(qAbs(x.number(2140) - 25000) <= 250);
    }

    void factorySettingsAndServiceReset()
    {
        SimExchange x;
        QCOMPARE(x.write(2113, "33"), kAck);
        QCOMPARE(x.write(2413, "4444"), kAck);
        QCOMPARE(x.write(2452, "162"), kAck);
        QCOMPARE(x.number(2113), qint64(80));
        QCOMPARE(x.number(2413), qint64(4444));
        QCOMPARE(x.write(2452, "161"), kAck);
        QCOMPARE(x.number(2413), qint64(0));
        QCOMPARE(x.number(2402), qint64(540)); // identity survives
        QVERIFY(x.number(2437) > 0);
        QCOMPARE(x.write(2452, "163"), kAck);
        for (const int counter : {2425, 2430, 2437, 2440, 2443, 2446})
            QCOMPARE(x.number(counter), qint64(0));
        QVERIFY(x.number(2429) > 0); // the operating time is no service counter
        QCOMPARE(x.write(2452, "999"), QByteArray(1, ctl::NAK));
    }

    void saveMakesTheDriveDeafForAMoment()
    {
        SimExchange x;
        QCOMPARE(x.write(2152, "138"), kAck);
        QCOMPARE(x.poll(2402), QByteArray()); // 0.2 s later: still writing its memory
        x.advance(0.5);
        QCOMPARE(x.number(2402), qint64(540));
    }
};

QTEST_GUILESS_MAIN(TestSimMotion)
#include "test_sim_motion.moc"
