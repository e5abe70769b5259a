// kinetra-cli diff FILE: read the drive and name every parameter that differs from the file.

#include "commands.h"
#include "console.h"
#include "drive_session.h"
#include "file_messages.h"
#include "numeric_text.h"
#include "parameter_file_reader.h"

#include <QJsonArray>
#include <QJsonObject>

namespace kinetra::cli {

namespace {

constexpr int kDeviceReads = 38;

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

ExitCode runDiff(DriveSession& session)
{
    const QString path = session.options.arguments.at(0);
    ExitCode failure = ExitCode::FileError;
    const auto file = readFileForDrive(session, path, failure);
    if (!file)
        return failure;
    const ParameterFileContent& content = *file;
    const qint16 level = session.state.firmwareLevel;

    // The full read, as the window's connect makes it.
    session.console.setProgressTotal([level] { return kDeviceReads + (level >= 540 ? 100 : 59); });
    session.com->Connect();
    session.com->timerReceive().setEnabled(false);
    session.console.endProgress();
    if (session.state.paramsLoaded != 1)
        return session.failureCode();

    const int decPnt = session.state.decPnt;
    QJsonArray rows;
    int differences = 0;
    for (const ParameterRecord& record : content.records) {
        if (!session.options.all && isDrivesOwn(record))
            continue;
        // Both as whole numbers: the file's are numbers, the drive's texts ("  -5" is -5).
        const QString fileRaw = leadingInteger(record.value.toText());
        const QString driveRaw = leadingInteger(session.state.table.value(record.cmd).toText());
        if (fileRaw == driveRaw)
            continue;
        ++differences;
        const QString fileShown = formatValue(fileRaw, record.cmd, decPnt).value_or(fileRaw);
        const QString driveShown = formatValue(driveRaw, record.cmd, decPnt).value_or(driveRaw);
        if (session.options.json)
            rows.append(QJsonObject{{QStringLiteral("cmd"), record.cmd},
                                    {QStringLiteral("name"), QStringLiteral("P%1").arg(record.parameter())},
                                    {QStringLiteral("file"), fileRaw},
                                    {QStringLiteral("drive"), driveRaw},
                                    {QStringLiteral("fileDisplay"), fileShown},
                                    {QStringLiteral("driveDisplay"), driveShown}});
        else
            session.console.data(QStringLiteral("%1  P%2  file %3  drive %4")
                                     .arg(record.cmd)
                                     .arg(record.parameter())
                                     .arg(fileShown, driveShown));
    }
    if (session.options.json)
        printJson(session, rows);
    session.console.info(differences == 0 ? QStringLiteral("%1: no differences.").arg(path)
                                          : QStringLiteral("%1: %2 differences.").arg(path).arg(differences));
    return differences == 0 ? ExitCode::Success : ExitCode::Differences;
}

} // namespace kinetra::cli
