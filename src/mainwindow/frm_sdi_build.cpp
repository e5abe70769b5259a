// Builds the main window's controls from the layout tables; behaviour lives in the other files.
#include "about_window.h"
#include "classic_units.h"
#include "drive_protocol.h"
#include "frm_sdi.h"

#include "frm_sdi_sizes.h"
#include "parameter_catalogue.h"
#include "picture_icons.h"
#include "tool_texts.h"
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

using namespace sizes;

namespace {

QString fromDesign(const char* text)
{
    return QString::fromUtf8(text);
}

} // namespace

void frmSDI::registerElement(const QString& name, int index, QWidget* widget, bool indexed)
{
    widget->setObjectName(indexed ? name + QLatin1Char('_') + QString::number(index) : name);
    elements_.insert(Element{name, index}, widget);
    // The arrays with handlers of their own are held by index too, so that no handler has to
    // find its control, or a control its index, by name.
    if (name == QLatin1String("txtPara")) {
        if (auto* box = qobject_cast<QLineEdit*>(widget)) {
            txtPara_.insert(index, box);
            roles_.insert(box, {ControlRole::EntryBox, index});
        }
    } else if (name == QLatin1String("cmbPara")) {
        if (auto* list = qobject_cast<QComboBox*>(widget)) {
            cmbPara_.insert(index, list);
            roles_.insert(list, {ControlRole::List, index});
        }
    } else if (name == QLatin1String("cmdComand")) {
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            cmdComand_.insert(index, button);
            roles_.insert(button, {ControlRole::CommandButton, index});
        }
    } else if (name == QLatin1String("cmdLanguage")) {
        roles_.insert(widget, {ControlRole::LanguageButton, index});
    }
}

QGroupBox* frmSDI::makeFrame(const QString& name, int index, const QString& caption)
{
    auto* frame = new QGroupBox(caption);
    registerElement(name, index, frame);
    return frame;
}

