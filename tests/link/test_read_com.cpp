// Polls on virtual time: what a drive's answer, late, in pieces, garbled or missing, comes to,
// how long each attempt waits, and what the live polling asks for in turn.
#include "answer_text.h"
#include "link_rig.h"

#include <QTest>

using namespace kinetra;
using namespace kinetra::test;

using Setup = std::function<void(LinkRig&)>;
Q_DECLARE_METATYPE(Setup)
Q_DECLARE_METATYPE(kinetra::sim::DriveConfig)

namespace {
const QByteArray kAnswer = answerFrame("2100", "-5");

sim::DriveConfig faulty(const std::function<void(sim::DriveFaults&)>& set)
{
    sim::DriveConfig c;
    set(c.faults);
    return c;
}

// Stop pressed, or the adapter pulled, 0.1 s into the poll.
Setup during(std::function<void(LinkRig&)> action)
{
    return [action](LinkRig& r) {
        r.com->TimerTest().setCallback([&r, action] {
            r.com->TimerTest().setEnabled(false);
            action(r);
        });
        r.com->TimerTest().setEnabled(true);
    };
}

QByteArray field(qint64 n)
{
    return QByteArray::number(n).rightJustified(10, ' ');
}
} // namespace

class TestReadCom : public QObject {
    Q_OBJECT
private slots:
    // One poll of 2100 (the search's 2000 for the quiet rows). An attempt waits up to 1 s for
    // more than seven characters, lets the rest come for 0.04 s and pauses 0.1 s before the
    // next; three failed attempts are one error and an offline link.
    void pollMeetsTheLine_data()
    {
        QTest::addColumn<sim::DriveConfig>("config");
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<ReadOutcome>("outcome");
        QTest::addColumn<int>("polls");
        QTest::addColumn<double>("took");
        QTest::addColumn<QString>("value"); // of 2100 in the table afterwards
        const sim::DriveConfig healthy;
        const auto script = [](std::vector<std::optional<Pieces>> answers) {
            return Setup([answers](LinkRig& r) { r.answer(answers); });
        };
        const Setup none = [](LinkRig&) {};
        QByteArray wrong = kAnswer;
        wrong.back() = '9';
        const auto row = [](const char* name, const sim::DriveConfig& c, const Setup& s, ReadOutcome o, int polls,
                            double took, const char* value) {
            QTest::newRow(name) << c << s << o << polls << took << QString(value);
        };
        const auto NoAnswer = ReadOutcome::NoAnswer;
        row("drive answers", healthy, none, ReadOutcome::Match, 1, 0.044, "0");
        row("blank check character", healthy, script({says(answerFrame("2100", "11"))}), ReadOutcome::Match, 1, 0.05,
            "11");
        row("rest within the settle time", healthy, script({Pieces{{0.01, kAnswer.left(8)}, {0.045, kAnswer.mid(8)}}}),
            ReadOutcome::Match, 1, 0.05, "-5");
        row("rest after the settle time", healthy, script({Pieces{{0.01, kAnswer.left(8)}, {0.06, kAnswer.mid(8)}}}),
            ReadOutcome::Match, 2, 0.15 + 0.044, "0");
        row("first character after 0.9 s", healthy, script({says(kAnswer, 0.9)}), ReadOutcome::Match, 1, 0.94, "-5");
        row("late answer does not count for the next poll", healthy, script({says(kAnswer, 1.05)}), ReadOutcome::Match,
            2, 1.14 + 0.044, "0");
        row("garbage before the answer", faulty([](auto& f) { f.garbageBefore = 5; }), none, ReadOutcome::Match, 1,
            0.044, "0");
        row("garbage, then a good answer", healthy, script({says("garbage!")}), ReadOutcome::Match, 2, 0.15 + 0.044,
            "0");
        row("wrong check character", faulty([](auto& f) { f.wrongCheck = true; }), none, NoAnswer, 3, 3 * 0.144, "");
        row("noise inside", faulty([](auto& f) { f.noiseRate = 1; }), none, NoAnswer, 3, 3 * 0.144, "");
        row("no check character", healthy,
            script({says(kAnswer.chopped(1)), says(kAnswer.chopped(1)), says(kAnswer.chopped(1))}), NoAnswer, 3,
            3 * 0.15, "");
        row("EOT inside", healthy,
            script({says("\x02"
                         "21\x04"
                         "00-5\x03"
                         "8"),
                    says(wrong), says("\x15\x15\x15\x15\x15\x15\x15\x15")}),
            NoAnswer, 3, 3 * 0.15, "");
        row("silent", faulty([](auto& f) { f.silent = true; }), none, NoAnswer, 3, 3 * 1.14, "");
        row("adapter pulled", faulty([](auto& f) { f.silent = true; }), during([](LinkRig& r) { r.port.hangUp(); }),
            NoAnswer, 1, 0.1 + 0.14 + 2 * 0.14, "");
        row("Stop pressed", faulty([](auto& f) { f.silent = true; }), during([](LinkRig& r) { r.com->cmdStop(); }),
            ReadOutcome::Offline, 1, 1.14 + 0.5, "");
        row(
            "offline", healthy, [](LinkRig& r) { r.state.comOnline = 0; }, ReadOutcome::Offline, 0, 0, "");
        // The search's quiet poll: one attempt, nothing decoded, no error, no timer served.
        const Setup quiet = [](LinkRig& r) { r.state.quietWait = true; };
        row("quiet, answered", healthy, quiet, ReadOutcome::Match, 1, 0.06, "");
        row("quiet, wrong check", faulty([](auto& f) { f.wrongCheck = true; }), quiet, ReadOutcome::Mismatch, 1, 0.06,
            "");
        row("quiet, silent", faulty([](auto& f) { f.silent = true; }), quiet, ReadOutcome::NoVerdict, 1, 1.04, "");
    }
    void pollMeetsTheLine()
    {
        QFETCH(sim::DriveConfig, config);
        QFETCH(Setup, setup);
        QFETCH(ReadOutcome, outcome);
        QFETCH(int, polls);
        QFETCH(double, took);
        QFETCH(QString, value);
        LinkRig r(config);
        setup(r);
        const bool quiet = r.state.quietWait;
        const bool wasOnline = r.state.comOnline;
        r.com->timerReceive().setEnabled(!quiet && wasOnline);
        QCOMPARE(r.com->ReadCom(2100, 11), outcome);

        QCOMPARE(r.port.writtenBytes(), QList<QByteArray>(polls, pollFrame(11, 2100)));
        QVERIFY2(qAbs(r.clock.now() - took) < 1e-6, qPrintable(QString::number(r.clock.now(), 'g', 10)));
        const bool lost = outcome == ReadOutcome::NoAnswer;
        QCOMPARE(r.dialogs.texts(), lost ? QStringList{"Error"} : QStringList());
        const bool online = wasOnline && (outcome != ReadOutcome::Offline && !lost);
        QCOMPARE(r.state.comOnline, online ? 1 : 0);
        QCOMPARE(r.com->timerReceive().isEnabled(), online && !quiet);
        if (wasOnline && polls)
            QCOMPARE(r.window.statusText.value(1), online ? kOnline : kOffline);
        // The table keeps the drive's text; the display's is only shown.
        QCOMPARE(r.state.table.value(2100).toText(), value);
        using Shown = QList<QPair<int, QString>>;
        QCOMPARE(r.shown, value.isEmpty() ? Shown() : Shown({{2100, value}}));
        if (quiet)
            QVERIFY(r.clock.blockedSeconds() > 0);
    }

