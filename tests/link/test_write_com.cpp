#include "frame.h"
#include "link_rig.h"

#include <QTest>

using namespace kinetra;
using namespace kinetra::test;

namespace {
const QByteArray kNak(1, ctl::NAK);
} // namespace

class TestWriteCom : public QObject {
    Q_OBJECT
private slots:
    void offlineOnlyStoresTheValue()
    {
        LinkRig r;
        r.state.comOnline = 0;
        r.com->WriteCom(11, 2125, 7);
        QCOMPARE(r.state.table.value(2125), ParameterValue::number(7));
        QCOMPARE(r.frames(), 0);
        QVERIFY(!r.state.comBusy);
    }

    void selectionPositionsAreTranslated_data()
    {
        QTest::addColumn<int>("cmd");
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("translate");
        QTest::addColumn<QByteArray>("sent");
        QTest::newRow("axis 1, 0 -> 1") << 2125 << 0 << true << QByteArray("1");
        QTest::newRow("axis 1, 1 -> 2") << 2125 << 1 << true << QByteArray("2");
        QTest::newRow("axis 2, 2 -> 4") << 2225 << 2 << true << QByteArray("4");
        QTest::newRow("axis 3, 3 stays") << 2325 << 3 << true << QByteArray("3");
        QTest::newRow("device keeps 0") << 2425 << 0 << true << QByteArray("0");
        QTest::newRow("other parameter keeps 0") << 2126 << 0 << true << QByteArray("0");
        QTest::newRow("a drive value is sent as it is") << 2125 << 2 << false << QByteArray("2");
    }
    void selectionPositionsAreTranslated()
    {
        QFETCH(int, cmd);
        QFETCH(int, value);
        QFETCH(bool, translate);
        QFETCH(QByteArray, sent);
        LinkRig r;
        const auto translation = translate ? SelectionTranslation::Translate : SelectionTranslation::Keep;
        QCOMPARE(r.com->WriteCom(11, cmd, ParameterValue::number(value), translation), WriteOutcome::Accepted);
        QCOMPARE(r.port.writtenBytes(), QList<QByteArray>{writeFrame(11, cmd, sent)});
        QCOMPARE(r.state.table.value(cmd).toText(), QString::fromLatin1(sent));
    }

    // The command words and parameters 00 and 80 are actions: sent and acknowledged, not kept.
    void actionsGoOutButAreNotKept_data()
    {
        QTest::addColumn<int>("cmd");
        QTest::newRow("command word") << 2152;
        QTest::newRow("device command word") << 2452;
        QTest::newRow("parameter 00") << 2100;
        QTest::newRow("parameter 80") << 2180;
    }
    void actionsGoOutButAreNotKept()
    {
        QFETCH(int, cmd);
        LinkRig r;
        r.state.table.store(cmd, ParameterValue::text(QStringLiteral("kept")));
        r.state.transferCount = 17;
        r.com->WriteCom(11, cmd, 129);
        QCOMPARE(r.port.writtenBytes(), QList<QByteArray>{writeFrame(11, cmd, "129")});
        QCOMPARE(r.state.table.value(cmd), ParameterValue::text(QStringLiteral("kept")));
        QCOMPARE(r.window.statusText.value(1), QStringLiteral(" RS232 : ONLINE"));
        QCOMPARE(r.window.statusBevel.value(1), Bevel::Raised);
        // Outside a transfer every write starts the count again.
        QCOMPARE(r.state.transferCount, qint16(0));
        QVERIFY(!r.state.comBusy);
        QVERIFY(r.dialogs.shown.isEmpty());
    }

    // A refused value goes back to the one before, in the table and in its box; a refused
    // command has nothing to go back to. Live polling stays off until a connection or a
    // command button turns it on again.
    void refusalRestoresWhatWasThere_data()
    {
        QTest::addColumn<int>("cmd");
        QTest::addColumn<QString>("before"); // in the table; empty: nothing
        QTest::addColumn<QString>("box");
        QTest::newRow("value") << 2110 << "300"
                               << "3,00";
        QTest::newRow("command") << 2152 << ""
                                 << "box";
    }
    void refusalRestoresWhatWasThere()
    {
        QFETCH(int, cmd);
        QFETCH(QString, before);
        LinkRig r;
        if (!before.isEmpty())
            r.state.table.store(cmd, ParameterValue::text(before));
        r.window.setText(el::txtPara(cmd), QStringLiteral("box"));
        r.com->timerReceive().setEnabled(true);
        r.drive.overrides.push_back(kNak);
        r.com->WriteCom(11, cmd, 500);
        QCOMPARE(r.state.table.value(cmd), before.isEmpty() ? ParameterValue() : ParameterValue::text(before));
        QTEST(r.window.text(el::txtPara(cmd)), "box");
        QCOMPARE(r.dialogs.texts(), QStringList{QStringLiteral("msg75")});
        QCOMPARE(r.dialogs.shown.first().icon, MessageIcon::Error);
        QCOMPARE(r.frames(), 1);
        QVERIFY(!r.com->timerReceive().isEnabled());
        QVERIFY(!r.state.comBusy);
    }

