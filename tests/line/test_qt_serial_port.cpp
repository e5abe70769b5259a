// The tool's serial port on real lines: the simulator program reached as COM3 through the
// "Ports" override, a bare pseudo-terminal where the test plays the far end, devices not there.
#include "com_registration.h"
#include "drive_config.h"
#include "frame.h"
#include "ini_settings_store.h"
#include "memory_settings_store.h"
#include "numeric_text.h"
#include "pty_pair.h"
#include "qt_clock.h"
#include "qt_serial_port.h"
#include "sim_process.h"

#include <QDir>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <unistd.h>

using namespace kinetra;
using namespace kinetra::test;

namespace {

const QString kPorts = QStringLiteral("Ports");

// COM3 is a bare pseudo-terminal; the test is the drive.
struct Line {
    PtyPair pty;
    MemorySettingsStore store;
    QtSerialPort port{store};
    Line()
    {
        store.setValue(QStringLiteral("KINETRA"), QStringLiteral("ports"), QStringLiteral("com3"), pty.devicePath());
        port.setPortNumber(3);
        port.open();
    }
};

} // namespace

class TestQtSerialPort : public QObject {
    Q_OBJECT
private slots:
    void reachesTheSimulatorAsCom3()
    {
        sim::SimProcess sim;
        QVERIFY2(
            sim.start(QStringLiteral(KINETRA_DRIVE_SIM), {QStringLiteral("--device-type"), QStringLiteral("2013")}, 3),
            qPrintable(sim.output()));
        IniSettingsStore settings(sim.settingsDir());
        QtSerialPort port(settings);
        port.setPortNumber(3);
        QCOMPARE(port.deviceName(), sim.device());
        QVERIFY(port.setSettings(QStringLiteral("9600,n,8,1")));
        QVERIFY(port.open());
        QCOMPARE(port.lastOpenError(), PortOpenError::None);

        // An answer that arrives while no event loop runs is still counted and read whole.
        port.write(pollFrame(11, 2401));
        usleep(200 * 1000);
        QCOMPARE(port.bytesWaiting(), qint64(11));
        const QByteArray answer = port.readAll();
        QCOMPARE(CheckCRC(answer), CrcVerdict::Match);
        QCOMPARE(frameValue(answer, kRawChars), QStringLiteral("2013"));
        QCOMPARE(port.bytesWaiting(), qint64(0));

        // Paced at the line rate: the 57 characters of a status block come in pieces, over at
        // least 57 character times.
        int pieces = 0;
        connect(&port, &SerialPort::dataArrived, this, [&] { ++pieces; });
        QElapsedTimer elapsed;
        elapsed.start();
        port.write(pollFrame(11, 2170));
        QTRY_COMPARE_WITH_TIMEOUT(port.bytesWaiting(), qint64(57), 3000);
        QVERIFY(elapsed.elapsed() >= 57 * sim::kCharacterTime * 1000);
        QVERIFY(pieces > 1);
        QCOMPARE(CheckCRC(port.readAll()), CrcVerdict::Match);

        // Closed and opened again, the line is still up.
        port.close();
        QVERIFY(port.open());
        port.write(pollFrame(11, 2402));
        QTRY_COMPARE_WITH_TIMEOUT(port.bytesWaiting(), qint64(10), 3000);
        QCOMPARE(CheckCRC(port.readAll()), CrcVerdict::Match);

        // Ended, the simulator gives its COM number back.
        sim.process().terminate();
        QVERIFY(sim.process().waitForFinished(5000));
        QCOMPARE(sim.process().exitCode(), 0);
        QCOMPARE(settings.value(kApplicationName, kPorts, QStringLiteral("COM3")), QString());
    }

