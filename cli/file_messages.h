#pragma once

#include "exit_codes.h"
#include "parameter_file_error.h"
#include "parameter_file_reader.h"

#include <QString>

#include <optional>

namespace kinetra::cli {

class DriveSession;

// The user's message for a parameter file that cannot be used, in the chosen language where the
// window has one: "<path>: <message> (line n)".
QString parameterFileErrorText(const DriveSession& session, const QString& path, const ParameterFileResult& result,
                               bool storing);

// The checks before a load or a diff: the file exists, can be read and starts with the header.
// False (with the message printed) when it cannot be used.
bool checkParameterFileForReading(DriveSession& session, const QString& path);

// A parameter file for the drive on the line, as a load or a diff needs it: the file checks, the
// port search, the drive's software level, then the whole file read for that level. None, with
// the exit code in `failure` and the message printed, when any of these fails.
std::optional<ParameterFileContent> readFileForDrive(DriveSession& session, const QString& path, ExitCode& failure);

} // namespace kinetra::cli
