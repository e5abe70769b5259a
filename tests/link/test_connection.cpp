// The port search and the full read against the simulated drive, on virtual time.
#include "link_rig.h"
#include "memory_settings_store.h"
#include "value_display.h"
#include "wire_trace.h"

#include <QStandardPaths>
#include <QTest>

using namespace kinetra;
using namespace kinetra::test;

namespace {
QList<int> range(int from, int to, const QList<int>& without = {})
{
    QList<int> out;
    for (int cmd = from; cmd <= to; ++cmd)
        if (!without.contains(cmd))
            out << cmd;
    return out;
}
} // namespace

class TestConnection : public QObject {
    Q_OBJECT
private slots:
    // One quiet poll of 2000 per port; offline the search pauses a second first and starts on
    // COM1, online it starts on its own port at once. Ports the user may not open, or that another
    // program holds, are skipped and named once, with the fix that fits, when nothing is found.
    void search_data()
    {
        QTest::addColumn<int>("drivePort");
        QTest::addColumn<bool>("online");
        QTest::addColumn<bool>("denied");
        QTest::addColumn<QList<int>>("ports");
        QTest::newRow("drive on COM3") << 3 << false << false << QList<int>{1, 2, 3};
        QTest::newRow("online on COM3") << 3 << true << false << QList<int>{3};
        QTest::newRow("no drive") << 99 << false << false << range(1, 10);
        QTest::newRow("no drive, ports denied") << 99 << false << true << range(1, 10, {2, 3, 4, 5, 6});
        QTest::newRow("drive on COM7, ports denied") << 7 << false << true << QList<int>{1, 7};
    }
    void search()
    {
        QFETCH(int, drivePort);
        QFETCH(bool, online);
        QFETCH(bool, denied);
        LinkRig r(drivePort, online);
        if (denied) {
            for (const int n : {2, 5})
                r.port.failOpen(n, PortOpenError::PermissionDenied);
            r.port.failOpen(6, PortOpenError::NoSuchDevice);
            r.port.failOpen(4, PortOpenError::InUse);
            r.port.failOpen(3, PortOpenError::InUse, QStringLiteral("kinetra, process 1234"));
        }
        const bool found = drivePort < 11;
        QCOMPARE(r.com->searchCom(), found ? SearchOutcome::Found : SearchOutcome::NoDrive);
        QList<int> ports;
        for (const auto& w : r.port.written())
            ports << w.port;
        QTEST(ports, "ports");
        QCOMPARE(r.polls(), QList<int>(ports.size(), 2000));
        QCOMPARE(r.port.written().first().time, online ? 0.0 : 1.0);
        QCOMPARE(r.port.settings(), online ? QString() : QStringLiteral("9600,n,8,1"));
        QCOMPARE(r.state.comOnline, found ? 1 : 0);
        QCOMPARE(r.state.comPort, found ? drivePort : 11);
        QCOMPARE(r.window.text(el::helpLine()), found ? QStringLiteral("msg35 COM%1").arg(drivePort) : "msg34");
        QCOMPARE(r.window.statusText.value(1), found ? kPortFound : kOffline);
        QCOMPARE(r.port.isOpen(), found); // past the last port there is nothing to open
        const QStringList texts = r.dialogs.texts();
        QCOMPARE(texts.size(), denied && !found ? 2 : 0);
        if (texts.isEmpty())
            return;
        QVERIFY(texts[0].contains("virtual2, virtual5") && !texts[0].contains("virtual6") &&
                texts[0].contains("dialout"));
        QVERIFY(texts[1].contains("COM3 (virtual3) is in use by kinetra, process 1234"));
        QVERIFY(texts[1].contains("COM4 (virtual4) is in use by another program") && !texts[1].contains("dialout"));
    }

    // After a Stop the port stays held and the next search starts on it, unless the port
    // assignment changed meanwhile: then the search lets it go and asks from COM1 on.
    void searchLetsGoOfAReassignedHeldPort()
    {
        for (const bool reassigned : {false, true}) {
            LinkRig r(3);
            r.com->cmdStop();
            r.port.reassigned = reassigned;
            QCOMPARE(r.com->searchCom(), SearchOutcome::Found);
            QCOMPARE(r.port.openedPorts(), reassigned ? QList<int>({3, 1, 2, 3}) : QList<int>({3}));
        }
    }

