#pragma once

#include <QString>

namespace kinetra {

// What a drive's identification says, for the window, kinetra-cli and the simulated drive alike.
// Device type codes are 20fi: family f (0 Corvex, 1 and 5 Pivora, 2 without a name, 3 Tusk1)
// and interface i (0 RS232, 1 RS485, 2 RS422, 3 canOPEN, 4 ProfiBus).

// "Pivora canOPEN" and the like for a device type code (2401); empty for codes without one.
QString deviceTypeText(qint64 code);
// The field-bus interface of a device type code: 1 canOPEN, 2 ProfiBus, 0 otherwise.
int busTypeOf(qint64 code);
// The software version (2402) as the window shows it: 523 gives "V5-23", 1200 "V12-00".
QString versionText(qint64 level);

} // namespace kinetra
