#include "frm_compare.h"

#include "dialogs.h"
#include "drive_com.h"
#include "file_window_elements.h"
#include "frm_file_checks.h"
#include "parameter_file_layout.h"
#include "shared_state.h"
#include "tool_texts.h"

#include <QCheckBox>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace kinetra {

namespace {

enum Column { ColumnNumber, ColumnName, ColumnA, ColumnB, ColumnCount };

// A differing row stands out in weight and in colour, so that it shows without colour too.
const QColor kDifferingBackground(255, 236, 179);

// A parameter the language names with its unit; one without a label by its record ("P12").
QString labelWithUnit(const ComparisonRow& row)
{
    if (row.label.name.isEmpty())
        return QStringLiteral("P%1").arg(row.parameter);
    return row.label.unit.isEmpty() ? row.label.name : QStringLiteral("%1 [%2]").arg(row.label.name, row.label.unit);
}

} // namespace

// The elements the link addresses to the file window, while this window stands for it.
class frmCompare::Elements : public WindowElements {
public:
    explicit Elements(frmCompare& w) : w_(w) {}

    void setText(const Element& e, const QString& t) override
    {
        if (e == el::fileHelpLine())
            w_.setHelp(t);
    }
    QString text(const Element& e) const override { return e == el::fileHelpLine() ? w_.txtHelp_->text() : QString(); }
    void setValue(const Element& e, int v) override
    {
        if (e == el::fileProgressBar2())
            w_.progressBar_->setValue(std::clamp(v, w_.progressBar_->minimum(), w_.progressBar_->maximum()));
    }
    void setMaximum(const Element& e, int v) override
    {
        if (e == el::fileProgressBar2())
            w_.progressBar_->setMaximum(std::max(v, 0));
    }

private:
    frmCompare& w_;
};

frmCompare::frmCompare(DriveCom& com, WindowElements& windows, Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), com_(com), windows_(windows), dialogs_(dialogs), elements_(std::make_unique<Elements>(*this))
{
    buildWindow();
    if (auto* router = dynamic_cast<FileWindowElements*>(&windows_))
        router->attach(elements_.get());
    updateButtons();
}

frmCompare::~frmCompare()
{
    if (auto* router = dynamic_cast<FileWindowElements*>(&windows_))
        router->detach(elements_.get());
}

