#include "console_dialogs.h"

#include "console.h"
#include "shared_state.h"

namespace kinetra::cli {

namespace {

// The link's one report of a drive that stopped answering.
const QString kLinkErrorText = QStringLiteral("Error");

} // namespace

MessageAnswer ConsoleDialogs::message(const QString& text, const QString&, MessageIcon icon, MessageButtons buttons,
                                      MessageAnswer defaultAnswer)
{
    if (icon == MessageIcon::Error && text == kLinkErrorText) {
        ++linkErrors_;
        console_.error(context_ + text + QStringLiteral(": the drive stopped answering (link lost)."));
    } else if (!text.isEmpty() && text == state_.message(75)) {
        ++refusals_;
        console_.error(context_ + text);
    } else {
        console_.error(context_ + text);
    }
    if (onMessage_)
        onMessage_();
    return buttons == MessageButtons::Ok ? MessageAnswer::Ok : defaultAnswer;
}

} // namespace kinetra::cli
