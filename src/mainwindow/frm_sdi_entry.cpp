// Parameter entry on the main window: the key filter, the edit marking, the commit on Enter or
// on confirmation, the selection lists and the help line.
#include "dialogs.h"
#include "drive_com.h"
#include "drive_protocol.h"
#include "drive_workflows.h"
#include "entry_text.h"
#include "frm_sdi.h"
#include "help_text.h"
#include "language_sections.h"
#include "motion_timers.h"
#include "numeric_text.h"
#include "parameter_catalogue.h"
#include "shared_state.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

namespace kinetra {

namespace {

constexpr int kMaxEntryLength = 10;
constexpr int kPauseBox = 12;
constexpr int kApplyQuestion = 36;
constexpr int kCountingDirection = 2126;
constexpr int kMotorDirection = 2142;

// Label colours: white while edited, dark blue once in step with the table.
const QColor kEditedColour(0xFF, 0xFF, 0xFF);
const QColor kCommittedColour(0x00, 0x00, 0x40);

} // namespace

void frmSDI::connectEntryHandlers()
{
    for (auto it = txtPara_.cbegin(); it != txtPara_.cend(); ++it) {
        const int index = it.key();
        connect(it.value(), &QLineEdit::textChanged, this, [this, index] { txtPara_Change(index); });
    }
    for (auto it = cmbPara_.cbegin(); it != cmbPara_.cend(); ++it) {
        const int index = it.key();
        // Only the user's choice marks a list; the program's own settings do not.
        connect(it.value(), &QComboBox::activated, this, [this, index] { cmbPara_Click(index); });
    }
}

void frmSDI::setLabelColour(int index, bool edited)
{
    auto* label = elementAs<QLabel>(el::lblPara(index));
    if (!label)
        return;
    // White on the window's grey would not be legible: an edited label is shown white on the
    // committed colour, a committed one in the committed colour.
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, edited ? kEditedColour : kCommittedColour);
    palette.setColor(QPalette::Window, kCommittedColour);
    label->setPalette(palette);
    label->setAutoFillBackground(edited);
    label->setProperty("edited", edited);
}

void frmSDI::helpFunction(int helpStatus)
{
    if (state_.transferActive)
        return;
    const HelpText help = helpFor(helpStatus, state_.comOnline);
    if (help.show)
        setText(el::helpLine(), state_.message(help.message));
}

bool frmSDI::txtPara_KeyPress(int index, QKeyEvent* key)
{
    const QString typed = key->text();
    if (typed.isEmpty() || typed.at(0).unicode() < 0x20 || typed.at(0).unicode() == 0x7F)
        return true;
    const QChar c = typed.at(0);
    const bool digit = c >= QLatin1Char('0') && c <= QLatin1Char('9');
    const bool sign = c == QLatin1Char(',') || c == QLatin1Char('-');
    // The address takes digits only.
    if (!(digit || (sign && index != 2410)))
        return false;
    auto* box = txtPara_.value(index);
    return !box || box->text().size() - box->selectedText().size() < kMaxEntryLength;
}

void frmSDI::txtPara_Change(int index)
{
    auto* box = txtPara_.value(index);
    if (!box || box->isReadOnly() || parameterRule(commandOfBox(index)).readOnly)
        return;
    if (!state_.transferActive && index >= 101) {
        helpFunction(1);
        setLabelColour(index, true);
        if (box->text().size() > kMaxEntryLength)
            box->clear();
    }
}

void frmSDI::txtPara_Commit(int index)
{
    auto* box = txtPara_.value(index);
    if (!box || box->isReadOnly() || parameterRule(commandOfBox(index)).readOnly)
        return;
    const int cmd = commandOfBox(index);
    const EntryCommit entry = commitEntry(box->text(), cmd, state_.decPnt);
    if (entry.kind == EntryCommit::Kind::EmptyBox) {
        box->clear();
        return;
    }
    if (entry.kind == EntryCommit::Kind::KeepText)
        return;
    const QString shown = formatValue(entry.raw, cmd, state_.decPnt).value_or(entry.raw);
    setText(el::txtPara(index), shown);
    // The value's other box (a simple panel mirror and its parameter box) shows it as well: it
    // would otherwise show the old value after switching views.
    if (const auto twin = index != cmd ? std::optional<int>(cmd) : mirrorBoxOf(cmd))
        setText(el::txtPara(*twin), shown);
    // A negative pause is no pause: the timer then never fires.
    if (index == kPauseBox && com_)
        com_->TimerTest().setInterval(
            entry.raw.startsWith(QLatin1Char('-')) ? 0 : MotionTimers::pauseMilliseconds(entry.raw));
    if (cmd < 100)
        return;
    if (com_) {
        commitValue(*com_, cmd, ParameterValue::text(entry.raw));
    } else {
        state_.table.store(cmd, ParameterValue::text(entry.raw));
    }
    setLabelColour(index, false);
    if (state_.comOnline != 1)
        setText(el::helpLine(), QStringLiteral("Ok"));
    else
        helpFunction(2);
}

bool frmSDI::askToApply()
{
    if (asking_)
        return false;
    asking_ = true;
    const MessageAnswer answer = dialogs_.message(state_.message(kApplyQuestion), kApplicationTitle, MessageIcon::Error,
                                                  MessageButtons::YesNo, MessageAnswer::No);
    asking_ = false;
    return answer == MessageAnswer::Yes;
}

