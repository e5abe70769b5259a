// kinetra-cli read -o FILE: the full read of the drive into a parameter file.

#include "commands.h"
#include "console.h"
#include "drive_session.h"
#include "file_messages.h"
#include "parameter_file_writer.h"

#include <QJsonObject>

namespace kinetra::cli {

ExitCode runRead(DriveSession& session)
{
    // A file that cannot be stored fails now, not after the whole read.
    const QString& path = session.options.output;
    if (path != QLatin1String("-")) {
        const ParameterFileResult target = probeParameterFileTarget(path);
        if (!target.ok()) {
            session.console.error(parameterFileErrorText(session, path, target, true));
            return ExitCode::FileError;
        }
    }
    if (!session.findDrive())
        return ExitCode::NoDrive;
    // The level decides how many axis parameters there are: known first, the bar is right.
    if (!session.readLevel())
        return session.failureCode();
    if (!session.fullRead())
        return session.failureCode();

    const qint16 level = session.state.firmwareLevel;
    if (path == QLatin1String("-")) {
        session.console.dataBytes(formatParameterFile(session.state.table, level));
        return ExitCode::Success;
    }
    const ParameterFileResult result = writeParameterFile(path, session.state.table, level);
    if (!result.ok()) {
        session.console.error(parameterFileErrorText(session, path, result, true));
        return ExitCode::FileError;
    }
    session.console.info(session.message(30) + path + session.message(31));
    if (session.options.json)
        printJson(session, QJsonObject{{QStringLiteral("file"), path},
                                       {QStringLiteral("softwareVersion"), level},
                                       {QStringLiteral("records"), result.records}});
    return ExitCode::Success;
}

} // namespace kinetra::cli