    // The answer wait asks to hear of arrivals only once the whole answer is there: one wake,
    // not one per character, and the wait ends then rather than at its deadline.
    void aWaitWakesOnceTheAnswerIsComplete()
    {
        Line line;
        QtClock clock;
        int arrivals = 0;
        connect(&line.port, &SerialPort::dataArrived, this, [&] {
            ++arrivals;
            clock.wake();
        });
        line.port.reportArrivalsFrom(20);
        line.pty.write(QByteArray(10, 'a'));
        clock.waitServing(0.08);
        QCOMPARE(arrivals, 0);
        line.pty.write(QByteArray(10, 'b'));
        const double start = clock.now();
        clock.waitServing(10.0, [&] { return arrivals > 0; });
        QVERIFY(clock.now() - start < 5);
        QCOMPARE(arrivals, 1);
        QCOMPARE(line.port.readAll(), QByteArray(10, 'a') + QByteArray(10, 'b'));
    }

    // A hang-up closes the port and says so once, also while the port waits for more
    // characters of an answer. A closed port is a silent drive: writes vanish, nothing arrives.
    void aHangUpClosesThePort_data()
    {
        QTest::addColumn<int>("awaited");
        QTest::addColumn<QByteArray>("arrived");
        QTest::newRow("idle line") << 0 << QByteArray();
        QTest::newRow("waiting for more characters") << 200 << QByteArray("abc");
    }
    void aHangUpClosesThePort()
    {
        QFETCH(int, awaited);
        QFETCH(QByteArray, arrived);
        Line line;
        QVERIFY(line.port.isOpen());
        QSignalSpy lost(&line.port, &SerialPort::lostDevice);
        line.port.reportArrivalsFrom(awaited);
        line.pty.write(arrived);
        line.pty.hangUp();
        QTRY_VERIFY_WITH_TIMEOUT(!line.port.isOpen(), 3000);
        QCOMPARE(lost.count(), 1);
        line.port.write("x");
        QCOMPARE(line.port.bytesWaiting(), qint64(0));
        QCOMPARE(line.port.readAll(), QByteArray());
    }

    void aMissingDeviceFailsToOpen_data()
    {
        QTest::addColumn<QString>("device");
        QTest::newRow("no such path") << QStringLiteral("/dev/kinetra-no-such-port");
        QTest::newRow("not ASCII") << QDir::temp().filePath(QStringLiteral("Prüfstand Ω € 日本/ttyΩ0"));
    }
    void aMissingDeviceFailsToOpen()
    {
        QFETCH(QString, device);
        MemorySettingsStore store;
        store.setValue(kApplicationName, kPorts, QStringLiteral("COM5"), device);
        QtSerialPort port(store);
        port.setPortNumber(5);
        QVERIFY(!port.open());
        QCOMPARE(port.lastOpenError(), PortOpenError::NoSuchDevice);
        port.write("x");
        QCOMPARE(port.readAll(), QByteArray());
    }

    // The simulator takes a free or stale COM number and, when it ends, leaves the user's own
    // entries as they were.
    void registrationGivesTheComNumberBack()
    {
        const QString existing = QDir::tempPath(); // a path that exists, standing for an adapter
        MemorySettingsStore store;
        const auto entry = [&](int n) { return store.value(kApplicationName, kPorts, QStringLiteral("COM%1").arg(n)); };
        store.setValue(kApplicationName, kPorts, QStringLiteral("COM1"), existing);
        store.setValue(kApplicationName, kPorts, QStringLiteral("COM2"), QStringLiteral("/dev/gone-long-ago"));
        {
            sim::ComRegistration automatic(store);
            QCOMPARE(automatic.add(0, QStringLiteral("/dev/pts/77")), 2);
            QCOMPARE(entry(2), QStringLiteral("/dev/pts/77"));
            sim::ComRegistration chosen(store);
            QCOMPARE(chosen.add(1, QStringLiteral("/dev/pts/78")), 1);
            QCOMPARE(entry(1), QStringLiteral("/dev/pts/78"));
        }
        QCOMPARE(entry(1), existing);
        QCOMPARE(entry(2), QString());
    }
};

QTEST_GUILESS_MAIN(TestQtSerialPort)
#include "test_qt_serial_port.moc"