void frmCompare::buildWindow()
{
    const SharedState& state = com_.state();
    const auto text = [&state](int entry) { return state.tool(entry); };
    setObjectName(QStringLiteral("frmCompare"));
    setModal(true);
    setWindowTitle(text(tooltext::CompareTitle));
    setAccessibleName(windowTitle());

    const auto named = [](QWidget* w, const char* name, const QString& accessible) {
        w->setObjectName(QString::fromLatin1(name));
        w->setAccessibleName(accessible);
    };
    const auto button = [&](const char* name, int entry) {
        auto* b = new QPushButton(text(entry), this);
        named(b, name, b->text());
        b->setAutoDefault(false);
        return b;
    };
    optDrive_ = new QRadioButton(text(tooltext::CompareDrive), this);
    named(optDrive_, "optCompareDrive", optDrive_->text());
    optFileA_ = new QRadioButton(text(tooltext::CompareFileA), this);
    named(optFileA_, "optCompareFileA", optFileA_->text());
    auto* lblFileB = new QLabel(text(tooltext::CompareFileB), this);
    lblFileB->setObjectName(QStringLiteral("lblCompareFileB"));
    txtFileA_ = new QLineEdit(this);
    named(txtFileA_, "txtCompareFileA", text(tooltext::CompareFileA));
    txtFileB_ = new QLineEdit(this);
    named(txtFileB_, "txtCompareFileB", text(tooltext::CompareFileB));
    lblFileB->setBuddy(txtFileB_);
    cmdBrowseA_ = button("cmdCompareBrowseA", tooltext::CompareBrowse);
    cmdBrowseA_->setAccessibleName(text(tooltext::CompareBrowse) + QLatin1Char(' ') + text(tooltext::CompareFileA));
    cmdBrowseB_ = button("cmdCompareBrowseB", tooltext::CompareBrowse);
    cmdBrowseB_->setAccessibleName(text(tooltext::CompareBrowse) + QLatin1Char(' ') + text(tooltext::CompareFileB));
    cmdRun_ = button("cmdCompareRun", tooltext::CompareRun);
    static_cast<QPushButton*>(cmdRun_)->setDefault(true);

    chkDifferences_ = new QCheckBox(text(tooltext::CompareDifferencesOnly), this);
    named(chkDifferences_, "chkCompareDifferences", chkDifferences_->text());
    chkDrivesOwn_ = new QCheckBox(text(tooltext::CompareDrivesOwn), this);
    named(chkDrivesOwn_, "chkCompareDrivesOwn", chkDrivesOwn_->text());

    table_ = new QTableWidget(0, ColumnCount, this);
    named(table_, "tblCompare", text(tooltext::CompareTitle));
    table_->setHorizontalHeaderLabels({text(tooltext::CompareColumnNumber), text(tooltext::CompareColumnName),
                                       text(tooltext::CompareColumnA), text(tooltext::CompareColumnB)});
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->horizontalHeader()->setSectionResizeMode(ColumnName, QHeaderView::Stretch);
    table_->setMinimumSize(640, 360);

    lblSummary_ = new QLabel(this);
    lblSummary_->setObjectName(QStringLiteral("lblCompareSummary"));
    txtHelp_ = new QLineEdit(this);
    named(txtHelp_, "txtCompareHelp", QStringLiteral("txtHelp"));
    txtHelp_->setReadOnly(true);
    txtHelp_->setFocusPolicy(Qt::NoFocus);
    progressBar_ = new QProgressBar(this);
    named(progressBar_, "ProgressBar2", QStringLiteral("ProgressBar2"));
    progressBar_->setTextVisible(false);
    progressBar_->setValue(0);

    cmdLoad_ = button("cmdCompareLoad", tooltext::CompareLoadSelected);
    auto* stop = new QToolButton(this);
    stop->setIcon(style()->standardIcon(QStyle::SP_BrowserStop));
    cmdStop_ = stop;
    setStopHint(QStringLiteral("Stop"));
    cmdStop_->setObjectName(QStringLiteral("cmdCompareStop"));
    cmdClose_ = button("cmdCompareClose", tooltext::CompareClose);

    auto* sides = new QGridLayout;
    sides->addWidget(optDrive_, 0, 0, 1, 3);
    sides->addWidget(optFileA_, 1, 0);
    sides->addWidget(txtFileA_, 1, 1);
    sides->addWidget(cmdBrowseA_, 1, 2);
    sides->addWidget(lblFileB, 2, 0);
    sides->addWidget(txtFileB_, 2, 1);
    sides->addWidget(cmdBrowseB_, 2, 2);
    sides->addWidget(cmdRun_, 2, 3);
    sides->setColumnStretch(1, 1);
    auto* options = new QHBoxLayout;
    options->addWidget(chkDifferences_);
    options->addWidget(chkDrivesOwn_);
    options->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdLoad_);
    buttons->addWidget(cmdStop_);
    buttons->addWidget(progressBar_, 1);
    buttons->addWidget(cmdClose_);
    auto* column = new QVBoxLayout(this);
    column->addLayout(sides);
    column->addLayout(options);
    column->addWidget(table_, 1);
    column->addWidget(lblSummary_);
    column->addWidget(txtHelp_);
    column->addLayout(buttons);

    // The drive is a side once its parameters have been read.
    const bool driveRead = state.paramsLoaded != 0;
    optDrive_->setEnabled(driveRead);
    (driveRead ? optDrive_ : optFileA_)->setChecked(true);

    connect(optDrive_, &QRadioButton::toggled, this, [this] { updateButtons(); });
    connect(cmdBrowseA_, &QAbstractButton::clicked, this, [this] { cmdCompareBrowse_Click(0); });
    connect(cmdBrowseB_, &QAbstractButton::clicked, this, [this] { cmdCompareBrowse_Click(1); });
    connect(cmdRun_, &QAbstractButton::clicked, this, &frmCompare::cmdCompareRun_Click);
    connect(chkDifferences_, &QCheckBox::clicked, this, &frmCompare::chkCompareDifferences_Click);
    connect(chkDrivesOwn_, &QCheckBox::clicked, this, [this] {
        if (!rows_.isEmpty())
            compare();
    });
    connect(cmdLoad_, &QAbstractButton::clicked, this, &frmCompare::cmdCompareLoad_Click);
    connect(cmdStop_, &QAbstractButton::clicked, this, &frmCompare::cmdCompareStop_Click);
    connect(cmdClose_, &QAbstractButton::clicked, this, &QDialog::reject);
}

