// The diagnosis chart's recording: the samples the chart takes, the pause button, the recorded
// length and the exports as CSV and as a picture.
#include "chart_time_axis.h"
#include "clock.h"
#include "dialogs.h"
#include "display_window.h"
#include "frm_sdi.h"
#include "shared_state.h"

#include <QAbstractButton>
#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>

namespace kinetra {

void frmSDI::chartSampled(const ChartSample& sample, double x)
{
    chartRecording_.add(clock_.now(), sample);
    if (chartAxis_)
        chartAxis_->setNewest(x);
    showChartRecorded(false);
}

void frmSDI::showChartRecorded(bool always)
{
    // The label changes once a second, not with every sample.
    const int seconds = static_cast<int>(chartRecording_.seconds());
    if (seconds == chartRecordedShown_ && !always)
        return;
    chartRecordedShown_ = seconds;
    auto* label = elementAs<QLabel>(Element{QStringLiteral("lblChartRecorded"), 0});
    if (!label)
        return;
    const QString text = state_.tool(tooltext::ChartRecorded);
    if (always) {
        // Of fixed size, wide enough for days, the label takes its new text without laying out
        // the window anew: that cost more than the whole live display, once a second.
        label->setText(text.arg(999999));
        label->setFixedSize(label->sizeHint());
    }
    label->setText(text.arg(seconds));
}

void frmSDI::showChartTexts()
{
    if (auto* pause = elementAs<QAbstractButton>(el::cmdChartPause())) {
        // The button names what a click does next.
        const QString text = state_.tool(pause->isChecked() ? tooltext::ChartContinue : tooltext::ChartPause);
        pause->setText(text);
        pause->setAccessibleName(text);
        // Wide enough for either text, so that the buttons beside it stay put on a click.
        const QFontMetrics metrics(pause->font());
        const int widest = std::max(metrics.horizontalAdvance(state_.tool(tooltext::ChartPause)),
                                    metrics.horizontalAdvance(state_.tool(tooltext::ChartContinue)));
        pause->setMinimumWidth(pause->sizeHint().width() - metrics.horizontalAdvance(text) + widest);
    }
    showChartRecorded(true);
}

void frmSDI::cmdChartPause_Toggled()
{
    // The chart model asks the button at every sample; only its text follows here.
    showChartTexts();
}

void frmSDI::exportChart(int titleEntry, const QString& fileName, const QString& filter,
                         const std::function<qsizetype(QByteArray&)>& take)
{
    if (chartRecording_.isEmpty()) {
        dialogs_.message(state_.tool(tooltext::ChartEmpty), kApplicationTitle, MessageIcon::Information);
        return;
    }
    if (chartFolder_.isEmpty()) {
        // The user's documents, or the home folder where there is no such folder: never the
        // program's own folder, which is the working folder.
        const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        chartFolder_ = QDir(documents).exists() ? documents : QDir::homePath();
    }
    const QString path =
        dialogs_.chooseFile(FileChoice::Save, state_.tool(titleEntry), QDir(chartFolder_).filePath(fileName), filter);
    if (path.isEmpty())
        return;
    chartFolder_ = QFileInfo(path).absolutePath();
    // The file window ran an event loop, and the live polling went on: what is written is the
    // recording as it stands now, taken in one go. A failure leaves an older file as it was.
    QByteArray content;
    const qsizetype samples = take(content);
    QSaveFile file(path);
    const bool written =
        !content.isEmpty() && file.open(QIODevice::WriteOnly) && file.write(content) == content.size() && file.commit();
    if (!written) {
        dialogs_.message(state_.tool(tooltext::ChartNotWritten).arg(QDir::toNativeSeparators(path)), kApplicationTitle,
                         MessageIcon::Warning);
        return;
    }
    dialogs_.message(state_.tool(tooltext::ChartExported).arg(samples).arg(QDir::toNativeSeparators(path)),
                     kApplicationTitle, MessageIcon::Information);
}

void frmSDI::cmdChartCsv_Click()
{
    exportChart(tooltext::ChartExportCsv, QStringLiteral("chart.csv"), QStringLiteral("CSV (*.csv)"),
                [this](QByteArray& content) {
                    content = chartCsv(chartRecording_);
                    return chartRecording_.size();
                });
}

void frmSDI::cmdChartPng_Click()
{
    exportChart(tooltext::ChartExportPng, QStringLiteral("chart.png"), QStringLiteral("PNG (*.png)"),
                [this](QByteArray& content) {
                    // The chart with its time axis, as the page shows it now.
                    QBuffer buffer(&content);
                    buffer.open(QIODevice::WriteOnly);
                    if (QWidget* area = element(QStringLiteral("chartArea")))
                        area->grab().save(&buffer, "PNG");
                    return chartAxis_ ? chartAxis_->samplesShown() : qsizetype(0);
                });
}

} // namespace kinetra
