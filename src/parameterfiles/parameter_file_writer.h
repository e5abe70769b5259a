#pragma once

#include "parameter_file_error.h"

#include <QByteArray>
#include <QString>

namespace kinetra {

class ParameterTable;

// The bytes of a parameter file holding `table`: header, the axis-1 records of the sequence for
// `firmwareLevel`, the device records; Windows-1252, CR LF after every line. A text slot gives a
// quoted value, a number an unquoted one, an empty slot nothing. Slots 137 and 140 holding 0
// are set to the number 1 first, in the table too.
QByteArray formatParameterFile(ParameterTable& table, qint16 firmwareLevel);

// Stores `table` into `path` (which may exist or not). The new content is written beside the
// old file and replaces it only once it is complete: on any failure the old file is left as it
// was, byte for byte, and the result says why.
ParameterFileResult writeParameterFile(const QString& path, ParameterTable& table, qint16 firmwareLevel);
// Whether a parameter file can be stored at `path` (its folder exists and takes a new file, and
// what is there is a file that may be replaced), judged before anything is written.
ParameterFileResult probeParameterFileTarget(const QString& path);

// What a new parameter file holds before the first store: the header line, unquoted.
QByteArray newParameterFileBytes();
// Creates the missing file `path` with newParameterFileBytes(); never touches an existing file.
ParameterFileResult createParameterFile(const QString& path);

} // namespace kinetra
