#include "drive_com.h"
#include "fake_serial_port.h"
#include "frame.h"
#include "recording_dialogs.h"
#include "recording_window.h"
#include "shared_state.h"
#include "sim_device.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>

Q_DECLARE_METATYPE(kinetra::sim::DriveFaults)
Q_DECLARE_METATYPE(kinetra::CrcVerdict)

using namespace kinetra;
using namespace kinetra::test;

namespace {

// The real link on virtual time, online, with the simulated drive as COM1.
struct Rig {
    VirtualClock clock;
    FakeSerialPort port{clock};
    SimDevice drive;
    SharedState state;
    RecordingWindow window;
    RecordingDialogs dialogs;
    std::unique_ptr<DriveCom> com;

    explicit Rig(const sim::DriveFaults& faults = {}) : drive(configWith(faults))
    {
        drive.attachTo(port, 1);
        port.open();
        state.comOnline = 1;
        state.messageText[75] = QStringLiteral("refused");
        com = std::make_unique<DriveCom>(state, port, clock, window, dialogs);
    }
    static sim::DriveConfig configWith(const sim::DriveFaults& faults)
    {
        sim::DriveConfig c;
        c.faults = faults;
        return c;
    }
    int frames() const { return static_cast<int>(port.writtenBytes().size()); }
    // A poll as the port search sends it: one frame, whatever arrives within `seconds`.
    QByteArray poll(int cmd, double seconds = 1.0)
    {
        port.readAll();
        port.write(pollFrame(11, cmd));
        clock.advance(seconds);
        return port.readAll();
    }
};

sim::DriveFaults faults(const std::function<void(sim::DriveFaults&)>& set)
{
    sim::DriveFaults f;
    set(f);
    return f;
}

} // namespace

class TestSimFaults : public QObject {
    Q_OBJECT
private slots:
    void aHealthyDriveAcceptsAndAnswers()
    {
        Rig r;
        r.com->WriteCom(11, 2110, 250);
        QVERIFY(r.dialogs.shown.isEmpty());
        QCOMPARE(r.frames(), 1);
        QCOMPARE(r.state.comOnline, 1);
        QCOMPARE(CheckCRC(r.poll(2110)), CrcVerdict::Match);
        QCOMPARE(r.drive.model().memory().value(1, 10), qint64(250));
    }

    void refusalsReachTheToolAsMessage75_data()
    {
        QTest::addColumn<bool>("refuseAll");
        QTest::addColumn<int>("cmd");
        QTest::addColumn<int>("value");
        QTest::newRow("refuse-writes fault") << true << 2110 << 250;
        QTest::newRow("value out of range") << false << 2113 << 150;
    }
    void refusalsReachTheToolAsMessage75()
    {
        QFETCH(bool, refuseAll);
        QFETCH(int, cmd);
        QFETCH(int, value);
        Rig r(faults([&](sim::DriveFaults& f) { f.refuseWrites = refuseAll; }));
        r.state.table.store(cmd, ParameterValue::text(QStringLiteral("50")));
        r.com->WriteCom(11, cmd, value);
        QCOMPARE(r.dialogs.texts(), QStringList{QStringLiteral("refused")});
        QCOMPARE(r.state.table.value(cmd), ParameterValue::text(QStringLiteral("50")));
        QCOMPARE(r.frames(), 1);
        QVERIFY(r.drive.model().memory().value(1, cmd % 100) != value);
    }

    void silenceEndsInThreeFramesAndOneError_data()
    {
        QTest::addColumn<sim::DriveFaults>("fault");
        QTest::addColumn<int>("goodWrites");
        QTest::newRow("silent") << faults([](auto& f) { f.silent = true; }) << 0;
        QTest::newRow("silent after 2 frames") << faults([](auto& f) {
            f.silent = true;
            f.afterFrames = 2;
        }) << 2;
        QTest::newRow("silent for the command word") << faults([](auto& f) { f.silentFor = {2152}; }) << 2;
        QTest::newRow("slow past 3 s, every attempt") << faults([](auto& f) {
            f.slowAnswer = 9.5;
            f.afterFrames = 2;
        }) << 2;
    }
    void silenceEndsInThreeFramesAndOneError()
    {
        QFETCH(sim::DriveFaults, fault);
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
        Rig r(faults([](auto& f) { f.slowAnswer = 3.5; }));
        r.com->WriteCom(11, 2110, 250);
        // The late ACK of the first frame arrives while the tool waits for the second.
        QCOMPARE(r.frames(), 2);
        QVERIFY(r.dialogs.shown.isEmpty());
        QCOMPARE(r.state.comOnline, 1);
    }

    void pollAnswersAsTheToolSeesThem_data()
    {
        QTest::addColumn<sim::DriveFaults>("fault");
        QTest::addColumn<double>("wait");
        QTest::addColumn<CrcVerdict>("verdict");
        QTest::newRow("healthy") << sim::DriveFaults{} << 1.0 << CrcVerdict::Match;
        QTest::newRow("wrong check character")
            << faults([](auto& f) { f.wrongCheck = true; }) << 1.0 << CrcVerdict::Mismatch;
        QTest::newRow("garbage before the answer")
            << faults([](auto& f) { f.garbageBefore = 5; }) << 1.0 << CrcVerdict::Match;
        QTest::newRow("noise inside the answer")
            << faults([](auto& f) { f.noiseRate = 1; }) << 1.0 << CrcVerdict::Mismatch;
        QTest::newRow("slow past the poll limit")
            << faults([](auto& f) { f.slowAnswer = 1.5; }) << 1.0 << CrcVerdict::NoVerdict;
        QTest::newRow("slow, answer after the limit")
            << faults([](auto& f) { f.slowAnswer = 1.5; }) << 2.0 << CrcVerdict::Match;
    }
    void pollAnswersAsTheToolSeesThem()
    {
        QFETCH(sim::DriveFaults, fault);
        QFETCH(double, wait);
        QFETCH(CrcVerdict, verdict);
        Rig r(fault);
        for (const int cmd : {2000, 2170, 2401, 2100}) {
            const QByteArray answer = r.poll(cmd, wait);
            QCOMPARE(CheckCRC(answer), verdict);
            // A late answer is not to count for the next poll.
            r.clock.advance(3);
            r.port.readAll();
        }
    }

    void garbageHidesARefusal()
    {
        // The tool takes any first character but NAK as acceptance, so line noise in front of a
        // NAK passes a refused write as accepted: what a technician sees on a noisy line.
        Rig r(faults([](auto& f) {
            f.refuseWrites = true;
            f.garbageBefore = 1;
        }));
        r.com->WriteCom(11, 2110, 250);
        QVERIFY(r.dialogs.shown.isEmpty());
        QCOMPARE(r.drive.model().memory().value(1, 10), qint64(50));
    }

    void hangUpClosesTheToolsPort()
    {
        Rig r(faults([](auto& f) { f.hangUpAfterFrames = 1; }));
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

QTEST_GUILESS_MAIN(TestSimFaults)
#include "test_sim_faults.moc"
