#include "diagnosis_chart.h"

#include "classic_units.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace kinetra {

namespace {

// Lines are clipped to this band around the chart before they reach the painter: a large
// multiplier makes coordinates that the painter's fixed-point arithmetic cannot take.
constexpr double kMargin = 2000;

// Liang-Barsky: the part of the segment inside [left, right] x [top, bottom]; false when none.
bool clipToBand(double& x0, double& y0, double& x1, double& y1, double left, double top, double right, double bottom)
{
    double t0 = 0, t1 = 1;
    const double dx = x1 - x0, dy = y1 - y0;
    const double p[] = {-dx, dx, -dy, dy};
    const double q[] = {x0 - left, right - x0, y0 - top, bottom - y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1)
            return false;
    }
    const double ax = x0 + t0 * dx, ay = y0 + t0 * dy;
    x1 = x0 + t1 * dx;
    y1 = y0 + t1 * dy;
    x0 = ax;
    y0 = ay;
    return true;
}

} // namespace

DiagnosisChart::DiagnosisChart(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setAccessibleName(QStringLiteral("Diagnose"));
}

DiagnosisChart::~DiagnosisChart() = default;

QSize DiagnosisChart::minimumSizeHint() const
{
    return {classicUnits(this, static_cast<int>(kUnitsWide)), classicUnits(this, static_cast<int>(kUnitsHigh))};
}

QSize DiagnosisChart::sizeHint() const
{
    // Twice the classic size reads well on today's screens; the layout may give it more width.
    return minimumSizeHint() * 2;
}

QColor DiagnosisChart::background() const
{
    return palette().color(QPalette::ToolTipBase);
}

QColor DiagnosisChart::inkColour(ChartInk ink) const
{
    switch (ink) {
    case ChartInk::Grid: return QColor(192, 192, 192);
    case ChartInk::Zero: return QColor(0, 0, 0);
    case ChartInk::Current: return QColor(255, 0, 0);
    case ChartInk::Pwm: return QColor(0, 0, 255);
    }
    return {};
}

double DiagnosisChart::scaleX() const
{
    return backing_.width() / kUnitsWide;
}

double DiagnosisChart::scaleY() const
{
    return backing_.height() / kUnitsHigh;
}

QPoint DiagnosisChart::pixelOf(double x, double y) const
{
    return {static_cast<int>(std::floor(x * scaleX())), static_cast<int>(std::floor(y * scaleY()))};
}

void DiagnosisChart::clear()
{
    ensureBacking();
    endPainting();
    backing_.fill(background());
    wholeUpdatePending_ = true;
    update();
}

QPainter* DiagnosisChart::painter()
{
    if (!painter_ && !backing_.isNull()) {
        // A scroll redraws grid and history, a few hundred lines: they share one painter,
        // which closes once control is back in the event loop.
        painter_ = std::make_unique<QPainter>(&backing_);
        painterInk_.reset();
        QMetaObject::invokeMethod(
            this, [this] { endPainting(); }, Qt::QueuedConnection);
    }
    return painter_.get();
}

void DiagnosisChart::endPainting() const
{
    painter_.reset();
}

const QImage& DiagnosisChart::backingImage() const
{
    endPainting();
    return backing_;
}

void DiagnosisChart::drawLine(double x0, double y0, double x1, double y1, ChartInk ink)
{
    // An open painter means the backing image is the widget's size: a resize ends painting.
    if (!painter_)
        ensureBacking();
    if (backing_.isNull() ||
        !clipToBand(x0, y0, x1, y1, -kMargin, -kMargin, kUnitsWide + kMargin, kUnitsHigh + kMargin))
        return;
    const QPointF a(x0 * scaleX(), y0 * scaleY());
    const QPointF b(x1 * scaleX(), y1 * scaleY());
    // One classic pixel wide (15 units), at least one device pixel.
    const int pen = std::max(1, static_cast<int>(std::lround(15 * scaleX())));
    QPainter* p = painter();
    if (!p)
        return;
    if (a.x() == b.x() || a.y() == b.y()) {
        // Grid and zero line: an upright or level line with square caps is a rectangle, and
        // filling one costs a fraction of stroking a wide pen.
        const double half = pen / 2.0;
        p->fillRect(QRectF(a, b).normalized().adjusted(-half, -half, half, half), inkColour(ink));
    } else {
        if (painterInk_ != ink) {
            p->setPen(QPen(inkColour(ink), pen, Qt::SolidLine, Qt::SquareCap));
            painterInk_ = ink;
        }
        p->drawLine(a, b);
    }
    // Only the pixels the segment touched are repainted, unless the whole chart is anyway.
    if (wholeUpdatePending_)
        return;
    const double ratio = backing_.devicePixelRatio();
    const QRectF touched = QRectF(a, b).normalized().adjusted(-pen - 1, -pen - 1, pen + 1, pen + 1);
    update(QRectF(touched.topLeft() / ratio, touched.size() / ratio).toAlignedRect());
}

void DiagnosisChart::paintEvent(QPaintEvent* event)
{
    endPainting();
    wholeUpdatePending_ = false;
    QPainter painter(this);
    if (backing_.isNull()) {
        painter.fillRect(event->rect(), background());
        return;
    }
    painter.drawImage(event->rect(), backing_,
                      QRectF(QPointF(event->rect().topLeft()) * backing_.devicePixelRatio(),
                             QSizeF(event->rect().size()) * backing_.devicePixelRatio()));
}

void DiagnosisChart::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    ensureBacking();
}

void DiagnosisChart::ensureBacking()
{
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = size() * ratio;
    if (!backing_.isNull() && backing_.size() == pixels)
        return;
    endPainting();
    QImage next(pixels, QImage::Format_RGB32);
    if (next.isNull())
        return;
    next.setDevicePixelRatio(ratio);
    next.fill(background());
    // What was drawn keeps its place in window units; new segments come out sharp.
    if (!backing_.isNull()) {
        QPainter painter(&next);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRectF(QPointF(0, 0), QSizeF(size())), backing_);
    }
    backing_ = next;
}

} // namespace kinetra
