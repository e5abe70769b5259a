// The main window's start, its option handlers and its end.
#include "about_window.h"
#include "classic_units.h"
#include "device_status.h"
#include "dialogs.h"
#include "drive_com.h"
#include "fast_link_settings.h"
#include "frm_sdi.h"
#include "frm_sdi_sizes.h"
#include "input_lock.h"
#include "language_loader.h"
#include "link_presenter.h"
#include "motion_timers.h"
#include "numeric_text.h"
#include "serial_port.h"
#include "settings_store.h"
#include "shared_state.h"
#include "status_word.h"
#include "system_settings.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStyle>
#include <QTabWidget>

namespace kinetra {

namespace {

Element E(const char* name, int index = 0)
{
    return Element{QString::fromLatin1(name), index};
}

constexpr int kDiagnoseTab = 4;
constexpr int kProgramTab = 5;
const QString kLanguageNotAvailable = QStringLiteral("language not available");

} // namespace

void frmSDI::connectHandlers()
{
    connect(qobject_cast<QAbstractButton*>(element(E("cmdTool"))), &QAbstractButton::clicked, this,
            &frmSDI::cmdTool_Click);
    connect(qobject_cast<QAbstractButton*>(element(E("cmdInfo"))), &QAbstractButton::clicked, this,
            &frmSDI::cmdInfo_Click);
    // A click is a left-button release inside the button, which is what the link expects.
    connect(qobject_cast<QAbstractButton*>(element(E("cmdConnect"))), &QAbstractButton::clicked, this, [this] {
        if (com_)
            com_->cmdConnect();
    });
    connect(qobject_cast<QAbstractButton*>(element(E("cmdStop"))), &QAbstractButton::clicked, this, [this] {
        if (com_)
            com_->cmdStop();
    });
    connectEntryHandlers();
    connectCommandHandlers();
    // The window sees every key, focus change and button event of its controls first.
    for (QWidget* w : findChildren<QWidget*>())
        if (w->window() == this)
            w->installEventFilter(this);
}

void frmSDI::setCheckBoxValue(const Element& e, bool ticked)
{
    auto* box = elementAs<QCheckBox>(e);
    if (!box || box->isChecked() == ticked)
        return;
    box->setChecked(ticked);
    // Setting a box's value runs its click rule, as a click would.
    if (e.name == QLatin1String("chkEncoder"))
        chkEncoder_Click();
    else if (e.name == QLatin1String("checkSecurity"))
        applyInputLockChange();
    else if (e.name == QLatin1String("Check2"))
        Check2_Click();
}

void frmSDI::Form_Load()
{
    // The settings mirrors start at 0 with the program; a missing key leaves them there.
    settingsCheck_ = 0;
    state_.languageIndex = 0;
    state_.expertMode = false;

    state_.splashVariant = 1;
    // (A second instance never gets here: main() ends it before the window is made.)
    if (auto* tabs = elementAs<QTabWidget>(E("SSTab1"))) {
        tabs->setTabVisible(kDiagnoseTab, false);
        tabs->setTabVisible(kProgramTab, false);
    }
    // From here on a failing step is skipped and the start goes on.
    setElementEnabled(E("frameSecurity"), false);

    settingsCheck_ = settings_->read(systemkey::kCheck, settingsCheck_);
    if (settingsCheck_ == 0) {
        settings_->writeFirstStart(systemkey::kCheck, 1);
        settingsCheck_ = 1;
        settings_->writeFirstStart(systemkey::kLanguage, 1);
        state_.languageIndex = 1;
        settings_->writeFirstStart(systemkey::kDecpntFirstStart, 1);
        state_.decPnt = 1;
        settings_->writeFirstStart(systemkey::kExpert, 1);
        state_.expertMode = true;
        setCheckBoxValue(E("checkSecurity"), false);
        settings_->writeFirstStart(systemkey::kSecurity, 0);
        setCheckBoxValue(E("chkEncoder"), true);
        settings_->writeFirstStart(systemkey::kEncoder, 1);
    }

    state_.languageIndex = settings_->read(systemkey::kLanguage, state_.languageIndex);
    state_.decPnt = settings_->read(systemkey::kDecpnt, state_.decPnt);
    state_.expertMode = settings_->read(systemkey::kExpert, state_.expertMode ? 1 : 0) != 0;
    // A check box takes 0 or 1; any other stored value is a failing step.
    auto readBox = [this](const QString& key, const char* box) {
        auto* check = elementAs<QCheckBox>(E(box));
        const int value = settings_->read(key, check && check->isChecked() ? 1 : 0);
        if (value == 0 || value == 1)
            setCheckBoxValue(E(box), value == 1);
    };
    readBox(systemkey::kSecurity, "checkSecurity");
    readBox(systemkey::kEncoder, "chkEncoder");

    if (auto* encoder = elementAs<QCheckBox>(E("chkEncoder"))) {
        setElementVisible(el::cmbPara(2142), !encoder->isChecked());
        setElementVisible(el::lblPara(2142), !encoder->isChecked());
    }

    applyInputLockAtStart();
    setCheckBoxValue(E("Check2"), state_.expertMode);
    applyExpertView();
    useFastLink(storedFastLink(settings_->store()));

    show();
    if (!programFolder_.isEmpty())
        QDir::setCurrent(programFolder_);

    setStatusText(1, kOffline);
    setStatusText(3, QString());
    for (int panel : {1, 5, 3})
        setStatusBevel(panel, Bevel::Sunken);
    state_.transferTotal = 190;

    loadLanguage(state_, programFolder_, *this, store_, dialogs_);
    showMessageTexts();
    state_.transferActive = false;
    state_.chartRecording = true;
}

void frmSDI::updateScaleTexts()
{
    // A multiplier box without digits, or with 0, leaves its scale text as it is.
    const auto quotient = [this](const char* box, double numerator) -> QString {
        const QString digits = filterChars(text(E(box)), kDigitChars);
        const double divisor = digits.toDouble();
        if (digits.isEmpty() || divisor == 0)
            return {};
        return QString::number(numerator / divisor, 'g', 15);
    };
    const QString current = quotient("valCurMult", 1);
    if (!current.isEmpty())
        setText(E("txtCur"), state_.message(43) + current + QStringLiteral("A"));
    const QString pwm = quotient("valPwmMult", 24);
    if (!pwm.isEmpty())
        setText(E("txtPwm"), state_.message(43) + pwm + state_.message(44));
}

void frmSDI::applyInputLockChange()
{
    auto* lock = elementAs<QCheckBox>(E("checkSecurity"));
    if (!lock)
        return;
    settings_->write(systemkey::kSecurity, lock->isChecked() ? 1 : 0);
    setWindowTitle(applyInputLockChangeRule(*this, state_, lock->isChecked()));
}

void frmSDI::applyInputLockAtStart()
{
    auto* lock = elementAs<QCheckBox>(E("checkSecurity"));
    setWindowTitle(applyInputLockStartRule(*this, state_, lock && lock->isChecked()));
}

void frmSDI::applyExpertView()
{
    const bool expert = state_.expertMode;
    if (QWidget* panel = findChild<QWidget*>(QStringLiteral("simplePanel")))
        panel->setVisible(!expert);
    setElementVisible(E("SSTab1"), expert);
}

void frmSDI::Check2_Click()
{
    auto* box = elementAs<QCheckBox>(E("Check2"));
    if (!box)
        return;
    state_.expertMode = box->isChecked();
    settings_->write(systemkey::kExpert, state_.expertMode ? 1 : 0);
    applyExpertView();
}

void frmSDI::useFastLink(bool on)
{
    setCheckBoxValue(E("chkFastLink"), on);
    setStatusText(4, on ? kFastLinkOn : QString());
    if (com_)
        kinetra::applyFastLink(*com_, settings_->store(), on);
}

void frmSDI::chkFastLink_Click()
{
    auto* box = elementAs<QCheckBox>(E("chkFastLink"));
    if (!box)
        return;
    settings_->store().setValue(kApplicationName, kFastLinkSection, kFastLinkKey, box->isChecked() ? "1" : "0");
    useFastLink(box->isChecked());
}

void frmSDI::cmdTool_Click()
{
    QWidget* panel = element(E("frameTool"));
    if (!panel)
        return;
    if (!panel->isHidden()) {
        panel->hide();
    } else {
        panel->show();
        auto* option = elementAs<QAbstractButton>(E("optDec", state_.decPnt));
        if (option && !option->isChecked()) {
            option->setChecked(true);
            optDec_Click(state_.decPnt);
        }
    }
    setCaption(E("Check2"), state_.message(63));
    expertCaptionFromMessages_ = true;
}

void frmSDI::showMessageTexts()
{
    updateScaleTexts();
    setHint(E("cmdSecurity"), state_.message(69));
    setCaption(E("chkRead", 0), state_.message(45));
    setCaption(E("chkRead", 1), state_.message(46));
    setCaption(E("chkReadStop", 0), state_.message(47));
    if (expertCaptionFromMessages_)
        setCaption(E("Check2"), state_.message(63));
    fitMessageBoxes();
}

void frmSDI::fitMessageBoxes()
{
    // Boxes that show message texts, their design width and whether the layout fixes it.
    struct Fit {
        Element box;
        QList<int> messages;
        int designUnits;
        bool fixed;
    };
    using sizes::kBoxWidth;
    const Fit boxes[] = {{el::txtPara(2180), statusBoxMessages(), 0, false},
                 {el::txtPara1(2180), statusBoxMessages(), kBoxWidth, true},
                 {el::txtPara(0), pageTextMessages(), 2 * kBoxWidth, false},
                 {el::txtPara(1), {kModelNote}, kBoxWidth, true}};
    for (const auto& b : boxes) {
        auto* box = elementAs<QLineEdit>(b.box);
        if (!box)
            continue;
        const QFontMetrics metrics(box->font());
        int widest = 0;
        for (const int message : b.messages)
            widest = std::max(widest, metrics.horizontalAdvance(state_.message(message)));
        // The frame and the line edit's own margin of 2 pixels on either side, and a little air.
        const int frame = box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, box);
        const int width = std::max(classicUnits(this, b.designUnits), widest + 2 * frame + 8);
        if (b.fixed)
            box->setFixedWidth(width);
        else
            box->setMinimumWidth(width);
    }
}

