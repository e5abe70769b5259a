#pragma once

#include "sim_device.h"
#include "virtual_link.h"

namespace kinetra::test {

// The link on virtual time with the simulated drive on COM`drivePort`, opened and online unless
// told otherwise.
struct SimLink : VirtualLink {
    SimDevice drive;

    explicit SimLink(const sim::DriveConfig& config = {}, int drivePort = 1, bool online = true) : drive(config)
    {
        drive.attachTo(port, drivePort);
        if (online)
            goOnline(drivePort);
    }
};

} // namespace kinetra::test
