// Writes on virtual time: what the drive's answer comes to, how long each attempt waits, the
// pause after a save, and the order in which transactions asked for meanwhile take the wire.
#include "link_rig.h"

#include <QTest>

using namespace kinetra;
using namespace kinetra::test;

using Setup = std::function<void(LinkRig&)>;
Q_DECLARE_METATYPE(Setup)
Q_DECLARE_METATYPE(kinetra::sim::DriveConfig)

namespace {
sim::DriveConfig faulty(const std::function<void(sim::DriveFaults&)>& set)
{
    sim::DriveConfig c;
    set(c.faults);
    return c;
}

// The frames on the wire: "2100?" for a poll, "2152=129" for a write.
QStringList onTheWire(const LinkRig& r)
{
    QStringList out;
    for (const QByteArray& f : r.port.writtenBytes())
        out << (f.endsWith(ctl::ENQ) ? QString::fromLatin1(f.mid(4, 4)) + '?'
                                     : QString::fromLatin1(f.mid(4, 4) + '=' + f.mid(8, f.indexOf(ctl::ETX) - 8)));
    return out;
}
} // namespace

class TestWriteCom : public QObject {
    Q_OBJECT
private slots:
    // One write. It goes out 0.1 s after it was asked for; an attempt waits up to 3 s for the
    // first character and 0.02 s for the rest; NAK restores the old value; three silent
    // attempts are one error. An acknowledged save, or device parameter 10, outside a transfer
    // holds the program 3 s while the drive writes its memory.
    void writeMeetsTheLine_data()
    {
        QTest::addColumn<sim::DriveConfig>("config");
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<int>("cmd");
        QTest::addColumn<qint64>("value");
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<int>("frames");
        QTest::addColumn<WriteOutcome>("outcome");
        QTest::addColumn<QString>("message");
        QTest::addColumn<double>("took");
        QTest::addColumn<QString>("table"); // afterwards
        const sim::DriveConfig healthy, refusing = faulty([](auto&f) { f.refuseWrites = true; });
        const auto script = [](std::vector<std::optional<Pieces>> answers) {
            return Setup([answers](LinkRig& r) { r.answer(answers); });
        };
        const Setup none = [](LinkRig&) {}, acked = script({says("\x06")});
        const Setup kept = [](LinkRig& r) {
            r.state.table.store(2110, ParameterValue::text("300"));
            r.state.table.store(2152, ParameterValue::text("kept"));
        };
        const auto row = [](const char* name, const sim::DriveConfig& c, const Setup& s, int cmd, qint64 value,
                            const char* sent, int frames, WriteOutcome o, const char* message, double took,
                            const char* table) {
            QTest::newRow(name) << c << s << cmd << value << QByteArray(sent) << frames << o << QString(message) << took
                                << QString(table);
        };
        using enum WriteOutcome;
        row("acknowledged", healthy, none, 2110, 250, "250", 1, Accepted, "", 0.124, "250");
        row("list position 0 is the drive's 1", healthy, acked, 2125, 0, "1", 1, Accepted, "", 0.13, "1");
        row("axis 2 list position 2 is 4", healthy, acked, 2225, 2, "4", 1, Accepted, "", 0.13, "4");
        row("axis 3 list position 3 stays", healthy, acked, 2325, 3, "3", 1, Accepted, "", 0.13, "3");
        row("device parameter 25 keeps 0", healthy, acked, 2425, 0, "0", 1, Accepted, "", 0.13, "0");
        row("command word is not kept", healthy, kept, 2152, 129, "129", 1, Accepted, "", 0.124, "kept");
        row("parameter 00 is not kept", healthy, acked, 2100, 129, "129", 1, Accepted, "", 0.13, "");
        row("refused: old value back", refusing, kept, 2110, 250, "250", 1, Refused, "msg75", 0.124, "300");
        // Any first character but NAK is taken as acceptance: noise in front of a NAK hides it.
        row("noise before a NAK", faulty([](auto& f) {
                f.refuseWrites = true;
                f.garbageBefore = 1;
            }),
            none, 2110, 250, "250", 1, Garbled, "", 0.124, "250");
        row("refused command", refusing, none, 2152, 128, "128", 1, Refused, "msg75", 0.124, "");
        row("answered otherwise", healthy, script({says("x")}), 2110, 250, "250", 1, Garbled, "", 0.13, "250");
        row("stale characters after the ACK", healthy, script({says("\x06stale")}), 2110, 250, "250", 1, Accepted, "",
            0.13, "250");
        row("silent", faulty([](auto& f) { f.silent = true; }), none, 2110, 250, "250", 3, NoAnswer, "Error",
            0.1 + 3 * 3.02, "250");
        row("two silences, then ACK", healthy, script({kSilence, kSilence}), 2110, 250, "250", 3, Accepted, "",
            0.1 + 2 * 3.02 + 0.024, "250");
        row("ACK past 3 s counts for the second frame", faulty([](auto& f) { f.slowAnswer = 3.5; }), none, 2110, 250,
            "250", 2, Accepted, "", 0.1 + 3.5 + 0.02, "250");
        row(
            "port closed", healthy, [](LinkRig& r) { r.port.close(); }, 2110, 250, "", 0, NoAnswer, "Error",
            0.1 + 3 * 0.02, "250");
        row(
            "offline: only stored", healthy, [](LinkRig& r) { r.state.comOnline = 0; }, 2110, 250, "", 0, NotSent, "",
            0.1, "250");
        row("save acknowledged", healthy, none, 2152, 138, "138", 1, Accepted, "", 3.124, "");
        row("save refused", refusing, none, 2152, 138, "138", 1, Refused, "msg75", 0.124, "");
        row(
            "save during a transfer", healthy, [](LinkRig& r) { r.state.transferActive = true; }, 2152, 138, "138", 1,
            Accepted, "", 0.124, "");
        row("device parameter 10", healthy, none, 2410, 5, "5", 1, Accepted, "", 3.124, "5");
        row("start command", healthy, none, 2152, 128, "128", 1, Accepted, "", 0.124, "");
    }
    void writeMeetsTheLine()
    {
        QFETCH(sim::DriveConfig, config);
        QFETCH(Setup, setup);
        QFETCH(int, cmd);
        QFETCH(qint64, value);
        QFETCH(QByteArray, sent);
        QFETCH(int, frames);
        QFETCH(WriteOutcome, outcome);
        QFETCH(QString, message);
        QFETCH(double, took);
        LinkRig r(config);
        r.window.setText(el::txtPara(cmd), QStringLiteral("box"));
        setup(r);
        const bool wasOnline = r.state.comOnline;
        r.com->timerReceive().setEnabled(wasOnline);
        QCOMPARE(r.com->WriteCom(11, cmd, value), outcome);

        QCOMPARE(r.port.writtenBytes(), QList<QByteArray>(frames, writeFrame(11, cmd, sent)));
        QCOMPARE(r.dialogs.texts(), message.isEmpty() ? QStringList() : QStringList{message});
        QVERIFY2(qAbs(r.clock.now() - took) < 1e-6, qPrintable(QString::number(r.clock.now(), 'g', 10)));
        QCOMPARE(r.clock.blockedSeconds(), took > 3 && frames == 1 ? 3.0 : 0.0);
        QTEST(r.state.table.value(cmd).toText(), "table");
        // A refused value is back in its box too; a refused command leaves the box alone.
        if (outcome == WriteOutcome::Refused)
            QCOMPARE(r.window.text(el::txtPara(cmd)), cmd == 2110 ? QStringLiteral("3,00") : QStringLiteral("box"));
        const bool online = wasOnline && outcome != WriteOutcome::NoAnswer;
        QCOMPARE(r.state.comOnline, online ? 1 : 0);
        QCOMPARE(r.com->timerReceive().isEnabled(),
                 outcome == WriteOutcome::Accepted || outcome == WriteOutcome::Garbled);
        if (frames && outcome != WriteOutcome::Refused)
            QCOMPARE(r.window.statusText.value(1), online ? kOnline : kOffline);
        QVERIFY(!r.state.comBusy);
        QCOMPARE(r.port.bytesWaiting(), 0);
        QCOMPARE(r.window.text(el::helpLine()),
                 QString(value == 138 && frames && !r.state.transferActive ? "msg76" : ""));
    }

