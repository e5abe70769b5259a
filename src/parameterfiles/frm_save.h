#pragma once

#include <QDialog>

class QAbstractButton;
class QLabel;

namespace kinetra {

class DriveCom;
class WindowElements;

// The save window frmSave: asks whether the drive shall keep its parameters permanently.
// Button cmdComand1(0) sends the save sequence (command 137, a second later 138) and stays;
// button cmdComand1(1) and every other way of closing resume live polling.
class frmSave : public QDialog {
    Q_OBJECT
public:
    // `windows` shows the help line of the main window.
    frmSave(DriveCom& com, WindowElements& windows, QWidget* parent = nullptr);

    // The buttons, after the left button was released inside them.
    void cmdComand1_Click(int index);

    QLabel* label1() const { return label1_; }
    QAbstractButton* button(int index) const { return index == 0 ? save_ : end_; }

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    DriveCom& com_;
    WindowElements& windows_;
    QLabel* label1_ = nullptr;
    QAbstractButton* save_ = nullptr;
    QAbstractButton* end_ = nullptr;
    bool closed_ = false;
};

// The question after a load into the drive, the file window's and the compare window's alike:
// the save window, modal over `parent`. It resumes the live polling when it closes.
void askToSaveInDrive(DriveCom& com, WindowElements& windows, QWidget* parent);

// Status panel 1 says OFFLINE: a load ended early, or its writes found the link dead.
void showLinkOffline(WindowElements& windows);
// The end of a load into the drive that ran through: a link the writes found dead shows
// OFFLINE; a live one polls again after the drive's second to take the values.
void resumeAfterLoad(DriveCom& com, WindowElements& windows);

} // namespace kinetra
