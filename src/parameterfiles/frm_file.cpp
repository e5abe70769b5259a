#include "frm_file.h"

#include "dialogs.h"
#include "drive_com.h"
#include "file_window_elements.h"
#include "parameter_file_writer.h"
#include "settings_store.h"
#include "shared_state.h"

#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QScrollBar>
#include <QStorageInfo>
#include <QStyle>
#include <QToolButton>
#include <QTreeView>

#include <cmath>

namespace kinetra {

namespace {

// The folder the window showed last, kept across program runs.
const QString kSettingsApplication = QStringLiteral("KINETRA");
const QString kSettingsSection = QStringLiteral("System");
const QString kExploreKey = QStringLiteral("Explore");
// What the folder setting holds when no folder was ever chosen.
const QString kNoFolder = QStringLiteral(" 0");
const QStringList kFilePatterns{QStringLiteral("*.par"), QStringLiteral("*.txt")};

constexpr int kResultBefore = 30;
constexpr int kStored = 31;
constexpr int kDriveNotReady = 12;
constexpr int kTransferInterrupted = 11;
constexpr double kStoreSettle = 1.0;

// Design units of 1/1440 inch: 15 make a pixel at 96 dpi.
int units(const QWidget* w, int twips)
{
    return static_cast<int>(std::lround(twips / 15.0 * w->logicalDpiX() / 96.0));
}

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// The nearest folder at or above `path` that exists.
QString existingFolder(QString path)
{
    while (!path.isEmpty() && !QFileInfo(path).isDir()) {
        const QString up = QFileInfo(path).absolutePath();
        if (up == path)
            return {};
        path = up;
    }
    return path;
}

} // namespace

// This window's elements as the link and the tests address them.
class frmFile::Elements : public WindowElements {
public:
    explicit Elements(frmFile& w) : w_(w) {}

    QWidget* widget(const Element& e) const
    {
        if (!FileWindowElements::isFileWindowElement(e))
            return nullptr;
        const QString control = e.name.mid(QStringLiteral("frmFile.").size());
        return w_.findChild<QWidget*>(control);
    }
    QString text(const Element& e) const override
    {
        if (auto* box = qobject_cast<QLineEdit*>(widget(e)))
            return box->text();
        return {};
    }
    void setText(const Element& e, const QString& t) override
    {
        if (auto* box = qobject_cast<QLineEdit*>(widget(e)))
            box->setText(t);
    }
    void setVisible(const Element& e, bool on) override
    {
        if (QWidget* x = widget(e))
            x->setVisible(on);
    }
    void setEnabled(const Element& e, bool on) override
    {
        if (QWidget* x = widget(e))
            x->setEnabled(on);
    }
    void setValue(const Element& e, int v) override
    {
        if (auto* bar = qobject_cast<QProgressBar*>(widget(e)))
            bar->setValue(std::clamp(v, bar->minimum(), bar->maximum()));
    }
    void setMaximum(const Element& e, int v) override
    {
        if (auto* bar = qobject_cast<QProgressBar*>(widget(e)))
            bar->setMaximum(std::max(v, 0));
    }

private:
    frmFile& w_;
};

frmFile::frmFile(DriveCom& com, WindowElements& windows, Dialogs& dialogs, SettingsStore& settings, QWidget* parent)
    : QDialog(parent), com_(com), windows_(windows), dialogs_(dialogs), settings_(settings),
      elements_(std::make_unique<Elements>(*this))
{
    buildWindow();
    if (auto* router = dynamic_cast<FileWindowElements*>(&windows_))
        router->attach(elements_.get());
    // Opening: errors here are ignored, the window comes up in any case.
    place();
    restoreFolder();
    progressBar2_->setMaximum(com_.state().transferTotal);
}

frmFile::~frmFile()
{
    if (auto* router = dynamic_cast<FileWindowElements*>(&windows_))
        router->detach(elements_.get());
}

WindowElements& frmFile::elements()
{
    return *elements_;
}

void frmFile::buildWindow()
{
    setObjectName(QStringLiteral("frmFile"));
    setModal(true);
    setWindowTitle(QString());
    setAccessibleName(QStringLiteral("Parameter"));

    drvList_ = new QComboBox(this);
    drvList_->setObjectName(QStringLiteral("drvList"));
    drvList_->setAccessibleName(QStringLiteral("drvList"));
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        // Images of installed packages are no place for parameter files.
        if (!volume.isValid() || !volume.isReady() || volume.fileSystemType() == "squashfs")
            continue;
        QString label = native(volume.rootPath());
        if (!volume.displayName().isEmpty() && volume.displayName() != volume.rootPath())
            label += QStringLiteral("  [%1]").arg(volume.displayName());
        drvList_->addItem(label, volume.rootPath());
    }

