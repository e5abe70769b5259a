#include "frame.h"
#include "memory_settings_store.h"
#include "pty_pair.h"
#include "qt_clock.h"
#include "qt_serial_port.h"

#include <QDir>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <unistd.h>

using namespace kinetra;
using namespace kinetra::test;

class TestQtSerialPort : public QObject {
    Q_OBJECT

    struct Line {
        PtyPair pty;
        MemorySettingsStore store;
        QtSerialPort port{store};
        Line()
        {
            store.setValue(QStringLiteral("KINETRA"), QStringLiteral("ports"), QStringLiteral("com3"),
                           pty.devicePath());
            port.setPortNumber(3);
        }
    };

private slots:
    void reachesAPseudoTerminalThroughThePortsOverride()
    {
        Line line;
        QVERIFY(line.pty.isValid());
        QCOMPARE(line.port.deviceName(), line.pty.devicePath());
        QVERIFY(line.port.setSettings(QStringLiteral("9600,n,8,1")));
        QVERIFY(line.port.open());
        QVERIFY(line.port.isOpen());
        QCOMPARE(line.port.lastOpenError(), PortOpenError::None);

        line.port.write(pollFrame(11, 2000));
        QCOMPARE(line.pty.read(2000), pollFrame(11, 2000));

        // Bytes that arrive while no event loop runs are still counted and read.
        const QByteArray answer = answerFrame("2000", "0");
        line.pty.write(answer);
        usleep(50 * 1000);
        QCOMPARE(line.port.bytesWaiting(), qint64(answer.size()));
        QCOMPARE(line.port.readAll(), answer);
        QCOMPARE(line.port.bytesWaiting(), qint64(0));
    }

    void aServingWaitWakesOnArrivingData()
    {
        Line line;
        QVERIFY(line.port.open());
        QtClock clock;
        connect(&line.port, &SerialPort::dataArrived, this, [&] { clock.wake(); });
        QTimer::singleShot(50, this, [&] { line.pty.write("\x06"); });
        QElapsedTimer elapsed;
        elapsed.start();
        clock.waitServing(10.0, [&] { return line.port.bytesWaiting() > 0; });
        QVERIFY2(elapsed.elapsed() < 5000, "the wait ran to its deadline instead of waking on data");
        QCOMPARE(line.port.readAll(), QByteArray("\x06"));
    }

    void anAnswerWakesTheWaitOnceWhenItIsComplete()
    {
        Line line;
        QVERIFY(line.port.open());
        int arrivals = 0;
        connect(&line.port, &SerialPort::dataArrived, this, [&] { ++arrivals; });
        line.port.reportArrivalsFrom(20);
        line.pty.write(QByteArray(10, 'a'));
        QTest::qWait(80);
        QCOMPARE(arrivals, 0);
        line.pty.write(QByteArray(10, 'b'));
        QTRY_VERIFY_WITH_TIMEOUT(arrivals > 0, 2000);
        QCOMPARE(arrivals, 1);
        line.port.reportArrivalsFrom(0);
        QCOMPARE(line.port.readAll(), QByteArray(10, 'a') + QByteArray(10, 'b'));
        // Back to reporting every character.
        line.pty.write("c");
        QTRY_COMPARE_WITH_TIMEOUT(arrivals, 2, 2000);
        QCOMPARE(line.port.readAll(), QByteArray("c"));
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
        QVERIFY(line.port.open());
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

    // A path that names no device, also one outside ASCII in a folder that is not there.
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
        store.setValue(kApplicationName, QStringLiteral("Ports"), QStringLiteral("COM5"), device);
        QtSerialPort port(store);
        port.setPortNumber(5);
        QVERIFY(!port.open());
        QVERIFY(!port.isOpen());
        QCOMPARE(port.lastOpenError(), PortOpenError::NoSuchDevice);
        port.write("x");
        QCOMPARE(port.readAll(), QByteArray());
    }
};

QTEST_GUILESS_MAIN(TestQtSerialPort)
#include "test_qt_serial_port.moc"
