#include "drive_com.h"
#include "fake_serial_port.h"
#include "frame.h"
#include "recording_dialogs.h"
#include "recording_window.h"
#include "scripted_drive.h"
#include "shared_state.h"

#include <QTest>

#include <memory>

using namespace kinetra;
using namespace kinetra::test;
using Reply = ScriptedDrive::Reply;

namespace {

// A link on virtual time with the stand-in drive on port 1, online.
struct Rig {
    VirtualClock clock;
    FakeSerialPort port{clock};
    ScriptedDrive drive;
    SharedState state;
    RecordingWindow window;
    RecordingDialogs dialogs;
    std::unique_ptr<DriveCom> com;

    Rig()
    {
        port.attach(1, &drive);
        port.open();
        state.comOnline = 1;
        state.messageText[75] = QStringLiteral("refused");
        state.messageText[76] = QStringLiteral("saving");
        com = std::make_unique<DriveCom>(state, port, clock, window, dialogs);
    }
    QList<QByteArray> frames() const { return port.writtenBytes(); }
};

} // namespace

class TestWriteCom : public QObject {
    Q_OBJECT
private slots:
    void offlineOnlyStoresTheValue()
    {
        Rig r;
        r.state.comOnline = 0;
        r.com->WriteCom(11, 2125, 7);
        QCOMPARE(r.state.table.value(2125), ParameterValue::number(7));
        QVERIFY(r.frames().isEmpty());
        QVERIFY(!r.state.comBusy);
    }

    void selectionPositionsAreTranslated_data()
    {
        QTest::addColumn<int>("cmd");
        QTest::addColumn<int>("value");
        QTest::addColumn<QByteArray>("sent");
        QTest::newRow("axis 1, 0 -> 1") << 2125 << 0 << QByteArray("1");
        QTest::newRow("axis 1, 1 -> 2") << 2125 << 1 << QByteArray("2");
        QTest::newRow("axis 2, 2 -> 4") << 2225 << 2 << QByteArray("4");
        QTest::newRow("axis 3, 3 stays") << 2325 << 3 << QByteArray("3");
        QTest::newRow("device keeps 0") << 2425 << 0 << QByteArray("0");
        QTest::newRow("other parameter keeps 0") << 2126 << 0 << QByteArray("0");
    }
    void selectionPositionsAreTranslated()
    {
        QFETCH(int, cmd);
        QFETCH(int, value);
        QFETCH(QByteArray, sent);
        Rig r;
        const ParameterValue v = r.com->WriteCom(11, cmd, value);
        QCOMPARE(r.frames(), QList<QByteArray>{writeFrame(11, cmd, sent)});
        QCOMPARE(r.state.table.value(cmd).toText(), QString::fromLatin1(sent));
        QCOMPARE(v.toText(), QString::fromLatin1(sent));
    }

    void aDriveValueIsSentAsItIs()
    {
        Rig r;
        r.com->WriteCom(11, 2125, ParameterValue::text(QStringLiteral("2")), SelectionTranslation::Keep);
        QCOMPARE(r.frames(), QList<QByteArray>{writeFrame(11, 2125, "2")});
    }

    void actionsAreNotKeptInTheTable_data()
    {
        QTest::addColumn<int>("cmd");
        QTest::newRow("command word") << 2152;
        QTest::newRow("device command word") << 2452;
        QTest::newRow("parameter 00") << 2100;
        QTest::newRow("parameter 80") << 2180;
    }
    void actionsAreNotKeptInTheTable()
    {
        QFETCH(int, cmd);
        Rig r;
        r.state.table.store(cmd, ParameterValue::text(QStringLiteral("kept")));
        r.com->WriteCom(11, cmd, 129);
        QCOMPARE(r.state.table.value(cmd), ParameterValue::text(QStringLiteral("kept")));
        QCOMPARE(r.frames().size(), 1);
    }

    void stopCommandGoesOutAsTheWorkedExample()
    {
        Rig r;
        r.com->WriteCom(11, 2152, 129);
        QCOMPARE(r.frames(), QList<QByteArray>{QByteArray("\x04" "11\x02" "2152129\x03" "=")});
        QCOMPARE(r.window.statusText.value(1), QStringLiteral(" RS232 : ONLINE"));
        QCOMPARE(r.window.statusBevel.value(1), Bevel::Raised);
        QVERIFY(!r.state.comBusy);
        QVERIFY(r.dialogs.shown.isEmpty());
    }

    void refusalRestoresSlotAndBox()
    {
        Rig r;
        r.state.table.store(2110, ParameterValue::text(QStringLiteral("300")));
        r.window.setText(el::txtPara(2110), QStringLiteral("5,00"));
        r.com->timerReceive().setEnabled(true);
        r.drive.script(Reply::nak());
        r.com->WriteCom(11, 2110, 500);
        QCOMPARE(r.state.table.value(2110), ParameterValue::text(QStringLiteral("300")));
        QCOMPARE(r.window.text(el::txtPara(2110)), QStringLiteral("3,00"));
        QCOMPARE(r.dialogs.texts(), QStringList{QStringLiteral("refused")});
        QCOMPARE(r.dialogs.shown.first().icon, MessageIcon::Error);
        QCOMPARE(r.frames().size(), 1);
        // Live polling stays off until a connection or a command button turns it on again.
        QVERIFY(!r.com->timerReceive().isEnabled());
        QVERIFY(!r.state.comBusy);
    }

