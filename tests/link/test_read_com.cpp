// Polls on virtual time: what a drive's answer, late, in pieces, garbled or missing, comes to,
// how long each attempt waits, and what the live polling asks for in turn.
#include "answer_text.h"
#include "link_rig.h"

#include <QTest>

using namespace kinetra;
using namespace kinetra::test;

namespace {
const QByteArray kAnswer = answerFrame("2100", "-5");

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

QByteArray fields(const QList<qint64>& values)
{
    QByteArray out;
    for (qint64 v : values)
        out += QByteArray::number(v).rightJustified(10, ' ');
    return out;
}
} // namespace

class TestReadCom : public QObject {
    Q_OBJECT
private slots:
    // One poll of 2100. An attempt waits up to 1 s for more than seven characters, lets the rest
    // come for 0.04 s and pauses 0.1 s before the next; three failed attempts are one error and
    // an offline link. The port search's quiet poll makes one attempt and decodes nothing.
    void pollMeetsTheLine_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<ReadOutcome>("outcome");
        QTest::addColumn<int>("polls");
        QTest::addColumn<double>("took");
        QTest::addColumn<QString>("value"); // of 2100 in the table afterwards
        const auto row = [](const char* name, const Setup& s, ReadOutcome o, int polls, double took,
                            const char* value) { QTest::newRow(name) << s << o << polls << took << QString(value); };
        const Setup none = [](LinkRig&) {}, quiet = [](LinkRig&r) { r.state.quietWait = true; };
        const Setup silent = fault([](auto& f) { f.silent = true; });
        const Setup wrongCheck = fault([](auto& f) { f.wrongCheck = true; });
        const QByteArray cut = kAnswer.chopped(1);
        using enum ReadOutcome;
        row("drive answers", none, Match, 1, 0.044, "0");
        row("blank check character", script({says(answerFrame("2100", "11"))}), Match, 1, 0.05, "11");
        row("rest within the settle time", script({Pieces{{0.01, cut}, {0.045, kAnswer.right(1)}}}), Match, 1, 0.05,
            "-5");
        row("rest after the settle time", script({Pieces{{0.01, cut}, {0.06, kAnswer.right(1)}}}), Match, 2, 0.194,
            "0");
        row("first character after 0.9 s", script({says(kAnswer, 0.9)}), Match, 1, 0.94, "-5");
        row("late answer not taken for the next", script({says(kAnswer, 1.05)}), Match, 2, 1.14 + 0.044, "0");
        row("garbage before the answer", fault([](auto& f) { f.garbageBefore = 5; }), Match, 1, 0.044, "0");
        row("garbage, then a good answer", script({says("garbage!")}), Match, 2, 0.194, "0");
        row("wrong check character", wrongCheck, NoAnswer, 3, 3 * 0.144, "");
        row("noise inside", fault([](auto& f) { f.noiseRate = 1; }), NoAnswer, 3, 3 * 0.144, "");
        row("cut, EOT inside, NAKs",
            script({says(cut), says(QByteArray(kAnswer).insert(3, ctl::EOT)), says(QByteArray(8, ctl::NAK))}), NoAnswer,
            3, 3 * 0.15, "");
        row("silent", silent, NoAnswer, 3, 3 * 1.14, "");
        row(
            "adapter pulled", [=](LinkRig& r) { silent(r), during([](LinkRig& r) { r.port.hangUp(); })(r); }, NoAnswer,
            1, 0.1 + 3 * 0.14, "");
        row(
            "Stop pressed", [=](LinkRig& r) { silent(r), during([](LinkRig& r) { r.com->cmdStop(); })(r); }, Offline, 1,
            1.14 + 0.5, "");
        row(
            "offline", [](LinkRig& r) { r.state.comOnline = 0; }, Offline, 0, 0, "");
        row("quiet, answered", quiet, Match, 1, 0.06, "");
        row(
            "quiet, wrong check", [=](LinkRig& r) { quiet(r), wrongCheck(r); }, Mismatch, 1, 0.06, "");
        row(
            "quiet, silent", [=](LinkRig& r) { quiet(r), silent(r); }, NoVerdict, 1, 1.04, "");
    }
    void pollMeetsTheLine()
    {
        QFETCH(Setup, setup);
        QFETCH(ReadOutcome, outcome);
        QFETCH(double, took);
        QFETCH(QString, value);
        LinkRig r;
        setup(r);
        const bool quiet = r.state.quietWait, wasOnline = r.state.comOnline;
        r.com->timerReceive().setEnabled(!quiet && wasOnline);
        QCOMPARE(r.com->ReadCom(2100, 11), outcome);

        QFETCH(int, polls);
        QCOMPARE(r.port.writtenBytes(), QList<QByteArray>(polls, pollFrame(11, 2100)));
        QVERIFY2(qAbs(r.clock.now() - took) < 1e-6, qPrintable(QString::number(r.clock.now(), 'g', 10)));
        const bool lost = outcome == ReadOutcome::NoAnswer;
        const bool online = wasOnline && outcome != ReadOutcome::Offline && !lost;
        QCOMPARE(r.dialogs.texts(), lost ? QStringList{"Error"} : QStringList());
        QCOMPARE(r.state.comOnline, online ? 1 : 0);
        QCOMPARE(r.com->timerReceive().isEnabled(), online && !quiet);
        if (wasOnline && polls)
            QCOMPARE(r.window.statusText.value(1), online ? kOnline : kOffline);
        // The table keeps the drive's text; the display's is only shown.
        QCOMPARE(r.state.table.value(2100).toText(), value);
        QCOMPARE(r.shown, value.isEmpty() ? decltype(r.shown)() : decltype(r.shown)({{2100, value}}));
        if (quiet) // the search's wait serves nothing
            QVERIFY(qAbs(r.clock.blockedSeconds() - took) < 1e-6);
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

        const QByteArray block = answerFrame("2170", fields({262145, 131075, -1234, 5, 0}));
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
        QCOMPARE(r.com->rxCommand(), 2170);
        QList<int> cmds;
        for (const StatusLine& l :
             decodeStatusBlock(answerFrame("2170", fields({262145}) + "   abc    " + fields({1, 2, 3}))))
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
        QTest::addColumn<QList<int>>("polls"); // 0: a tick while the wire is busy
        QTest::newRow("status block from 500") << 500 << 0 << 0 << QList<int>{2170, 2170, 2170};
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

QTEST_GUILESS_MAIN(TestReadCom)
#include "test_read_com.moc"
