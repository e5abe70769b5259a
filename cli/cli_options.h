#pragma once

#include "exit_codes.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace kinetra::cli {

enum class Command { Ports, Find, Read, Get, Set, Load, Diff, Monitor, List, Batch };

// Everything the command line asks for. Options a command does not take are refused by the
// parser, so each command finds only its own options set.
struct Options {
    Command command = Command::Ports;
    QStringList arguments; // the command's positional arguments

    // Common to every command.
    std::optional<int> port;     // --port N: only this COM number, no search
    QString device;              // --device PATH (or --port PATH): only this device, no search
    QString traceFile;           // --trace FILE: the wire trace
    QString language;            // --language NAME: message texts
    bool json = false;           // --json: machine-readable data on standard output
    bool quiet = false;          // --quiet: only errors on standard error
    std::optional<int> decimals; // --decimals N: decimal places of positions (decPnt)
    QString settingsDir;         // --settings-dir DIR (or KINETRA_SETTINGS_DIR)
    bool fast = false;           // --fast: the fast link (else the tool's setting)

    // Command options.
    QString output;           // read -o FILE
    bool raw = false;         // set --raw
    bool save = false;        // load --save
    bool check = false;       // load --check: compare only, send nothing
    bool all = false;         // diff --all
    bool csv = false;         // monitor --csv
    std::optional<int> count; // monitor --count N
    QStringList ports;        // batch --ports: COM numbers ("3") and device paths, one drive each
};

// The outcome of parsing: run the command, or print `text` (help or an error) and end.
struct ParseResult {
    bool run = false;
    Options options;
    QString text;
    bool toStandardError = false;
    ExitCode exitCode = ExitCode::Success;
};

// `arguments` without the program name: COMMAND [options] [arguments], or --help / help [COMMAND].
ParseResult parseCommandLine(const QStringList& arguments);

// The general help: commands, common options, exit codes, environment.
QString generalHelp();
// The help of one command, by its name; "" for an unknown name.
QString commandHelp(const QString& name);

} // namespace kinetra::cli
