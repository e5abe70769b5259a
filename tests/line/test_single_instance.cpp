#include "single_instance.h"

#include <QFile>
#include <QLocalServer>
#include <QSignalSpy>
#include <QTest>
#include <QUuid>

using namespace kinetra;

namespace {
// A socket name of this test's own, so that a running program is never disturbed.
QString uniqueName()
{
    return QStringLiteral("kinetra-test-") + QUuid::createUuid().toString(QUuid::Id128);
}
} // namespace

class TestSingleInstance : public QObject {
    Q_OBJECT
private slots:
    // Every later start is turned away and asks the first to come to the front; another name
    // is not; a socket file left by a crashed run does not block the start.
    void laterStartsAskTheFirstToComeToTheFront_data()
    {
        QTest::addColumn<bool>("crashedRunLeftItsSocket");
        QTest::newRow("clean start") << false;
        QTest::newRow("after a crash") << true;
    }
    void laterStartsAskTheFirstToComeToTheFront()
    {
        QFETCH(bool, crashedRunLeftItsSocket);
        const QString name = uniqueName();
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
        QVERIFY(activated.wait(2000));
        SingleInstance third(name);
        QVERIFY(!third.claim());
        QTRY_COMPARE(activated.count(), 2);
        SingleInstance other(uniqueName());
        QVERIFY(other.claim());
    }
};

QTEST_MAIN(TestSingleInstance)
#include "test_single_instance.moc"