void frmCompare::setStopHint(const QString& hint)
{
    cmdStop_->setToolTip(hint);
    cmdStop_->setAccessibleName(hint);
}

bool frmCompare::driveSide() const
{
    return optDrive_->isChecked();
}

void frmCompare::updateButtons()
{
    const bool drive = driveSide();
    txtFileA_->setEnabled(!drive && !busy_);
    cmdBrowseA_->setEnabled(!drive && !busy_);
    // Close stays: closing ends a load as the file window's closing does.
    for (QWidget* w :
         std::initializer_list<QWidget*>{optDrive_, optFileA_, txtFileB_, cmdBrowseB_, cmdRun_, chkDrivesOwn_})
        w->setEnabled(!busy_ && (w != optDrive_ || com_.state().paramsLoaded != 0));
    // A load sends file B's values to a drive that is there, over rows that compared it.
    cmdLoad_->setEnabled(!busy_ && drive && comparedDrive_ && !rows_.isEmpty() && com_.state().comOnline == 1);
    cmdStop_->setEnabled(busy_);
}

void frmCompare::cmdCompareBrowse_Click(int side)
{
    QLineEdit* box = side == 0 ? txtFileA_ : txtFileB_;
    const QString start = box->text().isEmpty() ? QDir::currentPath() : QDir::fromNativeSeparators(box->text());
    const QString chosen = dialogs_.chooseFile(FileChoice::Open, com_.state().tool(tooltext::CompareChooseFile), start,
                                               QStringLiteral("Parameter files (*.par);;Text files (*.txt)"));
    if (chosen.isEmpty())
        return;
    box->setText(QDir::toNativeSeparators(chosen));
    if (side == 0)
        optFileA_->setChecked(true);
}

std::optional<QString> frmCompare::checkedPath(QLineEdit* box)
{
    // The file window's checks on the name: the same refusals, the same messages. A bare name is
    // taken in the folder the file window showed last.
    QString text = box->text();
    const auto path = checkParameterFile(text, FileCheckPurpose::Load, QDir::currentPath(), QDir::currentPath(),
                                         com_.state(), dialogs_);
    box->setText(text);
    return path;
}

std::optional<ParameterFileContent> frmCompare::readFile(const QString& path, qint16 level)
{
    return acceptedContent(readParameterRecords(path, level));
}

std::optional<ParameterFileContent> frmCompare::acceptedContent(ParameterFileContent content)
{
    // A file that ends early would give half a table: it is refused as the file window's load
    // into the drive refuses it.
    if (!content.result.ok()) {
        reportFailure(content.result);
        return std::nullopt;
    }
    return content;
}

void frmCompare::reportFailure(const ParameterFileResult& result)
{
    const QString text = parameterFileFailureText(com_.state(), result, false);
    if (text.isEmpty())
        return;
    dialogs_.message(text, kApplicationTitle, MessageIcon::Error);
    setHelp(com_.state().message(parameterFileMessage(result.error, false)));
}

void frmCompare::cmdCompareRun_Click()
{
    if (busy_)
        return;
    compare();
}

