#pragma once

#include "frm_file_checks.h"
#include "parameter_file_error.h"

#include <QDialog>
#include <QIcon>

#include <functional>
#include <memory>

class QAbstractButton;
class QComboBox;
class QFileSystemModel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QProgressBar;
class QTreeView;

namespace kinetra {

class Dialogs;
class DriveCom;
class TransferScope;
class SettingsStore;
class WindowElements;
struct ParameterRecord;

// The parameter file window frmFile: volumes (drvList), folders (dirList) and parameter files
// (filList) of the platform, the file name box txtFile, the help line txtHelp, the buttons
// cmdStore, cmdLoadPc and cmdLoad, the stop button cmdStop and the progress bar ProgressBar2.
// It stores the parameter table into a file, loads a file into the tool, or loads it straight
// into the drive. It reaches the drive through DriveCom and the main window through `windows`,
// the elements the link's reports are shown on; when those are a FileWindowElements, the window
// attaches itself there, so the link's help texts and progress for "frmFile.txtHelp" and
// "frmFile.ProgressBar2" land here.
class frmFile : public QDialog {
    Q_OBJECT
public:
    frmFile(DriveCom& com, WindowElements& windows, Dialogs& dialogs, SettingsStore& settings,
            QWidget* parent = nullptr);
    ~frmFile() override;

    // Where a loaded value goes to be shown (the live display's showValues); without one, the
    // link's own value sink.
    void setValueSink(std::function<void(QString& value, int index)> sink) { valueSink_ = std::move(sink); }
    // Opens the save window at the end of a load into the drive; the default shows frmSave
    // modally over the main window.
    void setSaveWindowOpener(std::function<void()> opener) { saveWindowOpener_ = std::move(opener); }
    // Pictures for the buttons "store", "loadPc", "load" and "stop"; a null icon keeps the
    // standard one.
    void setPictureIcons(const std::function<QIcon(const QString& name)>& icon);

    // The buttons, after the left button was released inside them.
    void cmdStore_Click();
    void cmdLoadPc_Click();
    void cmdLoad_Click();
    void cmdStop_Click();

    // The file checks on the box's text: the full path, or none after a message.
    std::optional<QString> checkFilePar() { return checkFile(FileCheckPurpose::Store); }
    std::optional<QString> checkFileParRead() { return checkFile(FileCheckPurpose::Load); }

    // Browsing.
    void drvList_Change(int index);
    void dirList_Change(const QString& folder);
    void filList_Click(QListWidgetItem* item);
    void txtFile_Change();

    // The folder the directory list shows (and that a bare name goes into), '/' separators.
    QString currentDir() const { return currentDir_; }
    // This window's own elements ("frmFile.txtHelp", "frmFile.ProgressBar2", "frmFile.txtFile").
    WindowElements& elements();
    // A file action is running in this window.
    bool busy() const { return busy_; }

protected:
    void showEvent(QShowEvent* event) override;
    // Every way of closing ends here: the closing rules run once.
    void done(int result) override;

private:
    class Elements;

    void buildWindow();
    void place();
    void restoreFolder();
    void selectFolder(const QString& folder);
    void revealSelectedFolder();
    void refreshFileList();
    void syncDriveList();
    std::optional<QString> checkFile(FileCheckPurpose purpose);
    bool idle() const;
    void setHelp(const QString& text);
    void setProgress(int value);
    void reportFailure(const ParameterFileResult& result, bool storing);

    // Loading (frm_file_load.cpp).
    enum class LoadEnd { Complete, Abandoned, Truncated, Refused };
    LoadEnd readParameterFile(const QString& path, bool toDrive);
    void showRecord(const ParameterRecord& record);
    void showValue(int cmd, const QString& text);
    bool headerTest(const QString& path);
    void finishDriveLoad(LoadEnd end, TransferScope& transfer);
    void takeLinkOffline();
    void openSaveWindow();

    DriveCom& com_;
    WindowElements& windows_;
    Dialogs& dialogs_;
    SettingsStore& settings_;
    std::unique_ptr<Elements> elements_;
    std::function<void(QString&, int)> valueSink_;
    std::function<void()> saveWindowOpener_;

    QComboBox* drvList_ = nullptr;
    QTreeView* dirList_ = nullptr;
    QFileSystemModel* dirModel_ = nullptr;
    QListWidget* filList_ = nullptr;
    QLineEdit* txtFile_ = nullptr;
    QLineEdit* txtHelp_ = nullptr;
    QAbstractButton* cmdStore_ = nullptr;
    QAbstractButton* cmdLoadPc_ = nullptr;
    QAbstractButton* cmdLoad_ = nullptr;
    QAbstractButton* cmdStop_ = nullptr;
    QProgressBar* progressBar2_ = nullptr;

    QString currentDir_;
    bool busy_ = false;
    bool closed_ = false;
    bool folderUnreadableShown_ = false;
    bool revealFolder_ = false; // the selected folder is kept in view until the user moves the list
};

// The main window's cmdData once its own release checks have passed: hides the main window's
// stop button cmdStop and shows a new file window modally; the window shows cmdStop again when
// it closes. `valueSink` shows loaded values (empty: the link's value sink), `icon` gives the
// button pictures (may be empty).
void openFileWindow(DriveCom& com, WindowElements& windows, Dialogs& dialogs, SettingsStore& settings, QWidget* parent,
                    std::function<void(QString& value, int index)> valueSink = {},
                    const std::function<QIcon(const QString& name)>& icon = {});

} // namespace kinetra
