#pragma once

#include "parameter_value.h"

#include <QByteArray>
#include <QList>

namespace kinetra {

class ParameterTable;

// From this drive level on, axis 1 has parameters 56-79 as well, and files carry them.
inline constexpr qint16 kLongAxisSequenceLevel = 540;

// First field of every parameter file; a new file starts with it unquoted.
inline constexpr char kParameterFileHeader[] = "Parameter KINETRA";

// Parameter numbers of the axis-1 records in file order: 0-52, 55-80 (79 records) from level
// 540 on, else 0-52, 55, 80 (55 records). 53 and 54 are never in a file.
QList<int> axisSequence(qint16 firmwareLevel);
// Parameter numbers of the device records in file order: 0-3, 10-19, 25-48 (38 records).
QList<int> deviceSequence();

inline constexpr int axisCommand(int parameter)
{
    return 2100 + parameter;
}
inline constexpr int deviceCommand(int parameter)
{
    return 2400 + parameter;
}

// Name field of a record: "P" and the parameter number without leading zeros, in both sections.
QByteArray recordName(int parameter);

// Cycle time (2137) and maximum frequency (2140) must never be 0: a file turns a 0 there into 1.
bool isZeroRuleCommand(int cmd);
// The value a zero-rule command keeps instead of `value`: the number 1 for a value 0, else
// `value` unchanged. An empty slot is not a 0.
ParameterValue zeroRuleValue(int cmd, const ParameterValue& value);

} // namespace kinetra
