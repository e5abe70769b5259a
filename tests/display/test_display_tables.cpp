// What the live display makes of the drive's values, as known answers: status texts and lamps,
// identification and field-bus texts, and the diagnosis chart with its pixels.
#include "device_texts.h"
#include "diagnosis_chart.h"
#include "display_rig.h"
#include "status_word.h"

#include <QLocale>
#include <QTest>

#include <limits>

using namespace kinetra;
using namespace kinetra::test;

namespace {

constexpr qint64 kClosed = 8192; // emergency-stop circuit closed
constexpr double kZero = 1395 - 100;
using Line = RecordingChart::Line;

// Runs `show` under `locale` as the system's.
template <class F> void underLocale(const QLocale& locale, F show)
{
    const QLocale previous;
    QLocale::setDefault(locale);
    show();
    QLocale::setDefault(previous);
}

// A status word at a level: the text beside the tabs, the one on the diagnostics page, the lamps.
const struct {
    const char* name;
    int level;
    qint64 word;
    const char *status, *status1;
    QList<int> lit;
} kWords[] = {
    {"later state text wins", 400, 5, "msg50", "msg50", {}},
    {"error over state", 400, 4 + 64, "msg54", "msg54", {}},
    {"all errors above 530", 531, 240 + kClosed, "msg77", "msg77", {}},
    {"all errors at 530", 530, 240 + kClosed, "msg55", "msg55", {}},
    {"error after state", 400, 1 + 32, "msg53", "msg53", {}},
    {"nothing", 400, 0, "", "", {}},
    {"circuit closed, no state", 540, kClosed, "", "", {}},
    {"512 below 500", 400, 512, "", "", {1, 6}},
    {"512 from 500", 500, 512 + kClosed, "", "", {2, 7}},
    {"1024 below 500", 400, 1024, "", "", {2, 7}},
    {"1024 from 500", 500, 1024 + kClosed, "", "", {1, 6}},
    {"input 1", 500, 256 + kClosed, "", "", {0, 5}},
    {"output on both lamps", 500, 4096 + kClosed, "", "", {3, 8}},
    {"emergency stop open", 500, 4, "msg78", "msg50", {4}},
    {"emergency stop ignored below 500", 499, 0, "", "", {}},
    {"high bits still a status word", 540, qint64(0x80000000) + 4 + kClosed, "msg50", "msg50", {}},
    {"negative text as 32 bits", 540, -1, "msg77", "msg77", {0, 1, 2, 3, 5, 6, 7, 8}},
};

} // namespace

class TestDisplayTables : public QObject {
    Q_OBJECT
private slots:
    void statusWordTextsAndLamps_data()
    {
        QTest::addColumn<int>("row");
        for (int i = 0; i < int(std::size(kWords)); ++i)
            QTest::newRow(kWords[i].name) << i;
    }
    void statusWordTextsAndLamps()
    {
        QFETCH(int, row);
        const auto& [name, level, word, status, status1, lit] = kWords[row];
        DisplayRig r;
        r.state.firmwareLevel = static_cast<qint16>(level);
        r.show(word, 2180);
        QCOMPARE(r.text(el::txtPara(2180)), QString(status));
        QCOMPARE(r.text(el::txtPara1(2180)), QString(status1));
        QCOMPARE(r.litLamps(), lit);
        const auto message = statusBoxMessage(static_cast<quint32>(word), level);
        QCOMPARE(message ? QStringLiteral("msg%1").arg(*message) : QString(), QString(status));
        // Every lamp goes dark again.
        r.show(level >= 500 ? kClosed : 0, 2180);
        QCOMPARE(r.litLamps(), QList<int>{});
    }

