// The main window's drive commands: the press and release of every command button, the file
// button and the chart multipliers.
#include "clock.h"
#include "display_window.h"
#include "drive_com.h"
#include "drive_protocol.h"
#include "drive_workflows.h"
#include "frm_login.h"
#include "frm_ports.h"
#include "frm_sdi.h"
#include "motion_timers.h"
#include "numeric_text.h"
#include "shared_state.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRegularExpression>

namespace kinetra {

namespace {

constexpr int kEnduranceTest = 0;
constexpr double kCommandPause = 0.3;

bool isJog(int i)
{
    return i == command::kJogPositive || i == command::kJogNegative;
}

bool isServiceReset(int i)
{
    return i >= command::kFactorySettingsDevice && i <= command::kClearServiceCounters;
}

// The number a text starts with, read as the classic Val does: blanks, a sign, digits and a
// decimal point; 0 when there is none.
double leadingNumber(const QString& text)
{
    static const QRegularExpression number(QStringLiteral("^\\s*([+-]?(\\d+\\.?\\d*|\\.\\d+))"));
    const QRegularExpressionMatch m = number.match(text);
    return m.hasMatch() ? m.captured(1).toDouble() : 0.0;
}

QString quotientText(double numerator, double divisor)
{
    return QString::number(numerator / divisor, 'g', 15);
}

} // namespace

void frmSDI::connectCommandHandlers()
{
    for (auto it = cmdComand_.cbegin(); it != cmdComand_.cend(); ++it) {
        const int index = it.key();
        // Qt emits pressed only for a press inside the button and clicked only for a left-button
        // release inside it.
        connect(it.value(), &QAbstractButton::pressed, this, [this, index] { cmdComand_MouseDown(index); });
        connect(it.value(), &QAbstractButton::clicked, this, [this, index] { cmdComand_MouseUp(index); });
    }
    if (auto* data = elementAs<QAbstractButton>(Element{QStringLiteral("cmdData"), 0}))
        connect(data, &QAbstractButton::clicked, this, &frmSDI::cmdData_MouseUp);
    if (auto* current = elementAs<QLineEdit>(Element{QStringLiteral("valCurMult"), 0}))
        connect(current, &QLineEdit::textChanged, this, &frmSDI::valCurMult_Change);
    if (auto* pwm = elementAs<QLineEdit>(Element{QStringLiteral("valPwmMult"), 0}))
        connect(pwm, &QLineEdit::textChanged, this, &frmSDI::valPwmMult_Change);
}

void frmSDI::setDriveCom(DriveCom* com)
{
    com_ = com;
    timers_ = com ? std::make_unique<MotionTimers>(*com, *this) : nullptr;
}

void frmSDI::runModal(QDialog& dialog)
{
    if (modalRunner_)
        modalRunner_(dialog);
    else
        dialog.exec();
}

frmLogin* frmSDI::loginWindow()
{
    if (!login_)
        login_ = new frmLogin(state_, dialogs_, *this, this);
    return login_;
}

void frmSDI::openLogin()
{
    frmLogin* login = loginWindow();
    if (!login->isVisible())
        runModal(*login);
}

void frmSDI::cmdPorts_Click()
{
    // The window only writes the settings. A running link keeps the port it has open; the next
    // Connect asks the devices the numbers stand for then.
    frmPorts ports(state_, store_, dialogs_, serialDevices_, this);
    runModal(ports);
}

void frmSDI::cmdComand_MouseDown(int i)
{
    // A click the login took ends with its own press; this is a new one.
    loginTookClick_ = -1;
    if (!com_ || !timers_ || state_.comOnline == 0)
        return;
    if (i == kEnduranceTest) {
        timers_->startTest();
        return;
    }
    // Any other command ends the endurance test.
    timers_->stopTest();
    if (isServiceReset(i) && !state_.loginGranted) {
        // The login takes this click: its release sends nothing.
        loginTookClick_ = i;
        if (QAbstractButton* button = commandButton(i))
            button->setDown(false);
        openLogin();
        return;
    }
    if (i == command::kSaveParameters) {
        com_->WriteCom(protocol::kAddress, protocol::kCommandWord, i);
    } else if (isJog(i)) {
        // Marked before the write: the release may come while the write waits.
        jogButton_ = i;
        com_->WriteCom(protocol::kAddress, protocol::kCommandWord, i);
    }
}

void frmSDI::stopJog()
{
    if (jogButton_ < 0)
        return;
    jogButton_ = -1;
    if (timers_)
        timers_->armJogStop();
}

void frmSDI::cmdComand_MouseUp(int i)
{
    if (loginTookClick_ == i) {
        loginTookClick_ = -1;
        return;
    }
    const bool jogStarted = jogButton_ == i;
    if (jogStarted)
        jogButton_ = -1;
    if (!com_ || !timers_ || state_.comOnline == 0) {
        // A jog that went out before the link went down still gets its stop.
        if (jogStarted && timers_)
            timers_->armJogStop();
        return;
    }
    Timer& polling = com_->timerReceive();
    polling.setEnabled(false);
    if (i == command::kSave) {
        // The save window resumes the polling when it closes.
        if (onSaveWindow)
            onSaveWindow();
        else
            polling.setEnabled(true);
        return;
    }
    clock_.waitServing(kCommandPause);
    if (i < 141) {
        if (isJog(i))
            timers_->armJogStop();
        else
            com_->WriteCom(protocol::kAddress, protocol::kCommandWord, i);
    }
    if (isServiceReset(i))
        serviceReset(*com_, i, [this](int percent) { setValue(el::progressBar1(), percent); });
    // A link that went down meanwhile stays without polling.
    if (state_.comOnline != 0)
        polling.setEnabled(true);
}

bool frmSDI::commandEvent(int index, QAbstractButton* button, QEvent* event)
{
    if (jogButton_ != index)
        return false;
    // A jog always stops: released outside the button, the button losing the focus, hidden or
    // disabled, or the window losing the focus.
    switch (event->type()) {
    case QEvent::MouseButtonRelease: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && !button->rect().contains(mouse->position().toPoint()))
            stopJog();
        break;
    }
    case QEvent::FocusOut:
    case QEvent::Hide:
    case QEvent::WindowDeactivate: stopJog(); break;
    case QEvent::EnabledChange:
        if (!button->isEnabled())
            stopJog();
        break;
    case QEvent::ActivationChange:
        if (!button->isActiveWindow())
            stopJog();
        break;
    default: break;
    }
    return false;
}

