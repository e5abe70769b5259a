#pragma once

#include "bench_report.h"

#include <QList>

namespace kinetra::bench {

// Each case starts its own simulator (paced at the line rate, answering at once) and its own
// tool, runs `runs` times and reports medians. A case that could not run reports why on
// standard error and measures nothing.
QList<BenchRow> benchFullReadAndMemory(int runs);
BenchRow benchLoadIntoDrive(int runs);
QList<BenchRow> benchLivePolling(int runs);
QList<BenchRow> benchSilentDrive(int runs);
BenchRow benchStartUp(int runs);

} // namespace kinetra::bench