void frmSDI::optDec_Click(int index)
{
    if (index < 0 || index > 2)
        return;
    const bool changed = state_.decPnt != index;
    state_.decPnt = index;
    settings_->write(systemkey::kDecpnt, index);
    if (changed)
        showPositionsAgain();
}

void frmSDI::chkEncoder_Click()
{
    auto* box = elementAs<QCheckBox>(E("chkEncoder"));
    if (!box)
        return;
    const bool ticked = box->isChecked();
    settings_->write(systemkey::kEncoder, ticked ? 1 : 0);
    // With the internal measuring system the motor direction follows the counting direction.
    setElementVisible(el::cmbPara(2142), !ticked);
    setElementVisible(el::lblPara(2142), !ticked);
}

void frmSDI::chkReadStop_Click(int index)
{
    auto* box = elementAs<QCheckBox>(E("chkReadStop", index));
    if (box && !box->isChecked())
        state_.chartRecording = true;
}

void frmSDI::cmdInfo_Click()
{
    if (state_.transferActive || splash_->isVisible() || splashOrven_->isVisible())
        return;
    AboutWindow* about = splashWindow(state_.splashVariant);
    about->move(geometry().center() - about->rect().center());
    about->show();
    about->raise();
    about->activateWindow();
}

void frmSDI::cmdLanguage_MouseUp(int index, Qt::MouseButton button, const QPoint& pos)
{
    QWidget* w = element(E("cmdLanguage", index));
    if (!w || pos.x() < 0 || pos.y() < 0 || pos.x() > w->width() || pos.y() > w->height())
        return;
    // The left button checks the file first; any other button loads without the check.
    if (button == Qt::LeftButton && !languageFileReadable(programFolder_, index)) {
        dialogs_.message(kLanguageNotAvailable, kApplicationTitle, MessageIcon::Error);
        return;
    }
    state_.languageIndex = index;
    if (!loadLanguage(state_, programFolder_, *this, store_, dialogs_))
        return;
    // Every text of the new language at once: those the window takes from the message table
    // too, and no help text of the old one.
    showMessageTexts();
    setText(el::helpLine(), QString());
}

