#pragma once

#include "parameter_file_error.h"
#include "parameter_value.h"

#include <QByteArrayView>
#include <QList>
#include <QString>

#include <functional>

namespace kinetra {

class ParameterTable;

// One record of a parameter file, ready to go into the table (and to the drive).
struct ParameterRecord {
    int cmd = 0;          // 21pp for an axis-1 record, 24pp for a device record
    ParameterValue value; // always a number; the zero rule of 2137 and 2140 already applied

    bool isDevice() const { return cmd / 100 % 10 == 4; }
    int parameter() const { return cmd % 100; }
    // A load into the drive sends every axis record (0, 52 and 80 included) and, of the device
    // records, only the bus address 2410.
    bool sentToDrive() const { return !isDevice() || parameter() == 10; }
    // A load shows every device value and the axis values below 56 in the main window.
    bool shownAfterLoad() const { return isDevice() || parameter() < 56; }
};

// What a file holds for the current drive level.
struct ParameterFileContent {
    // None: every record read. ReadPastEnd: the file ends early; `records` holds the complete
    // records before that point. Any other error refuses the whole file and `records` is empty.
    ParameterFileResult result;
    QList<ParameterRecord> records; // in file order
};

// Larger than any parameter file by far; such a file is refused before it is read.
inline constexpr qint64 kMaxParameterFileSize = 1024 * 1024;

// Whether the file at `path` can be opened for reading, as the file checks before a store or
// a load ask: None, NotFound (the folder exists, the file not), PathNotFound (no such folder),
// NotAFile, AccessDenied or ReadFailed. Nothing is read.
ParameterFileResult probeParameterFile(const QString& path);

// The first field of the data is "Parameter KINETRA", quoted or not.
bool hasParameterFileHeader(QByteArrayView bytes);
// Reads the first field of the file at `path`: None when it is the header, NotParameterFile
// when not, or why the file could not be read.
ParameterFileResult testParameterFileHeader(const QString& path);

// Takes the records of a file by position in the axis and device sequences of
// `firmwareLevel`. The header line is required. Each record's name must be the one expected at
// its place: a file written under the other level class (or any shifted file) is refused rather
// than loaded into the wrong parameters.
ParameterFileContent parseParameterFile(QByteArrayView bytes, qint16 firmwareLevel);
ParameterFileContent readParameterRecords(const QString& path, qint16 firmwareLevel);

// Called after each record has been stored; false abandons the load after this record.
using ParameterRecordAction = std::function<bool(const ParameterRecord&)>;

// Loads the file at `path` into `table`, record by record in file order, and calls `afterStore`
// for each (the file window sends and shows values there and tests its Stop). A refused file
// changes nothing; a file that ends early keeps the records stored before the end
// (ReadPastEnd); an abandoned load gives Stopped. `records` counts the records stored.
ParameterFileResult readParameterFile(const QString& path, ParameterTable& table, qint16 firmwareLevel,
                                      const ParameterRecordAction& afterStore = {});
// The same for records already read: stores those of `content` and reports as above.
ParameterFileResult storeParameterRecords(const ParameterFileContent& content, ParameterTable& table,
                                          const ParameterRecordAction& afterStore = {});

} // namespace kinetra