    void statusWordOddities()
    {
        DisplayRig r;
        r.state.firmwareLevel = 540;
        QList<qint64> seen;
        r.drive.setOnStatusWord([&](qint64 word) { seen << word; });
        // The diagnostics page's message stays until its bits return.
        r.show(qint64(1) << 27, 2180);
        QCOMPARE(r.text(el::txtPara(0)), QStringLiteral("msg57"));
        r.show(0, 2180);
        QCOMPARE(r.text(el::txtPara(0)), QStringLiteral("msg57"));
        r.show((qint64(1) << 25) + (qint64(1) << 28), 2180);
        QCOMPARE(r.text(el::txtPara(0)), QStringLiteral("msg58"));
        // The endurance test gets the whole word, high bits and all.
        r.show(QStringLiteral("2147483652"), 2180);
        QCOMPARE(seen.last(), 2147483652LL);
        // What is no number clears the texts only, and reaches nobody.
        r.show(4096 + 1 + kClosed, 2180);
        seen.clear();
        for (const QString& bad : {QStringLiteral("-"), QStringLiteral("99999999999")})
            r.show(bad, 2180);
        QCOMPARE(r.text(el::txtPara(2180)), QString());
        QCOMPARE(r.litLamps(), (QList<int>{3, 8}));
        QVERIFY(seen.isEmpty());
        for (const auto& [word, hex] : {std::pair{21u, "00000015"}, {0xFFFFFFFFu, "FFFFFFFF"}, {0x007F2004u, "007F2004"}})
            QCOMPARE(statusWordHex(word), QString(hex));
    }

    // Panel 3 shows the field bus: a canOPEN drive's state from the status word (unknown states
    // and other drives leave it alone), and the state that 2411 reports.
    void fieldBusPanel()
    {
        const struct {
            int busType, cmd;
            qint64 value;
            const char* panel;
            bool raised;
        } rows[] = {
            {1, 2180, 0x00002000, "canOPEN  init", true}, {1, 2180, 0x007F2004, "canOPEN  pre operate", true},
            {1, 2180, 0x00042000, "canOPEN  stopt", true}, {1, 2180, 0x02052000, "canOPEN  operate", true},
            {1, 2180, 0x00122000, "before", true}, {2, 2180, 0x00052000, "before", true},
            {2, 2411, 4, "ProfiBus : DATA EX ", true}, {2, 2411, 5, "before", false},
            {2, 2411, 3, "ProfiBus : ERROR   ", false}, {2, 2411, 0, "ProfiBus : OFFLINE ", false},
            {2, 2411, 2, "ProfiBus : WAIT_CFG", false}, {1, 2411, 127, "canOPEN : PRE_OPERATE", true},
            {1, 2411, 5, "canOPEN : OPERATE", true}, {1, 2411, 4, "canOPEN : STOP_CAN", false},
            {1, 2411, 0, "canOPEN : INIT_CAN ", false}, {0, 2411, 4, "", false},
        };
        for (const auto& row : rows) {
            DisplayRig r;
            r.state.busType = row.busType;
            r.window.setStatusText(3, QStringLiteral("before"));
            r.window.setStatusBevel(3, Bevel::Raised);
            r.show(row.value, row.cmd);
            QCOMPARE(r.window.statusText.value(3), QString(row.panel));
            QCOMPARE(r.window.statusBevel.value(3), row.raised ? Bevel::Raised : Bevel::Sunken);
        }
    }

    // The chart stops recording at the sixth "in position" word when "auto" is ticked, and
    // records again once the drive moves; without "auto" it goes on.
    void autoStopsRecordingAtTheSixthInPositionWord()
    {
        for (const bool autoStop : {true, false}) {
            DisplayRig r;
            r.extra.checked[RecordingDisplayWindow::key(el::chkReadStop())] = autoStop;
            for (int i = 1; i <= 5; ++i)
                r.show(4, 2180);
            QVERIFY(r.state.chartRecording);
            r.show(4 + 8192, 2180);
            QCOMPARE(r.state.chartRecording, !autoStop);
            r.show(0, 2180);
            QVERIFY(r.state.chartRecording);
        }
    }

