#pragma once

#include "drive_com.h"
#include "parameter_file_reader.h"

#include <optional>

namespace kinetra {

// Called after each record of a load into the drive, with the outcome of its write when it was
// sent; false ends the load after this record.
using DriveLoadStep = std::function<bool(const ParameterRecord&, std::optional<WriteOutcome>)>;

// The load of a parameter file into the drive, for the file window and kinetra-cli alike: each
// record goes into the table and, when the drive takes it, to the drive as the file holds it (the
// drive's own values: parameter 25 is no list position). A stop request or the program's end
// ends the load after the record in flight. The caller holds a TransferScope.
//
// The whole file is judged before the first record is stored: a file that would fail part way
// (one that ends early included) stores and sends nothing, so that the drive never holds half of
// one set and half of another.
//
// With `selected`, only the records it picks are stored and sent (the compare window loads the
// rows the user ticked); the file is judged whole all the same.
ParameterFileResult loadIntoDrive(DriveCom& com, const QString& path, const DriveLoadStep& afterRecord,
                                  const std::function<bool(const ParameterRecord&)>& selected = {});

} // namespace kinetra
