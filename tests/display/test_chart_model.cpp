// The diagnosis chart's samples and segments, on a chart that records its lines.
#include "display_rig.h"

#include <QLocale>
#include <QTest>

using namespace kinetra;
using namespace kinetra::test;

namespace {

constexpr double kZero = 1395 - 100;
using Line = RecordingChart::Line;

const RecordingChart& chart(const DisplayRig& r)
{
    return r.extra.recordingChart;
}

} // namespace

class TestChartModel : public QObject {
    Q_OBJECT
private slots:
    void pwmIsItsDistanceFromTheMiddle_data()
    {
        QTest::addColumn<int>("raw");
        QTest::addColumn<double>("lastPwm");
        QTest::newRow("127") << 127 << 0.0;
        QTest::newRow("100") << 100 << 108.0;
        QTest::newRow("154") << 154 << 108.0;
        QTest::newRow("0") << 0 << 508.0;
    }
    void pwmIsItsDistanceFromTheMiddle()
    {
        QFETCH(int, raw);
        QFETCH(double, lastPwm);
        DisplayRig r;
        r.show(raw, 2183);
        QCOMPARE(r.drive.chart().lastPwm(), lastPwm);
    }

    // The current reaches the chart as display text with a comma, whatever the system's locale.
    void currentReadsTheCommaEverywhere_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany);
        QTest::newRow("English") << QLocale(QLocale::English, QLocale::UnitedStates);
    }
    void currentReadsTheCommaEverywhere()
    {
        QFETCH(QLocale, locale);
        const QLocale previous;
        QLocale::setDefault(locale);
        DisplayRig r;
        r.show(123, 2182);
        QLocale::setDefault(previous);
        QCOMPARE(r.text(el::txtPara(2182)), QStringLiteral("1,23"));
        QCOMPARE(r.text(el::txtPara1(2182)), QStringLiteral("1,23"));
        QCOMPARE(r.drive.chart().lastCurrent(), 123.0);
    }

    void multiplierTakesItsDigits_data()
    {
        QTest::addColumn<QString>("multiplier");
        QTest::addColumn<bool>("drawn");
        QTest::addColumn<double>("height"); // above the zero line
        QTest::newRow("x2") << "x2" << true << 400.0;
        QTest::newRow("1") << "1" << true << 200.0;
        QTest::newRow("no digit") << "x" << false << 0.0;
        QTest::newRow("empty") << "" << false << 0.0;
    }
    void multiplierTakesItsDigits()
    {
        QFETCH(QString, multiplier);
        QFETCH(bool, drawn);
        QFETCH(double, height);
        DisplayRig r;
        r.drive.chart().setTrace(0, true, multiplier);
        r.drive.motorCurrent(QStringLiteral("2"));
        r.show(0, 2170);
        r.drive.motorCurrent(QStringLiteral("2"));
        r.show(0, 2170);
        QCOMPARE(chart(r).inked(ChartInk::Pwm).size(), 1);
        const QList<Line> current = chart(r).inked(ChartInk::Current);
        QCOMPARE(current.size(), drawn ? 1 : 0);
        if (drawn) {
            QCOMPARE(current[0].x0, 100.0);
            QCOMPARE(current[0].x1, 200.0);
            QCOMPARE(current[0].y1, kZero - height);
        }
    }

    void uncheckedTraceIsNotDrawn()
    {
        DisplayRig r;
        r.drive.chart().setTrace(1, false, QStringLiteral("1"));
        for (int i = 0; i < 3; ++i)
            r.sample(150, 100);
        QCOMPARE(chart(r).inked(ChartInk::Current).size(), 2);
        QCOMPARE(chart(r).inked(ChartInk::Pwm).size(), 0);
    }

    // Samples 1-50 add a segment each; the 51st fills the chart, and from then on every status
    // block redraws it one sample further left with the newest segment at the right edge.
    void scrollsOneSamplePerStatusBlockOnceFull()
    {
        DisplayRig r;
        for (int n = 1; n <= 50; ++n)
            r.sample(127, n);
        const ChartModel& model = r.drive.chart();
        QCOMPARE(model.chartX(), 5000.0);
        QVERIFY(!model.chartFull());
        QCOMPARE(chart(r).clears, 0);
        QCOMPARE(chart(r).inked(ChartInk::Current).size(), 49);
        const Line last = chart(r).inked(ChartInk::Current).last();
        QCOMPARE(last.x0, 4900.0);
        QCOMPARE(last.y0, kZero - 49);
        QCOMPARE(last.y1, kZero - 50);

        for (int n = 51; n <= 60; ++n) {
            r.sample(127, 10 * n);
            QCOMPARE(chart(r).clears, n - 50);
            QCOMPARE(model.chartCount(), 51);
            QCOMPARE(model.chartX(), 5000.0);
            QVERIFY(model.chartFull());
            // Grid every 100 units both ways, then the zero line.
            QCOMPARE(chart(r).inked(ChartInk::Grid).size(), 14 + 51);
            const QList<Line> zero = chart(r).inked(ChartInk::Zero);
            QCOMPARE(zero.size(), 1);
            QCOMPARE(zero[0].y0, kZero);
            // The newest segment ends at the right edge: from the previous sample to this one
            // (the first scroll shows the newest sample twice, its history holds it twice).
            const QList<Line> current = chart(r).inked(ChartInk::Current);
            const auto newest =
                std::find_if(current.begin(), current.end(), [](const Line& l) { return l.x1 == 5000.0; });
            QVERIFY(newest != current.end());
            const double previous = n == 51 ? 510 : 10 * (n - 1);
            QCOMPARE(newest->y0, kZero - previous);
            QCOMPARE(newest->y1, kZero - 10 * n);
            // The oldest shown sample moved one place left.
            QCOMPARE(current[0].x0, 0.0);
        }
        const QList<Line> current = chart(r).inked(ChartInk::Current);
        QCOMPARE(current[0].y0, kZero - 11);
    }

    void pausedRecordingKeepsItsPlace()
    {
        DisplayRig r;
        for (int n = 1; n <= 3; ++n)
            r.sample(127, 100 * n);
        r.state.chartRecording = false;
        r.sample(127, 700);
        QCOMPARE(r.drive.chart().chartX(), 300.0);
        const Line last = chart(r).inked(ChartInk::Current).last();
        QCOMPARE(last.x0, 300.0);
        QCOMPARE(last.x1, 300.0);
        QCOMPARE(last.y1, kZero - 300);
    }
};

QTEST_GUILESS_MAIN(TestChartModel)
#include "test_chart_model.moc"
