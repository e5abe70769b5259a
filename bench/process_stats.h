#pragma once

#include <QList>

namespace kinetra::bench {

// Processor time (user + system) this process has used so far, in seconds.
double processCpuSeconds();
// Resident memory of this process (VmRSS), in megabytes.
double residentMegabytes();
double median(QList<double> values);

// Processor time used over a stretch of wall time, as a share of one core.
class CpuMeter {
public:
    CpuMeter();
    // Share of one core since construction (0.01 = 1 %).
    double share() const;
    double wallSeconds() const;

private:
    double cpu0_;
    double wall0_;
};

} // namespace kinetra::bench