    // The echo, not the number polled, says whose value came; a status block is one answer of
    // five fields, decoded in the order the display needs them.
    void answersGoWhereTheirEchoSays()
    {
        LinkRig r;
        r.answer({says(answerFrame("2105", "77"))});
        QCOMPARE(r.com->ReadCom(2100, 11), ReadOutcome::Match);
        QVERIFY(r.state.table.value(2100).isEmpty());
        QCOMPARE(r.shown, (QList<QPair<int, QString>>{{2105, "77"}}));

        // Pieces far apart: a status block is waited for whole, without the short answers' settle.
        const QByteArray block =
            answerFrame("2170", field(262145) + field(131075) + field(-1234) + field(5) + field(0));
        r.shown.clear();
        r.answer({Pieces{{0.01, block.left(30)}, {0.9, block.mid(30)}}});
        const double start = r.clock.now();
        QCOMPARE(r.com->ReadCom(2170, 11), ReadOutcome::Match);
        QVERIFY(qAbs(r.clock.now() - start - 0.9) < 1e-9);
        // The correction bar is shown, not stored: it has no slot.
        const QList<QPair<int, QString>> lines{{2183, "1"}, {kCorrectionBar, "1"}, {2182, "3"},
                                               {2184, "2"}, {2180, "         5"},  {2170, "-1234"}};
        QCOMPARE(r.shown, lines);
        for (const auto& [cmd, text] : lines)
            QCOMPARE(r.state.table.value(cmd).toText(), cmd == kCorrectionBar ? QString() : text);
        QCOMPARE(r.com->rxCommand(), 2170);
        // A field that is no number is skipped.
        QList<int> cmds;
        for (const StatusLine& l :
             decodeStatusBlock(answerFrame("2170", field(262145) + "   abc    " + field(1) + field(2) + field(3))))
            cmds << l.cmd;
        QCOMPARE(cmds, (QList<int>{2183, kCorrectionBar, 2180, 2170}));
    }

