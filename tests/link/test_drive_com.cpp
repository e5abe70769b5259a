// Polls and writes on virtual time: what the drive's answer, late, in pieces, garbled, refused
// or missing, comes to; how long each attempt waits; the order in which transactions take the
// wire; and what the live polling asks for in turn.
#include "answer_text.h"
#include "link_rig.h"

#include <QRegularExpression>
#include <QTest>

using namespace kinetra;
using namespace kinetra::test;

namespace {
// `action` 0.1 s into the transaction (Stop pressed, the adapter pulled).
Setup during(std::function<void(LinkRig&)> action)
{
    return [action](LinkRig& r) {
        r.com->TimerTest().setCallback([&r, action] { r.com->TimerTest().setEnabled(false), action(r); });
        r.com->TimerTest().setEnabled(true);
    };
}

// "2100?" polls, "2110=250" writes (":1" after the value: what goes on the wire instead).
QString run(LinkRig& r, const QString& action)
{
    const int cmd = action.left(4).toInt();
    static const QStringList read{"Match", "Mismatch", "NoVerdict", "NoAnswer", "Offline", "Busy"},
        write{"Accepted", "Refused", "Garbled", "NoAnswer", "NotSent", "Queued"};
    return action.endsWith('?')
               ? read.at(int(r.com->ReadCom(cmd, 11)))
               : write.at(int(r.com->WriteCom(11, cmd, action.mid(5).section(':', 0, 0).toLongLong())));
}
QByteArray frameOf(const QString& action)
{
    const int cmd = action.left(4).toInt();
    return action.endsWith('?') ? pollFrame(11, cmd)
                                : writeFrame(11, cmd, action.section(QRegularExpression("[=:]"), -1).toLatin1());
}
// The frames on the wire, as actions.
QStringList onTheWire(const LinkRig& r)
{
    QStringList out;
    for (const QByteArray& f : r.port.writtenBytes())
        out << QString::fromLatin1(f.endsWith(ctl::ENQ) ? f.mid(4, 4) + '?' : f.mid(4, 4) + '=' + f.mid(8).chopped(2));
    return out;
}

} // namespace

class TestDriveCom : public QObject {
    Q_OBJECT
private slots:
    // A poll waits up to 1 s for more than seven characters, lets the rest come for 0.04 s and
    // pauses 0.1 s before its next attempt. A write goes out 0.1 s after it was asked for and
    // waits up to 3 s for the first character and 0.02 s for the rest; NAK restores the old value;
    // an acknowledged save (or device parameter 10) outside a transfer holds the program 3 s.
    // Three failed attempts are one error and an offline link. The port search's quiet poll
    // makes one attempt and decodes nothing.
    void transactionMeetsTheLine_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("frames");
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<double>("took");
        QTest::addColumn<QString>("table"); // afterwards
        const auto row = [](const char* name, const Setup& s, const char* action, int frames, const char* outcome,
                            double took, const char* table) {
            QTest::newRow(name) << s << QString(action) << frames << QString(outcome) << took << QString(table);
        };
        const QByteArray answer = answerFrame("2100", "-5"), cut = answer.chopped(1);
        const Setup none = [](LinkRig&) {}, acked = script({says("\x06")});
        // The search takes polling off for its quiet polls.
        const Setup quiet = [](LinkRig& r) { r.state.quietWait = true, r.com->timerReceive().setEnabled(false); };
        const Setup silent = fault([](auto&f) { f.silent = true; }), wrong = fault([](auto&f) { f.wrongCheck = true; });
        const Setup refusing = fault([](auto& f) { f.refuseWrites = true; });
        const Setup kept = [](LinkRig& r) {
            r.state.table.store(2110, ParameterValue::text("300"));
            r.state.table.store(2152, ParameterValue::text("kept"));
        };
        row("answered", none, "2100?", 1, "Match", 0.044, "0");
        row("blank check character", script({says(answerFrame("2100", "11"))}), "2100?", 1, "Match", 0.05, "11");
        row("rest within the settle time", script({Pieces{{0.01, cut}, {0.045, answer.right(1)}}}), "2100?", 1, "Match",
            0.05, "-5");
        row("rest after the settle time", script({Pieces{{0.01, cut}, {0.06, answer.right(1)}}}), "2100?", 2, "Match",
            0.194, "0");
        row("first character after 0.9 s", script({says(answer, 0.9)}), "2100?", 1, "Match", 0.94, "-5");
        row("late answer not the next one's", script({says(answer, 1.05)}), "2100?", 2, "Match", 1.184, "0");
        row("garbage before the answer", fault([](auto& f) { f.garbageBefore = 5; }), "2100?", 1, "Match", 0.044, "0");
        row("garbage, then an answer", script({says("garbage!")}), "2100?", 2, "Match", 0.194, "0");
        row("wrong check character", wrong, "2100?", 3, "NoAnswer", 3 * 0.144, "");
        row("noise inside", fault([](auto& f) { f.noiseRate = 1; }), "2100?", 3, "NoAnswer", 3 * 0.144, "");
        row("cut, EOT inside, NAKs",
            script({says(cut), says(QByteArray(answer).insert(3, ctl::EOT)), says(QByteArray(8, ctl::NAK))}), "2100?",
            3, "NoAnswer", 3 * 0.15, "");
        row("silent to a poll", silent, "2100?", 3, "NoAnswer", 3 * 1.14, "");
        row("adapter pulled", Setup([=](LinkRig& r) { silent(r), during([](LinkRig& r) { r.port.hangUp(); })(r); }),
            "2100?", 1, "NoAnswer", 0.1 + 3 * 0.14, "");
        row("Stop pressed", Setup([=](LinkRig& r) { silent(r), during([](LinkRig& r) { r.com->cmdStop(); })(r); }),
            "2100?", 1, "Offline", 1.14 + 0.5, "");
        row("offline poll", Setup([](LinkRig& r) { r.state.comOnline = 0; }), "2100?", 0, "Offline", 0, "");
        row("quiet, answered", quiet, "2100?", 1, "Match", 0.06, "");
        row("quiet, wrong check", Setup([=](LinkRig& r) { quiet(r), wrong(r); }), "2100?", 1, "Mismatch", 0.06, "");
        row("quiet, silent", Setup([=](LinkRig& r) { quiet(r), silent(r); }), "2100?", 1, "NoVerdict", 1.04, "");

