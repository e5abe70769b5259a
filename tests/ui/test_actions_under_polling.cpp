// What the technician starts while live polling runs: every click lands inside the answer wait
// of a poll, as it does after Connect. The action must run once that answer is in, whole, with
// its own pauses on the wire, and nothing may interleave with an answer still arriving.
#include "frm_save.h"
#include "input_inside_answer.h"
#include "window_rig.h"

#include <QPushButton>

using namespace kinetra;
using namespace kinetra::test;

namespace {

// Answers leave at the line rate, so a status block takes 59 ms and every wait is a real one.
sim::DriveConfig pacedDrive()
{
    sim::DriveConfig config;
    config.pacing = true;
    return config;
}

void click(QAbstractButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton);
}

// The frames written since `from` whose command number is `cmd` (writes of a value `value`
// when given).
QList<FakeSerialPort::Written> framesOf(const WindowRig& r, qsizetype from, int cmd, const QByteArray& value = {})
{
    QList<FakeSerialPort::Written> out;
    const auto& all = r.port.written();
    for (qsizetype i = from; i < all.size(); ++i) {
        const QByteArray& f = all[i].bytes;
        if (f.mid(4, 4).toInt() == cmd && (value.isEmpty() || f.mid(8).startsWith(value)))
            out << all[i];
    }
    return out;
}

bool nothingOverlapped(const WindowRig& r)
{
    for (const FakeSerialPort::Written& w : r.port.written())
        if (w.overlapping)
            return false;
    return true;
}

} // namespace

class TestActionsUnderPolling : public QObject {
    Q_OBJECT
private slots:
    void aCommandGoesOutAPauseAfterThePollItCameIn_data() { addAnswerPoints(); }
    void aCommandGoesOutAPauseAfterThePollItCameIn()
    {
        QFETCH(AnswerPoint, point);
        WindowRig r(pacedDrive());
        r.started().connected();
        InputInsideAnswer inject(r.clock, r.port);
        const auto from = r.mark();
        inject.arm(point, [&] { click(r.button(128)); });
        r.clock.advance(1);
        QVERIFY(inject.heldUntilTheAnswerWasIn());
        QCOMPARE(r.writes(from), QStringList{"2152=128"});
        const auto move = framesOf(r, from, 2152);
        // 0.3 s after the click, and the link's own 0.1 s before a write.
        QVERIFY2(qAbs(move[0].time - inject.ranAt() - 0.4) < 0.01,
                 qPrintable(QString::number(move[0].time - inject.ranAt())));
        QVERIFY(r.com->timerReceive().isEnabled());
        QVERIFY(nothingOverlapped(r));
    }

    // Stop while a silent drive's poll waits: the hold lapses, Stop acts as soon as the poll has
    // ended, without its retries, and a link the user took offline is not reported as broken.
    void stopDuringASilentDrivesPollTakesTheLinkOfflineQuietly()
    {
        WindowRig r(pacedDrive());
        r.started().connected();
        r.drive.faults().silent = true;
        const double pressed = r.clock.now() + 0.2;
        r.clock.postUserInput(pressed, [&] { click(r.find<QAbstractButton>("cmdStop")); });
        r.clock.advance(5);
        QCOMPARE(r.state.comOnline, 0);
        QVERIFY(r.dialogs.shown.isEmpty());
        int pollsAfter = 0;
        for (const Sent& s : r.sent())
            pollsAfter += s.poll && s.time > pressed;
        QVERIFY2(pollsAfter <= 1, qPrintable(QString::number(pollsAfter)));
    }

