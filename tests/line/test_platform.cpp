#include "ini_settings_store.h"
#include "port_names.h"
#include "qt_clock.h"
#include "qt_serial_port.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace kinetra;

class TestPlatform : public QObject {
    Q_OBJECT
private slots:
    // One file, one key spelt as first written, whatever case the names come in.
    void settingsNamesCompareWithoutCase()
    {
        QTemporaryDir dir;
        IniSettingsStore store(dir.path());
        store.setValue(QStringLiteral("KINETRA"), QStringLiteral("System"), QStringLiteral("Language"), "2");
        store.setValue(QStringLiteral("kinetra"), QStringLiteral("SYSTEM"), QStringLiteral("language"), "3");
        QCOMPARE(store.value(QStringLiteral("Kinetra"), QStringLiteral("system"), QStringLiteral("LANGUAGE")), "3");
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("kinetra.ini")});
        QFile file(store.fileFor(kApplicationName));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray ini = file.readAll();
        QVERIFY(ini.contains("[System]") && ini.contains("Language=3"));
        QVERIFY(!ini.contains("language="));
        store.remove(kApplicationName, QStringLiteral("system"), QStringLiteral("LANGUAGE"));
        QCOMPARE(store.value(kApplicationName, QStringLiteral("System"), QStringLiteral("Language"), "d"), "d");
    }

    void serialDevicesAreNumberedInAStableOrder()
    {
        const QStringList devices{"/dev/ttyS10",  "/dev/ttyACM0", "/dev/ttyS2",
                                  "/dev/ttyUSB1", "/dev/ttyUSB0", "/dev/ttyAMA0"};
        QCOMPARE(PortNames::ordered(devices), (QStringList{"/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyACM0",
                                                           "/dev/ttyAMA0", "/dev/ttyS2", "/dev/ttyS10"}));
    }

    void lineSettingsText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::newRow("the drive's") << "9600,n,8,1" << true;
        QTest::newRow("capitals and blanks") << " 19200 , E , 7 , 2 " << true;
        QTest::newRow("missing field") << "9600,n,8" << false;
        QTest::newRow("bad parity") << "9600,x,8,1" << false;
        QTest::newRow("bad baud") << "fast,n,8,1" << false;
        QTest::newRow("bad bits") << "9600,n,9,1" << false;
        QTest::newRow("empty") << "" << false;
    }
    void lineSettingsText()
    {
        QFETCH(QString, text);
        LineSettings s;
        QTEST(parseLineSettings(text, s), "ok");
    }

    // Closing the window while a transaction waits: this wait and every later one return at once.
    void quittingEndsEveryWait()
    {
        QtClock clock;
        QTimer::singleShot(20, this, [&] { clock.setQuitting(); });
        const double start = clock.now();
        clock.waitServing(10.0);
        clock.waitServing(10.0);
        clock.waitBlocking(10.0);
        QVERIFY(clock.now() - start < 5);
    }

    // A timer without an interval never fires; a tick that waits longer than the interval is not
    // entered again from inside its own wait; an interval too large for QTimer is clamped.
    void timersFireOnlyWithAnIntervalAndNeverReenter()
    {
        QtClock clock;
        auto zero = clock.createTimer();
        int zeroTicks = 0;
        zero->setCallback([&] { ++zeroTicks; });
        zero->setInterval(0);
        zero->setEnabled(true);
        auto busy = clock.createTimer();
        int depth = 0, maxDepth = 0, ticks = 0;
        busy->setCallback([&] {
            ++ticks;
            maxDepth = std::max(maxDepth, ++depth);
            clock.waitServing(0.02);
            --depth;
        });
        busy->setInterval(1);
        busy->setEnabled(true);
        clock.waitServing(0.15);
        busy->setEnabled(false);
        QCOMPARE(zeroTicks, 0);
        QVERIFY(ticks > 1);
        QCOMPARE(maxDepth, 1);
        busy->setInterval(1LL << 40);
        QCOMPARE(busy->interval(), INT_MAX);
    }
};

QTEST_GUILESS_MAIN(TestPlatform)
#include "test_platform.moc"
