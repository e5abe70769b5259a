// The diagnosis chart's recording: its ring and CSV form, and on the real window with live polling:
// the rows, the pause, an export clicked inside a poll's answer, files that cannot be written.
#include "../display/diagnose_window_rig.h"
#include "diagnosis_chart.h"
#include "input_inside_answer.h"

#include <QFile>
#include <QImage>

using namespace kinetra;
using namespace kinetra::test;

namespace {

const QByteArray kHeader = "time,position,current,pwm,status\r\n";

// The lines of a file, each ended by CR LF.
QStringList csvLines(const QString& path)
{
    QFile f(path);
    const QByteArray all = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    if (!all.endsWith("\r\n") || all.count('\n') != all.count("\r\n"))
        return {QStringLiteral("<not CR LF>")};
    return QString::fromUtf8(all.chopped(2)).split(QStringLiteral("\r\n"));
}

// The English window on the diagnostics page, its drive standing at -12345 raw units.
struct ChartRig : DiagnoseWindowRig {
    ChartRig() : DiagnoseWindowRig(paced(540, {{2100, -12345}}), 0) { tabs()->setCurrentIndex(4); }
    QAbstractButton* button(const QString& name) const { return find<QAbstractButton>(name); }
    const ChartRecording& recording() const { return window->chartRecording(); }
    QString file(const QString& name) const { return folder.filePath(name); }
    DiagnosisChart* chart() const { return find<DiagnosisChart>(QStringLiteral("picDiag")); }
};

QString exported(qsizetype samples, const QString& path)
{
    return QStringLiteral("%1 samples written to %2.").arg(samples).arg(path);
}

} // namespace

class TestChartRecording : public QObject {
    Q_OBJECT
private slots:
    // Samples every quarter second into a ring of three: the newest three stay, oldest first,
    // their times counted from the very first sample, each position written as it was shown
    // (19 digits are more than a sample keeps).
    void theRingKeepsTheNewestAndExportsThemAll_data()
    {
        QTest::addColumn<int>("added");
        for (int n : {0, 2, 3, 4, 7})
            QTest::addRow("%d samples", n) << n;
    }
    void theRingKeepsTheNewestAndExportsThemAll()
    {
        QFETCH(int, added);
        const char* shown[][2] = {{"1,23", "1.23"},
                                  {"-0,05", "-0.05"},
                                  {" -0.5 ", "-0.5"},
                                  {"1e3", ""},
                                  {"1234567890123456789", ""},
                                  {"5,", ""},
                                  {"12345678901234567,8", "12345678901234567.8"}};
        ChartRecording ring(3);
        for (int i = 0; i < added; ++i)
            ring.add(10 + 0.25 * i, {0, shownNumber(QString::fromLatin1(shown[i][0])), {}, {i, 0}, quint32(i)});
        const int kept = std::min(added, 3);
        QCOMPARE(ring.size(), kept);
        QCOMPARE(ring.seconds(), kept ? 0.25 * (kept - 1) : 0.0);
        QByteArray rows = kHeader;
        for (int i = added - kept; i < added; ++i)
            rows += QByteArray::number(0.25 * i, 'f', 3) + ',' + shown[i][1] + ",," + QByteArray::number(i) + ',' +
                    QByteArray::number(i) + "\r\n";
        QCOMPARE(chartCsv(ring), rows);
    }

    // A row per status block, stamped as its answer came in, with the values the window showed
    // and the decimal places in use at that moment.
    void csvRowsFollowTheLivePolls()
    {
        ChartRig r;
        QVERIFY(r.connect());
        r.clock.advance(1);
        r.window->optDec_Click(2);
        r.clock.advance(3);
        r.dialogs.chosenFiles = {r.file("chart.csv"), r.file("chart.png")};
        r.button("cmdChartCsv")->click();
        r.button("cmdChartPng")->click();
        // The picture is the chart with its axis, showing the last 51 samples; the file has all.
        QCOMPARE(QImage(r.file("chart.png")).size(), r.find(QStringLiteral("chartArea"))->size());
        const QStringList lines = csvLines(r.file("chart.csv"));
        QCOMPARE(lines.value(0).toUtf8() + "\r\n", kHeader);
        QCOMPARE(lines.size() - 1, r.recording().size());
        QVERIFY(lines.size() > 52);
        QCOMPARE(r.dialogs.texts(),
                 QStringList({exported(lines.size() - 1, r.file("chart.csv")), exported(51, r.file("chart.png"))}));

        const QList<FakeSerialPort::Written> blocks = r.framesOf(0, protocol::kStatusBlock);
        QCOMPARE(blocks.size(), lines.size() - 1);
        for (qsizetype i = 1; i < lines.size(); ++i)
            QVERIFY(qAbs(lines[i].section(QLatin1Char(','), 0, 0).toDouble() -
                         (blocks[i - 1].answerTo - blocks[0].answerTo)) < 0.001);
        QCOMPARE(lines.value(1).section(QLatin1Char(','), 1, 1), "-12345");
        QStringList shown{r.box(2100)->text(), r.find<QLineEdit>(QStringLiteral("txtPara1"), 2182)->text(),
                          r.state.table.value(2183).toText(),
                          QString::number(quint32(r.state.table.value(2180).toInteger().value_or(-1)))};
        for (QString& value : shown)
            value.replace(QLatin1Char(','), QLatin1Char('.'));
        QCOMPARE(shown[0], "-123.45");
        QCOMPARE(lines.last().section(QLatin1Char(','), 1), shown.join(QLatin1Char(',')));
    }

