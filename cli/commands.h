#pragma once

#include "exit_codes.h"

class QJsonValue;

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

// One JSON document on one line of standard output.
void printJson(DriveSession& session, const QJsonValue& value);

} // namespace kinetra::cli