    dirModel_ = new QFileSystemModel(this);
    dirModel_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    dirModel_->setReadOnly(true);
    dirModel_->setRootPath(QString());
    // The model reads and sorts folders in the background: folders arriving beside the selected
    // one, or above it, push it down. It is scrolled into view again each time, until the user
    // scrolls the list or picks a folder.
    const auto reveal = [this] {
        if (revealFolder_)
            QMetaObject::invokeMethod(this, &frmFile::revealSelectedFolder, Qt::QueuedConnection);
    };
    connect(dirModel_, &QFileSystemModel::rowsInserted, this, reveal);
    connect(dirModel_, &QFileSystemModel::layoutChanged, this, reveal);
    dirList_ = new QTreeView(this);
    dirList_->setObjectName(QStringLiteral("dirList"));
    dirList_->setAccessibleName(QStringLiteral("dirList"));
    dirList_->setModel(dirModel_);
    for (int column = 1; column < dirModel_->columnCount(); ++column)
        dirList_->hideColumn(column);
    dirList_->header()->hide();
    dirList_->setSelectionMode(QAbstractItemView::SingleSelection);
    // Once the user scrolls or clicks in the list, the list stays where the user put it.
    connect(dirList_->verticalScrollBar(), &QAbstractSlider::actionTriggered, this, [this] { revealFolder_ = false; });
    connect(dirList_, &QAbstractItemView::pressed, this, [this] { revealFolder_ = false; });

    filList_ = new QListWidget(this);
    filList_->setObjectName(QStringLiteral("filList"));
    filList_->setAccessibleName(QStringLiteral("filList"));

    txtFile_ = new QLineEdit(this);
    txtFile_->setObjectName(QStringLiteral("txtFile"));
    txtFile_->setAccessibleName(QStringLiteral("txtFile"));
    txtHelp_ = new QLineEdit(this);
    txtHelp_->setObjectName(QStringLiteral("txtHelp"));
    txtHelp_->setAccessibleName(QStringLiteral("txtHelp"));
    txtHelp_->setReadOnly(true);
    txtHelp_->setFocusPolicy(Qt::NoFocus);

    const auto pictureButton = [this](const QString& name, const QString& hint, QStyle::StandardPixmap icon) {
        auto* b = new QToolButton(this);
        b->setObjectName(name);
        b->setToolTip(hint);
        b->setAccessibleName(hint);
        b->setIcon(style()->standardIcon(icon));
        b->setIconSize(QSize(units(this, 480), units(this, 480)));
        b->setAutoRaise(false);
        return b;
    };
    cmdStore_ = pictureButton(QStringLiteral("cmdStore"), QStringLiteral("Daten aus dem Kinetra abspeichern"),
                              QStyle::SP_DialogSaveButton);
    cmdLoadPc_ = pictureButton(QStringLiteral("cmdLoadPc"), QStringLiteral("Daten in das Kinetra laden"),
                               QStyle::SP_DialogOpenButton);
    cmdLoad_ = pictureButton(QStringLiteral("cmdLoad"), QStringLiteral("Daten direkt in den Antrieb laden"),
                             QStyle::SP_ArrowForward);
    cmdStop_ = pictureButton(QStringLiteral("cmdStop"), QStringLiteral("Kommunikation Stop"), QStyle::SP_BrowserStop);

    progressBar2_ = new QProgressBar(this);
    progressBar2_->setObjectName(QStringLiteral("ProgressBar2"));
    progressBar2_->setAccessibleName(QStringLiteral("ProgressBar2"));
    progressBar2_->setValue(0);
    progressBar2_->setTextVisible(false);

    auto* parameterFrame = new QGroupBox(QStringLiteral("Parameter"), this);
    parameterFrame->setObjectName(QStringLiteral("frameParameter"));
    auto* parameterRow = new QHBoxLayout(parameterFrame);
    parameterRow->addWidget(cmdStore_);
    parameterRow->addWidget(cmdLoadPc_);
    parameterRow->addWidget(cmdLoad_);
    auto* stopFrame = new QGroupBox(QStringLiteral("Stop"), this);
    stopFrame->setObjectName(QStringLiteral("frameStop"));
    auto* stopRow = new QHBoxLayout(stopFrame);
    stopRow->addWidget(cmdStop_);

