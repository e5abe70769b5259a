// The tool's own link (port search, full read, live polling, writes) against the simulated drive
// on virtual time, and the drive's faults as the link meets them.

#include "frame.h"
#include "sim_link.h"

#include <QSignalSpy>
#include <QTest>

Q_DECLARE_METATYPE(kinetra::sim::DriveConfig)
Q_DECLARE_METATYPE(kinetra::CrcVerdict)

using namespace kinetra;
using namespace kinetra::test;

namespace {

sim::DriveConfig faulty(const std::function<void(sim::DriveFaults&)>& set)
{
    sim::DriveConfig c;
    set(c.faults);
    return c;
}

sim::DriveConfig identity(int type, int version)
{
    sim::DriveConfig c;
    c.deviceType = type;
    c.softwareVersion = version;
    return c;
}

// Of the display only the part the link depends on: the software version sets the level.
struct Rig : SimLink {
    explicit Rig(const sim::DriveConfig& config, int drivePort = 1, bool online = true)
        : SimLink(config, drivePort, online)
    {
        com->setValueSink([this](QString& value, int index) {
            if (index == 2402)
                state.firmwareLevel = static_cast<qint16>(value.toInt());
        });
    }
    qint64 slot(int cmd) const { return state.table.value(cmd).toText().toLongLong(); }
    // A poll as the port search sends it: one frame, whatever arrives within `seconds`.
    QByteArray poll(int cmd, double seconds = 1.0)
    {
        port.readAll();
        port.write(pollFrame(11, cmd));
        clock.advance(seconds);
        return port.readAll();
    }
};

} // namespace