    void refusedCommandRestoresNothing()
    {
        Rig r;
        r.window.setText(el::txtPara(2152), QStringLiteral("box"));
        r.drive.script(Reply::nak());
        r.com->WriteCom(11, 2152, 128);
        QCOMPARE(r.dialogs.texts(), QStringList{QStringLiteral("refused")});
        QVERIFY(r.state.table.value(2152).isEmpty());
        QCOMPARE(r.window.text(el::txtPara(2152)), QStringLiteral("box"));
    }

    void silentDriveGetsThreeFramesThenOneError()
    {
        Rig r;
        r.drive.setDefault(Reply::silence());
        r.state.transferActive = true;
        r.state.transferCount = 5;
        r.com->timerReceive().setEnabled(true);
        const double start = r.clock.now();
        r.com->WriteCom(11, 2110, 1);
        const QList<QByteArray> frames = r.frames();
        QCOMPARE(frames.size(), 3);
        QCOMPARE(frames.at(1), frames.at(0));
        QCOMPARE(frames.at(2), frames.at(0));
        QCOMPARE(r.dialogs.texts(), QStringList{QStringLiteral("Error")});
        QCOMPARE(r.state.comOnline, 0);
        QCOMPARE(r.state.transferCount, qint16(5));
        QVERIFY(r.state.transferActive);
        QVERIFY(!r.com->timerReceive().isEnabled());
        QCOMPARE(r.window.statusText.value(1), QStringLiteral(" RS232 : OFFLINE"));
        for (int panel : {1, 4, 5})
            QCOMPARE(r.window.statusBevel.value(panel), Bevel::Sunken);
        // The table keeps the new value; three 3-s waits with their settles, on virtual time.
        QCOMPARE(r.state.table.value(2110), ParameterValue::number(1));
        QVERIFY(qAbs(r.clock.now() - start - (0.1 + 3 * 3.02)) < 0.01);
    }

    void closedPortIsASilentDrive()
    {
        Rig r;
        r.port.close();
        r.com->WriteCom(11, 2110, 1);
        QVERIFY(r.frames().isEmpty());
        QCOMPARE(r.dialogs.texts(), QStringList{QStringLiteral("Error")});
        QCOMPARE(r.state.comOnline, 0);
    }

    void laterAnswerAfterTwoSilencesIsAccepted()
    {
        Rig r;
        r.drive.script(Reply::silence());
        r.drive.script(Reply::silence());
        r.drive.script(Reply::ack());
        r.com->timerReceive().setEnabled(true);
        r.com->WriteCom(11, 2110, 1);
        QCOMPARE(r.frames().size(), 3);
        QVERIFY(r.dialogs.shown.isEmpty());
        QCOMPARE(r.state.comOnline, 1);
        QVERIFY(r.com->timerReceive().isEnabled());
    }

    void saveCommandPausesOnlyAfterAck_data()
    {
        QTest::addColumn<int>("cmd");
        QTest::addColumn<int>("value");
        QTest::addColumn<char>("answer");
        QTest::addColumn<bool>("transfer");
        QTest::addColumn<double>("blocked");
        QTest::addColumn<QString>("help");
        QTest::newRow("save acknowledged") << 2152 << 138 << char(6) << false << 3.0 << "saving";
        QTest::newRow("save answered otherwise") << 2152 << 138 << 'x' << false << 0.0 << "saving";
        QTest::newRow("save during a transfer") << 2152 << 138 << char(6) << true << 0.0 << "";
        QTest::newRow("device parameter 10") << 2410 << 5 << char(6) << false << 3.0 << "";
        QTest::newRow("start command") << 2152 << 128 << char(6) << false << 0.0 << "";
    }
    void saveCommandPausesOnlyAfterAck()
    {
        QFETCH(int, cmd);
        QFETCH(int, value);
        QFETCH(char, answer);
        QFETCH(bool, transfer);
        QFETCH(double, blocked);
        QFETCH(QString, help);
        Rig r;
        r.state.transferActive = transfer;
        r.drive.script(Reply::character(answer));
        r.com->WriteCom(11, cmd, value);
        QCOMPARE(r.clock.blockedSeconds(), blocked);
        QCOMPARE(r.window.text(el::helpLine()), help);
        QVERIFY(r.dialogs.shown.isEmpty());
    }

