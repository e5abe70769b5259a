// The diagnostics page on the real window: the chart's pixels, and the whole page live against
// the simulated drive (a canOPEN and a ProfiBus model) on virtual time.
#include "diagnose_window_rig.h"
#include "diagnosis_chart.h"
#include "display_rig.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

using namespace kinetra;
using namespace kinetra::test;

namespace {

int countPixels(const QImage& image, const QColor& colour)
{
    int n = 0;
    const QRgb wanted = colour.rgb();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixel(x, y) == wanted;
    return n;
}

sim::DriveConfig driveConfig(int type)
{
    sim::DriveConfig c;
    c.deviceType = type;
    c.softwareVersion = 540;
    return c;
}

// Lamps lit, by number: ledOn shown and ledOff hidden.
QList<int> litLamps(const DiagnoseWindowRig& r)
{
    QList<int> lit;
    for (int k = 0; k <= 8; ++k)
        if (!r.find(QStringLiteral("ledOn"), k)->isHidden() && r.find(QStringLiteral("ledOff"), k)->isHidden())
            lit << k;
    return lit;
}

} // namespace

class TestDiagnosePage : public QObject {
    Q_OBJECT
private slots:
    void newestSegmentOnTheBackingImage()
    {
        DiagnosisChart chart;
        chart.resize(1000, 279);
        DisplayRig r;
        r.extra.surface = &chart;
        const QImage& image = chart.backingImage();
        const auto at = [&](double x, double y) { return QColor(image.pixel(chart.pixelOf(x, y))); };
        // Values between grid lines, so each pixel below has one ink only.
        for (int n = 1; n <= 10; ++n)
            r.sample(127 + 25, n <= 8 ? 150 : 250);
        // Before the chart is full: no grid, the newest segment at samples 9 to 10.
        QCOMPARE(at(950, 1295 - 250), chart.inkColour(ChartInk::Current));
        QCOMPARE(at(950, 1295 - 100), chart.inkColour(ChartInk::Pwm));
        QCOMPARE(at(950, 100), chart.background());

        for (int n = 11; n <= 60; ++n)
            r.sample(n < 59 ? 127 : 227, n < 58 ? 150 : 350);
        // Full: grid, zero line, and the newest segment at the right edge.
        QCOMPARE(at(4950, 1295 - 350), chart.inkColour(ChartInk::Current));
        QCOMPARE(at(4950, 1295 - 400), chart.inkColour(ChartInk::Pwm));
        QCOMPARE(at(4950, 1295), chart.inkColour(ChartInk::Zero));
        QCOMPARE(at(4950, 100), chart.inkColour(ChartInk::Grid));
        QCOMPARE(at(4950, 150), chart.background());
        // The samples before it moved left, and nothing stayed of the first pass.
        QCOMPARE(at(4850, 1295 - 350), chart.inkColour(ChartInk::Current));
        QCOMPARE(at(950, 1295 - 250), chart.background());
    }

    // The whole page live against a canOPEN drive with inputs 1 and 3 on, moving, and a
    // ProfiBus drive standing with its emergency-stop circuit open.
    void thePageLive_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("model");
        QTest::addColumn<QList<int>>("lit");
        QTest::addColumn<int>("status1"); // the message on the page
        QTest::addColumn<QStringList>("panel");
        QTest::newRow("canOPEN, moving") << 2013 << "Pivora canOPEN" << QList<int>{0, 2, 3, 5, 7, 8} << 50
                                         << QStringList{"canOPEN  operate", "canOPEN : OPERATE"};
        QTest::newRow("ProfiBus, emergency stop") << 2014 << "Pivora ProfiBus" << QList<int>{3, 4, 8} << 78
                                                  << QStringList{"ProfiBus : DATA EX "};
    }
    void thePageLive()
    {
        QFETCH(int, type);
        QFETCH(QList<int>, lit);
        QFETCH(QStringList, panel);
        sim::DriveConfig config = driveConfig(type);
        config.inputs = type == 2013 ? 1 | 4 : 0;
        config.emergencyStopOpen = type != 2013;
        DiagnoseWindowRig r(config);
        QVERIFY(r.connect());
        QVERIFY(r.tabs()->isTabVisible(4));
        QTEST(r.window->text(el::txtPara(2401)), "model");
        QCOMPARE(r.window->text(el::txtPara(2402)), QStringLiteral("V5-40"));
        // A Pivora measures with its own encoder: the box is ticked and hidden.
        QVERIFY(r.extra->isChecked(el::chkEncoder()));
        QVERIFY(r.find(QStringLiteral("chkEncoder"))->isHidden());
        QVERIFY(r.find(QStringLiteral("cmdComand"), 153)->isHidden());
        if (type == 2013) {
            r.moveTo(20000, 6);
            QVERIFY(r.driveDisplay->chart().chartFull());
            const auto* chart = r.find<DiagnosisChart>(QStringLiteral("picDiag"));
            const auto pixels = [&](ChartInk ink) { return countPixels(chart->backingImage(), chart->inkColour(ink)); };
            QVERIFY(pixels(ChartInk::Current) > 100 && pixels(ChartInk::Pwm) > 100);
            // A cleared trace box, or a multiplier without a digit, leaves its trace out of every
            // later redraw.
            r.window->show();
            r.tabs()->setCurrentIndex(4);
            QTest::mouseClick(r.find<QCheckBox>(QStringLiteral("chkRead"), 1), Qt::LeftButton);
            auto* multiplier = r.find<QLineEdit>(QStringLiteral("valCurMult"));
            multiplier->selectAll();
            QTest::keyClicks(multiplier, QStringLiteral("x"));
            r.moveTo(0, 6);
            QVERIFY(pixels(ChartInk::Current) == 0 && pixels(ChartInk::Pwm) == 0);
            multiplier->selectAll();
            QTest::keyClicks(multiplier, QStringLiteral("2"));
            r.moveTo(20000, 6);
            QVERIFY(pixels(ChartInk::Current) > 100);
        } else {
            r.clock.advance(5);
        }
        QVERIFY(r.dialogs.shown.isEmpty());
        QCOMPARE(litLamps(r), lit);
        QFETCH(int, status1);
        QCOMPARE(r.window->text(el::txtPara1(2180)), r.state.message(type == 2013 ? status1 : 50));
        QCOMPARE(r.window->text(el::txtPara(2180)), r.state.message(status1));
        // The bus is up: the status word says so, or the field-bus poll does.
        auto* bar = r.find<QLabel>(QStringLiteral("StatusBar1"), 3);
        QVERIFY2(panel.contains(bar->text()), qPrintable(bar->text()));
        QCOMPARE(bar->frameShadow(), QFrame::Raised);
    }
};

QTEST_MAIN(TestDiagnosePage)
#include "test_diagnose_page.moc"
