#include "display_hand_over.h"
#include "parameter_catalogue.h"
#include "recording_window.h"
#include "shared_state.h"
#include "value_display.h"

#include <QTest>

using namespace kinetra;
using namespace kinetra::test;

namespace {

// Records which hand-over ran with which text.
struct RecordingHandOver : DisplayHandOver {
    QStringList calls;
    void deviceType(const QString& t) override { calls << QStringLiteral("deviceType ") + t; }
    void softwareVersion(const QString& t) override { calls << QStringLiteral("softwareVersion ") + t; }
    void operatingTime(const QString& t) override { calls << QStringLiteral("operatingTime ") + t; }
    void fieldBusState(const QString& t) override { calls << QStringLiteral("fieldBusState ") + t; }
    void positionChart(const QString& t) override { calls << QStringLiteral("positionChart ") + t; }
    void statusWord(const QString& t) override { calls << QStringLiteral("statusWord ") + t; }
    void motorCurrent(const QString& t) override { calls << QStringLiteral("motorCurrent ") + t; }
    void pwmOutput(const QString& t) override { calls << QStringLiteral("pwmOutput ") + t; }
    void ioCaption(int line, const QString& t) override { calls << QStringLiteral("ioCaption %1 %2").arg(line).arg(t); }
};

} // namespace