QAbstractButton* frmSDI::makePictureButton(const QString& name, int index, const QString& hint, const QString& icon)
{
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

QWidget* frmSDI::makeLamp(int index)
{
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

QWidget* frmSDI::addField(QGridLayout* grid, int row, int column, const FieldSpec& field)
{
    QWidget* box = nullptr;
    if (field.kind == FieldKind::List) {
        auto* list = new QComboBox;
        list->setMinimumWidth(classicUnits(this, kListWidth));
        list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        registerElement(QStringLiteral("cmbPara"), field.cmd, list);
        box = list;
    } else {
        auto* edit = new QLineEdit;
        // The model and interface ("Pivora ProfiBus") need more room than a number.
        edit->setFixedWidth(classicUnits(this, field.cmd == protocol::kDeviceType ? kListWidth : kBoxWidth));
        edit->setAlignment(Qt::AlignRight);
        edit->setReadOnly(parameterRule(commandOfBox(field.cmd)).readOnly);
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
    if (field.lamp >= 0)
        grid->addWidget(makeLamp(field.lamp), row, column * 3 + 2);
    return box;
}

void frmSDI::buildFrameExtras(int frameIndex, QGridLayout* grid, int& row)
{
    auto labelledButton = [&](int command, int object) {
        QAbstractButton* button =
            makePictureButton(QStringLiteral("cmdComand"), command, QString(), QStringLiteral("cmd%1").arg(command));
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
    case 2: labelledButton(140, 4); break;
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
            auto* button =
                new QPushButton(index == 0 ? QStringLiteral("Dauertest") : QStringLiteral("Konfiguration laden"));
            registerElement(QStringLiteral("cmdComand"), index, button);
            button->setAccessibleName(button->text());
            // "Konfiguration laden" is part of the design but never offered.
            button->setVisible(index == 0);
            grid->addWidget(button, row++, 0, 1, 2, Qt::AlignLeft);
        }
        break;
    default: break;
    }
}

void frmSDI::fillFrame(QGridLayout* grid, int frameIndex, bool sidePanel)
{
    int row = 0;
    if (!sidePanel)
        buildFrameExtras(frameIndex, grid, row);
    QList<const FieldSpec*> fields;
    const FrameArray array = sidePanel ? FrameArray::Main : FrameArray::Para;
    for (const FieldSpec& f : parameterFields())
        if (f.array == array && f.frame == frameIndex)
            fields << &f;
    const int perColumn =
        fields.size() > kRowsPerColumn ? static_cast<int>((fields.size() + 1) / 2) : static_cast<int>(fields.size());
    for (int i = 0; i < fields.size(); ++i)
        addField(grid, row + (perColumn ? i % perColumn : 0), perColumn ? i / perColumn : 0, *fields[i]);
    grid->setColumnStretch(grid->columnCount(), 1);
    grid->setRowStretch(row + perColumn, 1);
}

QTabWidget* frmSDI::buildTabs()
{
    auto* tabs = new QTabWidget;
    registerElement(QStringLiteral("SSTab1"), 0, tabs, false);
    const auto captions = tabCaptions();
    for (int tab = 0; tab < static_cast<int>(captions.size()); ++tab) {
        auto* page = new QWidget;
        page->setObjectName(QStringLiteral("SSTab1_page_%1").arg(tab));
        auto* columns = new QHBoxLayout(page);
        QVBoxLayout* column[3] = {new QVBoxLayout, new QVBoxLayout, new QVBoxLayout};
        for (const FrameSpec& tabFrame : tabFrames()) {
            if (tabFrame.tab != tab)
                continue;
            QGroupBox* frame = makeFrame(QStringLiteral("framepara"), tabFrame.index, fromDesign(tabFrame.caption));
            if (tabFrame.index == 9) {
                buildDiagnoseFrame(frame);
            } else {
                auto* grid = new QGridLayout(frame);
                fillFrame(grid, tabFrame.index, false);
            }
            // The debug frame is part of the design; only a hidden debug box would show it.
            if (tabFrame.index == 13)
                frame->setVisible(false);
            column[tabFrame.column]->addWidget(frame);
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

QWidget* frmSDI::buildSimplePanel()
{
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

QWidget* frmSDI::buildSidePanels()
{
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
        QGroupBox* frame =
            makeFrame(QStringLiteral("frmMain"), index,
                      index == 0 ? QStringLiteral("Ein/Ausgänge") : QStringLiteral("Version/Betriebsstunden"));
        auto* frameGrid = new QGridLayout(frame);
        fillFrame(frameGrid, index, true);
        column->addWidget(frame);
    }
    column->addStretch(1);
    return side;
}

QWidget* frmSDI::buildToolRow()
{
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
        if (QLatin1String(t.name) == QLatin1String("cmdTool"))
            layout->addSpacing(16);
        layout->addWidget(
            makePictureButton(QString::fromLatin1(t.name), 0, fromDesign(t.hint), QString::fromLatin1(t.icon)), 0,
            Qt::AlignTop);
    }
    layout->addSpacing(16);
    // The tools panel opens beside the buttons, so the window keeps its height.
    layout->addWidget(buildToolPanel(), 0, Qt::AlignTop);
    layout->addStretch(1);
    return row;
}

QWidget* frmSDI::buildToolPanel()
{
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
    // The fast link is the technician's choice per PC; it is not access-controlled.
    auto* fastLink = new QCheckBox(QStringLiteral("Fast link"));
    registerElement(QStringLiteral("chkFastLink"), 0, fastLink, false);
    fastLink->setAccessibleName(fastLink->text());
    fastLink->setToolTip(QStringLiteral("Each wait ends the moment the drive's answer is complete. "
                                        "A drive that has trouble with it gets the classic timing back."));
    connect(fastLink, &QCheckBox::clicked, this, &frmSDI::chkFastLink_Click);
    // The newer windows' buttons stand below it, so that the panel keeps the window's width.
    auto* windowColumn = new QVBoxLayout;
    windowColumn->addWidget(fastLink);
    // The compare window: the drive or a file against a file, and the chosen values loaded.
    auto* compare = new QPushButton;
    registerElement(QStringLiteral("cmdCompare"), 0, compare, false);
    bindToolText(compare, tooltext::CompareButton);
    connect(compare, &QPushButton::clicked, this, &frmSDI::cmdCompare_Click);
    windowColumn->addWidget(compare);
    // The port assignment: which device each COM number stands for.
    auto* ports = new QPushButton;
    registerElement(QStringLiteral("cmdPorts"), 0, ports, false);
    bindToolText(ports, tooltext::PortsButton);
    connect(ports, &QPushButton::clicked, this, &frmSDI::cmdPorts_Click);
    windowColumn->addWidget(ports);
    layout->addLayout(windowColumn);
    QAbstractButton* login = makePictureButton(QStringLiteral("cmdSecurity"), 0, QString(), QStringLiteral("info"));
    login->setVisible(false);
    layout->addWidget(login);
    layout->addStretch(1);
    panel->setVisible(false);
    return panel;
}

void frmSDI::buildStatusBar()
{
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
        if (width > 0)
            label->setMinimumWidth(classicUnits(this, width));
        bar->addWidget(label, width > 0 ? 0 : 1);
    }
    buildUnsavedMarker();
    setStatusText(1, QStringLiteral(" RS232 : OFFLINE"));
    setStatusText(2, QStringLiteral(" COM"));
}

void frmSDI::buildWindow()
{
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
