#include "link_rig.h"

#include <QTest>

using namespace kinetra;
using namespace kinetra::test;

class TestPollingPlan : public QObject {
    Q_OBJECT
private slots:
    void ticksPollThePlan_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("rounds");
        QTest::addColumn<int>("tab");
        QTest::addColumn<QList<int>>("polls");
        QTest::newRow("status block from level 500") << 500 << 0 << 0 << QList<int>{2170, 2170, 2170};
        QTest::newRow("three polls below 500") << 499 << 0 << 0 << QList<int>{2100, 2180, 2182, 2100};
        QTest::newRow("50th status block, then the long step")
            << 500 << 49 << 0 << QList<int>{2170, 2429, 2411, 2170, 2170};
        QTest::newRow("past 50 in step 1 also leads to the long step")
            << 500 << 60 << 0 << QList<int>{2170, 2429, 2411, 2170};
        QTest::newRow("50th short plan below 500, then the long step")
            << 499 << 49 << 0 << QList<int>{2100, 2180, 2182, 2429, 2411, 2100};
        QTest::newRow("past 50 in step 3 keeps the short plan")
            << 499 << 60 << 0 << QList<int>{2100, 2180, 2182, 2100, 2180};
        QTest::newRow("service tab polls the counters")
            << 500 << 49 << 6 << QList<int>{2170, 2429, 2437, 2440, 2443, 2446, 2170};
    }
    void ticksPollThePlan()
    {
        QFETCH(int, level);
        QFETCH(int, rounds);
        QFETCH(int, tab);
        QFETCH(QList<int>, polls);
        LinkRig r;
        r.state.firmwareLevel = static_cast<qint16>(level);
        r.com->setPollRounds(static_cast<qint16>(rounds));
        r.window.tab = tab;
        for (qsizetype i = 0; i < polls.size(); ++i)
            r.com->pollTick();
        QCOMPARE(r.polls(), polls);
    }

    void busyTickRestartsThePlan()
    {
        LinkRig r;
        r.state.firmwareLevel = 499;
        r.com->pollTick();
        r.state.comBusy = true;
        r.com->pollTick();
        r.state.comBusy = false;
        r.com->pollTick();
        QCOMPARE(r.polls(), (QList<int>{2100, 2100}));
    }

    // On its timer the plan sends 50 status blocks, then the operating time and the field-bus
    // state, and starts again. (A tick takes longer than the timer's interval, so the timer
    // fires again at once: the drive ends the run.)
    void timerRunsFiftyShortPlansThenTheLongStep()
    {
        LinkRig r;
        r.state.firmwareLevel = 540;
        r.drive.onFrame = [&](int) {
            if (r.drive.polled().size() >= 53)
                r.com->timerReceive().setEnabled(false);
        };
        r.com->timerReceive().setEnabled(true);
        r.clock.advance(5);
        const QList<int> polls = r.polls();
        QCOMPARE(polls.size(), 53);
        QCOMPARE(polls.mid(0, 50), QList<int>(50, 2170));
        QCOMPARE(polls.mid(50, 3), (QList<int>{2429, 2411, 2170}));
        QVERIFY(r.dialogs.shown.isEmpty());
    }

    // A drive that stops answering during live polling: one error, and polling stops.
    void deadDriveStopsThePolling()
    {
        LinkRig r;
        r.state.firmwareLevel = 540;
        r.drive.onFrame = [&](int) {
            if (r.drive.polled().size() == 5)
                r.drive.silent = true;
        };
        r.com->timerReceive().setEnabled(true);
        r.clock.advance(10);
        QCOMPARE(r.dialogs.texts(), QStringList{QStringLiteral("Error")});
        QVERIFY(!r.com->timerReceive().isEnabled());
        // The fifth poll is still answered; three unanswered ones follow.
        QCOMPARE(r.polls().size(), 5 + 3);
        QCOMPARE(r.state.comOnline, 0);
    }
};

QTEST_GUILESS_MAIN(TestPollingPlan)
#include "test_polling_plan.moc"