    // A Pivora checks and hides the encoder box and hides 153; an older one also gets note 79,
    // its impulse boxes disabled and its flank list hidden.
    void deviceTypeNamesTheDriveAndHidesWhatItLacks()
    {
        for (const auto& [code, hardware, busType, pivora, older] :
             {std::tuple{2013, "Pivora canOPEN", 1, true, false}, {2010, "Pivora RS232", 0, true, false},
              {2053, "Pivora canOPEN", 1, true, true},  {2054, "Pivora ProfiBus", 2, true, true},
              {2024, "before", 2, false, false},        {2002, "Corvex RS422", 0, false, false},
              {2033, "Tusk1 canOPEN", 1, false, false}, {2043, "before", 0, false, false},
              {2015, "before", 0, false, false},        {2063, "before", 0, false, false}}) {
            DisplayRig r;
            r.state.busType = 2;
            r.window.setText(el::txtPara(2401), QStringLiteral("before"));
            r.show(code, 2401);
            QVERIFY2(r.text(el::txtPara(2401)) == QString(hardware) && r.state.busType == busType, hardware);
            QCOMPARE(r.extra.isChecked(el::chkEncoder()), pivora);
            QCOMPARE(r.visible(el::chkEncoder()), !pivora);
            QCOMPARE(r.visible(el::cmdComand(153)), !pivora);
            QCOMPARE(r.text(el::txtPara(1)), older ? QStringLiteral("msg79") : QString());
            for (const int box : {2106, 3106})
                QCOMPARE(r.window.enabled.value(RecordingWindow::key(el::txtPara(box)), true), !older);
            QCOMPARE(r.visible(el::cmbPara(2125)), !older);
            QCOMPARE(r.visible(el::lblPara(2125)), !older);
        }
    }

    // The texts as the command line prints them; the version as the window shows it, with its tabs.
    void typeAndVersionTexts()
    {
        for (const auto& [type, model] : {std::pair{2000, "Corvex RS232"}, {2034, "Tusk1 ProfiBus"}, {2023, ""}, {2005, ""}})
            QCOMPARE(deviceTypeText(type), QString(model));
        for (const auto& [version, shown] : {std::pair{qint64(1200), "V12-00"}, {qint64(5), "V0-05"}, {qint64(-5), "V-0-05"},
                                             {std::numeric_limits<qint64>::min(), "V-92233720368547758-08"}})
            QCOMPARE(versionText(version), QString(shown));
        for (const auto& [version, shown, pages] : {std::tuple{499, "V4-99", false}, {500, "V5-00", true}, {7, "V0-07", false}}) {
            DisplayRig r;
            r.show(version, 2402);
            QCOMPARE(int(r.state.firmwareLevel), version);
            QCOMPARE(r.text(el::txtPara(2402)), QString(shown));
            QCOMPARE(r.extra.tabVisible.value(4, false), pages);
            QCOMPARE(r.extra.tabVisible.value(5, false), pages);
        }
    }

    // Hours and minutes, without a thousands separator, with the system's decimal point.
    void operatingTime()
    {
        const QLocale english(QLocale::English, QLocale::UnitedStates);
        const QLocale german(QLocale::German, QLocale::Germany);
        for (const auto& [locale, minutes, shown] :
             {std::tuple{english, 59, "0.59h"}, {german, 59, "0,59h"}, {english, 60, "1.00h"}, {english, 125, "2.05h"},
              {english, 0, "0.00h"}, {german, 1999999999, "33333333,19h"}}) {
            DisplayRig r;
            underLocale(locale, [&] { r.show(minutes, 2429); });
            QCOMPARE(r.text(el::txtPara(2429)), QString(shown));
        }
    }

    // PWM is its distance from the middle; the current reaches the chart as display text with a
    // comma whatever the system's locale.
    void chartSamples()
    {
        for (const auto& [raw, pwm] : {std::pair{127, 0.0}, {100, 108.0}, {154, 108.0}, {0, 508.0}}) {
            DisplayRig r;
            r.show(raw, 2183);
            QCOMPARE(r.drive.chart().lastPwm(), pwm);
        }
        for (const QLocale& locale : {QLocale(QLocale::German, QLocale::Germany), QLocale(QLocale::English)}) {
            DisplayRig r;
            underLocale(locale, [&] { r.show(123, 2182); });
            QCOMPARE(r.text(el::txtPara(2182)), QStringLiteral("1,23"));
            QCOMPARE(r.text(el::txtPara1(2182)), QStringLiteral("1,23"));
            QCOMPARE(r.drive.chart().lastCurrent(), 123.0);
        }
    }

