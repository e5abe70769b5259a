// kinetra-cli set CMD VALUE: one commit, as the window's entry box makes it.

#include "commands.h"
#include "console.h"
#include "drive_protocol.h"
#include "drive_session.h"
#include "drive_workflows.h"
#include "entry_rules.h"
#include "machine_numbers.h"
#include "numeric_text.h"
#include "parameter_catalogue.h"

#include <QJsonObject>

namespace kinetra::cli {

ExitCode runSet(DriveSession& session)
{
    const Options& o = session.options;
    const auto cmd = session.commandFor(o.arguments.at(0));
    if (!cmd)
        return ExitCode::Usage;
    const QString typed = o.arguments.at(1);
    QString raw;
    if (o.raw) {
        if (!isRawInteger(typed)) {
            session.console.error(
                QStringLiteral("\"%1\" is not a raw value: an integer of at most 18 digits.").arg(typed));
            return ExitCode::Usage;
        }
        raw = typed;
    } else {
        // A position typed at the wrong scale moves the axis 10 or 100 times too far.
        if (parameterRule(*cmd).entry == EntryClass::Position && !session.decimalsKnown) {
            session.console.error(QStringLiteral("%1 is a position and the decimal places of positions are not "
                                                 "known here: give --decimals N (0-3), or --raw.")
                                      .arg(*cmd));
            return ExitCode::Usage;
        }
        const EntryValue entry = entryToRaw(typed, *cmd, session.state.decPnt);
        if (!entry.ok) {
            session.console.error(QStringLiteral("\"%1\" cannot be sent: %2.").arg(typed, entry.error));
            return ExitCode::Usage;
        }
        raw = entry.raw;
    }

    if (!session.findDrive())
        return ExitCode::NoDrive;
    if (!session.readLevel())
        return session.failureCode();

    // A list position of the edge evaluation becomes the drive's 1/2/4; a raw value is the
    // drive's own already.
    const auto translation = o.raw ? SelectionTranslation::Keep : SelectionTranslation::Translate;
    const ParameterValue sent = DriveCom::valueOnTheWire(*cmd, ParameterValue::text(raw), translation);
    const WriteOutcome outcome = commitValue(*session.com, *cmd, ParameterValue::text(raw), translation);

    const QString sentText = sent.toText();
    const QString display = formatValue(sentText, *cmd, session.state.decPnt).value_or(sentText);
    // Only an acknowledgement counts: an answer that is neither ACK nor NAK confirms nothing.
    const bool accepted = outcome == WriteOutcome::Accepted;
    if (outcome == WriteOutcome::Garbled)
        session.console.error(
            QStringLiteral("%1: the drive's answer was neither an acknowledgement nor a refusal.").arg(*cmd));
    if (o.json)
        printJson(session, QJsonObject{{QStringLiteral("cmd"), *cmd},
                                       {QStringLiteral("raw"), jsonNumber(sentText)},
                                       {QStringLiteral("value"), jsonNumber(display)},
                                       {QStringLiteral("decimals"), displayDecimals(*cmd, session.state.decPnt)},
                                       {QStringLiteral("accepted"), accepted}});
    else if (accepted)
        session.console.data(QStringLiteral("%1  %2  %3  accepted").arg(*cmd).arg(sentText, display));
    if (session.linkLost())
        return ExitCode::LinkLost;
    return accepted ? ExitCode::Success : ExitCode::Refused;
}

} // namespace kinetra::cli
