#pragma once

#include "display_window.h"
#include "frm_sdi_sizes.h"

#include <QImage>
#include <QWidget>

#include <memory>
#include <optional>

class QPainter;

namespace kinetra {

// The diagnosis chart picDiag: lines in window units (5000 x 1395) drawn at once onto a backing
// image the size of the widget, so a sample costs one short line per trace and a repaint of
// the few pixels it touched, however fast the samples come. The background is the system's
// tooltip colour.
class DiagnosisChart : public QWidget, public ChartSurface {
    Q_OBJECT
public:
    static constexpr double kUnitsWide = sizes::kChartWidth;
    static constexpr double kUnitsHigh = sizes::kChartHeight;

    explicit DiagnosisChart(QWidget* parent = nullptr);
    ~DiagnosisChart() override;

    // ChartSurface
    double chartWidth() const override { return kUnitsWide; }
    double chartHeight() const override { return kUnitsHigh; }
    void drawLine(double x0, double y0, double x1, double y1, ChartInk ink) override;
    void clear() override;

    // What is drawn so far, in device pixels, and where a point in window units lands on it.
    const QImage& backingImage() const;
    QPoint pixelOf(double x, double y) const;
    QColor inkColour(ChartInk ink) const;
    QColor background() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // A backing image the widget's size in device pixels, keeping what was drawn.
    void ensureBacking();
    // Device pixels per window unit, across and down.
    double scaleX() const;
    double scaleY() const;
    // The painter on the backing image, opened on demand and kept for the lines that follow.
    QPainter* painter();
    void endPainting() const;

    QImage backing_;
    mutable std::unique_ptr<QPainter> painter_;
    std::optional<ChartInk> painterInk_;
    // clear() asked for a repaint of the whole chart; single lines need not add their own.
    bool wholeUpdatePending_ = false;
};

} // namespace kinetra
