#pragma once

#include "exit_codes.h"

#include <functional>

class QJsonValue;
class QString;

namespace kinetra {
struct ParameterRecord;
}

namespace kinetra::cli {

class DriveSession;

// One function per command; each returns the exit code of the program.
ExitCode runPorts(DriveSession& session);
ExitCode runFind(DriveSession& session);
ExitCode runRead(DriveSession& session);
ExitCode runGet(DriveSession& session);
ExitCode runSet(DriveSession& session);
ExitCode runLoad(DriveSession& session);
ExitCode runDiff(DriveSession& session);
ExitCode runMonitor(DriveSession& session);
ExitCode runList(DriveSession& session);
ExitCode runBatch(DriveSession& session);

// Reads the drive and lists the records of the file at `path` that `picked` picks whose
// values differ from the drive's (diff, and load --check); `what` names them in the summary.
ExitCode compareWithDrive(DriveSession& session, const QString& path,
                          const std::function<bool(const ParameterRecord&)>& picked, const QString& what);

// One JSON document on one line of standard output.
void printJson(DriveSession& session, const QJsonValue& value);

} // namespace kinetra::cli
