#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace kinetra {

class Dialogs;
class WindowElements;
struct SharedState;

// The login window that guards the service resets. A login accepted here opens the main
// window's access frame for the rest of the run. The window is hidden, never destroyed, by its
// buttons: opened again, it still holds what was typed.
class frmLogin : public QDialog {
    Q_OBJECT
public:
    frmLogin(SharedState& state, Dialogs& dialogs, WindowElements& mainWindow, QWidget* parent = nullptr);

    // The captions from the messages; runs once, when the window is first shown.
    void Form_Load();
    void cmdOK_Click();
    void cmdCancel_Click();

    // Whether a password opens the access: exact comparison, no trimming, case counts.
    static bool accepted(const QString& password);

    void reject() override { cmdCancel_Click(); }

protected:
    void showEvent(QShowEvent* event) override;

private:
    SharedState& state_;
    Dialogs& dialogs_;
    WindowElements& mainWindow_;
    QLabel* userLabel_;
    QLabel* passwordLabel_;
    QLineEdit* txtUserName_;
    QLineEdit* txtPassword_;
    QPushButton* cmdOK_;
    QPushButton* cmdCancel_;
    bool loaded_ = false;
};

} // namespace kinetra
