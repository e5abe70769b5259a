#include "frame.h"
#include "link_rig.h"
#include "memory_settings_store.h"
#include "value_display.h"
#include "wire_trace.h"

#include <QStandardPaths>
#include <QTest>

using namespace kinetra;
using namespace kinetra::test;

namespace {

// The link with the real value display behind it, so that the software version sets the level.
struct ConnectRig : LinkRig {
    ValueDisplay display{state, window};

    explicit ConnectRig(int drivePort = 1, bool online = false) : LinkRig(drivePort, online)
    {
        com->setValueSink([this](QString& value, int index) {
            shown << qMakePair(index, value);
            display.showValues(value, index);
        });
    }
};

QList<int> deviceNumbers()
{
    QList<int> out;
    for (int cmd = 2400; cmd <= 2448; ++cmd)
        if ((cmd < 2404 || cmd > 2409) && (cmd < 2420 || cmd > 2424))
            out << cmd;
    return out;
}

QList<int> range(int from, int to)
{
    QList<int> out;
    for (int cmd = from; cmd <= to; ++cmd)
        out << cmd;
    return out;
}

} // namespace

class TestConnection : public QObject {
    Q_OBJECT
private slots:
    void driveOnPort3IsFoundAfterOnePollEach()
    {
        ConnectRig r(3);
        r.com->searchCom();
        QCOMPARE(r.polls(), (QList<int>{2000, 2000, 2000}));
        QCOMPARE(r.pollPorts(), (QList<int>{1, 2, 3}));
        // Offline, the search pauses a second first.
        QVERIFY(r.port.written().first().time >= 1.0);
        QCOMPARE(r.window.log.filter(QStringLiteral("text frmFile.txtHelp#0")),
                 (QStringList{"text frmFile.txtHelp#0 = msg33 COM2", "text frmFile.txtHelp#0 = msg33 COM3"}));
        QCOMPARE(r.window.text(el::helpLine()), QStringLiteral("msg35 COM3"));
        QCOMPARE(r.window.statusText.value(1), kPortFound);
        QCOMPARE(r.window.statusBevel.value(1), Bevel::Sunken);
        QCOMPARE(r.window.statusText.value(2), QStringLiteral(" COM3"));
        QCOMPARE(r.window.statusBevel.value(2), Bevel::Raised);
        QCOMPARE(r.state.comPort, 3);
        QCOMPARE(r.state.comOnline, 1);
        QVERIFY(!r.state.quietWait);
        QCOMPARE(r.port.settings(), QStringLiteral("9600,n,8,1"));
        QVERIFY(r.dialogs.shown.isEmpty());
    }

    void noDriveEndsOnPort11()
    {
        ConnectRig r(99);
        r.com->searchCom();
        QCOMPARE(r.polls(), QList<int>(10, 2000));
        QCOMPARE(r.pollPorts(), range(1, 10));
        // Past the last port there is nothing to open.
        QCOMPARE(r.port.openedPorts().last(), 10);
        QVERIFY(!r.port.isOpen());
        QCOMPARE(r.state.comPort, 11);
        QCOMPARE(r.state.comOnline, 0);
        QCOMPARE(r.window.text(el::helpLine()), QStringLiteral("msg34"));
        QCOMPARE(r.window.statusText.value(1), kOffline);
        QCOMPARE(r.window.statusBevel.value(2), Bevel::Sunken);
        QVERIFY(r.dialogs.shown.isEmpty());
    }

    void onlineSearchStartsAtTheCurrentPortAtOnce()
    {
        ConnectRig r(3, true);
        r.com->searchCom();
        QCOMPARE(r.pollPorts(), QList<int>{3});
        QVERIFY(r.port.written().first().time < 0.1);
    }

    // Asked for inside another transaction's wait (a timer's handler), the search and the full
    // read run right after it: they never take the busy wire for a missing drive.
    void aSearchAskedForDuringAWriteRunsAfterIt()
    {
        ConnectRig r(3, true);
        bool asked = false;
        r.com->TimerTest().setInterval(50);
        r.com->TimerTest().setCallback([&] {
            r.com->TimerTest().setEnabled(false);
            asked = true;
            r.com->searchCom();
            r.com->Connect();
        });
        r.com->TimerTest().setEnabled(true);
        r.com->WriteCom(11, 2110, 500);
        QVERIFY(asked);
        QCOMPARE(r.pollPorts().first(), 3);
        QCOMPARE(r.state.comOnline, 1);
        QCOMPARE(r.state.paramsLoaded, 1);
        QVERIFY(!r.window.text(el::helpLine()).startsWith(QLatin1String("msg34")));
        QVERIFY(r.dialogs.shown.isEmpty());
    }