    // The live plan, tick by tick: status blocks from level 500 on, three polls below; every 50th
    // round the operating time and the field-bus state (and on the service tab the counters); a
    // tick while the wire is busy starts the plan again.
    void livePollingPlan_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("rounds");
        QTest::addColumn<int>("tab");
        QTest::addColumn<int>("busyTick");
        QTest::addColumn<QList<int>>("polls");
        QTest::newRow("status block from 500") << 500 << 0 << 0 << -1 << QList<int>{2170, 2170, 2170};
        QTest::newRow("three polls below 500") << 499 << 0 << 0 << -1 << QList<int>{2100, 2180, 2182, 2100};
        QTest::newRow("50th block, then the long step")
            << 500 << 49 << 0 << -1 << QList<int>{2170, 2429, 2411, 2170, 2170};
        QTest::newRow("past 50 in step 1: the long step") << 500 << 60 << 0 << -1 << QList<int>{2170, 2429, 2411, 2170};
        QTest::newRow("50th short plan below 500")
            << 499 << 49 << 0 << -1 << QList<int>{2100, 2180, 2182, 2429, 2411, 2100};
        QTest::newRow("past 50 in step 3: short plan")
            << 499 << 60 << 0 << -1 << QList<int>{2100, 2180, 2182, 2100, 2180};
        QTest::newRow("service tab polls the counters")
            << 500 << 49 << 6 << -1 << QList<int>{2170, 2429, 2437, 2440, 2443, 2446, 2170};
        QTest::newRow("busy tick restarts the plan") << 499 << 0 << 0 << 1 << QList<int>{2100, 2100};
    }
    void livePollingPlan()
    {
        QFETCH(int, level);
        QFETCH(int, rounds);
        QFETCH(int, busyTick);
        QFETCH(QList<int>, polls);
        LinkRig r;
        r.state.firmwareLevel = static_cast<qint16>(level);
        r.com->setPollRounds(static_cast<qint16>(rounds));
        QFETCH(int, tab);
        r.window.tab = tab;
        for (qsizetype i = 0; i < polls.size() + (busyTick >= 0); ++i) {
            r.state.comBusy = i == busyTick;
            r.com->pollTick();
        }
        QCOMPARE(r.polls(), polls);
    }
};

QTEST_GUILESS_MAIN(TestReadCom)
#include "test_read_com.moc"
