#pragma once

#include "parameter_file_reader.h"

#include <QList>
#include <QString>

#include <functional>

namespace kinetra {

// A label text as its unit and its name: "mm Actual position" is "mm" and "Actual position";
// "Start retries" has no unit.
struct ParameterLabel {
    QString name;
    QString unit;
};
ParameterLabel splitLabel(const QString& label);

// Values a load does not set on the drive: the actual position (2100 and, from the status
// block, 2170), the command word 2152, the status word 2180, and every device value but the bus
// address. They differ between any two drives, so by default they are not compared.
bool isDrivesOwn(const ParameterRecord& record);

// One compared record. Side A is the drive (or a first file), side B a parameter file.
struct ComparisonRow {
    int cmd = 0;
    int parameter = 0;      // the record's number within its section (P10 of 2110)
    ParameterLabel label;   // as the current language names it
    QString rawA, rawB;     // as whole numbers, canonical ("  -5" is -5)
    QString shownA, shownB; // in display form: the decimals of the command and decimal setting
    int decimals = 0;
    bool differs = false;
    bool loadable = false; // a load into the drive sends this record
};

// What a comparison needs besides the records of side B.
struct ComparisonInput {
    // Side A's value of a command number as text (the drive's table, or a first file).
    std::function<QString(int cmd)> valueA;
    // The label text of a command number ("mm Actual position"); may be empty.
    std::function<QString(int cmd)> label;
    // The records compared; empty compares all.
    std::function<bool(const ParameterRecord&)> compared;
    int decPnt = 0;
};

// Compares the records of side B, in file order, with side A's values. Both are taken as
// whole numbers, so that a text the drive sent and a number the file holds compare alike.
QList<ComparisonRow> compareParameters(const QList<ParameterRecord>& recordsB, const ComparisonInput& input);

// The records a comparison picks: all, or (by default) all but the drive's own values.
inline bool comparedByDefault(const ParameterRecord& record, bool includeDrivesOwn)
{
    return includeDrivesOwn || !isDrivesOwn(record);
}

} // namespace kinetra
