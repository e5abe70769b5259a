// The diagnostics page: chart with its time axis, trace boxes and multipliers, the recording's
// buttons, the correction bar, current values, status texts and the lamps of the inputs, the
// output and the emergency stop.
#include "chart_model.h"
#include "chart_time_axis.h"
#include "classic_units.h"
#include "diagnosis_chart.h"
#include "frm_sdi.h"
#include "frm_sdi_sizes.h"
#include "tool_texts.h"
#include "window_layout_table.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kinetra {

using namespace sizes;

QWidget* frmSDI::buildChartArea()
{
    // The chart and its time axis, one above the other and equally wide: the picture export
    // takes them together.
    auto* area = new QWidget;
    registerElement(QStringLiteral("chartArea"), 0, area, false);
    auto* stack = new QVBoxLayout(area);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);
    auto* chart = new DiagnosisChart;
    registerElement(QStringLiteral("picDiag"), 0, chart, false);
    stack->addWidget(chart);
    chartAxis_ = new ChartTimeAxis(chartRecording_, DiagnosisChart::kUnitsWide, ChartModel::kStep);
    registerElement(QStringLiteral("lblChartTime"), 0, chartAxis_, false);
    bindToolText(chartAxis_, tooltext::ChartTimeAxis);
    stack->addWidget(chartAxis_);
    return area;
}

QLayout* frmSDI::buildChartButtons()
{
    auto* row = new QHBoxLayout;
    // Checked: the user holds the chart and its recording.
    auto* pause = new QPushButton;
    registerElement(QStringLiteral("cmdChartPause"), 0, pause, false);
    pause->setCheckable(true);
    connect(pause, &QPushButton::toggled, this, [this] { cmdChartPause_Toggled(); });
    auto* csv = new QPushButton;
    registerElement(QStringLiteral("cmdChartCsv"), 0, csv, false);
    bindToolText(csv, tooltext::ChartExportCsv);
    connect(csv, &QPushButton::clicked, this, [this] { cmdChartCsv_Click(); });
    auto* png = new QPushButton;
    registerElement(QStringLiteral("cmdChartPng"), 0, png, false);
    bindToolText(png, tooltext::ChartExportPng);
    connect(png, &QPushButton::clicked, this, [this] { cmdChartPng_Click(); });
    auto* recorded = new QLabel;
    registerElement(QStringLiteral("lblChartRecorded"), 0, recorded, false);
    for (QWidget* w : {static_cast<QWidget*>(pause), static_cast<QWidget*>(csv), static_cast<QWidget*>(png),
                       static_cast<QWidget*>(recorded)})
        row->addWidget(w);
    row->addStretch(1);
    showChartTexts();
    return row;
}

