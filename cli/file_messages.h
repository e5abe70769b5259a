#pragma once

#include "parameter_file_error.h"

#include <QString>

namespace kinetra::cli {

class DriveSession;

// The user's message for a parameter file that cannot be used, in the chosen language where the
// window has one: "<path>: <message> (line n)".
QString parameterFileErrorText(const DriveSession& session, const QString& path, const ParameterFileResult& result,
                               bool storing);

// The checks before a load or a diff: the file exists, can be read and starts with the header.
// False (with the message printed) when it cannot be used.
bool checkParameterFileForReading(DriveSession& session, const QString& path);

} // namespace kinetra::cli
