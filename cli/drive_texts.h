#pragma once

#include <QString>

#include <array>

namespace kinetra::cli {

// "Corvex RS232" and the like for a device type code (2401); "" for a code without a name.
QString modelText(qint64 code);

// A software version (2402) as the window shows it: 523 -> "V5-23", 1200 -> "V12-00".
QString versionText(qint64 version);

// The status text of a status word (2180) as the status box beside the window's tabs shows it:
// the last of the bits 1, 2, 4, 8 and then 16-128 that is set picks its message; all of 16-128
// together mean a short circuit from software 5.31 on; from 5.00 on an open emergency-stop
// circuit (bit 8192 clear) overrides the rest. `messages` is the message table.
QString statusText(quint32 word, int firmwareLevel, const std::array<QString, 101>& messages);

} // namespace kinetra::cli
