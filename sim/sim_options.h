#pragma once

#include "drive_config.h"

#include <QString>
#include <QStringList>

namespace kinetra::sim {

// What the command line of kinetra-drive-sim asks for.
struct SimOptions {
    DriveConfig drive;
    QString parameterFile;
    // "" (no registration), "auto" (the first free COMn) or a number 1-10.
    QString com;
    QString settingsDir; // "" = the user's own settings folder
    bool trace = false;
};

// Parses the arguments (argv[0] first). On --help, --version or an error it returns false with
// the text to print in `message` and the exit code in `exitCode`.
bool parseSimOptions(const QStringList& arguments, SimOptions& options, QString& message, int& exitCode);

} // namespace kinetra::sim