void frmSDI::buildDiagnoseFrame(QGroupBox* frame)
{
    auto* columns = new QHBoxLayout(frame);

    // Left: the chart with its time axis, trace boxes, multipliers and the recording's buttons.
    auto* left = new QGridLayout;
    left->addWidget(buildChartArea(), 0, 0, 1, 4);

    const char* traces[] = {"Strom x", "PWM x"};
    for (int i = 0; i < 2; ++i) {
        auto* trace = new QCheckBox(QString::fromUtf8(traces[i]));
        registerElement(QStringLiteral("chkRead"), i, trace);
        trace->setChecked(true);
        connect(trace, &QCheckBox::toggled, this, [this, i] { chkRead_Change(i); });
        auto* multiplier = new QLineEdit(QStringLiteral("1"));
        registerElement(i == 0 ? QStringLiteral("valCurMult") : QStringLiteral("valPwmMult"), 0, multiplier, false);
        multiplier->setFixedWidth(classicUnits(this, 615));
        multiplier->setAccessibleName(trace->text());
        auto* scale = new QLabel(i == 0 ? QStringLiteral("Raster=1A") : QStringLiteral("Raster=24 Steps"));
        registerElement(i == 0 ? QStringLiteral("txtCur") : QStringLiteral("txtPwm"), 0, scale, false);
        left->addWidget(trace, 1 + i, 0);
        left->addWidget(multiplier, 1 + i, 1);
        left->addWidget(scale, 1 + i, 2);
    }
    auto* autoStop = new QCheckBox(QStringLiteral("auto"));
    registerElement(QStringLiteral("chkReadStop"), 0, autoStop);
    connect(autoStop, &QCheckBox::clicked, this, [this] { chkReadStop_Click(0); });
    left->addWidget(autoStop, 3, 0);
    left->addLayout(buildChartButtons(), 4, 0, 1, 4);
    left->setColumnStretch(3, 1);
    left->setRowStretch(5, 1);
    columns->addLayout(left);
    columns->addSpacing(12);

    // Middle: the correction bar, growing upward from the bottom of its well.
    auto* middle = new QVBoxLayout;
    auto* correction = new QLabel;
    registerElement(QStringLiteral("lblObject"), 5, correction);
    setLabelText(correction, QString::fromUtf8(objectLabels()[5]));
    middle->addWidget(correction, 0, Qt::AlignHCenter);
    auto* well = new QFrame;
    well->setObjectName(QStringLiteral("corrWell"));
    well->setFrameShape(QFrame::StyledPanel);
    well->setFixedSize(classicUnits(this, kCorrWellWidth), classicUnits(this, kCorrWellHeight));
    auto* bar = new QFrame(well);
    registerElement(QStringLiteral("picCorr"), 0, bar, false);
    bar->setAutoFillBackground(true);
    QPalette barPalette = bar->palette();
    barPalette.setColor(QPalette::Window, QColor(0x1d, 0x4f, 0x91));
    bar->setPalette(barPalette);
    bar->setGeometry(3, well->height(), well->width() - 6, 0);
    middle->addWidget(well, 0, Qt::AlignHCenter);
    auto* corrBox = new QLineEdit;
    registerElement(QStringLiteral("txtCorr"), 0, corrBox, false);
    corrBox->setReadOnly(true);
    corrBox->setAlignment(Qt::AlignRight);
    corrBox->setFixedWidth(classicUnits(this, 800));
    corrBox->setAccessibleName(correction->text());
    middle->addWidget(corrBox, 0, Qt::AlignHCenter);
    middle->addStretch(1);
    columns->addLayout(middle);
    columns->addSpacing(12);

    // Right: current values, status texts and the lamps of inputs, output and emergency stop.
    auto* right = new QGridLayout;
    int row = 0;
    auto* current = new QLabel;
    registerElement(QStringLiteral("lblObject"), 3, current);
    setLabelText(current, QString::fromUtf8(objectLabels()[3]));
    QFont bold = current->font();
    bold.setBold(true);
    current->setFont(bold);
    right->addWidget(current, row++, 0, 1, 2);
    struct Box {
        const char* array;
        int index;
        const char* labelArray;
        const char* label;
    };
    const Box boxes[] = {{"txtPara1", 2182, "lblPara", "Aktuell"},
                         {"txtPara", 2184, "lblPara", "Spitze"},
                         {"txtPara1", 2180, "lblPara1", "Status"},
                         {"txtPara", 0, nullptr, nullptr}};
    for (const Box& b : boxes) {
        auto* edit = new QLineEdit;
        edit->setReadOnly(true);
        registerElement(QString::fromLatin1(b.array), b.index, edit);
        if (b.label) {
            edit->setFixedWidth(classicUnits(this, kBoxWidth));
            edit->setAlignment(Qt::AlignRight);
            auto* label = new QLabel;
            registerElement(QString::fromLatin1(b.labelArray), b.index, label);
            label->setBuddy(edit);
            setLabelText(label, QString::fromUtf8(b.label));
            right->addWidget(edit, row, 0);
            right->addWidget(label, row++, 1);
        } else {
            edit->setMinimumWidth(classicUnits(this, 2 * kBoxWidth));
            edit->setAccessibleName(QStringLiteral("Status"));
            right->addWidget(edit, row++, 0, 1, 2);
        }
    }
    row++;
    const char* lines[] = {"In 1", "In 2", "In 3", "Out"};
    for (int k = 0; k < 5; ++k) {
        right->addWidget(makeLamp(k), row, 0, Qt::AlignRight);
        auto* caption = new QLabel;
        if (k < 4)
            registerElement(QStringLiteral("lblEA"), k, caption);
        else
            registerElement(QStringLiteral("lblObject"), 6, caption);
        setLabelText(caption, k < 4 ? QString::fromLatin1(lines[k]) : QString::fromUtf8(objectLabels()[6]));
        right->addWidget(caption, row++, 1);
    }
    right->setRowStretch(row, 1);
    columns->addLayout(right);
    columns->addStretch(1);
}

} // namespace kinetra
