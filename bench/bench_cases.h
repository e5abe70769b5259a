#pragma once

#include "bench_report.h"

#include <QList>

namespace kinetra::bench {

// Each case starts its own simulator (paced at the line rate, answering at once) and its own
// tool, runs `runs` times and reports medians. A case that could not run reports why on
// standard error and measures nothing.
QList<BenchRow> benchFullReadAndMemory(int runs);
// The fast link's full read beside the time its characters need on the wire alone.
QList<BenchRow> benchFastFullRead(int runs);
// Classic: the load's time against the timing model; fast: the wire-only time, then the load.
QList<BenchRow> benchLoadIntoDrive(int runs, bool fast);
QList<BenchRow> benchLivePolling(int runs, bool fast);
// The processor time of live polling with the chart's recording on, less that without it.
QList<BenchRow> benchChartRecording(int runs);
QList<BenchRow> benchSilentDrive(int runs);
BenchRow benchStartUp(int runs);

} // namespace kinetra::bench
