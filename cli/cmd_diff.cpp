// kinetra-cli diff FILE: read the drive and name every parameter that differs from the file.

#include "commands.h"
#include "console.h"
#include "drive_session.h"
#include "file_messages.h"
#include "machine_numbers.h"
#include "messages.h"
#include "parameter_comparison.h"
#include "parameter_file_reader.h"

#include <QJsonArray>
#include <QJsonObject>

#include <functional>

namespace kinetra::cli {

// Reads the drive and lists the records of the file at `path` that `picked` picks and whose
// values differ from the drive's; `what` names the outcome ("differences", "values to change").
ExitCode compareWithDrive(DriveSession& session, const QString& path,
                          const std::function<bool(const ParameterRecord&)>& picked, const QString& what)
{
    ExitCode failure = ExitCode::FileError;
    const auto file = readFileForDrive(session, path, failure);
    if (!file)
        return failure;
    const ParameterFileContent& content = *file;
    if (!session.fullRead())
        return session.failureCode();

    const QList<ComparisonRow> compared = compareParameters(
        content.records, {.valueA = [&session](int cmd) { return session.state.table.value(cmd).toText(); },
                          .label = [&session](int cmd) { return session.labels.value(cmd); },
                          .compared = picked,
                          .decPnt = session.state.decPnt});
    QJsonArray rows;
    int differences = 0;
    for (const ComparisonRow& row : compared) {
        if (!row.differs)
            continue;
        ++differences;
        const QString unit = row.label.unit.isEmpty() ? QString() : QLatin1Char(' ') + row.label.unit;
        if (session.options.json)
            rows.append(QJsonObject{{QStringLiteral("cmd"), row.cmd},
                                    {QStringLiteral("record"), QStringLiteral("P%1").arg(row.parameter)},
                                    {QStringLiteral("name"), row.label.name},
                                    {QStringLiteral("unit"), row.label.unit},
                                    {QStringLiteral("file"), jsonNumber(row.rawB)},
                                    {QStringLiteral("drive"), jsonNumber(row.rawA)},
                                    {QStringLiteral("fileValue"), jsonNumber(row.shownB)},
                                    {QStringLiteral("driveValue"), jsonNumber(row.shownA)},
                                    {QStringLiteral("decimals"), row.decimals}});
        else
            session.console.data(QStringLiteral("%1  P%2  %3  file %4%5  drive %6%5")
                                     .arg(row.cmd)
                                     .arg(row.parameter)
                                     .arg(row.label.name.isEmpty() ? QStringLiteral("-") : row.label.name, row.shownB,
                                          unit, row.shownA));
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
        [all](const ParameterRecord& record) { return comparedByDefault(record, all); }, QStringLiteral("differences"));
}

} // namespace kinetra::cli
