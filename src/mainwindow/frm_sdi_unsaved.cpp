// The main window's sign that the drive holds values it has not saved, the mark on the save
// button, and the button that writes the values read back.
#include "dialogs.h"
#include "drive_com.h"
#include "drive_workflows.h"
#include "frm_sdi.h"
#include "picture_icons.h"
#include "shared_state.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>

namespace kinetra {

void frmSDI::buildUnsavedMarker()
{
    // After the five panels; shown while the drive holds values it would lose at power-off.
    auto* marker = new QLabel;
    registerElement(QStringLiteral("lblUnsaved"), 0, marker, false);
    marker->setFrameShape(QFrame::Panel);
    marker->setFrameShadow(QFrame::Sunken);
    marker->setMargin(1);
    // The text says it; the colour only catches the eye.
    marker->setStyleSheet(QStringLiteral("QLabel { background: #ffe082; color: #3e2723; font-weight: bold; }"));
    bindToolText(marker, tooltext::UnsavedMarker);
    bindToolText(marker, tooltext::UnsavedHint, ToolTextBindings::Role::Hint);
    marker->setVisible(false);
    statusBar()->addWidget(marker);

    auto* revert = new QPushButton;
    registerElement(QStringLiteral("cmdRevert"), 0, revert, false);
    revert->setAutoDefault(false);
    bindToolText(revert, tooltext::RevertButton);
    revert->setVisible(false);
    connect(revert, &QAbstractButton::clicked, this, &frmSDI::cmdRevert_Click);
    statusBar()->addWidget(revert);
}

void frmSDI::setMarked(const Element& e, bool marked, int hintEntry)
{
    auto* button = elementAs<QAbstractButton>(e);
    if (!button)
        return;
    if (marked && !marks_.contains(button)) {
        marks_.insert(button, {button->icon(), hintEntry});
        button->setIcon(markedIcon(button->icon()));
    } else if (marked) {
        marks_[button].hintEntry = hintEntry;
    } else if (marks_.contains(button)) {
        button->setIcon(marks_.take(button).plain);
    }
    showMarkHint(button);
}

void frmSDI::showMarkHint(QAbstractButton* button)
{
    // A picture button's accessible name is its hint; it stays the button's name while marked,
    // and the mark's text is its description.
    const QString hint = button->accessibleName();
    const auto mark = marks_.constFind(button);
    const QString why = mark == marks_.cend() ? QString() : state_.tool(mark->hintEntry);
    button->setToolTip(why.isEmpty() ? hint : hint + QLatin1Char('\n') + why);
    button->setAccessibleDescription(why);
}

void frmSDI::cmdRevert_Click()
{
    if (!com_)
        return;
    // The question and the writes come after the transaction on the wire, as one action.
    if (com_->runOnFreeWire([this] { cmdRevert_Click(); }))
        return;
    const auto tell = [this](const QString& text, MessageIcon icon) {
        dialogs_.message(text, kApplicationTitle, icon);
    };
    if (state_.comOnline != 1) {
        tell(state_.tool(tooltext::RevertOffline), MessageIcon::Warning);
        return;
    }
    const qsizetype count = state_.unsaved.changed(state_.table).size();
    if (count > 0 &&
        dialogs_.message(state_.tool(tooltext::RevertQuestion).arg(count), kApplicationTitle, MessageIcon::Question,
                         MessageButtons::YesNo, MessageAnswer::No) != MessageAnswer::Yes)
        return;
    const RevertResult result = revertToValuesRead(*com_);
    if (!result.sent)
        tell(state_.tool(tooltext::RevertOffline), MessageIcon::Warning);
    else if (result.changed == 0)
        tell(state_.tool(tooltext::RevertNothing), MessageIcon::Information);
    else if (result.failed == 0)
        tell(state_.tool(tooltext::RevertDone), MessageIcon::Information);
    else
        tell(state_.tool(tooltext::RevertFailed).arg(result.failed), MessageIcon::Error);
}

} // namespace kinetra