void frmSDI::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange && !isActiveWindow())
        stopJog();
    QMainWindow::changeEvent(event);
}

void frmSDI::cmdData_MouseUp()
{
    if (state_.transferActive)
        return;
    // The file window shows the stop button again when it closes.
    if (!onFileWindow)
        return;
    setElementVisible(Element{QStringLiteral("cmdStop"), 0}, false);
    onFileWindow();
}

void frmSDI::cmdCompare_Click()
{
    // Not while values are on their way, into the drive or from it.
    if (state_.transferActive || !onCompareWindow)
        return;
    onCompareWindow();
}

void frmSDI::valCurMult_Change()
{
    auto* box = elementAs<QLineEdit>(Element{QStringLiteral("valCurMult"), 0});
    if (!box)
        return;
    if (box->text().isEmpty()) {
        box->setText(QStringLiteral("1"));
        return; // the text change runs this again
    }
    const double number = leadingNumber(box->text());
    if (number != 0)
        setText(Element{QStringLiteral("txtCur"), 0},
                state_.message(43) + quotientText(1, number) + QStringLiteral("A"));
    chkRead_Change(0);
}

void frmSDI::valPwmMult_Change()
{
    auto* box = elementAs<QLineEdit>(Element{QStringLiteral("valPwmMult"), 0});
    if (!box)
        return;
    const QString digits = filterChars(box->text(), kDigitChars);
    if (digits != box->text()) {
        box->setText(digits);
        return; // the text change runs this again
    }
    if (digits.isEmpty()) {
        box->setText(QStringLiteral("1"));
        return;
    }
    const double number = leadingNumber(digits);
    if (number != 0)
        setText(Element{QStringLiteral("txtPwm"), 0},
                state_.message(43) + quotientText(24, number) + state_.message(44));
    chkRead_Change(1);
}

void frmSDI::chkRead_Change(int trace)
{
    auto* box = elementAs<QCheckBox>(el::chkRead(trace));
    if (!box || !onChartTrace)
        return;
    const QString multiplier = text(trace == 0 ? el::valCurMult() : el::valPwmMult());
    onChartTrace(trace, box->isChecked(), multiplier);
}

} // namespace kinetra
