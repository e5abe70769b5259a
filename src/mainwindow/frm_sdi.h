#pragma once

#include "chart_recording.h"
#include "language_targets.h"
#include "tool_text_bindings.h"
#include "window_elements.h"

#include <QHash>
#include <QIcon>
#include <QMainWindow>

#include <functional>
#include <memory>

class QAbstractButton;
class QComboBox;
class QLineEdit;
class QDialog;
class QGridLayout;
class QKeyEvent;
class QGroupBox;
class QLayout;
class QLabel;
class QTabWidget;

namespace kinetra {

class AboutWindow;
class ChartTimeAxis;
class Clock;
class Dialogs;
class DriveCom;
class SerialDeviceSource;
class SettingsStore;
class SystemSettings;
class MotionTimers;
class frmLogin;
struct FieldSpec;
struct SharedState;

// The main window. Its controls are arrays addressed by name and index (txtPara 2110, cmbPara
// 2125, cmdComand 128); each widget's objectName is the name and the index ("txtPara_2110"),
// or the bare name for a control that is no array ("cmdConnect"). The link and the live display
// reach it only through WindowElements; the language loader through LanguageTargets.
class frmSDI : public QMainWindow, public WindowElements, public LanguageTargets {
    Q_OBJECT
public:
    // `programFolder` holds the language files and becomes the working folder at start.
    frmSDI(SharedState& state, SettingsStore& settings, Dialogs& dialogs, Clock& clock, QString programFolder,
           QWidget* parent = nullptr);
    ~frmSDI() override;

    // The link that the connect, stop and command buttons drive, and whose port is closed at
    // the end. The window makes the endurance test and jog timers on it.
    void setDriveCom(DriveCom* com);
    // The endurance test and jog timers; nullptr until a link is set. The live display hands
    // every status word to its inPositionSignal.
    MotionTimers* motionTimers() const { return timers_.get(); }

    // The save window (button 138) and the file window (cmdData). The save window must resume
    // the live polling when it closes; the file window must show cmdStop again. Until the save
    // window is set, button 138 only resumes the polling.
    std::function<void()> onSaveWindow;
    std::function<void()> onFileWindow;
    // The compare window (cmdCompare on the tools panel).
    std::function<void()> onCompareWindow;
    // A chosen input/output function (lists 2146-2149, line 0-3) was committed: the line's
    // caption on the diagnostics page follows it.
    std::function<void(int line, int position)> onIoFunctionChosen;
    // A trace box or multiplier of the diagnosis chart changed: trace 0 is the current, 1 the
    // PWM output; the chart draws with what the boxes now hold.
    std::function<void(int trace, bool on, const QString& multiplier)> onChartTrace;
    // How a modal window of this window is run; exec() unless a test answers it another way.
    void setModalRunner(std::function<void(QDialog&)> runner) { modalRunner_ = std::move(runner); }
    // The login window, made on first use and kept (hidden) for the rest of the run.
    frmLogin* loginWindow();
    // The serial devices the port assignment window lists; nullptr (the default): the system's.
    void setSerialDeviceSource(const SerialDeviceSource* devices) { serialDevices_ = devices; }
    // The tools panel's ports button: the port assignment window.
    void cmdPorts_Click();

    // The start: settings, first-start defaults, options, status bar, language, scale texts.
    void Form_Load();

    // Option handlers.
    void cmdTool_Click();
    void optDec_Click(int index);
    // Every box of a position shows the table's value again, under the current decimal places:
    // a text read under the old setting would be taken at the new one's scale.
    void showPositionsAgain();
    // List `index` shows the table's value, or nothing where the table holds none.
    void showSelectionFromTable(int index);
    void chkEncoder_Click();
    void chkReadStop_Click(int index);
    void Check2_Click();
    // The fast link switched on or off: stored and handed to the link at once.
    void chkFastLink_Click();
    void cmdInfo_Click();
    // A language button released at `pos` (button coordinates) with `button`.
    void cmdLanguage_MouseUp(int index, Qt::MouseButton button, const QPoint& pos);

    // Scale texts of the chart from the current and PWM multipliers: "Raster=1A", "Raster=24 Steps".
    void updateScaleTexts();
    // The window's texts that come from the message table rather than from their own place in
    // the language file: the chart's captions and scales, the login hint, the expert box.
    void showMessageTexts();
    // Every box that shows message texts is made wide enough for the longest of them in the
    // language loaded, measured with its font.
    void fitMessageBoxes();