class TestValueDisplay : public QObject {
    Q_OBJECT
private slots:
    // What one value does to the window: the log of element operations, in order.
    void valuesGoWhereTheyAreShown_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QStringList>("log");
        QTest::addColumn<QStringList>("handOver");
        const QStringList none;
        QTest::newRow("plain box") << 2110 << "1250" << QStringList{"text txtPara#2110 = 12,50"} << none;
        QTest::newRow("mirrored box, mirror first")
            << 2105 << "7" << QStringList{"text txtPara#3105 = 7", "text txtPara#2105 = 7"} << none;
        QTest::newRow("tolerance window, mirror first")
            << 2109 << "3" << QStringList{"text txtPara#3109 = 3", "text txtPara#2109 = 3"} << none;
        QTest::newRow("debugging box") << 2190 << "-4" << QStringList{"text txtPara#2190 = -4"} << none;
        QTest::newRow("service counter") << 2440 << "12" << QStringList{"text txtPara#2440 = 12"} << none;
        QTest::newRow("peak current") << 2184 << "2" << QStringList{"text txtPara#2184 = 0,02"} << none;
        QTest::newRow("list position") << 2126 << "1" << QStringList{"select cmbPara#2126 = 1"} << none;
        QTest::newRow("list position beyond the list") << 2126 << "7" << QStringList{} << none;
        QTest::newRow("list position not a number") << 2129 << "-" << QStringList{} << none;
        QTest::newRow("input function") << 2147 << "2" << QStringList{"select cmbPara#2147 = 2"}
                                        << QStringList{"ioCaption 1 2"};
        QTest::newRow("actual position into box 2100")
            << 2170 << "-35" << QStringList{"text txtPara#2100 = -35"} << QStringList{"positionChart -35"};
        QTest::newRow("device type") << 2401 << "2013" << QStringList{} << QStringList{"deviceType 2013"};
        QTest::newRow("software version") << 2402 << "540" << QStringList{} << QStringList{"softwareVersion 540"};
        QTest::newRow("operating time") << 2429 << "125" << QStringList{} << QStringList{"operatingTime 125"};
        QTest::newRow("field-bus state") << 2411 << "4" << QStringList{} << QStringList{"fieldBusState 4"};
        QTest::newRow("status word") << 2180 << "5" << QStringList{} << QStringList{"statusWord 5"};
        QTest::newRow("motor current") << 2182 << "150" << QStringList{} << QStringList{"motorCurrent 1,50"};
        QTest::newRow("PWM output") << 2183 << "80" << QStringList{} << QStringList{"pwmOutput 80"};
        // The correction bar grows upward from 2250, 30 units a step; from 1620 steps on its top
        // stays where it is.
        QTest::newRow("correction bar empty")
            << kCorrectionBar << "0"
            << QStringList{"height picCorr#0 = 0", "top picCorr#0 = 2250", "text txtCorr#0 = 0"} << none;
        QTest::newRow("correction bar 1")
            << kCorrectionBar << "1"
            << QStringList{"height picCorr#0 = 30", "top picCorr#0 = 2220", "text txtCorr#0 = 1"} << none;
        QTest::newRow("correction bar 1619 still moves its top")
            << kCorrectionBar << "1619"
            << QStringList{"height picCorr#0 = 48570", "top picCorr#0 = -46320", "text txtCorr#0 = 1619"} << none;
        QTest::newRow("correction bar 1620 keeps its top")
            << kCorrectionBar << "1620" << QStringList{"height picCorr#0 = 48600", "text txtCorr#0 = 1620"} << none;
        QTest::newRow("2400 ignored") << 2400 << "1" << QStringList{} << none;
        QTest::newRow("2000 ignored") << 2000 << "1" << QStringList{} << none;
        QTest::newRow("2185 ignored") << 2185 << "1" << QStringList{} << none;
        QTest::newRow("power failures counter not shown") << 2425 << "9" << QStringList{} << none;
        QTest::newRow("file mirror number ignored") << 3105 << "9" << QStringList{} << none;
    }
    void valuesGoWhereTheyAreShown()
    {
        QFETCH(int, index);
        QFETCH(QString, value);
        QFETCH(QStringList, log);
        SharedState state;
        RecordingWindow window;
        window.listSize[RecordingWindow::key(el::cmbPara(2126))] = 2;
        RecordingHandOver hooks;
        ValueDisplay display(state, window);
        display.setHandOver(&hooks);
        display.showValues(value, index);
        QCOMPARE(window.log, log);
        QTEST(hooks.calls, "handOver");
    }

    void callerSeesTheDisplayText()
    {
        SharedState state;
        RecordingWindow window;
        ValueDisplay display(state, window);
        QString value = QStringLiteral("1250");
        display.showValues(value, 2110);
        QCOMPARE(value, QStringLiteral("12,50"));
        // A box that does not exist is skipped; the value still comes back formatted.
        window.missing << RecordingWindow::key(el::txtPara(2112));
        value = QStringLiteral("5");
        display.showValues(value, 2112);
        QCOMPARE(value, QStringLiteral("5"));
        QVERIFY(window.log.size() == 1);
    }

    void flankListFollowsTheTable_data()
    {
        QTest::addColumn<QString>("slot");
        QTest::addColumn<int>("selected");
        QTest::newRow("1 -> first") << "1" << 0;
        QTest::newRow("2 -> second") << "2" << 1;
        QTest::newRow("4 -> third") << "4" << 2;
        QTest::newRow("3 leaves it") << "3" << 1;
        QTest::newRow("empty leaves it") << "" << 1;
    }
    void flankListFollowsTheTable()
    {
        QFETCH(QString, slot);
        SharedState state;
        RecordingWindow window;
        window.setSelection(el::cmbPara(2125), 1);
        if (!slot.isEmpty())
            state.table.store(2125, ParameterValue::text(slot));
        ValueDisplay display(state, window);
        QString received = QStringLiteral("1"); // the received text plays no part
        display.showValues(received, 2125);
        QTEST(window.selection(el::cmbPara(2125)), "selected");
    }

    void softwareVersionSetsTheLevel_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("level");
        QTest::newRow("540") << "540" << 540;
        QTest::newRow("499") << "499" << 499;
        QTest::newRow("not a number keeps it") << "-" << 123;
        QTest::newRow("beyond 16 bits keeps it") << "70000" << 123;
    }
    void softwareVersionSetsTheLevel()
    {
        QFETCH(QString, value);
        SharedState state;
        state.firmwareLevel = 123;
        RecordingWindow window;
        ValueDisplay display(state, window);
        display.showValues(value, 2402);
        QTEST(int(state.firmwareLevel), "level");
    }
};

QTEST_GUILESS_MAIN(TestValueDisplay)
#include "test_value_display.moc"