    // The device parameters, then the axis parameters the drive's level has; the bar counts
    // every answer; polling starts once all are in. Presses of Connect meanwhile start nothing.
    void fullReadFollowsTheLevel_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<QList<int>>("axis");
        QTest::newRow("5.39") << 539 << range(2100, 2155) + QList<int>{2180, 2181, 2199};
        QTest::newRow("5.40") << 540 << range(2100, 2199);
    }
    void fullReadFollowsTheLevel()
    {
        QFETCH(int, version);
        QFETCH(QList<int>, axis);
        sim::DriveConfig config;
        config.softwareVersion = version;
        LinkRig r(2, false, config);
        ValueDisplay display(r.state, r.window);
        r.com->setValueSink([&](QString& value, int index) { display.showValues(value, index); });
        r.com->TimerTest().setCallback([&] { r.com->cmdConnect(); });
        r.com->TimerTest().setEnabled(true);
        r.com->cmdConnect();
        const QList<int> device = range(2400, 2448, range(2404, 2409) + range(2420, 2424));
        QCOMPARE(r.polls(), QList<int>({2000, 2000}) + device + axis);
        QCOMPARE(int(r.state.firmwareLevel), version);
        QCOMPARE(r.window.text(el::txtPara(2113)), QString::fromLatin1(r.drive.model().valueText(2113)));
        QVERIFY(!r.state.transferActive && r.state.paramsLoaded && r.com->timerReceive().isEnabled());
        const QString bar = RecordingWindow::key(el::progressBar2());
        QCOMPARE(r.window.maximum.value(bar), 190);
        QCOMPARE(r.window.log.filter(bar).mid(37, 2),
                 QStringList({"value " + bar + " = 38", "value " + bar + " = 39"}));
        QCOMPARE(r.window.values.value(bar), 0);
        QVERIFY(r.dialogs.shown.isEmpty());
    }

    // Stop, the program ending, or a drive falling silent during the full read: the poll on the
    // wire ends, nothing more goes out, polling stays off. Only the silent drive is an error; its
    // unfinished read blocks Connect until Stop.
    void fullReadEndsEarly_data()
    {
        QTest::addColumn<QString>("event");
        QTest::addColumn<int>("lastPoll");
        QTest::newRow("Stop") << "stop" << 2410;
        QTest::newRow("program ends") << "quit" << 2403;
        QTest::newRow("drive falls silent") << "silent" << 2410;
    }
    void fullReadEndsEarly()
    {
        QFETCH(QString, event);
        LinkRig r;
        r.com->TimerTest().setInterval(2);
        r.com->TimerTest().setCallback([&] { r.com->TimerTest().setEnabled(false), r.com->cmdStop(); });
        r.line.onFrame = [&](int cmd) {
            if (cmd == 2410 && event == "stop")
                r.com->TimerTest().setEnabled(true);
            if (cmd == 2403 && event == "quit")
                r.clock.setQuitting();
            if (cmd == 2403 && event == "silent")
                r.drive.faults().silent = true;
        };
        r.com->Connect();
        QTEST(r.polls().last(), "lastPoll");
        QCOMPARE(r.dialogs.texts(), event == "silent" ? QStringList{"Error"} : QStringList());
        QVERIFY(!r.com->timerReceive().isEnabled());
        QCOMPARE(r.window.statusText.value(1), event == "quit" ? kOnline : kOffline);
        QCOMPARE(r.state.table.value(2410).toText(), event == "stop" ? QString(r.drive.model().valueText(2410)) : "");
        const qsizetype sent = r.port.written().size();
        r.clock.advance(5);
        if (event != "stop")
            r.com->cmdConnect();
        QCOMPARE(r.port.written().size(), sent);
        if (event != "silent")
            return;
        r.drive.faults().silent = false;
        r.line.onFrame = nullptr;
        r.com->cmdStop();
        r.com->cmdConnect();
        QVERIFY(r.state.paramsLoaded && r.com->timerReceive().isEnabled());
    }

    // Off unless asked for; the setting's switch is used by the session on the line.
    void wireTraceIsSwitchedBySettingOrEnvironment()
    {
        QStandardPaths::setTestModeEnabled(true);
        MemorySettingsStore settings;
        qunsetenv(kTraceEnvironment);
        QVERIFY(!WireTrace::enabled(settings));
        qputenv(kTraceEnvironment, "1");
        QVERIFY(WireTrace::enabled(settings) && WireTrace::defaultPath().endsWith("/kinetra/wire-trace.log"));
        qunsetenv(kTraceEnvironment);
    }
};

QTEST_GUILESS_MAIN(TestConnection)
#include "test_connection.moc"
