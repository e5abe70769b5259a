// kinetra-cli diff FILE: read the drive and name every parameter that differs from the file.

#include "commands.h"
#include "console.h"
#include "drive_session.h"
#include "file_messages.h"
#include "machine_numbers.h"
#include "messages.h"
#include "numeric_text.h"
#include "parameter_catalogue.h"
#include "parameter_file_reader.h"

#include <QJsonArray>
#include <QJsonObject>

#include <functional>

namespace kinetra::cli {

namespace {

// Values a load does not set on the drive: the actual position (2100 and, from the status
// block, 2170), the command word 2152, the status word 2180, and every device value but the bus
// address. They differ between any two drives, so by default they are not compared.
bool isDrivesOwn(const ParameterRecord& record)
{
    if (record.isDevice())
        return record.parameter() != 10;
    switch (record.parameter()) {
    case 0:
    case 52:
    case 70:
    case 80: return true;
    default: return false;
    }
}

} // namespace

// Reads the drive and lists the records of the file at `path` that `compared` picks and whose
// values differ from the drive's; `what` names the outcome ("differences", "values to change").
ExitCode compareWithDrive(DriveSession& session, const QString& path,
                          const std::function<bool(const ParameterRecord&)>& compared, const QString& what)
{
    ExitCode failure = ExitCode::FileError;
    const auto file = readFileForDrive(session, path, failure);
    if (!file)
        return failure;
    const ParameterFileContent& content = *file;
    if (!session.fullRead())
        return session.failureCode();

    const int decPnt = session.state.decPnt;
    QJsonArray rows;
    int differences = 0;
    for (const ParameterRecord& record : content.records) {
        if (!compared(record))
            continue;
        // Both as whole numbers: the file's are numbers, the drive's texts ("  -5" is -5).
        const QString fileRaw = leadingInteger(record.value.toText());
        const QString driveRaw = leadingInteger(session.state.table.value(record.cmd).toText());
        if (fileRaw == driveRaw)
            continue;
        ++differences;
        const QString fileShown = formatValue(fileRaw, record.cmd, decPnt).value_or(fileRaw);
        const QString driveShown = formatValue(driveRaw, record.cmd, decPnt).value_or(driveRaw);
        const ParameterLabel label = splitLabel(session.labels.value(record.cmd));
        const QString unit = label.unit.isEmpty() ? QString() : QLatin1Char(' ') + label.unit;
        if (session.options.json)
            rows.append(QJsonObject{{QStringLiteral("cmd"), record.cmd},
                                    {QStringLiteral("record"), QStringLiteral("P%1").arg(record.parameter())},
                                    {QStringLiteral("name"), label.name},
                                    {QStringLiteral("unit"), label.unit},
                                    {QStringLiteral("file"), jsonNumber(fileRaw)},
                                    {QStringLiteral("drive"), jsonNumber(driveRaw)},
                                    {QStringLiteral("fileValue"), jsonNumber(fileShown)},
                                    {QStringLiteral("driveValue"), jsonNumber(driveShown)},
                                    {QStringLiteral("decimals"), displayDecimals(record.cmd, decPnt)}});
        else
            session.console.data(QStringLiteral("%1  P%2  %3  file %4%5  drive %6%5")
                                     .arg(record.cmd)
                                     .arg(record.parameter())
                                     .arg(label.name.isEmpty() ? QStringLiteral("-") : label.name, fileShown, unit,
                                          driveShown));
    }
    if (session.options.json)
        printJson(session, rows);
    session.console.info(differences == 0 ? QStringLiteral("%1: no %2.").arg(path, what)
                                          : QStringLiteral("%1: %2 %3.").arg(path).arg(differences).arg(what));
    return differences == 0 ? ExitCode::Success : ExitCode::Differences;
}

ExitCode runDiff(DriveSession& session)
{
    const bool all = session.options.all;
    return compareWithDrive(
        session, session.options.arguments.at(0),
        [all](const ParameterRecord& record) { return all || !isDrivesOwn(record); }, QStringLiteral("differences"));
}

} // namespace kinetra::cli
