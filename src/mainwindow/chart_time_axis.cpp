#include "chart_time_axis.h"

#include "chart_recording.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace kinetra {

namespace {
constexpr int kTickLength = 4;
} // namespace

ChartTimeAxis::ChartTimeAxis(const ChartRecording& recording, double chartUnitsWide, double sampleUnits,
                             QWidget* parent)
    : QLabel(parent), recording_(recording), unitsWide_(chartUnitsWide), sampleUnits_(sampleUnits)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void ChartTimeAxis::setNewest(double x)
{
    newestX_ = x;
    // Nothing is painted while the diagnostics page is hidden.
    update();
}

QString ChartTimeAxis::tickText(int k) const
{
    if (newestX_ < 0)
        return {};
    const auto back = std::llround((newestX_ - k * kTickUnits) / sampleUnits_);
    if (back < 0 || back >= recording_.size())
        return {};
    const double seconds = recording_.at(recording_.size() - 1 - back).time;
    return QString::number(seconds, 'f', 1).replace(QLatin1Char('.'), QLatin1Char(','));
}

qsizetype ChartTimeAxis::samplesShown() const
{
    if (newestX_ < 0)
        return 0;
    return std::min<qsizetype>(recording_.size(), std::llround(newestX_ / sampleUnits_) + 1);
}

QSize ChartTimeAxis::minimumSizeHint() const
{
    // The tick labels, and the caption below them.
    return {0, kTickLength + 2 * fontMetrics().height()};
}

QSize ChartTimeAxis::sizeHint() const
{
    return minimumSizeHint();
}

void ChartTimeAxis::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    const QFontMetrics metrics = fontMetrics();
    const int w = width();
    for (int k = 0; k < kTicks; ++k) {
        const int x = std::min(w - 1, static_cast<int>(std::lround(k * kTickUnits * w / unitsWide_)));
        painter.drawLine(x, 0, x, kTickLength - 1);
        const QString label = tickText(k);
        if (label.isEmpty())
            continue;
        // Centred under its tick, but inside the axis at either end.
        const int textWidth = metrics.horizontalAdvance(label);
        const int left = std::clamp(x - textWidth / 2, 0, std::max(0, w - textWidth));
        painter.drawText(left, kTickLength + metrics.ascent(), label);
    }
    const int captionWidth = metrics.horizontalAdvance(text());
    painter.drawText((w - captionWidth) / 2, kTickLength + metrics.height() + metrics.ascent(), text());
}

} // namespace kinetra