    void silentDriveGetsThreeFramesThenOneError()
    {
        LinkRig r;
        r.drive.silent = true;
        r.state.transferActive = true;
        r.state.transferCount = 5;
        r.com->timerReceive().setEnabled(true);
        const double start = r.clock.now();
        r.com->WriteCom(11, 2110, 1);
        QCOMPARE(r.port.writtenBytes(), QList<QByteArray>(3, writeFrame(11, 2110, "1")));
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
        LinkRig r;
        r.port.close();
        r.com->WriteCom(11, 2110, 1);
        QCOMPARE(r.frames(), 0);
        QCOMPARE(r.dialogs.texts(), QStringList{QStringLiteral("Error")});
        QCOMPARE(r.state.comOnline, 0);
    }

    void laterAnswerAfterTwoSilencesIsAccepted()
    {
        LinkRig r;
        r.drive.overrides = {QByteArray(), QByteArray(), std::nullopt};
        r.com->timerReceive().setEnabled(true);
        r.com->WriteCom(11, 2110, 1);
        QCOMPARE(r.frames(), 3);
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
        QTest::newRow("save acknowledged") << 2152 << 138 << char(6) << false << 3.0 << "msg76";
        QTest::newRow("save answered otherwise") << 2152 << 138 << 'x' << false << 0.0 << "msg76";
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
        LinkRig r;
        r.state.transferActive = transfer;
        r.drive.overrides.push_back(QByteArray(1, answer));
        r.com->WriteCom(11, cmd, value);
        QTEST(r.clock.blockedSeconds(), "blocked");
        QTEST(r.window.text(el::helpLine()), "help");
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
        LinkRig r;
        r.state.transferActive = true;
        r.state.fileWindowActive = fileWindow;
        r.state.transferCount = 189;
        r.com->WriteCom(11, 2110, 1);
        r.com->WriteCom(11, 2110, 2);
        const QString bar = RecordingWindow::key(fileWindow ? el::fileProgressBar2() : el::progressBar2());
        QCOMPARE(r.state.transferCount, qint16(0));
        QCOMPARE(r.window.log.filter(bar),
                 (QStringList{QStringLiteral("value %1 = 190").arg(bar), QStringLiteral("value %1 = 0").arg(bar)}));
    }

    // Writes asked for while one waits for its answer (a jog stop falling due, timer ticks) go
    // out after it, one at a time and in order, never interleaved.
    void writesAskedForDuringAWriteFollowInOrder()
    {
        LinkRig r;
        r.drive.delay = 0.3;
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
        QCOMPARE(r.port.writtenBytes(), expected);
        const auto& written = r.port.written();
        for (qsizetype i = 1; i < written.size(); ++i)
            QVERIFY(written.at(i).time >= written.at(i - 1).time + 0.3);
        QCOMPARE(r.state.table.value(2101), ParameterValue::number(3));
        QCOMPARE(r.com->queuedWrites(), size_t(0));
        QVERIFY(!r.state.comBusy);
    }

    void aTickLongerThanItsIntervalLetsTimeGoOn()
    {
        // Live polling: every tick is a transaction that outlasts the 1-ms interval.
        LinkRig r;
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
        LinkRig r;
        r.drive.silent = true;
        r.dialogs.onShow = [&] { QFAIL("no box while quitting"); };
        r.com->ManualTimer().setCallback([&] { r.clock.setQuitting(); });
        r.com->ManualTimer().setEnabled(true);
        r.com->WriteCom(11, 2110, 1);
        QCOMPARE(r.frames(), 1);
        r.com->WriteCom(11, 2110, 2);
        QCOMPARE(r.frames(), 1);
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
        LinkRig r;
        int ticksOnTheWire = 0;
        r.com->timerReceive().setCallback([&] { ticksOnTheWire += r.frames() == 1 ? 1 : 0; });
        r.com->timerReceive().setEnabled(enabled);
        r.drive.overrides.push_back(QByteArray("\x06stale"));
        r.com->WriteCom(11, 2110, 1);
        QCOMPARE(r.com->timerReceive().isEnabled(), enabled);
        QCOMPARE(ticksOnTheWire, 0);
        // The rest of the answer is thrown away; nothing waits in the buffer.
        QCOMPARE(r.port.bytesWaiting(), 0);
    }
};

QTEST_GUILESS_MAIN(TestWriteCom)
#include "test_write_com.moc"
