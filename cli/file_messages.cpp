#include "file_messages.h"

#include "console.h"
#include "drive_session.h"
#include "parameter_file_reader.h"

namespace kinetra::cli {

namespace {

// For the errors the window has no message of its own for.
QString englishText(ParameterFileError error)
{
    switch (error) {
    case ParameterFileError::OtherLevelClass:
        return QStringLiteral("The file was written for drives of the other software class (55 against 79 axis "
                              "records) and does not fit this drive.");
    case ParameterFileError::UnexpectedRecord:
        return QStringLiteral("A record of the file does not belong at its place.");
    case ParameterFileError::NumberOutOfRange: return QStringLiteral("A value of the file is out of range.");
    case ParameterFileError::NotANumber: return QStringLiteral("A value of the file is not a number.");
    case ParameterFileError::TooLarge: return QStringLiteral("The file is far too large for a parameter file.");
    case ParameterFileError::NotAFile: return QStringLiteral("This is not a file.");
    default: return QStringLiteral("The file cannot be used.");
    }
}

} // namespace

QString parameterFileErrorText(const DriveSession& session, const QString& path, const ParameterFileResult& result,
                               bool storing)
{
    const int message = parameterFileMessage(result.error, storing);
    QString text =
        path + QStringLiteral(": ") +
        (message >= 0 && !session.message(message).isEmpty() ? session.message(message) : englishText(result.error));
    // "Not a parameter file" alone would mislead here.
    if ((result.error == ParameterFileError::OtherLevelClass || result.error == ParameterFileError::NotANumber) &&
        message >= 0)
        text += QLatin1Char(' ') + englishText(result.error);
    if (result.line > 0)
        text += QStringLiteral(" (line %1)").arg(result.line);
    if (!result.detail.isEmpty())
        text += QStringLiteral(" (%1)").arg(result.detail);
    return text;
}

bool checkParameterFileForReading(DriveSession& session, const QString& path)
{
    ParameterFileResult result = probeParameterFile(path);
    if (result.ok())
        result = testParameterFileHeader(path);
    if (result.ok())
        return true;
    session.console.error(parameterFileErrorText(session, path, result, false));
    return false;
}

std::optional<ParameterFileContent> readFileForDrive(DriveSession& session, const QString& path, ExitCode& failure)
{
    failure = ExitCode::FileError;
    if (!checkParameterFileForReading(session, path))
        return std::nullopt;
    if (!session.findDrive()) {
        failure = ExitCode::NoDrive;
        return std::nullopt;
    }
    if (!session.readLevel()) {
        failure = session.failureCode();
        return std::nullopt;
    }
    ParameterFileContent content = readParameterRecords(path, session.state.firmwareLevel);
    if (!content.result.ok()) {
        session.console.error(parameterFileErrorText(session, path, content.result, false));
        return std::nullopt;
    }
    return content;
}

} // namespace kinetra::cli