    auto* grid = new QGridLayout(this);
    grid->addWidget(drvList_, 0, 0);
    grid->addWidget(dirList_, 1, 0);
    grid->addWidget(filList_, 0, 1, 2, 2);
    grid->addWidget(txtFile_, 2, 0, 1, 3);
    grid->addWidget(txtHelp_, 3, 0, Qt::AlignBottom);
    grid->addWidget(parameterFrame, 3, 1);
    grid->addWidget(stopFrame, 3, 2);
    grid->addWidget(progressBar2_, 4, 0, 1, 3);
    grid->setRowStretch(1, 1);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 2);
    dirList_->setMinimumSize(units(this, 3600), units(this, 2700));
    filList_->setMinimumWidth(units(this, 3000));

    connect(drvList_, &QComboBox::activated, this, &frmFile::drvList_Change);
    connect(dirList_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
        if (current.isValid())
            dirList_Change(dirModel_->filePath(current));
    });
    connect(filList_, &QListWidget::itemClicked, this, &frmFile::filList_Click);
    connect(txtFile_, &QLineEdit::textChanged, this, &frmFile::txtFile_Change);
    connect(cmdStore_, &QAbstractButton::clicked, this, &frmFile::cmdStore_Click);
    connect(cmdLoadPc_, &QAbstractButton::clicked, this, &frmFile::cmdLoadPc_Click);
    connect(cmdLoad_, &QAbstractButton::clicked, this, &frmFile::cmdLoad_Click);
    connect(cmdStop_, &QAbstractButton::clicked, this, &frmFile::cmdStop_Click);
}

void frmFile::setPictureIcons(const std::function<QIcon(const QString&)>& icon)
{
    const std::pair<QAbstractButton*, const char*> buttons[] = {
        {cmdStore_, "store"}, {cmdLoadPc_, "loadPc"}, {cmdLoad_, "load"}, {cmdStop_, "stop"}};
    for (const auto& [button, name] : buttons) {
        const QIcon picture = icon ? icon(QString::fromLatin1(name)) : QIcon();
        if (!picture.isNull())
            button->setIcon(picture);
    }
}

void frmFile::place()
{
    // 200 units right of and 500 below the main window's top left corner.
    if (QWidget* main = parentWidget() ? parentWidget()->window() : nullptr)
        move(main->pos() + QPoint(units(this, 200), units(this, 500)));
}

void frmFile::restoreFolder()
{
    const QString stored = settings_.value(kSettingsApplication, kSettingsSection, kExploreKey);
    if (currentDir_.isEmpty())
        currentDir_ = QDir::homePath();
    if (!stored.isEmpty() && stored != kNoFolder)
        currentDir_ = QDir::fromNativeSeparators(stored);
    // A folder that went away since: the nearest one above it that is still there.
    const QString folder = existingFolder(currentDir_);
    currentDir_ = folder.isEmpty() ? QDir::homePath() : folder;
    QDir::setCurrent(currentDir_);
    selectFolder(currentDir_);
}

void frmFile::selectFolder(const QString& folder)
{
    const QModelIndex index = dirModel_->index(folder);
    if (index.isValid()) {
        dirList_->setCurrentIndex(index); // reaches dirList_Change when it moves
        dirList_->expand(index);
        revealFolder_ = true;
        revealSelectedFolder();
    }
    if (currentDir_ != folder || !index.isValid())
        dirList_Change(folder);
    else {
        refreshFileList();
        syncDriveList();
    }
}

void frmFile::drvList_Change(int index)
{
    const QString root = drvList_->itemData(index).toString();
    const QStorageInfo volume(root);
    if (root.isEmpty() || !volume.isReady() || !QFileInfo(root).isDir()) {
        // The volume cannot be shown: back to the one of the folder shown, without a word.
        syncDriveList();
        return;
    }
    selectFolder(root);
}

void frmFile::dirList_Change(const QString& folder)
{
    currentDir_ = QDir::fromNativeSeparators(folder);
    refreshFileList();
    syncDriveList();
}

void frmFile::syncDriveList()
{
    const QString root = QStorageInfo(currentDir_).rootPath();
    const int index = drvList_->findData(root);
    if (index >= 0)
        drvList_->setCurrentIndex(index);
}

void frmFile::refreshFileList()
{
    filList_->clear();
    const QDir folder(currentDir_);
    if (!folder.exists() || !folder.isReadable())
        return;
    filList_->addItems(folder.entryList(kFilePatterns, QDir::Files, QDir::Name | QDir::IgnoreCase));
}