bool frmSDI::eventFilter(QObject* watched, QEvent* event)
{
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w)
        return QMainWindow::eventFilter(watched, event);
    const auto found = roles_.constFind(watched);
    const ControlRole* role = found == roles_.cend() ? nullptr : &found.value();
    if (role && role->kind == ControlRole::CommandButton)
        commandEvent(role->index, static_cast<QAbstractButton*>(w), event);
    // Every control's keys pass here: Enter also commits a pending selection list.
    if (entryEvent(w, role, event))
        return true;
    if (role && role->kind == ControlRole::LanguageButton)
        languageEvent(role->index, event);
    return QMainWindow::eventFilter(watched, event);
}

void frmSDI::languageEvent(int index, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        cmdLanguage_MouseUp(index, mouse->button(), mouse->position().toPoint());
    } else if (event->type() == QEvent::KeyRelease) {
        // From the keyboard a language button acts as a left click.
        auto* keyEvent = static_cast<QKeyEvent*>(event);
        if (!keyEvent->isAutoRepeat() && keyEvent->key() == Qt::Key_Space)
            cmdLanguage_MouseUp(index, Qt::LeftButton, QPoint(0, 0));
    }
}

void frmSDI::bringToFront()
{
    if (isMinimized())
        showNormal();
    show();
    raise();
    activateWindow();
}

void frmSDI::closeEvent(QCloseEvent* event)
{
    // The program ends at once: every wait returns, nothing is asked, and no frame goes out
    // but the stop of a jog that would otherwise run on with nobody at the tool.
    if (timers_)
        timers_->stopJogOnExit(jogButton_ >= 0);
    jogButton_ = -1;
    clock_.setQuitting();
    if (com_) {
        com_->timerReceive().setEnabled(false);
        com_->TimerTest().setEnabled(false);
        com_->ManualTimer().setEnabled(false);
        com_->port().close();
    }
    splash_->hide();
    splashOrven_->hide();
    event->accept();
    QCoreApplication::quit();
}

} // namespace kinetra
