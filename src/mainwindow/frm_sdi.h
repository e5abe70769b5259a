#pragma once

#include "language_targets.h"
#include "window_elements.h"

#include <QHash>
#include <QMainWindow>

#include <memory>

class QAbstractButton;
class QGridLayout;
class QGroupBox;
class QLabel;
class QTabWidget;

namespace kinetra {

class AboutWindow;
class Clock;
class Dialogs;
class DriveCom;
class SettingsStore;
class SystemSettings;
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

    // The link that the connect and stop buttons drive, and whose port is closed at the end.
    void setDriveCom(DriveCom* com) { com_ = com; }

    // The start: settings, first-start defaults, options, status bar, language, scale texts.
    void Form_Load();

    // Option handlers.
    void cmdTool_Click();
    void optDec_Click(int index);
    void chkEncoder_Click();
    void chkReadStop_Click(int index);
    void Check2_Click();
    void cmdInfo_Click();
    // A language button released at `pos` (button coordinates) with `button`.
    void cmdLanguage_MouseUp(int index, Qt::MouseButton button, const QPoint& pos);

    // Scale texts of the chart from the current and PWM multipliers: "Raster=1A", "Raster=24 Steps".
    void updateScaleTexts();

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

    // LanguageTargets
    void setCaption(const Element&, const QString&) override;
    void setHint(const Element&, const QString&) override;
    void clearItems(const Element&) override;
    void addItem(const Element&, const QString&) override;
    void setTag(const Element&, const QString&) override;
    void setTabCaption(int, const QString&) override;

    using QMainWindow::setEnabled;
    using QMainWindow::setVisible;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Building the window (frm_sdi_build.cpp).
    void buildWindow();
    void connectHandlers();
    QWidget* buildToolRow();
    QWidget* buildToolPanel();
    QTabWidget* buildTabs();
    QWidget* buildSidePanels();
    QWidget* buildSimplePanel();
    void buildStatusBar();
    void fillFrame(QGridLayout* grid, int frameIndex, bool sidePanel);
    void buildDiagnoseFrame(QGroupBox* frame);
    void buildFrameExtras(int frameIndex, QGridLayout* grid, int& row);
    QWidget* addField(QGridLayout* grid, int row, int column, const FieldSpec& field);
    QWidget* makeLamp(int index);
    QAbstractButton* makePictureButton(const QString& name, int index, const QString& hint,
                                       const QString& icon);
    QGroupBox* makeFrame(const QString& name, int index, const QString& caption);
    void registerElement(const QString& name, int index, QWidget* widget, bool indexed = true);

    // The label's text, with its buddy's accessible name kept in step.
    static void setLabelText(QLabel* label, const QString& text);
    static void setPictureHint(QWidget* button, const QString& hint);

    // Steps whose rules belong to the input lock and expert view.
    void applyInputLockChange();
    void applyInputLockAtStart();
    void applyExpertView();
    void setElementVisible(const Element& e, bool on);
    void setElementEnabled(const Element& e, bool on);
    // Sets a check box as start-up does; a change runs the box's click rule.
    void setCheckBoxValue(const Element& box, bool ticked);

    SharedState& state_;
    SettingsStore& store_;
    Dialogs& dialogs_;
    Clock& clock_;
    QString programFolder_;
    std::unique_ptr<SystemSettings> settings_;
    DriveCom* com_ = nullptr;

    QHash<QString, QWidget*> elements_;
    AboutWindow* splash_ = nullptr;
    AboutWindow* splashOrven_ = nullptr;
    int settingsCheck_ = 0;
};

} // namespace kinetra