bool frmCompare::compare()
{
    const SharedState& state = com_.state();
    const bool drive = driveSide() && state.paramsLoaded != 0;
    rows_.clear();
    comparedPathB_.clear();
    comparedDrive_ = false;
    setHelp(QString());

    std::optional<ParameterFileContent> fileA;
    qint16 level = state.firmwareLevel;
    if (!drive) {
        const auto pathA = checkedPath(txtFileA_);
        if (!pathA) {
            showRows();
            return false;
        }
        // Two files are compared with each other: written for the other level class than the
        // drive's last one, both are read as that class.
        ParameterFileContent contentA = readParameterRecords(*pathA, level);
        if (contentA.result.error == ParameterFileError::OtherLevelClass) {
            level = level >= kLongAxisSequenceLevel ? kLongAxisSequenceLevel - 1 : kLongAxisSequenceLevel;
            contentA = readParameterRecords(*pathA, level);
        }
        fileA = acceptedContent(std::move(contentA));
        if (!fileA) {
            showRows();
            return false;
        }
    }
    const auto pathB = checkedPath(txtFileB_);
    const auto fileB = pathB ? readFile(*pathB, level) : std::nullopt;
    if (!fileB) {
        showRows();
        return false;
    }

    QHash<int, QString> valuesA;
    if (fileA)
        for (const ParameterRecord& record : fileA->records)
            valuesA.insert(record.cmd, record.value.toText());
    const bool drivesOwn = chkDrivesOwn_->isChecked();
    ComparisonInput input;
    input.valueA = [&](int cmd) { return drive ? state.table.value(cmd).toText() : valuesA.value(cmd); };
    input.label = label_;
    input.compared = [drivesOwn](const ParameterRecord& record) { return comparedByDefault(record, drivesOwn); };
    input.decPnt = state.decPnt;
    rows_ = compareParameters(fileB->records, input);
    comparedPathB_ = *pathB;
    comparedDrive_ = drive;
    showRows();
    return true;
}

void frmCompare::showRows()
{
    table_->setRowCount(0);
    table_->setRowCount(static_cast<int>(rows_.size()));
    for (int r = 0; r < rows_.size(); ++r) {
        const ComparisonRow& row = rows_.at(r);
        const QString texts[ColumnCount] = {QString::number(row.cmd), labelWithUnit(row), row.shownA, row.shownB};
        for (int c = 0; c < ColumnCount; ++c) {
            auto* item = new QTableWidgetItem(texts[c]);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            if (c == ColumnA || c == ColumnB)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (row.differs) {
                QFont bold = item->font();
                bold.setBold(true);
                item->setFont(bold);
                item->setBackground(kDifferingBackground);
                item->setForeground(QColor(Qt::black));
            }
            table_->setItem(r, c, item);
        }
        // Only a drive-against-file comparison loads, and only records a load sends.
        if (comparedDrive_ && row.loadable) {
            QTableWidgetItem* number = table_->item(r, ColumnNumber);
            number->setFlags(number->flags() | Qt::ItemIsUserCheckable);
            number->setCheckState(row.differs ? Qt::Checked : Qt::Unchecked);
        }
    }
    table_->resizeColumnToContents(ColumnNumber);
    table_->resizeColumnToContents(ColumnA);
    table_->resizeColumnToContents(ColumnB);
    applyFilter();
    showSummary();
    updateButtons();
}

void frmCompare::chkCompareDifferences_Click()
{
    applyFilter();
}

void frmCompare::applyFilter()
{
    const bool differencesOnly = chkDifferences_->isChecked();
    for (int r = 0; r < rows_.size(); ++r)
        table_->setRowHidden(r, differencesOnly && !rows_.at(r).differs);
}

void frmCompare::showSummary()
{
    if (rows_.isEmpty() && comparedPathB_.isEmpty()) {
        lblSummary_->clear();
        return;
    }
    const auto differing = std::count_if(rows_.cbegin(), rows_.cend(), [](const auto& row) { return row.differs; });
    lblSummary_->setText(com_.state().tool(tooltext::CompareSummary).arg(rows_.size()).arg(differing));
}

QList<int> frmCompare::tickedCommands() const
{
    QList<int> ticked;
    for (int r = 0; r < table_->rowCount(); ++r) {
        const QTableWidgetItem* number = table_->item(r, ColumnNumber);
        if (number && (number->flags() & Qt::ItemIsUserCheckable) && number->checkState() == Qt::Checked)
            ticked << rows_.at(r).cmd;
    }
    return ticked;
}

void frmCompare::setHelp(const QString& text)
{
    txtHelp_->setText(text);
}

void frmCompare::setProgress(int value)
{
    elements_->setValue(el::fileProgressBar2(), value);
}

void openCompareWindow(DriveCom& com, WindowElements& windows, Dialogs& dialogs, QWidget* parent,
                       std::function<QString(int cmd)> label, std::function<void(QString& value, int index)> valueSink,
                       const QString& stopHint)
{
    frmCompare window(com, windows, dialogs, parent);
    window.setLabelSource(std::move(label));
    if (valueSink)
        window.setValueSink(std::move(valueSink));
    if (!stopHint.isEmpty())
        window.setStopHint(stopHint);
    window.exec();
}

} // namespace kinetra
