#include "frm_login.h"

#include "dialogs.h"
#include "shared_state.h"
#include "window_elements.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <functional>

namespace kinetra {

namespace {

enum Message { kUserName = 65, kPassword = 66, kOk = 41, kCancel = 67, kTitle = 68, kRefused = 73 };

QString passwordOf(int i)
{
    // The service passwords; "Hölstan" is spelt with its umlaut.
    switch (i) {
    case 0: return QString::fromUtf8("H\xC3\xB6lstan");
    case 1: return QStringLiteral("Talvo");
    default: return QStringLiteral("5170628");
    }
}

} // namespace

frmLogin::frmLogin(SharedState& state, Dialogs& dialogs, WindowElements& mainWindow, QWidget* parent)
    : QDialog(parent), state_(state), dialogs_(dialogs), mainWindow_(mainWindow)
{
    setObjectName(QStringLiteral("frmLogin"));
    setWindowTitle(QStringLiteral("Anmeldung"));
    setModal(true);

    userLabel_ = new QLabel(QStringLiteral("&Benutzername:"));
    userLabel_->setObjectName(QStringLiteral("lblLabels_0"));
    txtUserName_ = new QLineEdit;
    txtUserName_->setObjectName(QStringLiteral("txtUserName"));
    userLabel_->setBuddy(txtUserName_);
    passwordLabel_ = new QLabel(QStringLiteral("&Kennwort:"));
    passwordLabel_->setObjectName(QStringLiteral("lblLabels_1"));
    txtPassword_ = new QLineEdit;
    txtPassword_->setObjectName(QStringLiteral("txtPassword"));
    txtPassword_->setEchoMode(QLineEdit::Password);
    passwordLabel_->setBuddy(txtPassword_);

    cmdOK_ = new QPushButton(QStringLiteral("OK"));
    cmdOK_->setObjectName(QStringLiteral("cmdOK"));
    cmdOK_->setDefault(true);
    cmdCancel_ = new QPushButton(QStringLiteral("Abbrechen"));
    cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));
    connect(cmdOK_, &QPushButton::clicked, this, &frmLogin::cmdOK_Click);
    connect(cmdCancel_, &QPushButton::clicked, this, &frmLogin::cmdCancel_Click);

    auto* grid = new QGridLayout(this);
    grid->addWidget(userLabel_, 0, 0);
    grid->addWidget(txtUserName_, 0, 1);
    grid->addWidget(passwordLabel_, 1, 0);
    grid->addWidget(txtPassword_, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK_);
    buttons->addWidget(cmdCancel_);
    grid->addLayout(buttons, 2, 0, 1, 2);
    txtUserName_->setMinimumWidth(fontMetrics().averageCharWidth() * 24);
}

void frmLogin::showEvent(QShowEvent* event)
{
    if (!loaded_) {
        loaded_ = true;
        Form_Load();
    }
    QDialog::showEvent(event);
}

void frmLogin::Form_Load()
{
    // A language that failed to load leaves its messages empty; the design text is better than
    // a button without a caption.
    const auto apply = [this](int message, const std::function<void(const QString&)>& set) {
        const QString text = state_.message(message);
        if (!text.isEmpty())
            set(text);
    };
    apply(kUserName, [this](const QString& t) { userLabel_->setText(t); });
    apply(kPassword, [this](const QString& t) { passwordLabel_->setText(t); });
    apply(kOk, [this](const QString& t) { cmdOK_->setText(t); });
    apply(kCancel, [this](const QString& t) { cmdCancel_->setText(t); });
    apply(kTitle, [this](const QString& t) { setWindowTitle(t); });
}

bool frmLogin::accepted(const QString& password)
{
    for (int i = 0; i < 3; ++i)
        if (password == passwordOf(i))
            return true;
    return false;
}

void frmLogin::cmdOK_Click()
{
    if (accepted(txtPassword_->text())) {
        for (const char* name : {"frameSecurity", "Check2", "checkSecurity"})
            mainWindow_.setEnabled(Element{QString::fromLatin1(name), 0}, true);
        state_.loginGranted = true;
        hide();
        return;
    }
    dialogs_.message(state_.message(kRefused), state_.message(kTitle), MessageIcon::None);
    // The next typing replaces the wrong password.
    txtPassword_->setFocus();
    txtPassword_->setCursorPosition(0);
    txtPassword_->selectAll();
}

void frmLogin::cmdCancel_Click()
{
    state_.loginGranted = false;
    hide();
}

} // namespace kinetra
