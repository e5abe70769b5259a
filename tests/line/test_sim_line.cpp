// The simulator program on a real pseudo-terminal, reached through the tool's own serial port
// and its "Ports" override, as a technician's tool would reach it.

#include "com_registration.h"
#include "drive_config.h"
#include "frame.h"
#include "ini_settings_store.h"
#include "memory_settings_store.h"
#include "numeric_text.h"
#include "qt_serial_port.h"
#include "sim_on_pty.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace kinetra;
using namespace kinetra::test;

namespace {

const QString kPorts = QStringLiteral("Ports");

// Collects what arrives on the tool's port, with the time each piece came.
struct Receiver {
    explicit Receiver(QtSerialPort& p) : port(p) {}
    QtSerialPort& port;
    QElapsedTimer clock;
    QByteArray bytes;
    qint64 firstMs = -1;
    qint64 lastMs = -1;

    bool exchange(const QByteArray& frame, int expected, int timeoutMs = 3000)
    {
        bytes.clear();
        firstMs = lastMs = -1;
        port.readAll();
        clock.start();
        port.write(frame);
        QObject guard;
        QObject::connect(&port, &SerialPort::dataArrived, &guard, [this] { collect(); });
        while (bytes.size() < expected && clock.elapsed() < timeoutMs) {
            QTest::qWait(1);
            collect();
        }
        return bytes.size() >= expected;
    }
    void collect()
    {
        const QByteArray more = port.readAll();
        if (more.isEmpty())
            return;
        if (firstMs < 0)
            firstMs = clock.elapsed();
        lastMs = clock.elapsed();
        bytes += more;
    }
};

} // namespace

class TestSimLine : public QObject {
    Q_OBJECT
private slots:
    void theToolReachesTheSimulatorAsCom3()
    {
        SimOnPty sim;
        QVERIFY2(sim.start({QStringLiteral("--device-type"), QStringLiteral("2013")}, 3), qPrintable(sim.output()));
        IniSettingsStore settings(sim.settingsDir());
        QCOMPARE(settings.value(kApplicationName, kPorts, QStringLiteral("COM3")), sim.device());

        QtSerialPort port(settings);
        port.setPortNumber(3);
        QCOMPARE(port.deviceName(), sim.device());
        QVERIFY(port.setSettings(QStringLiteral("9600,n,8,1")));
        QVERIFY(port.open());

        Receiver rx{port};
        QVERIFY(rx.exchange(pollFrame(11, 2000), 8));
        QCOMPARE(CheckCRC(rx.bytes), CrcVerdict::Match);
        QCOMPARE(CheckComand(rx.bytes), QByteArray("2000"));
        QVERIFY(rx.exchange(pollFrame(11, 2401), 11));
        QCOMPARE(CheckCRC(rx.bytes), CrcVerdict::Match);
        QCOMPARE(frameValue(rx.bytes, kRawChars), QStringLiteral("2013"));

        // Paced at the line rate: the 57 characters of a status block take at least 57
        // character times, and they come in pieces, not at once.
        QVERIFY(rx.exchange(pollFrame(11, 2170), 57));
        QCOMPARE(rx.bytes.size(), 57);
        QCOMPARE(CheckCRC(rx.bytes), CrcVerdict::Match);
        const double minimumMs = 57 * sim::kCharacterTime * 1000;
        QVERIFY2(rx.lastMs >= minimumMs, qPrintable(QStringLiteral("arrived after %1 ms").arg(rx.lastMs)));
        QVERIFY(rx.lastMs > rx.firstMs);

        // The tool may close and open the port again; the line stays up.
        port.close();
        QVERIFY(port.open());
        QVERIFY(rx.exchange(pollFrame(11, 2402), 10));
        QCOMPARE(CheckCRC(rx.bytes), CrcVerdict::Match);

        sim.process().terminate();
        QVERIFY(sim.process().waitForFinished(5000));
        QCOMPARE(sim.process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(sim.process().exitCode(), 0);
        QCOMPARE(settings.value(kApplicationName, kPorts, QStringLiteral("COM3")), QString());
    }

    void aHangUpEndsTheToolsPort()
    {
        SimOnPty sim;
        QVERIFY2(sim.start({QStringLiteral("--hang-up-after"), QStringLiteral("1")}, 3), qPrintable(sim.output()));
        IniSettingsStore settings(sim.settingsDir());
        QtSerialPort port(settings);
        port.setPortNumber(3);
        QVERIFY(port.open());
        QSignalSpy lost(&port, &SerialPort::lostDevice);
        Receiver rx{port};
        QVERIFY(rx.exchange(pollFrame(11, 2000), 8));
        QVERIFY(!rx.exchange(pollFrame(11, 2000), 1, 500));
        QTRY_COMPARE_WITH_TIMEOUT(lost.count(), 1, 3000);
        QVERIFY(!port.isOpen());
        QTRY_COMPARE_WITH_TIMEOUT(sim.process().state(), QProcess::NotRunning, 5000);
        QCOMPARE(settings.value(kApplicationName, kPorts, QStringLiteral("COM3")), QString());
    }

    void registrationTakesAComNumberAndGivesItBack()
    {
        QTemporaryDir dir;
        const QString existing = dir.path(); // a path that exists, standing for a real adapter
        MemorySettingsStore store;
        const auto entry = [&](int n) { return store.value(kApplicationName, kPorts, QStringLiteral("COM%1").arg(n)); };
        store.setValue(kApplicationName, kPorts, QStringLiteral("COM1"), existing);
        store.setValue(kApplicationName, kPorts, QStringLiteral("COM2"), QStringLiteral("/dev/gone-long-ago"));
        {
            sim::ComRegistration automatic(store);
            // COM1 names a device that is there; COM2's entry is stale and is taken over.
            QCOMPARE(automatic.add(0, QStringLiteral("/dev/pts/77")), 2);
            QCOMPARE(entry(2), QStringLiteral("/dev/pts/77"));
            sim::ComRegistration chosen(store);
            QCOMPARE(chosen.add(1, QStringLiteral("/dev/pts/78")), 1);
            QCOMPARE(entry(1), QStringLiteral("/dev/pts/78"));
        }
        // Ended: the user's own entry is back, the stale one is gone.
        QCOMPARE(entry(1), existing);
        QCOMPARE(entry(2), QString());
    }

    void helpNamesEveryOption()
    {
        QProcess p;
        p.start(QStringLiteral(KINETRA_DRIVE_SIM), {QStringLiteral("--help")});
        QVERIFY(p.waitForFinished(5000));
        QCOMPARE(p.exitCode(), 0);
        const QString help = QString::fromLocal8Bit(p.readAllStandardOutput());
        for (const char* option :
             {"--device-type",    "--software-version", "--address",     "--latency",       "--no-pacing",
              "--seed",           "--parameter-file",   "--com",         "--settings-dir",  "--trace",
              "--silent",         "--silent-after",     "--silent-for",  "--wrong-check",   "--refuse-writes",
              "--slow",           "--garbage",          "--noise",       "--hang-up-after", "--inputs",
              "--emergency-stop", "--bus-state",        "--faults-after"})
            QVERIFY2(help.contains(QLatin1String(option)), option);

        p.start(QStringLiteral(KINETRA_DRIVE_SIM), {QStringLiteral("--com"), QStringLiteral("11")});
        QVERIFY(p.waitForFinished(5000));
        QCOMPARE(p.exitCode(), 2);
    }
};

QTEST_GUILESS_MAIN(TestSimLine)
#include "test_sim_line.moc"
