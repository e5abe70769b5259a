// The command buttons, the jog stop and the endurance test on the real window against the
// simulated drive on virtual time.
#include "window_rig.h"

#include <QLabel>
#include <QProgressBar>

using namespace kinetra;
using namespace kinetra::test;

namespace {

const QPoint kOutside(-8, -8);

void press(WindowRig& r, int i)
{
    QTest::mousePress(r.button(i), Qt::LeftButton);
}
void release(WindowRig& r, int i, QPoint at = {})
{
    QTest::mouseRelease(r.button(i), Qt::LeftButton, {}, at.isNull() ? r.button(i)->rect().center() : at);
}

} // namespace

class TestDriveCommands : public QObject {
    Q_OBJECT
private slots:
    void aClickSendsItsCodeAfterAPauseWithPollingOff_data()
    {
        QTest::addColumn<int>("button");
        // Every command below 141 takes this path; the first and the last of them.
        QTest::newRow("Start Absolut") << 128;
        QTest::newRow("Referenz") << 139;
    }
    void aClickSendsItsCodeAfterAPauseWithPollingOff()
    {
        QFETCH(int, button);
        WindowRig r;
        r.started().connected();
        QVERIFY(r.com->timerReceive().isEnabled());
        press(r, button);
        const auto from = r.mark();
        const double released = r.clock.now();
        release(r, button);
        const QList<Sent> sent = r.sent(from);
        QCOMPARE(r.writes(from), QStringList{QStringLiteral("2152=%1").arg(button)});
        QCOMPARE(sent.size(), 1); // no poll meanwhile
        QVERIFY(sent[0].time >= released + 0.3);
        QVERIFY(r.com->timerReceive().isEnabled());
    }

