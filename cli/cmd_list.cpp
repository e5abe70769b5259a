// kinetra-cli list: every parameter the drive's level has, with its name, unit and value.

#include "commands.h"
#include "console.h"
#include "drive_session.h"
#include "machine_numbers.h"
#include "messages.h"
#include "numeric_text.h"
#include "parameter_catalogue.h"

#include <QJsonArray>
#include <QJsonObject>

namespace kinetra::cli {

ExitCode runList(DriveSession& session)
{
    if (!session.findDrive())
        return ExitCode::NoDrive;
    if (!session.readLevel())
        return session.failureCode();
    if (!session.fullRead())
        return session.failureCode();
    const qint16 level = session.state.firmwareLevel;

    const int decPnt = session.state.decPnt;
    QJsonArray rows;
    // Axis 1 first, as the window's tabs show it, then the device.
    QList<int> numbers;
    for (int cmd = 2100; cmd <= 2199; ++cmd)
        if (isFullReadAxisParameter(cmd, level))
            numbers << cmd;
    for (int cmd = 2400; cmd <= 2448; ++cmd)
        if (isFullReadDeviceParameter(cmd))
            numbers << cmd;
    for (const int cmd : numbers) {
        const QString raw = session.state.table.value(cmd).toText().trimmed();
        const QString display = formatValue(raw, cmd, decPnt).value_or(raw);
        const ParameterLabel label = splitLabel(session.labels.value(cmd));
        const int decimals = displayDecimals(cmd, decPnt);
        if (session.options.json)
            rows.append(QJsonObject{{QStringLiteral("cmd"), cmd},
                                    {QStringLiteral("name"), label.name},
                                    {QStringLiteral("unit"), label.unit},
                                    {QStringLiteral("decimals"), decimals},
                                    {QStringLiteral("raw"), jsonNumber(raw)},
                                    {QStringLiteral("value"), jsonNumber(display)}});
        else
            session.console.data(QStringLiteral("%1  %2 %3 %4  %5")
                                     .arg(cmd)
                                     .arg(label.name.isEmpty() ? QStringLiteral("-") : label.name, -28)
                                     .arg(label.unit, -4)
                                     .arg(decimals)
                                     .arg(display));
    }
    if (session.options.json)
        printJson(session, rows);
    return ExitCode::Success;
}

} // namespace kinetra::cli
