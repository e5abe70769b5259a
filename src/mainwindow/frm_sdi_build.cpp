// Builds the main window's controls from the layout tables; behaviour lives in the other files.
#include "about_window.h"
#include "classic_units.h"
#include "frm_sdi.h"
#include "picture_icons.h"
#include "window_layout_table.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace kinetra {

namespace {

// Classic sizes: entry boxes 1215 units wide, lists 1815, picture buttons 615 square.
constexpr int kBoxWidth = 1215;
constexpr int kListWidth = 1815;
constexpr int kPictureButton = 615;
// The diagnosis chart: 5000 x 1395 units.
constexpr int kChartWidth = 5000;
constexpr int kChartHeight = 1395;
// The correction bar's well: the bar grows upward from 2250 units.
constexpr int kCorrWellWidth = 450;
constexpr int kCorrWellHeight = 2250;
// A frame with more fields than this splits them over two columns.
constexpr int kRowsPerColumn = 9;

QString fromDesign(const char* text) {
    return QString::fromUtf8(text);
}

} // namespace

void frmSDI::registerElement(const QString& name, int index, QWidget* widget, bool indexed) {
    widget->setObjectName(indexed ? name + QLatin1Char('_') + QString::number(index) : name);
    elements_.insert(name + QLatin1Char('#') + QString::number(index), widget);
}

QGroupBox* frmSDI::makeFrame(const QString& name, int index, const QString& caption) {
    auto* frame = new QGroupBox(caption);
    registerElement(name, index, frame);
    return frame;
}

QAbstractButton* frmSDI::makePictureButton(const QString& name, int index, const QString& hint,
                                           const QString& icon) {
    auto* button = new QToolButton;
    const bool indexed = name == QLatin1String("cmdComand");
    registerElement(name, index, button, indexed);
    button->setIcon(pictureIcon(icon));
    const int side = classicUnits(this, kPictureButton);
    button->setFixedSize(side, side);
    button->setIconSize(QSize(side * 2 / 3, side * 2 / 3));
    button->setFocusPolicy(Qt::StrongFocus);
    setPictureHint(button, hint);
    return button;
}

QWidget* frmSDI::makeLamp(int index) {
    // A lamp is a pair of pictures at one place: ledOn lit, ledOff dark; one of them shows.
    auto* holder = new QWidget;
    auto* row = new QHBoxLayout(holder);
    row->setContentsMargins(0, 0, 0, 0);
    const int side = classicUnits(this, 240);
    for (bool lit : {true, false}) {
        auto* picture = new QLabel;
        picture->setPixmap(lampIcon(lit).pixmap(side, side));
        picture->setFixedSize(side, side);
        registerElement(lit ? QStringLiteral("ledOn") : QStringLiteral("ledOff"), index, picture);
        picture->setVisible(!lit);
        row->addWidget(picture);
    }
    return holder;
}

QWidget* frmSDI::addField(QGridLayout* grid, int row, int column, const FieldSpec& field) {
    QWidget* box = nullptr;
    if (field.kind == FieldKind::List) {
        auto* list = new QComboBox;
        list->setMinimumWidth(classicUnits(this, kListWidth));
        list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        registerElement(QStringLiteral("cmbPara"), field.cmd, list);
        box = list;
    } else {
        auto* edit = new QLineEdit;
        edit->setFixedWidth(classicUnits(this, kBoxWidth));
        edit->setAlignment(Qt::AlignRight);
        edit->setReadOnly(field.kind == FieldKind::ReadOnly);
        registerElement(QStringLiteral("txtPara"), field.cmd, edit);
        box = edit;
    }
    grid->addWidget(box, row, column * 3);
    if (field.label) {
        auto* label = new QLabel;
        registerElement(QStringLiteral("lblPara"), field.cmd, label);
        label->setBuddy(box);
        setLabelText(label, fromDesign(field.label));
        grid->addWidget(label, row, column * 3 + 1);
    }
    if (field.lamp >= 0) grid->addWidget(makeLamp(field.lamp), row, column * 3 + 2);
    return box;
}