    // A trace's multiplier takes its digits; none, or its box cleared, leaves the trace out.
    void traceMultipliersAndBoxes()
    {
        for (const auto& [multiplier, on, height] : {std::tuple{"x2", true, 400.0}, {"1", true, 200.0},
                                                     {"x", true, 0.0}, {"", true, 0.0}, {"1", false, 0.0}}) {
            DisplayRig r;
            r.drive.chart().setTrace(0, on, QString(multiplier));
            for (int i = 0; i < 2; ++i) {
                r.drive.motorCurrent(QStringLiteral("2"));
                r.show(0, 2170);
            }
            const RecordingChart& chart = r.extra.recordingChart;
            QCOMPARE(chart.inked(ChartInk::Pwm).size(), 1);
            const QList<Line> current = chart.inked(ChartInk::Current);
            QCOMPARE(current.size(), height > 0 ? 1 : 0);
            if (height > 0)
                QVERIFY(current[0].x0 == 100.0 && current[0].x1 == 200.0 && current[0].y1 == kZero - height);
        }
    }

    // The 51st sample fills the chart; then every status block redraws it one sample further left,
    // the newest segment at the right edge. A paused recording keeps its place.
    void theChartScrollsOnceFull()
    {
        DisplayRig r;
        const RecordingChart& chart = r.extra.recordingChart;
        for (int n = 1; n <= 50; ++n)
            r.sample(127, n);
        const ChartModel& model = r.drive.chart();
        QCOMPARE(model.chartX(), 5000.0);
        QVERIFY(!model.chartFull());
        QCOMPARE(chart.clears, 0);
        QCOMPARE(chart.inked(ChartInk::Current).size(), 49);
        const Line last = chart.inked(ChartInk::Current).last();
        QVERIFY(last.x0 == 4900.0 && last.y0 == kZero - 49 && last.y1 == kZero - 50);
        for (int n = 51; n <= 60; ++n) {
            r.sample(127, 10 * n);
            QCOMPARE(chart.clears, n - 50);
            QCOMPARE(model.chartCount(), 51);
            QVERIFY(model.chartFull());
            // Grid every 100 units both ways, then the zero line.
            QCOMPARE(chart.inked(ChartInk::Grid).size(), 14 + 51);
            QCOMPARE(chart.inked(ChartInk::Zero).size(), 1);
            // The newest segment ends at the right edge (the first scroll shows the newest
            // sample twice: its history holds it twice).
            const QList<Line> current = chart.inked(ChartInk::Current);
            const auto newest = std::find_if(current.begin(), current.end(), [](const Line& l) { return l.x1 == 5000.0; });
            QVERIFY(newest != current.end());
            QCOMPARE(newest->y0, kZero - (n == 51 ? 510 : 10 * (n - 1)));
            QCOMPARE(newest->y1, kZero - 10 * n);
            QCOMPARE(current[0].x0, 0.0);
        }
        QCOMPARE(chart.inked(ChartInk::Current)[0].y0, kZero - 11);

        DisplayRig paused;
        for (int n = 1; n <= 3; ++n)
            paused.sample(127, 100 * n);
        paused.state.chartRecording = false;
        paused.sample(127, 700);
        QCOMPARE(paused.drive.chart().chartX(), 300.0);
        const Line kept = paused.extra.recordingChart.inked(ChartInk::Current).last();
        QVERIFY(kept.x0 == 300.0 && kept.x1 == 300.0 && kept.y1 == kZero - 300);
    }

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
};

QTEST_MAIN(TestDisplayTables)
#include "test_display_tables.moc"