    // "Parameter speichern": the save window opens; "Speichern" sends 137, pauses 1 s, sends 138,
    // and the drive then hears nothing for 3 s. "Saved" shows only once the drive acknowledged.
    void theSaveWindowSavesWithItsPauses_data()
    {
        QTest::addColumn<AnswerPoint>("point");
        QTest::addColumn<bool>("refusing");
        QTest::newRow("first character in") << AnswerPoint::FirstCharacter << false;
        QTest::newRow("half of the answer in") << AnswerPoint::Half << false;
        QTest::newRow("all but the last character in") << AnswerPoint::LastCharacter << false;
        QTest::newRow("a drive that refuses") << AnswerPoint::Half << true;
    }
    void theSaveWindowSavesWithItsPauses()
    {
        QFETCH(AnswerPoint, point);
        QFETCH(bool, refusing);
        WindowRig r(pacedDrive());
        r.started().connected();
        std::unique_ptr<frmSave> save;
        r.window->onSaveWindow = [&] {
            save = std::make_unique<frmSave>(*r.com, *r.window, r.window.get());
            save->show();
        };
        InputInsideAnswer inject(r.clock, r.port);
        const auto from = r.mark();
        inject.arm(point, [&] { click(r.button(138)); });
        r.clock.advance(1);
        QVERIFY(inject.heldUntilTheAnswerWasIn());
        QVERIFY(save && save->isVisible());
        QCOMPARE(r.writes(from), QStringList());

        r.drive.faults().refuseWrites = refusing;
        QStringList helpTexts;
        QObject::connect(r.find<QLineEdit>("txtHelp_0"), &QLineEdit::textChanged,
                         [&](const QString& t) { helpTexts << t; });
        const double clicked = r.clock.now() + 0.2;
        r.clock.postUserInput(clicked, [&] { click(save->findChild<QPushButton*>("cmdComand1_0")); });
        // "End" right behind it: it closes the window once the save is through.
        r.clock.postUserInput(clicked + 0.05, [&] { click(save->findChild<QPushButton*>("cmdComand1_1")); });
        r.clock.advance(6);
        QVERIFY(!save->isVisible());
        QVERIFY(nothingOverlapped(r));
        if (refusing) {
            QCOMPARE(r.writes(from), QStringList{"2152=137"});
            QVERIFY(!helpTexts.contains("msg62"));
            QCOMPARE(r.dialogs.texts(), QStringList{"msg75"});
            return;
        }
        QCOMPARE(r.writes(from), QStringList({"2152=137", "2152=138"}));
        const auto takeOver = framesOf(r, from, 2152, "137").first();
        const auto saved = framesOf(r, from, 2152, "138").first();
        const double pause = saved.time - takeOver.answerTo;
        QVERIFY2(pause >= 1.0 && pause < 1.2, qPrintable(QString::number(pause)));
        // While the drive saves message 76, then 62 (and the window's closing clears the line).
        QVERIFY(helpTexts.contains("msg76"));
        QVERIFY(helpTexts.lastIndexOf("msg62") > helpTexts.indexOf("msg76"));
        // The polling resumes with the window closed, not before the drive has saved.
        QList<Sent> after;
        for (const Sent& s : r.sent(from))
            if (s.time > saved.time)
                after << s;
        QVERIFY(!after.isEmpty() && after.first().poll);
        QVERIFY2(after.first().time >= saved.answerTo + 3.0,
                 qPrintable(QString::number(after.first().time - saved.answerTo)));
    }

    // A service reset after the login: the code 0.3 s after the release, then 2 s for the drive
    // to restore its settings before everything is read again.
    void aServiceResetWaitsForTheDriveBeforeReadingAgain_data() { addAnswerPoints(); }
    void aServiceResetWaitsForTheDriveBeforeReadingAgain()
    {
        QFETCH(AnswerPoint, point);
        WindowRig r(pacedDrive());
        r.started().connected();
        r.state.loginGranted = true;
        InputInsideAnswer inject(r.clock, r.port);
        const auto from = r.mark();
        inject.arm(point, [&] { click(r.button(162)); });
        r.clock.advance(8);
        QVERIFY(inject.heldUntilTheAnswerWasIn());
        const auto reset = framesOf(r, from, 2452);
        QCOMPARE(reset.size(), 1);
        QVERIFY2(qAbs(reset[0].time - inject.ranAt() - 0.4) < 0.01,
                 qPrintable(QString::number(reset[0].time - inject.ranAt())));
        const auto reread = framesOf(r, from, 2400);
        QCOMPARE(reread.size(), 1);
        const double restore = reread[0].time - reset[0].answerTo;
        QVERIFY2(restore >= 2.0 && restore < 2.3, qPrintable(QString::number(restore)));
        QVERIFY(r.com->timerReceive().isEnabled());
        QCOMPARE(r.state.comOnline, 1);
        QVERIFY(r.dialogs.shown.isEmpty());
        QVERIFY(nothingOverlapped(r));
    }

    // The endurance test against a drive that needs 2.5 s per move: the next move goes out only
    // after a status block polled once the last move was acknowledged shows "in position".
    void theEnduranceTestWaitsForEachMove_data() { addAnswerPoints(); }
    void theEnduranceTestWaitsForEachMove()
    {
        QFETCH(AnswerPoint, point);
        sim::DriveConfig config = pacedDrive();
        // Fast and slow speed 1 % of the top speed: 2 mm/s, so 5 mm take 2.5 s.
        config.startValues = {{2113, 4}, {2114, 4}};
        WindowRig r(config);
        r.liveDisplay().started().connected();
        r.type(10, "0");
        r.type(11, "50");
        r.type(12, "1");
        InputInsideAnswer inject(r.clock, r.port);
        const auto from = r.mark();
        inject.arm(point, [&] { QTest::mousePress(r.button(0), Qt::LeftButton); });
        r.clock.advance(0.5);
        QTest::mouseRelease(r.button(0), Qt::LeftButton);
        r.clock.advance(30);
        QVERIFY(inject.heldUntilTheAnswerWasIn());
        const auto moves = framesOf(r, from, 2152, "128");
        QVERIFY2(moves.size() >= 4, qPrintable(QString::number(moves.size())));
        // The first move goes to where the drive stands already: it is in position at once.
        for (qsizetype i = 2; i < moves.size(); ++i) {
            // The move itself, then the pause of box 12 once the drive is in position.
            const double gap = moves[i].time - moves[i - 1].answerTo;
            QVERIFY2(gap >= 3.5, qPrintable(QStringLiteral("move %1 after %2 s").arg(i).arg(gap)));
        }
        QVERIFY(r.state.testRunning);
        QVERIFY(nothingOverlapped(r));
    }
};

QTEST_MAIN(TestActionsUnderPolling)
#include "test_actions_under_polling.moc"