    // The pause holds drawing and recording while the values go on; Continue picks up the time.
    void pauseHoldsChartAndRecordingUntilContinue()
    {
        ChartRig r;
        QVERIFY(r.connect());
        r.clock.advance(1);
        QAbstractButton* pause = r.button(QStringLiteral("cmdChartPause"));
        QTest::mouseClick(pause, Qt::LeftButton);
        QCOMPARE(pause->accessibleName(), "Continue");
        const qsizetype held = r.recording().size();
        const QImage drawn = r.chart()->backingImage().copy();
        r.clock.advance(2);
        QCOMPARE(r.recording().size(), held);
        QVERIFY(r.chart()->backingImage() == drawn);
        QVERIFY(r.state.chartRecording);

        QTest::mouseClick(pause, Qt::LeftButton);
        QCOMPARE(pause->accessibleName(), "Pause");
        r.clock.advance(0.5);
        QVERIFY(r.recording().size() > held);
        QVERIFY(r.recording().at(held).time - r.recording().at(held - 1).time > 2);
        QVERIFY(r.chart()->backingImage() != drawn);
    }

    // A click lands while an answer is owed: the file holds the recording whole, and the live
    // polling goes on with no frame over another.
    void exportClickedInsideAnAnswer_data() { addAnswerPoints(); }
    void exportClickedInsideAnAnswer()
    {
        QFETCH(AnswerPoint, point);
        ChartRig r;
        QVERIFY(r.connect());
        r.clock.advance(4);
        const QString path = r.file("chart.csv");
        r.dialogs.chosenFiles = {path};
        InputInsideAnswer inject(r.clock, r.port);
        qsizetype recorded = -1;
        inject.arm(point, [&] {
            QTest::mouseClick(r.button(QStringLiteral("cmdChartCsv")), Qt::LeftButton);
            recorded = r.recording().size();
        });
        const auto from = r.mark();
        r.clock.advance(1);
        QVERIFY(inject.heldUntilTheAnswerWasIn());
        QCOMPARE(csvLines(path).size() - 1, recorded);
        QCOMPARE(r.dialogs.texts(), {exported(recorded, path)});
        QVERIFY(r.framesOf(from, protocol::kStatusBlock).size() > 10);
        QVERIFY(r.nothingOverlapped());
    }

    void aFileThatCannotBeWrittenIsReported_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("file");
        QTest::newRow("CSV into a missing folder") << "cmdChartCsv"
                                                   << "missing/chart.csv";
        QTest::newRow("picture over a folder") << "cmdChartPng"
                                               << "folder";
    }
    void aFileThatCannotBeWrittenIsReported()
    {
        QFETCH(QString, button);
        QFETCH(QString, file);
        ChartRig r;
        QTest::mouseClick(r.button(button), Qt::LeftButton);
        QCOMPARE(r.dialogs.texts(), {"Nothing has been recorded yet."});

        QVERIFY(r.connect());
        QDir(r.folder.path()).mkdir(QStringLiteral("folder"));
        r.dialogs.chosenFiles = {r.file(file)};
        r.dialogs.shown.clear();
        QTest::mouseClick(r.button(button), Qt::LeftButton);
        QCOMPARE(r.dialogs.texts(), {r.file(file) + " could not be written."});
        QVERIFY(QFileInfo(r.file("folder")).isDir());
    }
};

QTEST_MAIN(TestChartRecording)
#include "test_chart_recording.moc"
