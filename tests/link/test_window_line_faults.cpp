// Faults on the line while the main window polls live, on virtual time: a drive that falls
// silent, garbles its answers or babbles, and an adapter pulled from the port. Each ends in one
// error, an offline window and a quiet wire; Connect brings everything back.
#include "link_rig.h"
#include "window_rig.h"

#include <QLabel>

using namespace kinetra;
using namespace kinetra::test;

class TestWindowLineFaults : public QObject {
    Q_OBJECT
private slots:
    void faultEndsInOneErrorAndConnectRecovers_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("frames"); // on the wire from the fault on
        QTest::newRow("silent drive") << "silent" << 3;
        QTest::newRow("garbled answers") << "garbled" << 3;
        QTest::newRow("babbling drive") << "babble" << 3;
        QTest::newRow("adapter pulled") << "unplug" << 1;
    }
    void faultEndsInOneErrorAndConnectRecovers()
    {
        QFETCH(QString, fault);
        QFETCH(int, frames);
        sim::DriveConfig paced;
        paced.pacing = true;
        WindowRig r(paced);
        ScriptedLine line(r.drive);
        r.port.attach(1, &line);
        r.started().connected();
        QLabel* status = r.find<QLabel>(QStringLiteral("StatusBar1_1"));
        QCOMPARE(status->text(), kOnline);
        // A value typed during live polling reaches the drive.
        r.type(2113, QStringLiteral("55"));
        r.clock.advance(0.5);
        QCOMPARE(r.drive.model().memory().value(1, 13), qint64(55));

        bool pulled = false;
        line.onFrame = [&](int) {
            if (fault == "unplug" && !pulled)
                r.port.hangUp();
            pulled = true;
        };
        r.drive.faults().silent = fault == "silent";
        r.drive.faults().wrongCheck = fault == "garbled";
        if (fault == "babble")
            line.babble(0.003, r.clock.now());
        const qsizetype from = r.mark();
        r.clock.advance(5);

        QCOMPARE(r.dialogs.texts(), QStringList{"Error"});
        QCOMPARE(status->text(), kOffline);
        QCOMPARE(r.state.comOnline, 0);
        QVERIFY(!r.com->timerReceive().isEnabled());
        const QList<Sent> sent = r.sent(from);
        QCOMPARE(sent.size(), frames);
        for (const Sent& s : sent)
            QVERIFY(s.poll && s.cmd == 2170);
        r.clock.advance(5);
        QCOMPARE(r.mark(), from + frames);

        // The fault is over (the adapter back in); Connect reads the drive again, with the
        // value typed before the fault, and live polling goes on.
        line.onFrame = nullptr;
        line.babble(0, 0);
        r.drive.faults() = {};
        QTest::mouseClick(r.find<QAbstractButton>(QStringLiteral("cmdConnect")), Qt::LeftButton);
        r.clock.advance(1);
        QCOMPARE(r.dialogs.texts(), QStringList{"Error"});
        QCOMPARE(status->text(), kOnline);
        QCOMPARE(r.state.paramsLoaded, 1);
        QCOMPARE(r.box(2113)->text(), QStringLiteral("55"));
        const qsizetype live = r.mark();
        r.clock.advance(1);
        QVERIFY(r.mark() > live + 10);
    }
};

QTEST_MAIN(TestWindowLineFaults)
#include "test_window_line_faults.moc"
