#include "answer_text.h"
#include "frame.h"
#include "link_rig.h"

#include <QTest>

using namespace kinetra;
using namespace kinetra::test;

namespace {

QByteArray field(qint64 n)
{
    return QByteArray::number(n).rightJustified(10, ' ');
}

QByteArray statusBlock(qint64 f0, qint64 f1, qint64 f2, qint64 f3, qint64 f4 = 0)
{
    return answerFrame("2170", field(f0) + field(f1) + field(f2) + field(f3) + field(f4));
}

} // namespace

class TestReadCom : public QObject {
    Q_OBJECT
private slots:
    void offlineSendsNothing()
    {
        LinkRig r;
        r.state.comOnline = 0;
        QCOMPARE(r.com->ReadCom(2100, 11), ReadOutcome::Offline);
        QVERIFY(r.port.written().isEmpty());
        QVERIFY(r.window.log.isEmpty());
    }

    void answerIsStoredAndShown_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::newRow("negative") << QByteArray("-5");
        // For 2100 the value 11 has the check value 0, which goes on the wire as a blank.
        QTest::newRow("blank check character") << QByteArray("11");
    }
    void answerIsStoredAndShown()
    {
        QFETCH(QByteArray, value);
        LinkRig r;
        r.drive.values[2100] = value;
        QCOMPARE(r.com->ReadCom(2100, 11), ReadOutcome::Match);
        QCOMPARE(r.port.writtenBytes(), QList<QByteArray>{pollFrame(11, 2100)});
        const QString text = QString::fromLatin1(value);
        QCOMPARE(r.state.table.value(2100), ParameterValue::text(text));
        QCOMPARE(r.shown, (QList<QPair<int, QString>>{{2100, text}}));
        QCOMPARE(r.com->rxCommand(), 2100);
        QCOMPARE(r.window.statusText.value(1), kOnline);
        QCOMPARE(r.window.statusBevel.value(1), Bevel::Raised);
        QVERIFY(r.dialogs.shown.isEmpty());
    }

    void theEchoChoosesTheSlot()
    {
        LinkRig r;
        r.drive.overrides.push_back(answerFrame("2105", "77"));
        QCOMPARE(r.com->ReadCom(2100, 11), ReadOutcome::Match);
        QVERIFY(r.state.table.value(2100).isEmpty());
        QCOMPARE(r.state.table.value(2105).toText(), QStringLiteral("77"));
        QCOMPARE(r.shown, (QList<QPair<int, QString>>{{2105, "77"}}));
    }

    void receivedTextIsCutAndTrimmed_data()
    {
        QTest::addColumn<QByteArray>("received");
        QTest::addColumn<QByteArray>("verified");
        const QByteArray frame = answerFrame("2100", "-5");
        QTest::newRow("as sent") << frame << frame;
        QTest::newRow("blanks around") << "  " + frame + "   " << frame;
        QTest::newRow("beyond 60 characters") << QByteArray(70, 'x') << QByteArray(60, 'x');
        // Value 11 of 2100 has the check value 0, which goes on the wire as a blank.
        const QByteArray blankCheck = answerFrame("2100", "11");
        QTest::newRow("blank check character stays") << blankCheck + "  " << blankCheck;
        QTest::newRow("cut off after ETX") << QByteArray("\x02"
                                                         "2100-5\x03")
                                           << QByteArray("\x02"
                                                         "2100-5\x03");
    }
    void receivedTextIsCutAndTrimmed()
    {
        QFETCH(QByteArray, received);
        QTEST(cutAnswer(received), "verified");
    }

    void badAnswersGiveThreePollsAndOneError_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QByteArray wrong = answerFrame("2100", "-5");
        wrong[wrong.size() - 1] = '9';
        QTest::newRow("wrong check character") << wrong;
        QTest::newRow("no check character") << QByteArray("\x02"
                                                          "2100-5\x03");
        QTest::newRow("EOT inside") << QByteArray("\x02"
                                                  "21\x04"
                                                  "00-5\x03"
                                                  "8");
        QTest::newRow("silence") << QByteArray();
    }
    void badAnswersGiveThreePollsAndOneError()
    {
        QFETCH(QByteArray, answer);
        LinkRig r;
        for (int i = 0; i < 5; ++i)
            r.drive.overrides.push_back(answer);
        r.com->timerReceive().setEnabled(true);
        QCOMPARE(r.com->ReadCom(2100, 11), ReadOutcome::NoAnswer);
        QCOMPARE(r.polls(), (QList<int>{2100, 2100, 2100}));
        QCOMPARE(r.dialogs.texts(), QStringList{QStringLiteral("Error")});
        QCOMPARE(r.window.statusText.value(1), kOffline);
        QCOMPARE(r.state.comOnline, 0);
        QVERIFY(!r.com->timerReceive().isEnabled());
        QVERIFY(r.shown.isEmpty());
        QVERIFY(r.state.table.value(2100).isEmpty());
    }

    void aGoodAnswerAfterABadOneCounts()
    {
        LinkRig r;
        r.drive.values[2100] = "4";
        r.drive.overrides.push_back(QByteArray("garbage"));
        QCOMPARE(r.com->ReadCom(2100, 11), ReadOutcome::Match);
        QCOMPARE(r.polls().size(), 2);
        QVERIFY(r.dialogs.shown.isEmpty());
        QCOMPARE(r.state.table.value(2100).toText(), QStringLiteral("4"));
    }

    void quietPollTakesOneAttempt_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<ReadOutcome>("outcome");
        QByteArray wrong = answerFrame("2000", "0");
        wrong[wrong.size() - 1] = '!';
        QTest::newRow("no answer") << QByteArray() << ReadOutcome::NoVerdict;
        QTest::newRow("wrong check character") << wrong << ReadOutcome::Mismatch;
        QTest::newRow("good answer, not decoded") << answerFrame("2000", "7") << ReadOutcome::Match;
    }
    void quietPollTakesOneAttempt()
    {
        QFETCH(QByteArray, answer);
        LinkRig r;
        r.state.quietWait = true;
        r.drive.overrides.push_back(answer);
        QTEST(r.com->ReadCom(2000, 11), "outcome");
        QCOMPARE(r.polls(), QList<int>{2000});
        QVERIFY(r.dialogs.shown.isEmpty());
        QVERIFY(r.shown.isEmpty());
        QVERIFY(r.state.table.value(2000).isEmpty());
        QCOMPARE(r.state.comOnline, 1);
        // The quiet wait serves nothing: no timer ran during it.
        QVERIFY(r.clock.blockedSeconds() > 0);
    }

    void statusBlockIsDecodedInOrder()
    {
        LinkRig r;
        r.drive.overrides.push_back(statusBlock(262145, 131075, -1234, 5));
        QCOMPARE(r.com->ReadCom(2170, 11), ReadOutcome::Match);
        // The status word keeps its field as it came.
        // The correction bar is shown, not stored: it has no slot.
        const QList<QPair<int, QString>> lines{{2183, "1"}, {kCorrectionBar, "1"}, {2182, "3"},
                                               {2184, "2"}, {2180, "         5"},  {2170, "-1234"}};
        QCOMPARE(r.shown, lines);
        for (const auto& [cmd, text] : lines)
            if (cmd != kCorrectionBar)
                QCOMPARE(r.state.table.value(cmd), ParameterValue::text(text));
        QVERIFY(r.state.table.value(2000 + kCorrectionBar).isEmpty());
        QCOMPARE(r.com->rxCommand(), 2170);
    }

    void statusFieldThatIsNoNumberIsSkipped()
    {
        QByteArray body = field(262145) + QByteArray("   abc    ") + field(1) + field(2) + field(3);
        const QList<StatusLine> lines = decodeStatusBlock(answerFrame("2170", body));
        QList<int> cmds;
        for (const StatusLine& l : lines)
            cmds << l.cmd;
        QCOMPARE(cmds, (QList<int>{2183, kCorrectionBar, 2180, 2170}));
    }

    // A timer tick that asks for a poll while a write waits for its answer gets nothing on the
    // wire; the write is not disturbed.
    void pollAskedForDuringAWriteIsNotSent()
    {
        LinkRig r;
        r.drive.delay = 0.5;
        QList<ReadOutcome> outcomes;
        r.com->TimerTest().setCallback([&] {
            outcomes << r.com->ReadCom(2100, 11);
            r.com->TimerTest().setEnabled(false);
        });
        r.com->TimerTest().setEnabled(true);
        r.com->WriteCom(11, 2110, 500);
        QCOMPARE(outcomes, QList<ReadOutcome>{ReadOutcome::Busy});
        QCOMPARE(r.port.writtenBytes(), QList<QByteArray>{writeFrame(11, 2110, "500")});
        QVERIFY(r.dialogs.shown.isEmpty());
    }

    // A write asked for during a poll goes on the wire after the poll's answer.
    void writeAskedForDuringAPollFollowsIt()
    {
        LinkRig r;
        r.drive.delay = 0.5;
        r.drive.values[2100] = "9";
        r.com->TimerTest().setCallback([&] {
            r.com->TimerTest().setEnabled(false);
            r.com->WriteCom(11, 2152, 129);
        });
        r.com->TimerTest().setEnabled(true);
        QCOMPARE(r.com->ReadCom(2100, 11), ReadOutcome::Match);
        QCOMPARE(r.port.writtenBytes(), (QList<QByteArray>{pollFrame(11, 2100), writeFrame(11, 2152, "129")}));
        QCOMPARE(r.state.table.value(2100).toText(), QStringLiteral("9"));
        QCOMPARE(r.com->queuedWrites(), size_t(0));
    }

    void hangUpEndsInOneErrorAtOnce()
    {
        LinkRig r;
        r.drive.delay = 0.5;
        r.com->TimerTest().setCallback([&] { r.port.hangUp(); });
        r.com->TimerTest().setEnabled(true);
        const double start = r.clock.now();
        QCOMPARE(r.com->ReadCom(2100, 11), ReadOutcome::NoAnswer);
        QCOMPARE(r.dialogs.texts(), QStringList{QStringLiteral("Error")});
        QCOMPARE(r.state.comOnline, 0);
        QCOMPARE(r.window.statusText.value(1), kOffline);
        // A closed port is not waited for: the retries take their pauses only.
        QVERIFY(r.clock.now() - start < 1.0);
    }

    // Stop pressed while a silent drive is polled: the poll on the wire ends, no further
    // attempt goes out, and the user's Stop is not reported as a broken link.
    void stopDuringAPollEndsItWithoutError()
    {
        LinkRig r;
        r.drive.silent = true;
        r.com->TimerTest().setCallback([&] {
            r.com->TimerTest().setEnabled(false);
            r.com->cmdStop();
        });
        r.com->TimerTest().setEnabled(true);
        QCOMPARE(r.com->ReadCom(2100, 11), ReadOutcome::Offline);
        QCOMPARE(r.polls(), QList<int>{2100});
        QVERIFY(r.dialogs.shown.isEmpty());
        QCOMPARE(r.state.comOnline, 0);
        QVERIFY(r.state.stopRequest);
        QCOMPARE(r.window.statusText.value(1), kOffline);
    }
};

QTEST_GUILESS_MAIN(TestReadCom)
#include "test_read_com.moc"