        row("acknowledged", none, "2110=250", 1, "Accepted", 0.124, "250");
        row("list position 0 is the drive's 1", acked, "2125=0:1", 1, "Accepted", 0.13, "1");
        row("axis 2 list position 2 is 4", acked, "2225=2:4", 1, "Accepted", 0.13, "4");
        row("axis 3 list position 3 stays", acked, "2325=3", 1, "Accepted", 0.13, "3");
        row("device parameter 25 keeps 0", acked, "2425=0", 1, "Accepted", 0.13, "0");
        row("command word is not kept", kept, "2152=129", 1, "Accepted", 0.124, "kept");
        row("parameter 00 is not kept", acked, "2100=129", 1, "Accepted", 0.13, "");
        row("parameter 80 is not kept", acked, "2180=129", 1, "Accepted", 0.13, "");
        row("polling off stays off", Setup([](LinkRig& r) { r.com->timerReceive().setEnabled(false); }), "2110=250", 1,
            "Accepted", 0.124, "250");
        row("refused: old value back", Setup([=](LinkRig& r) { kept(r), refusing(r); }), "2110=250", 1, "Refused",
            0.124, "300");
        row("refused command", refusing, "2152=128", 1, "Refused", 0.124, "");
        // Any first character but NAK is taken as acceptance: noise in front of a NAK hides it.
        row("noise before a NAK", fault([](auto& f) { f.refuseWrites = true, f.garbageBefore = 1; }), "2110=250", 1,
            "Garbled", 0.124, "250");
        row("stale characters after the ACK", script({says("\x06stale")}), "2110=250", 1, "Accepted", 0.13, "250");
        row("silent to a write", silent, "2110=250", 3, "NoAnswer", 0.1 + 3 * 3.02, "250");
        row("two silences, then ACK", script({Pieces(), Pieces()}), "2110=250", 3, "Accepted", 6.164, "250");
        row("ACK past 3 s taken for frame 2", fault([](auto& f) { f.slowAnswer = 3.5; }), "2110=250", 2, "Accepted",
            3.62, "250");
        row("port closed", Setup([](LinkRig& r) { r.port.close(); }), "2110=250", 0, "NoAnswer", 0.16, "250");
        row("offline: only stored", Setup([](LinkRig& r) { r.state.comOnline = 0; }), "2110=250", 0, "NotSent", 0.1,
            "250");
        row("save acknowledged", none, "2152=138", 1, "Accepted", 3.124, "");
        row("save refused", refusing, "2152=138", 1, "Refused", 0.124, "");
        row("save during a transfer", Setup([](LinkRig& r) { r.state.transferActive = true; }), "2152=138", 1,
            "Accepted", 0.124, "");
        row("device parameter 10", none, "2410=5", 1, "Accepted", 3.124, "5");
        row("start command", none, "2152=128", 1, "Accepted", 0.124, "");
    }
    void transactionMeetsTheLine()
    {
        QFETCH(Setup, setup);
        QFETCH(QString, action);
        QFETCH(int, frames);
        QFETCH(QString, outcome);
        QFETCH(double, took);
        const int cmd = action.left(4).toInt();
        const bool poll = action.endsWith('?');
        LinkRig r;
        r.window.setText(el::txtPara(cmd), QStringLiteral("box"));
        r.state.transferCount = 17;
        r.com->timerReceive().setEnabled(true);
        setup(r);
        const bool quiet = r.state.quietWait, wasOnline = r.state.comOnline;
        const bool polling = wasOnline && r.com->timerReceive().isEnabled();
        r.com->timerReceive().setEnabled(polling);
        QCOMPARE(run(r, action), outcome);

        QCOMPARE(r.port.writtenBytes(), QList<QByteArray>(frames, frameOf(action)));
        QVERIFY2(qAbs(r.clock.now() - took) < 1e-6, qPrintable(QString::number(r.clock.now(), 'g', 10)));
        if (quiet || !poll) // the quiet wait serves nothing; a write blocks only for the save
            QVERIFY(qAbs(r.clock.blockedSeconds() - (quiet ? took : took > 3 && frames == 1 ? 3 : 0)) < 1e-6);
        // The table keeps the drive's text; the display's is only shown.
        QTEST(r.state.table.value(cmd).toText(), "table");
        const QString table = r.state.table.value(cmd).toText();
        QCOMPARE(r.shown, poll && !table.isEmpty() ? decltype(r.shown)({{cmd, table}}) : decltype(r.shown)());
        const bool lost = outcome == "NoAnswer", refused = outcome == "Refused";
        QCOMPARE(r.dialogs.texts(), lost ? QStringList{"Error"} : refused ? QStringList{"msg75"} : QStringList());
        // A refused value is back in its box too; a refused command leaves the box alone.
        if (refused)
            QCOMPARE(r.window.text(el::txtPara(cmd)), cmd == 2110 ? "3,00" : "box");
        const bool online = wasOnline && !lost && outcome != "Offline";
        QCOMPARE(r.state.comOnline, online ? 1 : 0);
        QCOMPARE(r.com->timerReceive().isEnabled(), polling && online && !refused);
        if (outcome == "Accepted") // a write outside a transfer starts the count again
            QCOMPARE(r.state.transferCount, r.state.transferActive ? 18 : 0);
        if (frames && !refused)
            QCOMPARE(r.window.statusText.value(1), online ? kOnline : kOffline);
        QVERIFY(!r.state.comBusy);
        QCOMPARE(r.port.bytesWaiting(), 0);
        QCOMPARE(r.window.text(el::helpLine()),
                 action == "2152=138" && frames && !r.state.transferActive ? "msg76" : "");
    }

    // The echo, not the number polled, says whose value came. A status block is waited for whole,
    // without the short answers' settle, and decoded in the order the display needs; the
    // correction bar is shown, not stored, and a field that is no number is skipped.
    void answersGoWhereTheirEchoSays()
    {
        LinkRig r;
        script({says(answerFrame("2105", "77"))})(r);
        QCOMPARE(r.com->ReadCom(2100, 11), ReadOutcome::Match);
        QVERIFY(r.state.table.value(2100).isEmpty());
        QCOMPARE(r.shown, (QList<QPair<int, QString>>{{2105, "77"}}));

        const QByteArray block = answerFrame("2170", "    262145    131075     -1234         5         0");
        r.shown.clear();
        script({Pieces{{0.01, block.left(30)}, {0.9, block.mid(30)}}})(r);
        const double start = r.clock.now();
        QCOMPARE(r.com->ReadCom(2170, 11), ReadOutcome::Match);
        QVERIFY(qAbs(r.clock.now() - start - 0.9) < 1e-9);
        const QList<QPair<int, QString>> lines{{2183, "1"}, {kCorrectionBar, "1"}, {2182, "3"},
                                               {2184, "2"}, {2180, "         5"},  {2170, "-1234"}};
        QCOMPARE(r.shown, lines);
        for (const auto& [cmd, text] : lines)
            QCOMPARE(r.state.table.value(cmd).toText(), cmd == kCorrectionBar ? QString() : text);
        QList<int> cmds;
        for (const StatusLine& l :
             decodeStatusBlock(answerFrame("2170", "    262145   abc             1         2         3")))
            cmds << l.cmd;
        QCOMPARE(cmds, (QList<int>{2183, kCorrectionBar, 2180, 2170}));
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
            else
                QCOMPARE(run(r, next), next.endsWith('?') ? "Busy" : "Queued");
        });
        r.com->TimerTest().setEnabled(true);
        r.com->timerReceive().setEnabled(running == "live");
        if (running == "live")
            r.clock.advance(2);
        else
            QCOMPARE(run(r, running), running.endsWith('?') ? "Match" : "Accepted");
        QVERIFY(asked.isEmpty());
        QCOMPARE(onTheWire(r).mid(0, wire.size()), wire);
        QCOMPARE(r.com->queuedWrites(), size_t(0));
        for (const auto& w : r.port.written())
            QVERIFY2(!w.overlapping, "a frame went out while an answer was still coming");
        QVERIFY(r.dialogs.shown.isEmpty());
    }

    // Only answered frames count towards a transfer's progress, shown on the bar of the window
    // that runs it; the count wraps past the total. Once the program quits nothing is sent.
    void transferProgressAndQuitting()
    {
        for (const bool fileWindow : {false, true}) {
            LinkRig r;
            r.state.transferActive = true;
            r.state.fileWindowActive = fileWindow;
            r.state.transferCount = 189;
            r.com->WriteCom(11, 2110, 1);
            // A value from a file is the drive's own: a list value goes out as it is.
            r.com->WriteCom(11, 2125, ParameterValue::number(2), SelectionTranslation::Keep);
            QCOMPARE(r.port.writtenBytes().last(), writeFrame(11, 2125, "2"));
            const QString bar = RecordingWindow::key(fileWindow ? el::fileProgressBar2() : el::progressBar2());
            QCOMPARE(r.window.log.filter(bar), (QStringList{"value " + bar + " = 190", "value " + bar + " = 0"}));
            r.drive.faults().silent = true;
            r.com->WriteCom(11, 2110, 3);
            QCOMPARE(r.state.transferCount, qint16(0));
        }
        LinkRig r;
        r.drive.faults().silent = true;
        r.dialogs.onShow = [] { QFAIL("no box while quitting"); };
        r.com->ManualTimer().setCallback([&] { r.clock.setQuitting(); });
        r.com->ManualTimer().setEnabled(true);
        QCOMPARE(r.com->WriteCom(11, 2110, 1), WriteOutcome::NotSent);
        QCOMPARE(r.com->WriteCom(11, 2110, 2), WriteOutcome::NotSent);
        QCOMPARE(r.com->ReadCom(2100, 11), ReadOutcome::Offline);
        QCOMPARE(r.frames(), 1);
    }

    // The live plan, tick by tick: status blocks from level 500 on, three polls below; every 50th
    // round the operating time and the field-bus state (and on the service tab the counters); a
    // tick while the wire is busy (0) starts the plan again.
    void livePollingPlan_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("rounds");
        QTest::addColumn<int>("tab");
        QTest::addColumn<QList<int>>("polls");
        QTest::newRow("status block from 500") << 500 << 0 << 0 << QList<int>{2170, 2170, 2170};
        QTest::newRow("50 blocks from the start")
            << 500 << 0 << 0 << QList<int>(50, 2170) + QList<int>{2429, 2411, 2170};
        QTest::newRow("three polls below 500") << 499 << 0 << 0 << QList<int>{2100, 2180, 2182, 2100};
        QTest::newRow("50th block, then the long step") << 500 << 49 << 0 << QList<int>{2170, 2429, 2411, 2170, 2170};
        QTest::newRow("past 50 in step 1: long step") << 500 << 60 << 0 << QList<int>{2170, 2429, 2411, 2170};
        QTest::newRow("50th short plan below 500") << 499 << 49 << 0 << QList<int>{2100, 2180, 2182, 2429, 2411, 2100};
        QTest::newRow("past 50 in step 3: short plan") << 499 << 60 << 0 << QList<int>{2100, 2180, 2182, 2100, 2180};
        QTest::newRow("service tab: the counters")
            << 500 << 49 << 6 << QList<int>{2170, 2429, 2437, 2440, 2443, 2446, 2170};
        QTest::newRow("busy tick restarts the plan") << 499 << 0 << 0 << QList<int>{2100, 0, 2100};
    }
    void livePollingPlan()
    {
        QFETCH(int, level);
        QFETCH(int, rounds);
        QFETCH(int, tab);
        QFETCH(QList<int>, polls);
        LinkRig r;
        r.state.firmwareLevel = static_cast<qint16>(level);
        r.com->setPollRounds(static_cast<qint16>(rounds));
        r.window.tab = tab;
        for (const int poll : polls) {
            r.state.comBusy = poll == 0;
            r.com->pollTick();
        }
        polls.removeAll(0);
        QCOMPARE(r.polls(), polls);
    }
};

QTEST_GUILESS_MAIN(TestDriveCom)
#include "test_drive_com.moc"