    // Parameter entry (frm_sdi_entry.cpp).
    // The help line for help status 0 (an entry has the focus), 1 (edited) or 2 (committed).
    void helpFunction(int helpStatus);
    // Whether a typed key may go into entry box `index`.
    bool txtPara_KeyPress(int index, QKeyEvent* key);
    // Any text change of an entry box: marks it edited.
    void txtPara_Change(int index);
    // The user's Enter in entry box `index` (or Yes to the question when it lost the focus).
    void txtPara_Commit(int index);
    void txtPara_LostFocus(int index);
    void cmbPara_Click(int index);
    void cmbPara_LostFocus(int index);
    void commitPendingSelection();
    // The selection list changed last and not yet committed; 0 for none.
    int pendingSelection() const { return pendingSelection_; }

    // Drive commands (frm_sdi_commands.cpp): a press inside command button `i`, and a left-button
    // release inside it.
    void cmdComand_MouseDown(int i);
    void cmdComand_MouseUp(int i);
    void cmdData_MouseUp();
    void cmdCompare_Click();
    void valCurMult_Change();
    void valPwmMult_Change();
    // Tells onChartTrace what trace box and multiplier `trace` hold now.
    void chkRead_Change(int trace);
    // Writes the values read back to the drive after asking (frm_sdi_unsaved.cpp).
    void cmdRevert_Click();

    // The chart's recording (frm_sdi_chart_export.cpp): a sample the chart took, its newest
    // point at `x` window units; the pause button toggled; the two exports.
    void chartSampled(const ChartSample& sample, double x);
    const ChartRecording& chartRecording() const { return chartRecording_; }
    void cmdChartPause_Toggled();
    void cmdChartCsv_Click();
    void cmdChartPng_Click();

    // Brings the window to the front (a second start of the program asked for it).
    void bringToFront();

    // The widget of an element; nullptr when the window has none.
    QWidget* element(const Element& e) const;
    template <class T> T* elementAs(const Element& e) const { return qobject_cast<T*>(element(e)); }
    QWidget* element(const QString& name, int index = 0) const { return element(Element{name, index}); }
    // Command button cmdComand(index): the press and release handlers connect here.
    QAbstractButton* commandButton(int index) const;
    // The about window of a variant: 1 the distributor's (frmSplashOrven), 0 the maker's.
    AboutWindow* splashWindow(int variant) const;
    int settingsCheck() const { return settingsCheck_; }

    // WindowElements
    QString text(const Element&) const override;
    void setText(const Element&, const QString&) override;
    int selection(const Element&) const override;
    void setSelection(const Element&, int) override;
    void setVisible(const Element&, bool) override;
    void setEnabled(const Element&, bool) override;
    void setValue(const Element&, int) override;
    void setMaximum(const Element&, int) override;
    void setStatusText(int, const QString&) override;
    void setStatusBevel(int, Bevel) override;
    int currentTab() const override;
    void setHeight(const Element&, int units) override;
    void setTop(const Element&, int units) override;
    void setMarked(const Element&, bool marked, int hintEntry) override;

    // LanguageTargets
    void setCaption(const Element&, const QString&) override;
    void setHint(const Element&, const QString&) override;
    void clearItems(const Element&) override;
    void addItem(const Element&, const QString&) override;
    void setTag(const Element&, const QString&) override;
    void setTabCaption(int, const QString&) override;
    void selectionListsFilled() override;
    void toolTextsLoaded() override;

    // The drive's level is known anew (its software version was shown): the lists whose items
    // depend on it are rebuilt from the language's texts when it crossed level 500.
    void firmwareLevelShown();

