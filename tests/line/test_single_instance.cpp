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
    void secondStartAsksTheFirstToComeToTheFront()
    {
        const QString name = uniqueName();
        SingleInstance first(name);
        QVERIFY(first.claim());
        QSignalSpy activated(&first, &SingleInstance::activationRequested);

        SingleInstance second(name);
        QVERIFY(!second.claim());
        QVERIFY(activated.wait(2000));
        QCOMPARE(activated.count(), 1);

        // A third start is turned away just the same; another name is not.
        SingleInstance third(name);
        QVERIFY(!third.claim());
        QTRY_COMPARE(activated.count(), 2);
        SingleInstance other(uniqueName());
        QVERIFY(other.claim());
    }

    void aSocketLeftByACrashedRunDoesNotBlockTheStart()
    {
        const QString name = uniqueName();
        // What a crashed run leaves: the socket file, with nobody listening.
        {
            QLocalServer probe;
            QVERIFY(probe.listen(name));
            const QString path = probe.fullServerName();
            probe.close();
            QFile stale(path);
            QVERIFY(stale.open(QIODevice::WriteOnly));
        }
        SingleInstance start(name);
        QVERIFY(start.claim());
        SingleInstance later(name);
        QVERIFY(!later.claim());
    }

    // Every start of the same user must arrive at the same name.
    void theUsersNameIsStable()
    {
        QCOMPARE(SingleInstance::defaultName(), SingleInstance::defaultName());
        QVERIFY(SingleInstance::defaultName().startsWith(QStringLiteral("kinetra-")));
    }
};

QTEST_MAIN(TestSingleInstance)
#include "test_single_instance.moc"
