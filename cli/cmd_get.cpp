// kinetra-cli get CMD...: poll values and show them as the window would.

#include "commands.h"
#include "console.h"
#include "drive_session.h"
#include "machine_numbers.h"
#include "messages.h"
#include "parameter_catalogue.h"
#include "numeric_text.h"

#include <QJsonArray>
#include <QJsonObject>

namespace kinetra::cli {

ExitCode runGet(DriveSession& session)
{
    QList<int> numbers;
    for (const QString& a : session.options.arguments) {
        const auto cmd = session.commandFor(a);
        if (!cmd)
            return ExitCode::Usage;
        numbers << *cmd;
    }
    if (!session.findDrive())
        return ExitCode::NoDrive;

    QJsonArray rows;
    for (const int cmd : numbers) {
        auto raw = session.poll(cmd);
        if (!raw)
            return session.failureCode();
        // A status block field comes padded with blanks.
        *raw = raw->trimmed();
        const QString display = formatValue(*raw, cmd, session.state.decPnt).value_or(*raw);
        const ParameterLabel label = splitLabel(session.labels.value(cmd));
        if (session.options.json)
            rows.append(QJsonObject{{QStringLiteral("cmd"), cmd},
                                    {QStringLiteral("name"), label.name},
                                    {QStringLiteral("unit"), label.unit},
                                    {QStringLiteral("raw"), jsonNumber(*raw)},
                                    {QStringLiteral("value"), jsonNumber(display)},
                                    {QStringLiteral("decimals"), displayDecimals(cmd, session.state.decPnt)}});
        else
            session.console.data(QStringLiteral("%1  %2  %3%4  %5")
                                     .arg(cmd)
                                     .arg(*raw, display, label.unit.isEmpty() ? QString() : QLatin1Char(' ') + label.unit,
                                          label.name)
                                     .trimmed());
    }
    if (session.options.json)
        printJson(session, rows);
    return ExitCode::Success;
}

} // namespace kinetra::cli
