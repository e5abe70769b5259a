#pragma once

#include "sim_process.h"

namespace kinetra::test {

// The simulator program this build made, on a pseudo-terminal.
class SimOnPty : public sim::SimProcess {
public:
    bool start(const QStringList& arguments, int com = 1)
    {
        return SimProcess::start(QStringLiteral(KINETRA_DRIVE_SIM), arguments, com);
    }
};

} // namespace kinetra::test
