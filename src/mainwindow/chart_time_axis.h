#pragma once

#include <QLabel>

namespace kinetra {

class ChartRecording;

// The time axis under the diagnosis chart, as wide as the chart. Every tenth grid line carries
// the time of the sample drawn there, in seconds since the recording began: the chart steps one
// grid line per sample, so the sample j places left of the newest one is the recording's j-th
// from its end. The label's text is the axis caption, drawn in the middle below the ticks.
class ChartTimeAxis : public QLabel {
    Q_OBJECT
public:
    // A tick every this many window units of the chart (5000 wide): six ticks, 0 to 5000.
    static constexpr double kTickUnits = 1000;
    static constexpr int kTicks = 6;

    ChartTimeAxis(const ChartRecording& recording, double chartUnitsWide, double sampleUnits,
                  QWidget* parent = nullptr);

    // The newest sample now stands at `x` window units of the chart.
    void setNewest(double x);
    // The text under tick `k` (0 at the left edge): the time of the sample there with one
    // decimal and the window's decimal comma; "" where no sample stands.
    QString tickText(int k) const;
    // How many recorded samples the chart shows.
    qsizetype samplesShown() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const ChartRecording& recording_;
    const double unitsWide_;
    const double sampleUnits_;
    // No sample yet.
    double newestX_ = -1;
};

} // namespace kinetra