    // A device the user may not open, or one another program holds, is skipped, and named once,
    // with the fix that fits, when the search finds nothing.
    void deniedPortsAreNamedOnceWhenNothingIsFound_data()
    {
        QTest::addColumn<int>("drivePort");
        QTest::addColumn<int>("messages");
        QTest::newRow("no drive") << 99 << 1;
        QTest::newRow("drive found on another port") << 7 << 0;
    }
    void deniedPortsAreNamedOnceWhenNothingIsFound()
    {
        QFETCH(int, drivePort);
        QFETCH(int, messages);
        ConnectRig r(drivePort);
        r.port.failOpen(2, PortOpenError::PermissionDenied);
        r.port.failOpen(5, PortOpenError::PermissionDenied);
        r.port.failOpen(6, PortOpenError::NoSuchDevice);
        r.port.failOpen(3, PortOpenError::InUse, QStringLiteral("kinetra, process 1234"));
        r.port.failOpen(4, PortOpenError::InUse);
        QCOMPARE(r.com->searchCom(), messages ? SearchOutcome::NoDrive : SearchOutcome::Found);
        QVERIFY(!r.pollPorts().contains(2));
        QCOMPARE(r.dialogs.shown.size(), 2 * messages);
        if (messages) {
            const QString denied = r.dialogs.shown.first().text;
            QVERIFY(denied.contains(QStringLiteral("virtual2, virtual5")));
            QVERIFY(!denied.contains(QStringLiteral("virtual6")) && !denied.contains(QStringLiteral("virtual3")));
            QVERIFY(denied.contains(QStringLiteral("dialout")));
            QCOMPARE(r.dialogs.shown.first().icon, MessageIcon::Warning);
            // A port another program holds is no matter of rights: it names the holder instead.
            const QString busy = r.dialogs.shown.last().text;
            QVERIFY2(busy.contains(QStringLiteral("COM3 (virtual3) is in use by kinetra, process 1234")), qPrintable(busy));
            QVERIFY(busy.contains(QStringLiteral("COM4 (virtual4) is in use by another program")));
            QVERIFY(busy.contains(QStringLiteral("closing that program's window releases it")));
            QVERIFY(!busy.contains(QStringLiteral("dialout")));
        }
    }

