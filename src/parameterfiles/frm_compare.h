#pragma once

#include "parameter_comparison.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <optional>

class QAbstractButton;
class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QRadioButton;
class QTableWidget;

namespace kinetra {

class Dialogs;
class DriveCom;
class TransferScope;
class WindowElements;

// The compare window frmCompare: the drive (its parameter table as read and kept current) or a
// file A against a file B, row by row, and the differing values of file B loaded into the drive
// on request. Side A is the drive (optCompareDrive) or the file in txtCompareFileA; side B the
// file in txtCompareFileB; cmdCompareRun compares, tblCompare shows the rows (a check box on the
// number of each row a load may send), chkCompareDifferences hides equal rows and
// chkCompareDrivesOwn brings in the drive's own values. cmdCompareLoad sends the ticked rows of
// file B with the file window's load, then asks the file window's save question.
//
// While it is open it stands for the file window towards the link: a load's progress and help
// texts ("frmFile.ProgressBar2", "frmFile.txtHelp") land here.
class frmCompare : public QDialog {
    Q_OBJECT
public:
    frmCompare(DriveCom& com, WindowElements& windows, Dialogs& dialogs, QWidget* parent = nullptr);
    ~frmCompare() override;

    // The label text of a command number as the main window shows it ("mm Actual position").
    void setLabelSource(std::function<QString(int cmd)> label) { label_ = std::move(label); }
    // Where a loaded value goes to be shown (the live display's showValues).
    void setValueSink(std::function<void(QString& value, int index)> sink) { valueSink_ = std::move(sink); }
    // Asks the save question after a load; the default shows the save window over the main window.
    void setSaveWindowOpener(std::function<void()> opener) { saveWindowOpener_ = std::move(opener); }
    // The stop button's hint: the main window's stop button's, in the current language.
    void setStopHint(const QString& hint);

    // The buttons and boxes, after the user's click.
    void cmdCompareBrowse_Click(int side);
    void cmdCompareRun_Click();
    void cmdCompareLoad_Click();
    void cmdCompareStop_Click();
    void chkCompareDifferences_Click();

    // The rows of the last comparison, in file order; none after a refused file.
    const QList<ComparisonRow>& rows() const { return rows_; }
    // The command numbers ticked for a load, in file order.
    QList<int> tickedCommands() const;
    bool busy() const { return busy_; }

protected:
    void done(int result) override;

private:
    class Elements;
    enum class LoadEnd { Complete, Abandoned, Refused };

    void buildWindow();
    void updateButtons();
    bool driveSide() const;
    std::optional<QString> checkedPath(QLineEdit* box);
    std::optional<ParameterFileContent> readFile(const QString& path, qint16 level);
    // The content read, or nothing after the user was told why it is refused.
    std::optional<ParameterFileContent> acceptedContent(ParameterFileContent content);
    bool compare();
    void showRows();
    void applyFilter();
    void showSummary();
    void reportFailure(const ParameterFileResult& result);
    void setHelp(const QString& text);
    void setProgress(int value);

    // Loading (frm_compare_load.cpp).
    LoadEnd loadTicked(const QList<int>& ticked, int& written);
    void finishLoad(LoadEnd end, TransferScope& transfer);
    void showRecord(const ParameterRecord& record);

    DriveCom& com_;
    WindowElements& windows_;
    Dialogs& dialogs_;
    std::unique_ptr<Elements> elements_;
    std::function<QString(int)> label_;
    std::function<void(QString&, int)> valueSink_;
    std::function<void()> saveWindowOpener_;

    QRadioButton* optDrive_ = nullptr;
    QRadioButton* optFileA_ = nullptr;
    QLineEdit* txtFileA_ = nullptr;
    QLineEdit* txtFileB_ = nullptr;
    QAbstractButton* cmdBrowseA_ = nullptr;
    QAbstractButton* cmdBrowseB_ = nullptr;
    QAbstractButton* cmdRun_ = nullptr;
    QCheckBox* chkDifferences_ = nullptr;
    QCheckBox* chkDrivesOwn_ = nullptr;
    QTableWidget* table_ = nullptr;
    QLabel* lblSummary_ = nullptr;
    QLineEdit* txtHelp_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    QAbstractButton* cmdLoad_ = nullptr;
    QAbstractButton* cmdStop_ = nullptr;
    QAbstractButton* cmdClose_ = nullptr;

    QList<ComparisonRow> rows_;
    QString comparedPathB_;      // the file B the rows came from
    bool comparedDrive_ = false; // the rows compare the drive with file B
    bool busy_ = false;
    bool closed_ = false;
};

// The main window's compare button: shows a new compare window modally. `label` gives the
// parameters' label texts, `valueSink` shows loaded values, `stopHint` names the stop button.
void openCompareWindow(DriveCom& com, WindowElements& windows, Dialogs& dialogs, QWidget* parent,
                       std::function<QString(int cmd)> label, std::function<void(QString& value, int index)> valueSink,
                       const QString& stopHint);

} // namespace kinetra