void frmSDI::buildFrameExtras(int frameIndex, QGridLayout* grid, int& row) {
    auto labelledButton = [&](int command, int object) {
        QAbstractButton* button = makePictureButton(QStringLiteral("cmdComand"), command, QString(),
                                                    QStringLiteral("cmd%1").arg(command));
        auto* label = new QLabel;
        registerElement(QStringLiteral("lblObject"), object, label);
        label->setBuddy(button);
        setLabelText(label, fromDesign(objectLabels()[static_cast<size_t>(object)]));
        grid->addWidget(button, row, 0, Qt::AlignLeft);
        grid->addWidget(label, row, 1, 1, 2);
        ++row;
    };
    switch (frameIndex) {
    case 6: {
        auto* encoder = new QCheckBox(QStringLiteral("Messsystem intern"));
        registerElement(QStringLiteral("chkEncoder"), 0, encoder, false);
        connect(encoder, &QCheckBox::clicked, this, &frmSDI::chkEncoder_Click);
        grid->addWidget(encoder, row++, 0, 1, 3);
        break;
    }
    case 2:
        labelledButton(140, 4);
        break;
    case 8: {
        auto* bcd = new QCheckBox(QStringLiteral("BCD Start"));
        registerElement(QStringLiteral("chkBCD"), 0, bcd, false);
        grid->addWidget(bcd, row++, 0, 1, 3);
        break;
    }
    case 11:
        labelledButton(163, 0);
        labelledButton(162, 1);
        labelledButton(161, 2);
        {
            auto* progress = new QProgressBar;
            registerElement(QStringLiteral("ProgressBar1"), 0, progress, false);
            progress->setTextVisible(false);
            progress->setRange(0, 100);
            progress->setValue(0);
            grid->addWidget(progress, row++, 0, 1, 3);
        }
        break;
    case 12:
        for (int index : {0, 1}) {
            auto* button = new QPushButton(index == 0 ? QStringLiteral("Dauertest")
                                                      : QStringLiteral("Konfiguration laden"));
            registerElement(QStringLiteral("cmdComand"), index, button);
            button->setAccessibleName(button->text());
            // "Konfiguration laden" is part of the design but never offered.
            button->setVisible(index == 0);
            grid->addWidget(button, row++, 0, 1, 2, Qt::AlignLeft);
        }
        break;
    default:
        break;
    }
}

void frmSDI::fillFrame(QGridLayout* grid, int frameIndex, bool sidePanel) {
    int row = 0;
    if (!sidePanel) buildFrameExtras(frameIndex, grid, row);
    QList<const FieldSpec*> fields;
    const FrameArray array = sidePanel ? FrameArray::Main : FrameArray::Para;
    for (const FieldSpec& f : parameterFields())
        if (f.array == array && f.frame == frameIndex) fields << &f;
    const int perColumn = fields.size() > kRowsPerColumn ? static_cast<int>((fields.size() + 1) / 2)
                                                         : static_cast<int>(fields.size());
    for (int i = 0; i < fields.size(); ++i)
        addField(grid, row + (perColumn ? i % perColumn : 0), perColumn ? i / perColumn : 0, *fields[i]);
    grid->setColumnStretch(grid->columnCount(), 1);
    grid->setRowStretch(row + perColumn, 1);
}

