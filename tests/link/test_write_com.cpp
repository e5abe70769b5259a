// Writes on virtual time: what the drive's answer comes to, how long each attempt waits, the
// pause after a save, and the order in which transactions asked for meanwhile take the wire.
#include "link_rig.h"

#include <QTest>

using namespace kinetra;
using namespace kinetra::test;

namespace {
// The frames on the wire: "2100?" for a poll, "2152=129" for a write.
QStringList onTheWire(const LinkRig& r)
{
    QStringList out;
    for (const QByteArray& f : r.port.writtenBytes())
        out << QString::fromLatin1(f.endsWith(ctl::ENQ) ? f.mid(4, 4) + '?' : f.mid(4, 4) + '=' + f.mid(8).chopped(2));
    return out;
}
} // namespace

class TestWriteCom : public QObject {
    Q_OBJECT
private slots:
    // One write, asked for as "cmd=value". It goes out 0.1 s later; an attempt waits up to 3 s for
    // the first character and 0.02 s for the rest; NAK restores the old value; three silent
    // attempts are one error. An acknowledged save (or device parameter 10) outside a transfer
    // holds the program 3 s while the drive writes its memory.
    void writeMeetsTheLine_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<QString>("write");
        QTest::addColumn<QByteArray>("sent"); // the value on the wire
        QTest::addColumn<int>("frames");
        QTest::addColumn<WriteOutcome>("outcome");
        QTest::addColumn<double>("took");
        QTest::addColumn<QString>("table"); // afterwards
        const auto row = [](const char* name, const Setup& s, const char* write, const char* sent, int frames,
                            WriteOutcome o, double took, const char* table) {
            QTest::newRow(name) << s << QString(write) << QByteArray(sent) << frames << o << took << QString(table);
        };
        const Setup none = [](LinkRig&) {}, acked = script({says("\x06")});
        const Setup refusing = fault([](auto& f) { f.refuseWrites = true; });
        const Setup kept = [](LinkRig& r) {
            r.state.table.store(2110, ParameterValue::text("300"));
            r.state.table.store(2152, ParameterValue::text("kept"));
        };
        using enum WriteOutcome;
        row("acknowledged", none, "2110=250", "250", 1, Accepted, 0.124, "250");
        row("list position 0 is the drive's 1", acked, "2125=0", "1", 1, Accepted, 0.13, "1");
        row("axis 2 list position 2 is 4", acked, "2225=2", "4", 1, Accepted, 0.13, "4");
        row("axis 3 list position 3 stays", acked, "2325=3", "3", 1, Accepted, 0.13, "3");
        row("device parameter 25 keeps 0", acked, "2425=0", "0", 1, Accepted, 0.13, "0");
        row("command word is not kept", kept, "2152=129", "129", 1, Accepted, 0.124, "kept");
        row("parameter 00 is not kept", acked, "2100=129", "129", 1, Accepted, 0.13, "");
        row(
            "refused: old value back", [=](LinkRig& r) { kept(r), refusing(r); }, "2110=250", "250", 1, Refused, 0.124,
            "300");
        row("refused command", refusing, "2152=128", "128", 1, Refused, 0.124, "");
        // Any first character but NAK is taken as acceptance: noise in front of a NAK hides it.
        row("noise before a NAK", fault([](auto& f) { f.refuseWrites = true, f.garbageBefore = 1; }), "2110=250", "250",
            1, Garbled, 0.124, "250");
        row("stale characters after the ACK", script({says("\x06stale")}), "2110=250", "250", 1, Accepted, 0.13, "250");
        row("silent", fault([](auto& f) { f.silent = true; }), "2110=250", "250", 3, NoAnswer, 0.1 + 3 * 3.02, "250");
        row("two silences, then ACK", script({Pieces(), Pieces()}), "2110=250", "250", 3, Accepted, 6.164, "250");
        row("ACK past 3 s counts for frame 2", fault([](auto& f) { f.slowAnswer = 3.5; }), "2110=250", "250", 2,
            Accepted, 0.1 + 3.5 + 0.02, "250");
        row(
            "port closed", [](LinkRig& r) { r.port.close(); }, "2110=250", "", 0, NoAnswer, 0.1 + 3 * 0.02, "250");
        row(
            "offline: only stored", [](LinkRig& r) { r.state.comOnline = 0; }, "2110=250", "", 0, NotSent, 0.1, "250");
        row("save acknowledged", none, "2152=138", "138", 1, Accepted, 3.124, "");
        row("save refused", refusing, "2152=138", "138", 1, Refused, 0.124, "");
        row(
            "save during a transfer", [](LinkRig& r) { r.state.transferActive = true; }, "2152=138", "138", 1, Accepted,
            0.124, "");
        row("device parameter 10", none, "2410=5", "5", 1, Accepted, 3.124, "5");
        row("start command", none, "2152=128", "128", 1, Accepted, 0.124, "");
    }
    void writeMeetsTheLine()
    {
        QFETCH(Setup, setup);
        QFETCH(QString, write);
        QFETCH(int, frames);
        QFETCH(WriteOutcome, outcome);
        QFETCH(double, took);
        const int cmd = write.left(4).toInt();
        LinkRig r;
        r.window.setText(el::txtPara(cmd), QStringLiteral("box"));
        setup(r);
        const bool wasOnline = r.state.comOnline;
        r.com->timerReceive().setEnabled(wasOnline);
        QCOMPARE(r.com->WriteCom(11, cmd, write.mid(5).toLongLong()), outcome);

        QFETCH(QByteArray, sent);
        QCOMPARE(r.port.writtenBytes(), QList<QByteArray>(frames, writeFrame(11, cmd, sent)));
        QVERIFY2(qAbs(r.clock.now() - took) < 1e-6, qPrintable(QString::number(r.clock.now(), 'g', 10)));
        QCOMPARE(r.clock.blockedSeconds(), took > 3 && frames == 1 ? 3.0 : 0.0);
        QTEST(r.state.table.value(cmd).toText(), "table");
        using enum WriteOutcome;
        const QString message = outcome == NoAnswer ? "Error" : outcome == Refused ? "msg75" : "";
        QCOMPARE(r.dialogs.texts(), message.isEmpty() ? QStringList() : QStringList{message});
        // A refused value is back in its box too; a refused command leaves the box alone.
        if (outcome == Refused)
            QCOMPARE(r.window.text(el::txtPara(cmd)), cmd == 2110 ? "3,00" : "box");
        const bool online = wasOnline && outcome != NoAnswer;
        QCOMPARE(r.state.comOnline, online ? 1 : 0);
        QCOMPARE(r.com->timerReceive().isEnabled(), outcome == Accepted || outcome == Garbled);
        if (frames && outcome != Refused)
            QCOMPARE(r.window.statusText.value(1), online ? kOnline : kOffline);
        QVERIFY(!r.state.comBusy);
        QCOMPARE(r.port.bytesWaiting(), 0);
        QCOMPARE(r.window.text(el::helpLine()),
                 write == "2152=138" && frames && !r.state.transferActive ? "msg76" : "");
    }

    // A transaction asked for while another waits for its answer (a timer tick, a button handled
    // inside the wait): a poll is not sent at all; writes, searches and full reads go out right
    // after it, one at a time, in the order asked, before the live polling's next poll.
    void transactionsTakeTheWireInTurn_data()
    {
        QTest::addColumn<QString>("running");
        QTest::addColumn<QStringList>("asked"); // one each 0.05 s
        QTest::addColumn<QStringList>("wire");
        QTest::newRow("writes during a write") << "2152=128" << QStringList{"2101=1", "2100?", "2101=2", "2101=3"}
                                               << QStringList{"2152=128", "2101=1", "2101=2", "2101=3"};
        QTest::newRow("a write during a poll")
            << "2100?" << QStringList{"2152=129"} << QStringList{"2100?", "2152=129"};
        QTest::newRow("a poll during a write") << "2110=5" << QStringList{"2100?"} << QStringList{"2110=5"};
        QTest::newRow("search and full read during a write")
            << "2110=5" << QStringList{"search", "connect"} << QStringList{"2110=5", "2000?", "2400?"};
        QTest::newRow("writes during live polling")
            << "live" << QStringList{"2101=1", "2101=2"} << QStringList{"2170?", "2101=1", "2101=2", "2170?"};
    }
    void transactionsTakeTheWireInTurn()
    {
        QFETCH(QString, running);
        QFETCH(QStringList, asked);
        QFETCH(QStringList, wire);
        sim::DriveConfig slow;
        slow.latency = 0.3;
        LinkRig r(1, true, slow);
        r.state.firmwareLevel = 540;
        r.com->TimerTest().setInterval(50);
        r.com->TimerTest().setCallback([&] {
            const QString next = asked.takeFirst();
            r.com->TimerTest().setEnabled(!asked.isEmpty());
            if (next == "search")
                QCOMPARE(r.com->searchCom(), SearchOutcome::Deferred);
            else if (next == "connect")
                QCOMPARE(r.com->Connect(), FullReadOutcome::Deferred);
            else if (next.endsWith('?'))
                QCOMPARE(r.com->ReadCom(next.left(4).toInt(), 11), ReadOutcome::Busy);
            else
                QCOMPARE(r.com->WriteCom(11, next.left(4).toInt(), next.mid(5).toLongLong()), WriteOutcome::Queued);
        });
        r.com->TimerTest().setEnabled(true);
        r.com->timerReceive().setEnabled(running == "live");
        if (running == "live")
            r.clock.advance(2);
        else if (running.endsWith('?'))
            QCOMPARE(r.com->ReadCom(running.left(4).toInt(), 11), ReadOutcome::Match);
        else
            QCOMPARE(r.com->WriteCom(11, running.left(4).toInt(), running.mid(5).toLongLong()), WriteOutcome::Accepted);
        QVERIFY(asked.isEmpty());
        QCOMPARE(onTheWire(r).mid(0, wire.size()), wire);
        QCOMPARE(r.com->queuedWrites(), size_t(0));
        for (const auto& w : r.port.written())
            QVERIFY2(!w.overlapping, "a frame went out while an answer was still coming");
        QVERIFY(r.dialogs.shown.isEmpty());
    }

    // Only answered frames count towards a transfer's progress, shown on the bar of the window
    // that runs it; the count wraps past the total.
    void transferProgress_data()
    {
        QTest::addColumn<bool>("fileWindow");
        QTest::newRow("main window") << false;
        QTest::newRow("file window") << true;
    }
    void transferProgress()
    {
        QFETCH(bool, fileWindow);
        LinkRig r;
        r.state.transferActive = true;
        r.state.fileWindowActive = fileWindow;
        r.state.transferCount = 189;
        r.com->WriteCom(11, 2110, 1);
        r.com->WriteCom(11, 2110, 2);
        const QString bar = RecordingWindow::key(fileWindow ? el::fileProgressBar2() : el::progressBar2());
        QCOMPARE(r.window.log.filter(bar), (QStringList{"value " + bar + " = 190", "value " + bar + " = 0"}));
        r.drive.faults().silent = true;
        r.com->WriteCom(11, 2110, 3);
        QCOMPARE(r.state.transferCount, qint16(0));
        QVERIFY(r.state.transferActive);
    }

    void nothingIsSentOnceTheProgramQuits()
    {
        LinkRig r;
        r.drive.faults().silent = true;
        r.dialogs.onShow = [] { QFAIL("no box while quitting"); };
        r.com->ManualTimer().setCallback([&] { r.clock.setQuitting(); });
        r.com->ManualTimer().setEnabled(true);
        QCOMPARE(r.com->WriteCom(11, 2110, 1), WriteOutcome::NotSent);
        QCOMPARE(r.com->WriteCom(11, 2110, 2), WriteOutcome::NotSent);
        QCOMPARE(r.com->ReadCom(2100, 11), ReadOutcome::Offline);
        QCOMPARE(r.frames(), 1);
        QVERIFY(!r.state.comBusy);
    }
};

QTEST_GUILESS_MAIN(TestWriteCom)
#include "test_write_com.moc"
