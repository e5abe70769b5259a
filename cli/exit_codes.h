#pragma once

namespace kinetra::cli {

// What kinetra-cli ends with, so that a script can tell the outcomes apart. The numbers are part
// of the tool's interface: never renumber them.
enum class ExitCode {
    Success = 0,
    Differences = 1, // diff: the drive differs from the file
    Usage = 2,       // the command line is wrong (unknown command or option, a bad value)
    Refused = 3,     // the drive answered NAK to a value or command
    NoDrive = 4,     // no drive answered on the ports searched (or the given port)
    LinkLost = 5,    // the drive stopped answering during the command
    FileError = 6,   // a file could not be read or written, or is not a fitting parameter file
};

inline int toInt(ExitCode code)
{
    return static_cast<int>(code);
}

} // namespace kinetra::cli