void frmSDI::buildDiagnoseFrame(QGroupBox* frame) {
    auto* columns = new QHBoxLayout(frame);

    // Left: the chart with its trace boxes and multipliers.
    auto* left = new QGridLayout;
    auto* chart = new QFrame;
    registerElement(QStringLiteral("picDiag"), 0, chart, false);
    chart->setFrameShape(QFrame::Box);
    chart->setFixedSize(classicUnits(this, kChartWidth), classicUnits(this, kChartHeight));
    chart->setAutoFillBackground(true);
    QPalette chartPalette = chart->palette();
    chartPalette.setColor(QPalette::Window, chartPalette.color(QPalette::ToolTipBase));
    chart->setPalette(chartPalette);
    left->addWidget(chart, 0, 0, 1, 4);

    const char* traces[] = {"Strom x", "PWM x"};
    for (int i = 0; i < 2; ++i) {
        auto* trace = new QCheckBox(QString::fromUtf8(traces[i]));
        registerElement(QStringLiteral("chkRead"), i, trace);
        trace->setChecked(true);
        auto* multiplier = new QLineEdit(QStringLiteral("1"));
        registerElement(i == 0 ? QStringLiteral("valCurMult") : QStringLiteral("valPwmMult"), 0, multiplier,
                        false);
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
    left->setColumnStretch(3, 1);
    left->setRowStretch(4, 1);
    columns->addLayout(left);
    columns->addSpacing(12);

    // Middle: the correction bar, growing upward from the bottom of its well.
    auto* middle = new QVBoxLayout;
    auto* correction = new QLabel;
    registerElement(QStringLiteral("lblObject"), 5, correction);
    setLabelText(correction, fromDesign(objectLabels()[5]));
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
    setLabelText(current, fromDesign(objectLabels()[3]));
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
        setLabelText(caption, k < 4 ? QString::fromLatin1(lines[k]) : fromDesign(objectLabels()[6]));
        right->addWidget(caption, row++, 1);
    }
    right->setRowStretch(row, 1);
    columns->addLayout(right);
    columns->addStretch(1);
}

QTabWidget* frmSDI::buildTabs() {
    auto* tabs = new QTabWidget;
    registerElement(QStringLiteral("SSTab1"), 0, tabs, false);
    const auto captions = tabCaptions();
    for (int tab = 0; tab < static_cast<int>(captions.size()); ++tab) {
        auto* page = new QWidget;
        page->setObjectName(QStringLiteral("SSTab1_page_%1").arg(tab));
        auto* columns = new QHBoxLayout(page);
        QVBoxLayout* column[3] = {new QVBoxLayout, new QVBoxLayout, new QVBoxLayout};
        for (const FrameSpec& spec : tabFrames()) {
            if (spec.tab != tab) continue;
            QGroupBox* frame = makeFrame(QStringLiteral("framepara"), spec.index, fromDesign(spec.caption));
            if (spec.index == 9) {
                buildDiagnoseFrame(frame);
            } else {
                auto* grid = new QGridLayout(frame);
                fillFrame(grid, spec.index, false);
            }
            // The debug frame is part of the design; only a hidden debug box would show it.
            if (spec.index == 13) frame->setVisible(false);
            column[spec.column]->addWidget(frame);
        }
        for (QVBoxLayout* c : column) {
            if (c->count() == 0) {
                delete c;
                continue;
            }
            c->addStretch(1);
            columns->addLayout(c);
        }
        columns->addStretch(1);
        tabs->addTab(page, QString::fromUtf8(captions[static_cast<size_t>(tab)]));
    }
    return tabs;
}

QWidget* frmSDI::buildSimplePanel() {
    auto* holder = new QWidget;
    auto* layout = new QHBoxLayout(holder);
    layout->setContentsMargins(0, 0, 0, 0);
    QGroupBox* frame = makeFrame(QStringLiteral("frmMain"), 3, QString());
    auto* grid = new QGridLayout(frame);
    fillFrame(grid, 3, true);
    layout->addWidget(frame, 1);
    auto* main = makePictureButton(QStringLiteral("cmdMain"), 0, QString(), QStringLiteral("main"));
    main->setEnabled(false);
    layout->addWidget(main, 0, Qt::AlignTop);
    // The panel and its button show and hide together with the expert view.
    holder->setObjectName(QStringLiteral("simplePanel"));
    return holder;
}

