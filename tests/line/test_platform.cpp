#include "ini_settings_store.h"
#include "port_names.h"
#include "qt_clock.h"
#include "qt_serial_port.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace kinetra;

class TestPlatform : public QObject {
    Q_OBJECT
private slots:
    void settingsNamesCompareWithoutCase()
    {
        QTemporaryDir dir;
        IniSettingsStore store(dir.path());
        store.setValue(QStringLiteral("KINETRA"), QStringLiteral("System"), QStringLiteral("Language"),
                       QStringLiteral("2"));
        QCOMPARE(store.value(QStringLiteral("Kinetra"), QStringLiteral("system"), QStringLiteral("LANGUAGE")),
                 QStringLiteral("2"));
        store.setValue(QStringLiteral("kinetra"), QStringLiteral("SYSTEM"), QStringLiteral("language"),
                       QStringLiteral("3"));
        QCOMPARE(store.value(QStringLiteral("Kinetra"), QStringLiteral("System"), QStringLiteral("Language")),
                 QStringLiteral("3"));
        // One file, one key, spelt as first written.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("kinetra.ini")});
        QFile file(store.fileFor(kApplicationName));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray ini = file.readAll();
        QVERIFY(ini.contains("[System]"));
        QVERIFY(ini.contains("Language=3"));
        QVERIFY(!ini.contains("language="));
        store.remove(kApplicationName, QStringLiteral("system"), QStringLiteral("LANGUAGE"));
        QCOMPARE(
            store.value(kApplicationName, QStringLiteral("System"), QStringLiteral("Language"), QStringLiteral("d")),
            QStringLiteral("d"));
    }

    void garbageInTheSettingsFileGivesDefaults()
    {
        QTemporaryDir dir;
        IniSettingsStore store(dir.path());
        QFile file(store.fileFor(kApplicationName));
        QVERIFY(file.open(QIODevice::WriteOnly));
        const char garbage[] = "\x00\xff[[[System\n=\n==Language\n\x01\x02";
        file.write(garbage, sizeof garbage - 1);
        file.close();
        QCOMPARE(
            store.value(kApplicationName, QStringLiteral("System"), QStringLiteral("Language"), QStringLiteral("1")),
            QStringLiteral("1"));
        store.setValue(kApplicationName, QStringLiteral("System"), QStringLiteral("Language"), QStringLiteral("4"));
        QCOMPARE(store.value(kApplicationName, QStringLiteral("System"), QStringLiteral("Language")),
                 QStringLiteral("4"));
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

    void servingWaitEndsAtItsDeadlineOrCondition()
    {
        QtClock clock;
        const double start = clock.now();
        clock.waitServing(0.05);
        QVERIFY(clock.now() - start >= 0.05);

        bool flag = false;
        QTimer::singleShot(20, this, [&] {
            flag = true;
            clock.wake();
        });
        QElapsedTimer t;
        t.start();
        clock.waitServing(10.0, [&] { return flag; });
        QVERIFY(flag);
        QVERIFY(t.elapsed() < 5000);
    }

    void quittingEndsEveryWait()
    {
        QtClock clock;
        QTimer::singleShot(20, this, [&] { clock.setQuitting(); });
        QElapsedTimer t;
        t.start();
        clock.waitServing(10.0);
        QVERIFY(t.elapsed() < 5000);
        clock.waitServing(10.0);
        clock.waitBlocking(10.0);
        QVERIFY(t.elapsed() < 5000);
    }

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
            clock.waitServing(0.02); // a transaction's wait inside the tick
            --depth;
        });
        busy->setInterval(1);
        busy->setEnabled(true);
        clock.waitServing(0.2);
        busy->setEnabled(false);
        QCOMPARE(zeroTicks, 0);
        QVERIFY(ticks > 1);
        QCOMPARE(maxDepth, 1);

        busy->setInterval(1LL << 40); // clamped, not wrapped
        QCOMPARE(busy->interval(), INT_MAX);
    }
};

QTEST_GUILESS_MAIN(TestPlatform)
#include "test_platform.moc"
