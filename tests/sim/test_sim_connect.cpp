// The tool's own link (port search, full read, live polling, writes) against the simulated drive
// on virtual time.

#include "drive_com.h"
#include "fake_serial_port.h"
#include "frame.h"
#include "recording_dialogs.h"
#include "recording_window.h"
#include "shared_state.h"
#include "sim_device.h"

#include <QTest>

#include <memory>

using namespace kinetra;
using namespace kinetra::test;

namespace {

struct Rig {
    VirtualClock clock;
    FakeSerialPort port{clock};
    SimDevice drive;
    SharedState state;
    RecordingWindow window;
    RecordingDialogs dialogs;
    std::unique_ptr<DriveCom> com;

    explicit Rig(const sim::DriveConfig& config, int drivePort) : drive(config)
    {
        drive.attachTo(port, drivePort);
        for (int i = 0; i < SharedState::kMessageCount; ++i)
            state.messageText[static_cast<size_t>(i)] = QStringLiteral("msg%1").arg(i);
        com = std::make_unique<DriveCom>(state, port, clock, window, dialogs);
        // The part of the display the link depends on: the software version sets the level.
        com->setValueSink([this](QString& value, int index) {
            if (index == 2402)
                state.firmwareLevel = static_cast<qint16>(value.toInt());
        });
    }
    QList<int> polls() const
    {
        QList<int> out;
        for (const auto& w : port.written())
            if (w.bytes.endsWith(ctl::ENQ))
                out << w.bytes.mid(4, 4).toInt();
        return out;
    }
    qint64 slot(int cmd) const { return state.table.value(cmd).toText().toLongLong(); }
};

sim::DriveConfig drive(int type, int version)
{
    sim::DriveConfig c;
    c.deviceType = type;
    c.softwareVersion = version;
    return c;
}

} // namespace

class TestSimConnect : public QObject {
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
        Rig r(drive(2013, version), 3);
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
        Rig r(drive(2000, 540), 1);
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

    void aWrongCheckCharacterEndsInThreePollsAndOneError()
    {
        sim::DriveConfig c = drive(2000, 540);
        c.faults.wrongCheck = true;
        Rig r(c, 1);
        r.port.open();
        r.state.comOnline = 1;
        QCOMPARE(r.com->ReadCom(2401, 11), ReadOutcome::Failed);
        QCOMPARE(r.polls(), (QList<int>{2401, 2401, 2401}));
        QCOMPARE(r.dialogs.texts(), QStringList{QStringLiteral("Error")});
        QVERIFY(r.state.table.value(2401).isEmpty());
    }

    void aSilentDriveIsNotFound()
    {
        sim::DriveConfig c = drive(2000, 540);
        c.faults.silent = true;
        Rig r(c, 2);
        r.com->cmdConnect();
        QCOMPARE(r.state.comOnline, 0);
        QCOMPARE(r.polls().size(), 10);
    }
};

QTEST_GUILESS_MAIN(TestSimConnect)
#include "test_sim_connect.moc"