    void transferProgressGoesToTheActiveWindow_data()
    {
        QTest::addColumn<bool>("fileWindow");
        QTest::newRow("main window") << false;
        QTest::newRow("file window") << true;
    }
    void transferProgressGoesToTheActiveWindow()
    {
        QFETCH(bool, fileWindow);
        Rig r;
        r.state.transferActive = true;
        r.state.fileWindowActive = fileWindow;
        r.state.transferCount = 189;
        r.com->WriteCom(11, 2110, 1);
        r.com->WriteCom(11, 2110, 2);
        const Element bar = fileWindow ? el::fileProgressBar2() : el::progressBar2();
        QCOMPARE(r.state.transferCount, qint16(0));
        QCOMPARE(r.window.log.filter(RecordingWindow::key(bar)),
                 (QStringList{QStringLiteral("value %1 = 190").arg(RecordingWindow::key(bar)),
                              QStringLiteral("value %1 = 0").arg(RecordingWindow::key(bar))}));
    }

    void outsideATransferTheCountIsReset()
    {
        Rig r;
        r.state.transferCount = 17;
        r.com->WriteCom(11, 2110, 1);
        QCOMPARE(r.state.transferCount, qint16(0));
    }

    void timerFiringInsideAWriteIsQueuedNotInterleaved()
    {
        Rig r;
        // The drive takes half a second to accept; a jog stop falls due meanwhile.
        r.drive.setDefault(Reply::ack().after(0.5));
        int stops = 0;
        r.com->ManualTimer().setCallback([&] {
            r.com->ManualTimer().setEnabled(false);
            ++stops;
            r.com->WriteCom(11, 2152, 129);
        });
        r.com->ManualTimer().setEnabled(true);
        r.com->WriteCom(11, 2101, 1000);
        QCOMPARE(stops, 1);
        const auto& written = r.port.written();
        QCOMPARE(written.size(), 2);
        QCOMPARE(written.at(0).bytes, writeFrame(11, 2101, "1000"));
        QCOMPARE(written.at(1).bytes, writeFrame(11, 2152, "129"));
        // The stop went out only after the first answer was in.
        QVERIFY(written.at(1).time >= written.at(0).time + 0.5);
        QCOMPARE(r.com->queuedWrites(), size_t(0));
        QVERIFY(!r.state.comBusy);
    }

    void manyQueuedWritesKeepTheirOrder()
    {
        Rig r;
        r.drive.setDefault(Reply::ack().after(0.3));
        int tick = 0;
        r.com->TimerTest().setInterval(50);
        r.com->TimerTest().setCallback([&] {
            if (++tick == 3)
                r.com->TimerTest().setEnabled(false);
            r.com->WriteCom(11, 2101, tick);
        });
        r.com->TimerTest().setEnabled(true);
        r.com->WriteCom(11, 2152, 128);
        QList<QByteArray> expected{writeFrame(11, 2152, "128")};
        for (int i = 1; i <= 3; ++i)
            expected << writeFrame(11, 2101, QByteArray::number(i));
        QCOMPARE(r.frames(), expected);
        QCOMPARE(r.state.table.value(2101), ParameterValue::number(3));
    }

    void aTickLongerThanItsIntervalLetsTimeGoOn()
    {
        // Live polling: every tick is a transaction that outlasts the 1-ms interval.
        Rig r;
        int ticks = 0;
        r.com->timerReceive().setCallback([&] {
            ++ticks;
            r.com->WriteCom(11, 2152, 129);
        });
        r.com->timerReceive().setEnabled(true);
        r.clock.advance(1.0);
        QVERIFY(ticks >= 5);
        QVERIFY(r.clock.now() < 1.2);
    }

    void nothingIsSentOnceTheProgramQuits()
    {
        Rig r;
        r.drive.setDefault(Reply::silence());
        r.dialogs.onShow = [&] { QFAIL("no box while quitting"); };
        r.com->ManualTimer().setCallback([&] { r.clock.setQuitting(); });
        r.com->ManualTimer().setEnabled(true);
        r.com->WriteCom(11, 2110, 1);
        QCOMPARE(r.frames().size(), 1);
        r.com->WriteCom(11, 2110, 2);
        QCOMPARE(r.frames().size(), 1);
        QVERIFY(!r.state.comBusy);
    }

    void receiveTimerIsRestoredAfterAnAnswer_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::newRow("was on") << true;
        QTest::newRow("was off") << false;
    }
    void receiveTimerIsRestoredAfterAnAnswer()
    {
        QFETCH(bool, enabled);
        Rig r;
        int ticksOnTheWire = 0;
        r.com->timerReceive().setCallback([&] { ticksOnTheWire += r.port.written().size() == 1 ? 1 : 0; });
        r.com->timerReceive().setEnabled(enabled);
        r.drive.script(Reply::raw("\x06stale"));
        r.com->WriteCom(11, 2110, 1);
        QCOMPARE(r.com->timerReceive().isEnabled(), enabled);
        QCOMPARE(ticksOnTheWire, 0);
        // The rest of the answer is thrown away; nothing waits in the buffer.
        QCOMPARE(r.port.bytesWaiting(), 0);
    }
};

QTEST_GUILESS_MAIN(TestWriteCom)
#include "test_write_com.moc"