QWidget* frmSDI::buildSidePanels() {
    auto* side = new QWidget;
    auto* column = new QVBoxLayout(side);
    column->setContentsMargins(0, 0, 0, 0);

    // The motion and status box: command buttons, actual and set position, status, current.
    auto* statusTab = new QFrame;
    registerElement(QStringLiteral("SSTab1"), 1, statusTab);
    auto* statusLayout = new QVBoxLayout(statusTab);
    statusLayout->setContentsMargins(0, 0, 0, 0);
    QGroupBox* status = makeFrame(QStringLiteral("frmMain"), 2, QStringLiteral("Status"));
    statusLayout->addWidget(status);
    auto* statusColumn = new QVBoxLayout(status);
    auto* buttons = new QGridLayout;
    int n = 0;
    for (const CommandButtonSpec& b : statusCommandButtons()) {
        buttons->addWidget(makePictureButton(QStringLiteral("cmdComand"), b.index, fromDesign(b.hint),
                                             QStringLiteral("cmd%1").arg(b.index)),
                           n / 5, n % 5);
        ++n;
    }
    buttons->setColumnStretch(5, 1);
    statusColumn->addLayout(buttons);
    auto* grid = new QGridLayout;
    fillFrame(grid, 2, true);
    const int next = grid->rowCount();
    auto* statusBox = new QLineEdit;
    statusBox->setReadOnly(true);
    registerElement(QStringLiteral("txtPara"), 2180, statusBox);
    statusBox->setAccessibleName(QStringLiteral("Status"));
    grid->addWidget(statusBox, next, 0, 1, 2);
    auto* currentBox = new QLineEdit;
    currentBox->setReadOnly(true);
    currentBox->setFixedWidth(classicUnits(this, kBoxWidth));
    currentBox->setAlignment(Qt::AlignRight);
    registerElement(QStringLiteral("txtPara"), 2182, currentBox);
    auto* unit = new QLabel;
    unit->setObjectName(QStringLiteral("lblUnit_2182"));
    unit->setBuddy(currentBox);
    setLabelText(unit, QStringLiteral("A"));
    grid->addWidget(currentBox, next + 1, 0);
    grid->addWidget(unit, next + 1, 1);
    auto* descr = new QLabel;
    registerElement(QStringLiteral("descrObject"), 0, descr, false);
    grid->addWidget(descr, next + 2, 0, 1, 2);
    statusColumn->addLayout(grid);
    column->addWidget(statusTab);

    for (int index : {0, 1}) {
        QGroupBox* frame = makeFrame(QStringLiteral("frmMain"), index,
                                     index == 0 ? QStringLiteral("Ein/Ausgänge")
                                                : QStringLiteral("Version/Betriebsstunden"));
        auto* frameGrid = new QGridLayout(frame);
        fillFrame(frameGrid, index, true);
        column->addWidget(frame);
    }
    column->addStretch(1);
    return side;
}

QWidget* frmSDI::buildToolRow() {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    struct Tool {
        const char* name;
        const char* hint;
        const char* icon;
    };
    const Tool tools[] = {{"cmdConnect", "Verbinden", "connect"},
                          {"cmdStop", "Kommunikation Stop", "stop"},
                          {"cmdData", "Speichern/Laden von Parametern", "data"},
                          {"cmdTool", "Information", "tool"},
                          {"cmdInfo", "Information", "info"}};
    for (const Tool& t : tools) {
        if (QLatin1String(t.name) == QLatin1String("cmdTool")) layout->addSpacing(16);
        layout->addWidget(makePictureButton(QString::fromLatin1(t.name), 0, fromDesign(t.hint),
                                            QString::fromLatin1(t.icon)),
                          0, Qt::AlignTop);
    }
    layout->addSpacing(16);
    // The tools panel opens beside the buttons, so the window keeps its height.
    layout->addWidget(buildToolPanel(), 0, Qt::AlignTop);
    layout->addStretch(1);
    return row;
}