void frmFile::filList_Click(QListWidgetItem* item)
{
    if (!item)
        return;
    txtFile_->setText(native(QDir(currentDir_).filePath(item->text())));
}

void frmFile::txtFile_Change()
{
    refreshFileList();
    // A folder that cannot be read (a drive taken away) is reported once, not at every key.
    const QDir folder(currentDir_);
    const bool readable = folder.exists() && folder.isReadable();
    if (!readable && !folderUnreadableShown_)
        dialogs_.message(com_.state().message(kDriveNotReady), kApplicationTitle, MessageIcon::Error);
    folderUnreadableShown_ = !readable;
}

std::optional<QString> frmFile::checkFile(FileCheckPurpose purpose)
{
    QString text = txtFile_->text();
    const auto path = checkParameterFile(text, purpose, currentDir_, currentDir_, com_.state(), dialogs_);
    const QSignalBlocker quiet(txtFile_);
    txtFile_->setText(text);
    refreshFileList();
    return path;
}

bool frmFile::idle() const
{
    return !busy_ && !com_.state().fileWindowActive;
}

void frmFile::setHelp(const QString& text)
{
    txtHelp_->setText(text);
}

void frmFile::setProgress(int value)
{
    elements_->setValue(el::fileProgressBar2(), value);
}

void frmFile::reportFailure(const ParameterFileResult& result, bool storing)
{
    const int message = parameterFileMessage(result.error, storing);
    if (message < 0)
        return;
    const QString text = parameterFileFailureText(com_.state(), result, storing);
    dialogs_.message(text, kApplicationTitle, MessageIcon::Error);
    setHelp(com_.state().message(message));
}

void frmFile::cmdStore_Click()
{
    if (!idle())
        return;
    const auto path = checkFilePar();
    if (!path)
        return;
    SharedState& state = com_.state();
    busy_ = true;
    state.stopRequest = false;
    state.fileWindowActive = true;

    const ParameterFileResult result = writeParameterFile(*path, state.table, state.firmwareLevel);
    com_.clock().waitServing(kStoreSettle);
    state.fileWindowActive = false;
    if (result.ok()) {
        state.paramsLoaded = 1;
        setHelp(state.message(kResultBefore) + native(*path) + state.message(kStored));
    } else {
        // Whatever went wrong, the old file is as it was and the window is ready again.
        reportFailure(result, true);
    }
    refreshFileList();
    busy_ = false;
}

void frmFile::cmdStop_Click()
{
    // The link goes offline between transactions and sets stopRequest: a running load ends
    // after its current record.
    com_.cmdStop();
    com_.state().fileWindowActive = false;
    setProgress(0);
}

void frmFile::takeLinkOffline()
{
    setProgress(0);
    com_.goOffline();
}

void frmFile::showEvent(QShowEvent* event)
{
    closed_ = false;
    QDialog::showEvent(event);
    revealSelectedFolder();
}

void frmFile::revealSelectedFolder()
{
    if (dirList_->currentIndex().isValid())
        dirList_->scrollTo(dirList_->currentIndex(), QAbstractItemView::PositionAtCenter);
}

void frmFile::done(int result)
{
    if (!closed_) {
        closed_ = true;
        SharedState& state = com_.state();
        settings_.setValue(kSettingsApplication, kSettingsSection, kExploreKey, native(currentDir_));
        state.fileWindowActive = false;
        if (state.driveLoadActive == 1) {
            // Closed during a load into the drive: the link goes offline and the load ends after
            // its current record.
            takeLinkOffline();
            // The program ending asks nothing.
            if (!com_.clock().quitting())
                dialogs_.message(state.message(kTransferInterrupted), kApplicationTitle, MessageIcon::Error);
        }
        windows_.setVisible(Element{QStringLiteral("cmdStop"), 0}, true);
    }
    QDialog::done(result);
}

void openFileWindow(DriveCom& com, WindowElements& windows, Dialogs& dialogs, SettingsStore& settings, QWidget* parent,
                    std::function<void(QString& value, int index)> valueSink,
                    const std::function<QIcon(const QString& name)>& icon)
{
    windows.setVisible(Element{QStringLiteral("cmdStop"), 0}, false);
    frmFile window(com, windows, dialogs, settings, parent);
    if (valueSink)
        window.setValueSink(std::move(valueSink));
    if (icon)
        window.setPictureIcons(icon);
    window.exec();
}

} // namespace kinetra
