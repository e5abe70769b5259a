// The platform on the real clock, settings files and window system. (That input gets through
// back-to-back polls is shown by the window's session on the line.)
#include "ini_settings_store.h"
#include "port_names.h"
#include "qt_clock.h"
#include "qt_serial_port.h"
#include "single_instance.h"
#include "window_system_input.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUuid>

#include <ctime>
#include <optional>

using namespace kinetra;
using namespace kinetra::test;

namespace {

// A shown button that counts its clicks.
struct Button {
    QPushButton button{QStringLiteral("Go")};
    int clicks = 0;
    Button()
    {
        QObject::connect(&button, &QPushButton::clicked, [this] { ++clicks; });
        button.show();
        button.setFocus();
        if (!QTest::qWaitForWindowExposed(&button))
            qFatal("the button was not shown");
    }
};

} // namespace

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
        const QByteArray ini = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        QVERIFY(ini.contains("[System]") && ini.contains("Language=3") && !ini.contains("language="));
        store.remove(kApplicationName, QStringLiteral("system"), QStringLiteral("LANGUAGE"));
        QCOMPARE(store.value(kApplicationName, QStringLiteral("System"), QStringLiteral("Language"), "d"), "d");
    }

    void portNamesAndLineSettings()
    {
        const QStringList devices{"/dev/ttyS10",  "/dev/ttyACM0", "/dev/ttyS2",
                                  "/dev/ttyUSB1", "/dev/ttyUSB0", "/dev/ttyAMA0"};
        QCOMPARE(PortNames::ordered(devices), (QStringList{"/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyACM0",
                                                           "/dev/ttyAMA0", "/dev/ttyS2", "/dev/ttyS10"}));
        LineSettings s;
        QVERIFY(parseLineSettings(QStringLiteral(" 19200 , E , 7 , 2 "), s));
        QVERIFY(s.baud == 19200 && s.parity == QSerialPort::EvenParity && s.dataBits == QSerialPort::Data7 &&
                s.stopBits == QSerialPort::TwoStop);
        for (const char* bad : {"9600,n,8", "9600,x,8,1", "fast,n,8,1", "9600,n,9,1", ""})
            QVERIFY2(!parseLineSettings(QString::fromLatin1(bad), s), bad);
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
        QCOMPARE(zeroTicks, 0);
        QVERIFY(ticks > 1);
        QCOMPARE(maxDepth, 1);
        busy->setInterval(1LL << 40);
        QCOMPARE(busy->interval(), INT_MAX);
    }

    // Later starts are turned away and ask the first to come to the front, also when a crashed
    // run left its socket file behind.
    void laterStartsAskTheFirstToComeToTheFront_data()
    {
        QTest::addColumn<bool>("crashedRunLeftItsSocket");
        QTest::newRow("clean start") << false;
        QTest::newRow("after a crash") << true;
    }
    void laterStartsAskTheFirstToComeToTheFront()
    {
        QFETCH(bool, crashedRunLeftItsSocket);
        // A name of this test's own, so that a running program is never disturbed.
        const QString name = QStringLiteral("kinetra-test-") + QUuid::createUuid().toString(QUuid::Id128);
        if (crashedRunLeftItsSocket) {
            QLocalServer probe;
            QVERIFY(probe.listen(name));
            const QString path = probe.fullServerName();
            probe.close();
            QFile stale(path);
            QVERIFY(stale.open(QIODevice::WriteOnly));
        }
        SingleInstance first(name);
        QVERIFY(first.claim());
        QSignalSpy activated(&first, &SingleInstance::activationRequested);
        SingleInstance second(name);
        QVERIFY(!second.claim());
        QTRY_COMPARE(activated.count(), 1);
    }

    void inputWaitsForTheEndOfTheHold_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<bool>("held");
        QTest::newRow("a click, held") << "click" << true;
        QTest::newRow("a click, no hold") << "click" << false;
        QTest::newRow("a key, held") << "key" << true;
        QTest::newRow("an accessibility press, held") << "accessibility" << true;
    }
    void inputWaitsForTheEndOfTheHold()
    {
        QFETCH(QString, input);
        QFETCH(bool, held);
        QtClock clock;
        Button b;
        {
            std::optional<UserInputHold> hold;
            if (held)
                hold.emplace(clock);
            if (input == QLatin1String("click"))
                queueClick(&b.button);
            else if (input == QLatin1String("key"))
                queueKey(&b.button, Qt::Key_Space, QStringLiteral(" "));
            else
                b.button.animateClick();
            const std::clock_t before = std::clock();
            clock.waitServing(0.2);
            const double cpu = double(std::clock() - before) / CLOCKS_PER_SEC;
            QCOMPARE(b.clicks, held ? 0 : 1);
            QVERIFY2(cpu < 0.07, qPrintable(QStringLiteral("held input kept the wait busy: %1 s").arg(cpu)));
        }
        clock.waitServing(0.3, [&] { return b.clicks > 0; });
        QCOMPARE(b.clicks, 1);
    }

    // A transaction that waits for a silent drive lets its hold lapse: input (closing the window
    // above all) is served from then on, not after all its retries.
    void aLongHoldLapses()
    {
        QtClock clock;
        Button b;
        connect(&b.button, &QPushButton::clicked, [&] { clock.wake(); });
        const UserInputHold hold(clock);
        const double start = clock.now();
        queueClick(&b.button);
        clock.waitServing(0.2);
        QCOMPARE(b.clicks, 0);
        clock.waitServing(3.0, [&] { return b.clicks > 0; });
        QCOMPARE(b.clicks, 1);
        QVERIFY2(clock.now() - start < 1.0, qPrintable(QString::number(clock.now() - start)));
    }
};

QTEST_MAIN(TestPlatform)
#include "test_platform.moc"