    using QMainWindow::setEnabled;
    using QMainWindow::setVisible;

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Building the window (frm_sdi_build.cpp).
    void buildWindow();
    void connectHandlers();
    void connectEntryHandlers();
    void connectCommandHandlers();
    // What a control the window handles events of is, and its index in its array.
    struct ControlRole {
        enum Kind { EntryBox, List, CommandButton, LanguageButton } kind;
        int index;
    };
    bool entryEvent(QWidget* w, const ControlRole* role, QEvent* event);
    bool commandEvent(int index, QAbstractButton* button, QEvent* event);
    void languageEvent(int index, QEvent* event);
    void setLabelColour(int index, bool edited);
    bool askToApply();
    void stopJog();
    void openLogin();
    void runModal(QDialog& dialog);
    QWidget* buildToolRow();
    QWidget* buildToolPanel();
    QTabWidget* buildTabs();
    QWidget* buildSidePanels();
    QWidget* buildSimplePanel();
    void buildStatusBar();
    void buildUnsavedMarker();
    // A marked button's tool tip: its hint, then the text of its mark.
    void showMarkHint(QAbstractButton* button);
    void fillFrame(QGridLayout* grid, int frameIndex, bool sidePanel);
    void buildDiagnoseFrame(QGroupBox* frame);
    QWidget* buildChartArea();
    QLayout* buildChartButtons();
    // The pause button's text and the recorded length, in the language loaded.
    void showChartTexts();
    void showChartRecorded(bool always);
    // Writes the chart to a file the user chooses, at once and whole, and says how it went;
    // `take` fills in the file's content and gives the number of samples in it.
    void exportChart(int titleEntry, const QString& fileName, const QString& filter,
                     const std::function<qsizetype(QByteArray&)>& take);
    void buildFrameExtras(int frameIndex, QGridLayout* grid, int& row);
    QWidget* addField(QGridLayout* grid, int row, int column, const FieldSpec& field);
    QWidget* makeLamp(int index);
    QAbstractButton* makePictureButton(const QString& name, int index, const QString& hint, const QString& icon);
    QGroupBox* makeFrame(const QString& name, int index, const QString& caption);
    void registerElement(const QString& name, int index, QWidget* widget, bool indexed = true);

    // The label's text, with its buddy's accessible name kept in step.
    static void setLabelText(QLabel* label, const QString& text);
    static void setPictureHint(QWidget* button, const QString& hint);

    // Steps whose rules belong to the input lock and expert view.
    void applyInputLockChange();
    void applyInputLockAtStart();
    void applyExpertView();
    void useFastLink(bool on);
    void setElementVisible(const Element& e, bool on);
    void setElementEnabled(const Element& e, bool on);
    // Sets a check box as start-up does; a change runs the box's click rule.
    void setCheckBoxValue(const Element& box, bool ticked);

    // Shows text `entry` of the language's seventh section on `widget`, now and after every load.
    void bindToolText(QWidget* widget, int entry, ToolTextBindings::Role role = ToolTextBindings::Role::Caption)
    {
        toolTexts_.bind(widget, entry, role, state_);
    }

    SharedState& state_;
    SettingsStore& store_;
    Dialogs& dialogs_;
    Clock& clock_;
    QString programFolder_;
    std::unique_ptr<SystemSettings> settings_;
    DriveCom* com_ = nullptr;

    QHash<Element, QWidget*> elements_;
    ToolTextBindings toolTexts_;
    // The arrays whose controls have handlers, by index, and each of their controls' role.
    QHash<int, QLineEdit*> txtPara_;
    QHash<int, QComboBox*> cmbPara_;
    QHash<int, QAbstractButton*> cmdComand_;
    QHash<const QObject*, ControlRole> roles_;
    AboutWindow* splash_ = nullptr;
    AboutWindow* splashOrven_ = nullptr;
    int settingsCheck_ = 0;

    std::unique_ptr<MotionTimers> timers_;
    std::function<void(QDialog&)> modalRunner_;
    frmLogin* login_ = nullptr;
    const SerialDeviceSource* serialDevices_ = nullptr;
    int pendingSelection_ = 0;
    // The level class (from 500 on) the selection lists were last filled for.
    bool listsForLevel500_ = false;
    // The expert box shows message 63 since the tools panel was first opened or closed.
    bool expertCaptionFromMessages_ = false;
    // The jog button whose jog runs (-1: none), and the service button whose click the login took.
    int jogButton_ = -1;
    int loginTookClick_ = -1;
    // The question whether to apply a change is open.
    bool asking_ = false;
    // Marked buttons: the picture they show unmarked and the tool text of their mark.
    struct Mark {
        QIcon plain;
        int hintEntry;
    };
    QHash<QAbstractButton*, Mark> marks_;

    ChartRecording chartRecording_;
    ChartTimeAxis* chartAxis_ = nullptr;
    // The whole seconds the recorded length label shows; the folder of the last export.
    int chartRecordedShown_ = -1;
    QString chartFolder_;
};

} // namespace kinetra
