#pragma once

#include "port_names.h"

namespace kinetra::test {

// The machine's serial devices as a test makes them up: those the system lists, and paths that
// are there without being listed (pseudo-terminals).
struct FakeSerialDevices : SerialDeviceSource {
    QList<SerialDevice> listed;
    QStringList unlisted;
    QList<SerialDevice> devices() const override { return listed; }
    bool exists(const QString& path) const override { return unlisted.contains(path); }
};

} // namespace kinetra::test