    void fullReadPollsByLevel_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<QList<int>>("axis");
        QTest::newRow("539") << 539 << range(2100, 2155) + QList<int>{2180, 2181, 2199};
        QTest::newRow("540") << 540 << range(2100, 2199);
    }
    void fullReadPollsByLevel()
    {
        QFETCH(int, level);
        QFETCH(QList<int>, axis);
        ConnectRig r(1, true);
        r.state.transferCount = 0;
        r.drive.values[2402] = QByteArray::number(level);
        r.drive.values[2110] = "1250";
        r.com->Connect();
        QCOMPARE(r.polls(), deviceNumbers() + axis);
        QCOMPARE(int(r.state.firmwareLevel), level);
        QCOMPARE(r.state.table.value(2110).toText(), QStringLiteral("1250"));
        QCOMPARE(r.window.text(el::txtPara(2110)), QStringLiteral("12,50"));
        QVERIFY(!r.state.transferActive);
        QCOMPARE(r.state.paramsLoaded, 1);
        QVERIFY(r.com->timerReceive().isEnabled());
        QCOMPARE(r.window.maximum.value(RecordingWindow::key(el::progressBar2())), 190);
        QCOMPARE(r.window.values.value(RecordingWindow::key(el::progressBar2())), 0);
        QCOMPARE(r.state.transferCount, qint16(0));
        // The bar counted every answer on the way.
        QVERIFY(r.window.log.contains(QStringLiteral("value ProgressBar2#0 = 38")));
        QVERIFY(r.dialogs.shown.isEmpty());
    }

    void stopDuringTheFullReadEndsAfterTheCurrentPoll()
    {
        ConnectRig r(1, true);
        r.drive.values[2402] = "540";
        r.drive.delay = 0.05;
        r.com->TimerTest().setInterval(10);
        r.com->TimerTest().setCallback([&] {
            r.com->TimerTest().setEnabled(false);
            r.com->cmdStop();
        });
        r.drive.onFrame = [&](int cmd) {
            if (cmd == 2410)
                r.com->TimerTest().setEnabled(true);
        };
        r.com->Connect();
        QCOMPARE(r.polls().last(), 2410);
        QCOMPARE(r.state.table.value(2410).toText(), QStringLiteral("0"));
        QCOMPARE(r.window.statusText.value(1), kOffline);
        QCOMPARE(r.window.statusBevel.value(1), Bevel::Sunken);
        QCOMPARE(r.state.comOnline, 0);
        QVERIFY(!r.state.transferActive);
        QVERIFY(!r.com->timerReceive().isEnabled());
        QCOMPARE(r.window.values.value(RecordingWindow::key(el::progressBar2())), 0);
        QVERIFY(r.dialogs.shown.isEmpty());
        // Nothing more goes out: polling stays off.
        const qsizetype sent = r.port.written().size();
        r.clock.advance(5);
        QCOMPARE(r.port.written().size(), sent);
    }

    void failedReadKeepsTheConnectButtonBlockedUntilStop()
    {
        ConnectRig r(1);
        r.drive.onFrame = [&](int cmd) {
            if (cmd == 2403)
                r.drive.silent = true;
        };
        r.com->cmdConnect();
        QCOMPARE(r.dialogs.texts(), QStringList{QStringLiteral("Error")});
        QVERIFY(r.state.transferActive);
        QVERIFY(!r.com->connecting());
        const qsizetype sent = r.port.written().size();
        r.com->cmdConnect();
        QCOMPARE(r.port.written().size(), sent);

        r.drive.silent = false;
        r.drive.onFrame = nullptr;
        r.com->cmdStop();
        QVERIFY(!r.state.transferActive);
        r.com->cmdConnect();
        QVERIFY(r.port.written().size() > sent);
        QCOMPARE(r.state.paramsLoaded, 1);
        QVERIFY(r.com->timerReceive().isEnabled());
    }

    // A second press of the connect button while a connection runs starts nothing.
    void secondConnectPressIsIgnored()
    {
        ConnectRig r(2);
        int presses = 0;
        r.com->TimerTest().setCallback([&] {
            ++presses;
            r.com->cmdConnect();
        });
        r.com->TimerTest().setEnabled(true);
        r.com->cmdConnect();
        r.com->TimerTest().setEnabled(false);
        QVERIFY(presses > 10);
        QCOMPARE(r.polls().count(2000), 2);
        QCOMPARE(r.polls().count(2400), 1);
        QCOMPARE(r.polls().count(2199), 1);
        QCOMPARE(r.state.paramsLoaded, 1);
    }

    void quittingDuringTheFullReadSendsNothingMore()
    {
        ConnectRig r(1, true);
        r.drive.onFrame = [&](int cmd) {
            if (cmd == 2403)
                r.clock.setQuitting();
        };
        r.com->Connect();
        QCOMPARE(r.polls().last(), 2403);
        QVERIFY(r.dialogs.shown.isEmpty());
        r.com->cmdConnect();
        r.com->cmdStop();
        QCOMPARE(r.polls().last(), 2403);
    }

    void wireTraceIsSwitchedBySettingOrEnvironment()
    {
        QStandardPaths::setTestModeEnabled(true);
        MemorySettingsStore settings;
        qunsetenv(kTraceEnvironment);
        QVERIFY(!WireTrace::enabled(settings));
        settings.setValue(kApplicationName, QStringLiteral("trace"), QStringLiteral("enabled"), QStringLiteral("1"));
        QVERIFY(WireTrace::enabled(settings));
        settings.setValue(kApplicationName, kTraceSection, kTraceKey, QStringLiteral("0"));
        QVERIFY(!WireTrace::enabled(settings));
        qputenv(kTraceEnvironment, "1");
        QVERIFY(WireTrace::enabled(settings));
        qunsetenv(kTraceEnvironment);
        QVERIFY(WireTrace::defaultPath().endsWith(QStringLiteral("/kinetra/wire-trace.log")));
    }
};

QTEST_GUILESS_MAIN(TestConnection)
#include "test_connection.moc"