    // A transaction is asked for while another waits for its answer (a timer tick, a button
    // handled inside the wait): a poll is not sent at all, writes and searches go out right
    // after it, one at a time, in the order asked, before the live polling's next poll.
    void transactionsTakeTheWireInTurn_data()
    {
        QTest::addColumn<QString>("running");
        QTest::addColumn<QStringList>("asked"); // one per tick of 0.05 s
        QTest::addColumn<QStringList>("wire");
        QTest::newRow("writes during a write") << "2152=128" << QStringList{"2101=1", "2100?", "2101=2", "2101=3"}
                                               << QStringList{"2152=128", "2101=1", "2101=2", "2101=3"};
        QTest::newRow("a write during a poll")
            << "2100?" << QStringList{"2152=129"} << QStringList{"2100?", "2152=129"};
        QTest::newRow("a poll during a write") << "2110=5" << QStringList{"2100?"} << QStringList{"2110=5"};
        QTest::newRow("a search and a full read during a write")
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
        LinkRig r(slow);
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
        if (running == "live") {
            r.com->timerReceive().setEnabled(true);
            r.clock.advance(2);
            r.com->timerReceive().setEnabled(false);
        } else if (running.endsWith('?')) {
            QCOMPARE(r.com->ReadCom(running.left(4).toInt(), 11), ReadOutcome::Match);
        } else {
            QCOMPARE(r.com->WriteCom(11, running.left(4).toInt(), running.mid(5).toLongLong()), WriteOutcome::Accepted);
        }
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
        QCOMPARE(r.dialogs.texts(), QStringList{"Error"});
    }

    void nothingIsSentOnceTheProgramQuits()
    {
        LinkRig r(faulty([](auto& f) { f.silent = true; }));
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
