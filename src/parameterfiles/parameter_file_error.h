#pragma once

#include <QString>

namespace kinetra {

// Why a parameter file action did not complete. The file window turns each into a message.
enum class ParameterFileError {
    None,
    NotFound,         // the file does not exist
    NotAFile,         // a folder or a device, not a file
    AccessDenied,     // the file or its folder may not be read or written
    PathNotFound,     // the folder of the file does not exist
    DiskFull,         // the medium ran out of space while storing
    ReadFailed,       // the system reported an error while reading
    WriteFailed,      // the system reported an error while storing
    TooLarge,         // far larger than any parameter file can be
    NotParameterFile, // the first field is not the header
    OtherLevelClass,  // written with the other axis sequence (55 against 79 axis records)
    UnexpectedRecord, // a record whose name does not belong at its place
    NumberOutOfRange, // a value beyond what a table slot holds
    NotANumber,       // a value that is no number ("25k"); `detail` names the record
    ReadPastEnd,      // the file ends before its last record; the records before it count
    Stopped,          // the per-record action asked to stop (the user's Stop)
};

struct ParameterFileResult {
    ParameterFileError error = ParameterFileError::None;
    int line = 0;    // 1-based line where reading stopped, when that helps the user
    int records = 0; // records read (and stored, for a load)
    QString detail;  // the system's own error text, or the record at fault, when that helps

    bool ok() const { return error == ParameterFileError::None; }
};

// The user message (index into messageText) that fits an error best, -1 for none. `storing`
// tells a store (access denied: message 10) from a load (message 5).
int parameterFileMessage(ParameterFileError error, bool storing);

} // namespace kinetra