class TestSimLink : public QObject {
    Q_OBJECT
private slots:
    void connectFindsTheDriveAndReadsItAll_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<int>("axisReads");
        QTest::newRow("5.40") << 540 << 100;
        QTest::newRow("5.23") << 523 << 59;
    }
    void connectFindsTheDriveAndReadsItAll()
    {
        QFETCH(int, version);
        QFETCH(int, axisReads);
        Rig r(identity(2013, version), 3, false);
        r.com->cmdConnect();
        QVERIFY2(r.dialogs.shown.isEmpty(), qPrintable(r.dialogs.texts().join(QLatin1Char('|'))));
        QCOMPARE(r.state.comPort, 3);
        QCOMPARE(r.state.comOnline, 1);
        QCOMPARE(r.state.paramsLoaded, 1);
        QCOMPARE(r.polls().size(), 3 + 38 + axisReads);
        QCOMPARE(r.slot(2401), qint64(2013));
        QCOMPARE(r.slot(2402), qint64(version));
        QCOMPARE(r.slot(2113), qint64(80));
        QCOMPARE(r.slot(2101), qint64(25000));
        QVERIFY(r.com->timerReceive().isEnabled());
    }

    void liveValuesFollowAStartCommand()
    {
        Rig r(identity(2000, 540), 1, false);
        r.com->cmdConnect();
        QCOMPARE(r.state.paramsLoaded, 1);
        // A poll every 50 ms is plenty here, and keeps each tick shorter than the interval.
        r.com->timerReceive().setInterval(50);
        r.com->WriteCom(11, 2101, 5000);
        r.com->WriteCom(11, 2152, 128);
        QVERIFY(r.dialogs.shown.isEmpty());
        r.clock.advance(0.3);
        QVERIFY(r.slot(2180) & 1); // moving, seen through the status block
        r.clock.advance(10);
        QCOMPARE(r.slot(2170), qint64(5000));
        QVERIFY(r.slot(2180) & 4);
        QVERIFY(r.polls().count(2170) > 20);
    }

    // A write the drive takes is kept; one it refuses (the refuse-writes fault, a value out of
    // range) reaches the tool as message 75, with the old value back in the table.
    void writesAreTakenOrRefused_data()
    {
        QTest::addColumn<bool>("refuseAll");
        QTest::addColumn<int>("cmd");
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("taken");
        QTest::newRow("healthy") << false << 2110 << 250 << true;
        QTest::newRow("refuse-writes fault") << true << 2110 << 250 << false;
        QTest::newRow("value out of range") << false << 2113 << 150 << false;
    }
    void writesAreTakenOrRefused()
    {
        QFETCH(bool, refuseAll);
        QFETCH(int, cmd);
        QFETCH(int, value);
        QFETCH(bool, taken);
        Rig r(faulty([&](sim::DriveFaults& f) { f.refuseWrites = refuseAll; }));
        r.state.table.store(cmd, ParameterValue::text(QStringLiteral("50")));
        r.com->WriteCom(11, cmd, value);
        QCOMPARE(r.dialogs.texts(), taken ? QStringList() : QStringList{QStringLiteral("msg75")});
        QCOMPARE(r.state.table.value(cmd),
                 taken ? ParameterValue::number(value) : ParameterValue::text(QStringLiteral("50")));
        QCOMPARE(r.frames(), 1);
        QCOMPARE(r.state.comOnline, 1);
        QCOMPARE(r.drive.model().memory().value(1, cmd % 100) == value, taken);
    }

    void silenceEndsInThreeFramesAndOneError_data()
    {
        QTest::addColumn<sim::DriveConfig>("fault");
        QTest::addColumn<int>("goodWrites");
        QTest::newRow("silent") << faulty([](auto& f) { f.silent = true; }) << 0;
        QTest::newRow("silent after 2 frames") << faulty([](auto& f) {
            f.silent = true;
            f.afterFrames = 2;
        }) << 2;
        QTest::newRow("silent for the command word") << faulty([](auto& f) { f.silentFor = {2152}; }) << 2;
        QTest::newRow("slow past 3 s, every attempt") << faulty([](auto& f) {
            f.slowAnswer = 9.5;
            f.afterFrames = 2;
        }) << 2;
    }
    void silenceEndsInThreeFramesAndOneError()
    {
        QFETCH(sim::DriveConfig, fault);
        QFETCH(int, goodWrites);
        Rig r(fault);
        for (int i = 0; i < goodWrites; ++i)
            r.com->WriteCom(11, 2110, 100 + i);
        QVERIFY(r.dialogs.shown.isEmpty());
        const double start = r.clock.now();
        r.com->WriteCom(11, 2152, 129);
        QCOMPARE(r.frames(), goodWrites + 3);
        QCOMPARE(r.dialogs.texts(), QStringList{QStringLiteral("Error")});
        QCOMPARE(r.state.comOnline, 0);
        QVERIFY(r.clock.now() - start > 9.0);
    }

    void anAnswerPastThreeSecondsCountsForTheRetry()
    {
        Rig r(faulty([](auto& f) { f.slowAnswer = 3.5; }));
        r.com->WriteCom(11, 2110, 250);
        // The late ACK of the first frame arrives while the tool waits for the second.
        QCOMPARE(r.frames(), 2);
        QVERIFY(r.dialogs.shown.isEmpty());
        QCOMPARE(r.state.comOnline, 1);
    }

    void pollAnswersAsTheToolSeesThem_data()
    {
        QTest::addColumn<sim::DriveConfig>("fault");
        QTest::addColumn<double>("wait");
        QTest::addColumn<CrcVerdict>("verdict");
        QTest::newRow("healthy") << sim::DriveConfig{} << 1.0 << CrcVerdict::Match;
        QTest::newRow("wrong check character")
            << faulty([](auto& f) { f.wrongCheck = true; }) << 1.0 << CrcVerdict::Mismatch;
        QTest::newRow("garbage before the answer")
            << faulty([](auto& f) { f.garbageBefore = 5; }) << 1.0 << CrcVerdict::Match;
        QTest::newRow("noise inside the answer")
            << faulty([](auto& f) { f.noiseRate = 1; }) << 1.0 << CrcVerdict::Mismatch;
        QTest::newRow("slow past the poll limit")
            << faulty([](auto& f) { f.slowAnswer = 1.5; }) << 1.0 << CrcVerdict::NoVerdict;
        QTest::newRow("slow, answer after the limit")
            << faulty([](auto& f) { f.slowAnswer = 1.5; }) << 2.0 << CrcVerdict::Match;
    }
    void pollAnswersAsTheToolSeesThem()
    {
        QFETCH(sim::DriveConfig, fault);
        QFETCH(double, wait);
        Rig r(fault);
        for (const int cmd : {2000, 2170, 2401, 2100}) {
            const QByteArray answer = r.poll(cmd, wait);
            QTEST(CheckCRC(answer), "verdict");
            // A late answer is not to count for the next poll.
            r.clock.advance(3);
            r.port.readAll();
        }
    }

    void garbageHidesARefusal()
    {
        // The tool takes any first character but NAK as acceptance, so line noise in front of a
        // NAK passes a refused write as accepted: what a technician sees on a noisy line.
        Rig r(faulty([](auto& f) {
            f.refuseWrites = true;
            f.garbageBefore = 1;
        }));
        r.com->WriteCom(11, 2110, 250);
        QVERIFY(r.dialogs.shown.isEmpty());
        QCOMPARE(r.drive.model().memory().value(1, 10), qint64(50));
    }

    void hangUpClosesTheToolsPort()
    {
        Rig r(faulty([](auto& f) { f.hangUpAfterFrames = 1; }));
        QSignalSpy lost(&r.port, &SerialPort::lostDevice);
        r.com->WriteCom(11, 2110, 250);
        QVERIFY(r.dialogs.shown.isEmpty());
        QCOMPARE(lost.count(), 0);
        r.com->WriteCom(11, 2110, 260);
        QCOMPARE(lost.count(), 1);
        QVERIFY(!r.port.isOpen());
        QCOMPARE(r.dialogs.texts(), QStringList{QStringLiteral("Error")});
        QCOMPARE(r.state.comOnline, 0);
    }
};

QTEST_GUILESS_MAIN(TestSimLink)
#include "test_sim_link.moc"
