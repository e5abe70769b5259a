#pragma once

#include "table_drive.h"
#include "virtual_link.h"

namespace kinetra::test {

// The link on virtual time with a table drive on COM`drivePort`, opened and online unless told
// otherwise.
struct LinkRig : VirtualLink {
    TableDrive drive;

    explicit LinkRig(int drivePort = 1, bool online = true)
    {
        port.attach(drivePort, &drive);
        // A status block of five right-aligned fields.
        drive.values[2170] = QByteArray("         0").repeated(5);
        if (online)
            goOnline(drivePort);
    }
    QList<int> pollPorts() const
    {
        QList<int> out;
        for (const auto& w : port.written())
            out << w.port;
        return out;
    }
};

} // namespace kinetra::test