    void aJogRunsWhileHeldAndStopsOnce_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<QPoint>("releasedAt");
        QTest::newRow("positive, released inside") << 132 << QPoint();
        QTest::newRow("negative, released inside") << 133 << QPoint();
        QTest::newRow("released outside the button") << 132 << kOutside;
    }
    void aJogRunsWhileHeldAndStopsOnce()
    {
        QFETCH(int, button);
        QFETCH(QPoint, releasedAt);
        WindowRig r;
        r.started().connected();
        const auto from = r.mark();
        press(r, button);
        QCOMPARE(r.writes(from), QStringList{QStringLiteral("2152=%1").arg(button)});
        r.clock.advance(1);
        // (A negative jog from the start position ends at once at the end limit.)
        if (button == 132)
            QVERIFY(r.drive.model().axis(1).moving());
        const auto atRelease = r.mark();
        release(r, button, releasedAt);
        QCOMPARE(r.writes(atRelease), QStringList());
        r.clock.advance(2);
        QCOMPARE(r.writes(atRelease), QStringList{"2152=129"});
        r.clock.advance(5);
        QVERIFY(!r.drive.model().axis(1).moving());
    }

    void aJogStopsWhenItsButtonLosesTheFocus()
    {
        WindowRig r;
        r.started().connected();
        press(r, 132);
        const auto from = r.mark();
        QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
        QCoreApplication::sendEvent(r.button(132), &out);
        r.clock.advance(1);
        QCOMPARE(r.writes(from), QStringList{"2152=129"});
        // The release that follows sends no second stop of its own making.
        release(r, 132, kOutside);
        r.clock.advance(1);
        QCOMPARE(r.writes(from), QStringList{"2152=129"});
    }

    void closingTheWindowStopsARunningJog_data()
    {
        QTest::addColumn<bool>("pressed");
        QTest::addColumn<bool>("released");
        QTest::addColumn<QStringList>("sentOnClose");
        QTest::newRow("jog held") << true << false << QStringList{"2152=129"};
        QTest::newRow("released, stop still due") << true << true << QStringList{"2152=129"};
        QTest::newRow("no jog") << false << false << QStringList();
    }
    void closingTheWindowStopsARunningJog()
    {
        QFETCH(bool, pressed);
        QFETCH(bool, released);
        WindowRig r;
        r.started().connected();
        if (pressed)
            press(r, 132);
        if (released)
            release(r, 132);
        const auto from = r.mark();
        r.window->close();
        QTEST(r.writes(from), "sentOnClose");
    }

    void saveOnPressOnly()
    {
        WindowRig r;
        r.started().connected();
        const auto from = r.mark();
        press(r, 153);
        QCOMPARE(r.writes(from), QStringList{"2152=153"});
        release(r, 153);
        r.clock.advance(0.5);
        QCOMPARE(r.writes(from), QStringList{"2152=153"});
        QVERIFY(r.com->timerReceive().isEnabled());
    }

    void theSaveButtonOpensTheSaveWindow()
    {
        WindowRig r;
        r.started().connected();
        int opened = 0;
        bool pollingOff = false;
        r.window->onSaveWindow = [&] {
            ++opened;
            pollingOff = !r.com->timerReceive().isEnabled();
        };
        const auto from = r.mark();
        QTest::mouseClick(r.button(138), Qt::LeftButton);
        QCOMPARE(opened, 1);
        QVERIFY(pollingOff);
        QVERIFY(!r.com->timerReceive().isEnabled()); // until the save window closes
        QCOMPARE(r.writes(from), QStringList());
    }

    void factoryResetNeedsTheLoginThenWritesShowsProgressAndReadsAllAgain()
    {
        WindowRig r;
        r.started().connected();
        auto from = r.mark();
        QTest::mouseClick(r.button(162), Qt::LeftButton);
        r.clock.advance(1);
        QCOMPARE(r.modalsOpened, 1);
        QCOMPARE(r.writes(from), QStringList());

        r.state.loginGranted = true;
        QList<int> progress;
        QObject::connect(r.find<QProgressBar>("ProgressBar1"), &QProgressBar::valueChanged,
                         [&](int v) { progress << v; });
        from = r.mark();
        QTest::mouseClick(r.button(162), Qt::LeftButton);
        QCOMPARE(r.writes(from), QStringList{"2452=162"});
        QVERIFY(!progress.isEmpty());
        QVERIFY(*std::max_element(progress.begin(), progress.end()) >= 75);
        QCOMPARE(progress.last(), 0);
        int deviceReads = 0;
        for (const Sent& s : r.sent(from))
            deviceReads += s.poll && s.cmd >= 2400 && s.cmd <= 2448;
        QVERIFY2(deviceReads >= 38, qPrintable(QString::number(deviceReads)));
        QVERIFY(r.com->timerReceive().isEnabled());
        QCOMPARE(r.state.comOnline, 1);
    }

    void offlineButtonsDoNothing()
    {
        WindowRig r;
        r.started();
        for (int i : {0, 128, 132, 153, 162})
            QTest::mouseClick(r.button(i), Qt::LeftButton);
        r.clock.advance(1);
        QCOMPARE(r.port.written().size(), 0);
        QCOMPARE(r.modalsOpened, 0);
    }

    void stopEndsTheEnduranceTestOnPress()
    {
        WindowRig r;
        r.started().connected();
        r.type(10, "1");
        r.type(11, "2");
        r.type(12, "1");
        press(r, 0);
        QVERIFY(r.state.testRunning);
        const auto from = r.mark();
        press(r, 129);
        QVERIFY(!r.state.testRunning);
        QVERIFY(!r.com->TimerTest().isEnabled());
        QCOMPARE(r.writes(from), QStringList());
        release(r, 129);
        QCOMPARE(r.writes(from), QStringList{"2152=129"});
    }

    // The status word reaches the endurance test through the program's display logic whole: a
    // canOPEN drive's bus state in the high bits does not stop the back and forth.
    void theEnduranceTestRunsBackAndForth_data()
    {
        QTest::addColumn<int>("deviceType");
        QTest::addColumn<bool>("highBits");
        QTest::newRow("RS232") << 2011 << false;
        QTest::newRow("canOPEN") << 2013 << true;
    }
    void theEnduranceTestRunsBackAndForth()
    {
        QFETCH(int, deviceType);
        sim::DriveConfig config;
        config.deviceType = deviceType;
        config.busState = 5;
        WindowRig r(config);
        r.liveDisplay().started().connected();
        QTEST(r.state.table.value(2180).toInteger().value_or(0) > 0xFFFF, "highBits");
        r.type(10, "1");
        r.type(11, "2");
        r.type(12, "1");
        const auto from = r.mark();
        QTest::mouseClick(r.button(0), Qt::LeftButton);
        r.clock.advance(40);
        QStringList targets;
        for (const QString& w : r.writes(from))
            if (w.startsWith(QLatin1String("2101=")))
                targets << w.mid(5);
        QVERIFY2(targets.size() >= 5, qPrintable(targets.join(' ')));
        for (qsizetype i = 0; i < targets.size(); ++i)
            QCOMPARE(targets[i], QString(i % 2 == 0 ? "10" : "20"));
        QVERIFY(r.state.testRunning);
        QVERIFY(r.dialogs.shown.isEmpty());
    }

    void inPositionReadsTheWholeStatusWord_data()
    {
        QTest::addColumn<qint64>("word");
        QTest::addColumn<bool>("inPosition");
        QTest::newRow("bit 4") << qint64(4) << true;
        QTest::newRow("high bits and 4") << qint64(0x05002004) << true;
        QTest::newRow("high bits only") << qint64(0x7F000000) << false;
        QTest::newRow("no bit 4") << qint64(0xFFFB) << false;
    }
    void inPositionReadsTheWholeStatusWord()
    {
        QFETCH(qint64, word);
        QTEST(MotionTimers::inPosition(word), "inPosition");
    }

    void pauseTextsBecomeMilliseconds_data()
    {
        QTest::addColumn<QString>("pause");
        QTest::addColumn<long long>("ms");
        QTest::newRow("2") << "2" << 2000LL;
        QTest::newRow("only digits count") << "1,5" << 15000LL;
        QTest::newRow("none") << "" << 0LL;
        QTest::newRow("beyond a timer") << "9999999999" << 2147483647LL;
    }
    void pauseTextsBecomeMilliseconds()
    {
        QFETCH(QString, pause);
        QTEST(MotionTimers::pauseMilliseconds(pause), "ms");
    }

    void multipliersSetTheScaleTexts_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("boxAfter");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("scale");
        const auto row = [](const char* name, const char* box, const char* typed, const char* boxAfter,
                            const char* label, const char* scale) {
            QTest::newRow(name) << QString(box) << QString(typed) << QString(boxAfter) << QString(label)
                                << QString(scale);
        };
        row("pwm 2x", "valPwmMult", "2x", "2", "txtPwm", "msg4312msg44");
        row("pwm 0", "valPwmMult", "0", "0", "txtPwm", "unchanged");
        row("current emptied", "valCurMult", "", "1", "txtCur", "msg431A");
        row("current 4", "valCurMult", "4", "4", "txtCur", "msg430.25A");
    }
    void multipliersSetTheScaleTexts()
    {
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, boxAfter);
        QFETCH(QString, label);
        QFETCH(QString, scale);
        WindowRig r;
        r.started();
        auto* edit = r.find<QLineEdit>(box);
        edit->setText("3");
        r.find<QLabel>(label)->setText("unchanged");
        edit->selectAll();
        if (typed.isEmpty())
            QTest::keyClick(edit, Qt::Key_Backspace);
        else
            QTest::keyClicks(edit, typed);
        QCOMPARE(edit->text(), boxAfter);
        QCOMPARE(r.find<QLabel>(label)->text(), scale);
    }
};

QTEST_MAIN(TestDriveCommands)
#include "test_drive_commands.moc"