QWidget* frmSDI::buildToolPanel() {
    auto* panel = new QFrame;
    registerElement(QStringLiteral("frameTool"), 0, panel, false);
    panel->setFrameShape(QFrame::StyledPanel);
    auto* layout = new QHBoxLayout(panel);

    auto* languages = new QGridLayout;
    const char* names[] = {"English", "Deutsch", "Italiano", "Français", "Español", "Türkçe"};
    for (int i = 0; i < 6; ++i) {
        auto* button = new QPushButton(QString::fromUtf8(names[i]));
        registerElement(QStringLiteral("cmdLanguage"), i, button);
        button->setAccessibleName(button->text());
        button->installEventFilter(this);
        languages->addWidget(button, 0, i);
    }
    layout->addLayout(languages);

    QGroupBox* decimals = makeFrame(QStringLiteral("frmMain"), 4, QStringLiteral("Dezimalpunkte"));
    auto* decimalRow = new QHBoxLayout(decimals);
    const char* options[] = {"x", "x.x", "x.xx"};
    for (int i = 0; i < 3; ++i) {
        auto* option = new QRadioButton(QString::fromLatin1(options[i]));
        registerElement(QStringLiteral("optDec"), i, option);
        connect(option, &QRadioButton::clicked, this, [this, i] { optDec_Click(i); });
        decimalRow->addWidget(option);
    }
    layout->addWidget(decimals);

    auto* access = new QGroupBox;
    registerElement(QStringLiteral("frameSecurity"), 0, access, false);
    auto* accessColumn = new QVBoxLayout(access);
    auto* debug = new QCheckBox(QStringLiteral("Debugging"));
    registerElement(QStringLiteral("chkDebug"), 0, debug, false);
    debug->setVisible(false);
    auto* expert = new QCheckBox(QStringLiteral("Expert Mode (Parameter)"));
    registerElement(QStringLiteral("Check2"), 0, expert, false);
    expert->setEnabled(false);
    connect(expert, &QCheckBox::clicked, this, &frmSDI::Check2_Click);
    auto* lock = new QCheckBox(QStringLiteral("Eingabe sperren"));
    registerElement(QStringLiteral("checkSecurity"), 0, lock, false);
    lock->setVisible(false);
    lock->setEnabled(false);
    accessColumn->addWidget(debug);
    accessColumn->addWidget(expert);
    accessColumn->addWidget(lock);
    accessColumn->setContentsMargins(6, 2, 6, 2);
    layout->addWidget(access);
    QAbstractButton* login =
        makePictureButton(QStringLiteral("cmdSecurity"), 0, QString(), QStringLiteral("info"));
    login->setVisible(false);
    layout->addWidget(login);
    layout->addStretch(1);
    panel->setVisible(false);
    return panel;
}

void frmSDI::buildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(false);
    const int widths[] = {1950, 1200, 3000, 0, 1800};
    for (int panel = 1; panel <= 5; ++panel) {
        auto* label = new QLabel;
        registerElement(QStringLiteral("StatusBar1"), panel, label);
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Raised);
        label->setMargin(1);
        const int width = widths[panel - 1];
        if (width > 0) label->setMinimumWidth(classicUnits(this, width));
        bar->addWidget(label, width > 0 ? 0 : 1);
    }
    setStatusText(1, QStringLiteral(" RS232 : OFFLINE"));
    setStatusText(2, QStringLiteral(" COM"));
}

void frmSDI::buildWindow() {
    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(buildToolRow());

    auto* body = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(buildTabs(), 1);
    left->addWidget(buildSimplePanel());
    left->addStretch(0);
    body->addLayout(left, 1);
    body->addWidget(buildSidePanels());
    layout->addLayout(body, 1);

    auto* helpRow = new QHBoxLayout;
    auto* help = new QLineEdit;
    registerElement(QStringLiteral("txtHelp"), 0, help);
    help->setReadOnly(true);
    help->setAccessibleName(QStringLiteral("Hilfe"));
    helpRow->addWidget(help, 1);
    auto* progress = new QProgressBar;
    registerElement(QStringLiteral("ProgressBar2"), 0, progress, false);
    progress->setTextVisible(false);
    progress->setValue(0);
    progress->setFixedWidth(classicUnits(this, 3000));
    helpRow->addWidget(progress);
    layout->addLayout(helpRow);

    setCentralWidget(central);
    buildStatusBar();

    splash_ = new AboutWindow(AboutWindow::Variant::Maker, this);
    splashOrven_ = new AboutWindow(AboutWindow::Variant::Distributor, this);
}

} // namespace kinetra