void frmSDI::txtPara_LostFocus(int index)
{
    auto* box = txtPara_.value(index);
    if (!box || index < 100 || box->isReadOnly() || parameterRule(commandOfBox(index)).readOnly ||
        state_.transferActive || state_.driveLoadActive != 0 || asking_)
        return;
    const int cmd = commandOfBox(index);
    const QString slot = state_.table.value(cmd).toText();
    if (leadingInteger(filterChars(box->text(), kRawChars)) == leadingInteger(slot))
        return;
    if (askToApply()) {
        txtPara_Commit(index);
        return;
    }
    setText(el::txtPara(index), formatValue(slot, cmd, state_.decPnt).value_or(slot));
    setLabelColour(index, false);
}

void frmSDI::showPositionsAgain()
{
    for (auto it = txtPara_.cbegin(); it != txtPara_.cend(); ++it) {
        const int cmd = commandOfBox(it.key());
        if (cmd < 2000 || parameterRule(cmd).display != ValueScale::Position)
            continue;
        // An edit typed under the old setting is dropped with it.
        const QString slot = state_.table.value(cmd).toText();
        setText(el::txtPara(it.key()), formatValue(slot, cmd, state_.decPnt).value_or(slot));
        setLabelColour(it.key(), false);
    }
}

void frmSDI::cmbPara_Click(int index)
{
    if (state_.transferActive)
        return;
    pendingSelection_ = index;
    setLabelColour(index, true);
    helpFunction(1);
}

namespace {
// The lists of the input and output functions.
constexpr int kFirstIoList = 2146;
constexpr int kLastIoList = 2149;
} // namespace

void frmSDI::commitPendingSelection()
{
    const int p = pendingSelection_;
    if (p == 0)
        return;
    const int position = selection(el::cmbPara(p));
    if (com_) {
        com_->WriteCom(protocol::kAddress, p, position);
        auto* encoder = elementAs<QCheckBox>(Element{QStringLiteral("chkEncoder"), 0});
        // With the internal measuring system the motor turns with the counting direction.
        if (p == kCountingDirection && encoder && encoder->isChecked()) {
            if (state_.firmwareLevel >= kTakeOverLevel)
                com_->WriteCom(protocol::kAddress, kMotorDirection, position);
            else
                com_->WriteCom(protocol::kAddress, kMotorDirection, position == 0 ? 1 : 0);
        }
    }
    if (p >= kFirstIoList && p <= kLastIoList && onIoFunctionChosen)
        onIoFunctionChosen(p - kFirstIoList, position);
    setLabelColour(p, false);
    pendingSelection_ = 0;
    helpFunction(2);
}

void frmSDI::cmbPara_LostFocus(int index)
{
    if (pendingSelection_ == 0 || asking_)
        return;
    const auto slot = state_.table.value(index).toInteger();
    const auto shown = selectionOfValue(index, slot.value_or(0));
    if (shown && selection(el::cmbPara(index)) == *shown)
        return;
    if (askToApply()) {
        commitPendingSelection();
        return;
    }
    showSelectionFromTable(index);
    setLabelColour(index, false);
}

void frmSDI::showSelectionFromTable(int index)
{
    QComboBox* list = cmbPara_.value(index);
    if (!list)
        return;
    const auto slot = state_.table.value(index).toInteger();
    const auto position = slot ? selectionOfValue(index, *slot) : std::nullopt;
    list->setCurrentIndex(position && *position < list->count() ? *position : -1);
}

void frmSDI::selectionListsFilled()
{
    listsForLevel500_ = hasNewerSelectionLists(state_.firmwareLevel);
    // A refilled list would show its first item: each shows the drive's value again, and a
    // choice not yet committed is gone with the old items.
    for (auto it = cmbPara_.cbegin(); it != cmbPara_.cend(); ++it) {
        showSelectionFromTable(it.key());
        setLabelColour(it.key(), false);
        const int position = it.value()->currentIndex();
        if (it.key() >= kFirstIoList && it.key() <= kLastIoList && position >= 0 && onIoFunctionChosen)
            onIoFunctionChosen(it.key() - kFirstIoList, position);
    }
    pendingSelection_ = 0;
}

void frmSDI::firmwareLevelShown()
{
    if (hasNewerSelectionLists(state_.firmwareLevel) != listsForLevel500_)
        fillSelectionLists(state_, *this);
}

bool frmSDI::entryEvent(QWidget* w, const ControlRole* role, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        bool handled = false;
        // The window sees every key first: Enter commits the pending selection list.
        if (enter && pendingSelection_ != 0) {
            commitPendingSelection();
            handled = true;
        }
        auto* box = role && role->kind == ControlRole::EntryBox ? static_cast<QLineEdit*>(w) : nullptr;
        if (box && !box->isReadOnly()) {
            const int index = role->index;
            if (enter) {
                // Only the user's Enter in this very box commits it.
                txtPara_Commit(index);
                return true;
            }
            if (!txtPara_KeyPress(index, key))
                return true;
        }
        return handled;
    }
    case QEvent::FocusIn:
        if (role && role->kind == ControlRole::EntryBox)
            helpFunction(0);
        return false;
    case QEvent::FocusOut: {
        // A popup (a list's own, a context menu) or another window taking the focus is no
        // leaving of the box.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason)
            return false;
        if (role && role->kind == ControlRole::EntryBox)
            txtPara_LostFocus(role->index);
        else if (role && role->kind == ControlRole::List)
            cmbPara_LostFocus(role->index);
        return false;
    }
    default: return false;
    }
}

} // namespace kinetra
