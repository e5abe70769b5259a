#include "bench_cases.h"

#include "chart_recording.h"
#include "drive_protocol.h"
#include "parameter_file_reader.h"
#include "parameter_file_writer.h"
#include "process_stats.h"
#include "sim_process.h"
#include "startup_probe.h"
#include "timing_model.h"
#include "tool_rig.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <memory>

namespace kinetra::bench {

namespace {

const QStringList kLineRate = {QStringLiteral("--latency"), QStringLiteral("0")};

QTextStream& err()
{
    static QTextStream stream(stderr);
    return stream;
}

using sim::SimProcess;

// The simulator from the bench's own folder, as COM1; extra options for experiments (e.g.
// --no-pacing) come from the environment.
bool startSim(SimProcess& sim, const QStringList& arguments)
{
    const QString program = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("kinetra-drive-sim"));
    const QStringList extra =
        qEnvironmentVariable("KINETRA_BENCH_SIM_ARGS").split(QLatin1Char(' '), Qt::SkipEmptyParts);
    return sim.start(program, arguments + extra, 1);
}

// The characters that crossed the line both ways, and the time they need on it alone.
struct WireCount {
    qint64 characters = 0;
    double seconds() const { return characters * kChar; }
};

// A simulator and a tool that has found it and read it completely (level 540), on the classic
// or the fast link.
struct Connected {
    SimProcess sim;
    std::unique_ptr<ToolRig> tool;
    double fullReadSeconds = 0;
    WireCount fullReadWire;
    WireCount wire;

    bool start(const QStringList& simArguments, bool fast = false)
    {
        if (!startSim(sim, kLineRate + simArguments)) {
            err() << "kinetra-drive-sim did not start: " << sim.output() << Qt::endl;
            return false;
        }
        tool = std::make_unique<ToolRig>(sim.settingsDir());
        tool->com.setFastLink(fast);
        tool->com.setWireObserver([this](bool, const QByteArray& bytes) { wire.characters += bytes.size(); });
        tool->confineSearchToCom1();
        tool->com.searchCom();
        if (tool->state.comOnline != 1) {
            err() << "the tool did not find the simulator" << Qt::endl;
            return false;
        }
        QElapsedTimer t;
        wire = {};
        t.start();
        tool->com.Connect();
        fullReadSeconds = t.nsecsElapsed() / 1e9;
        fullReadWire = wire;
        if (fast && !tool->com.fastLink()) {
            err() << "the fast link fell back to the classic timing" << Qt::endl;
            return false;
        }
        if (tool->state.paramsLoaded != 1 || tool->state.firmwareLevel < 540) {
            err() << "the full read did not complete: " << tool->dialogs.shown.join(QLatin1Char('/')) << Qt::endl;
            return false;
        }
        return true;
    }
};

QString runsNote(const QList<double>& values, int decimals = 3)
{
    QStringList parts;
    for (const double v : values)
        parts << QString::number(v, 'f', decimals);
    return QStringLiteral("runs: ") + parts.join(QStringLiteral(", "));
}

} // namespace

QList<BenchRow> benchFullReadAndMemory(int runs)
{
    QList<double> seconds;
    double rss = 0;
    for (int i = 0; i < runs; ++i) {
        Connected c;
        if (!c.start({}))
            return {};
        c.tool->com.timerReceive().setEnabled(false);
        seconds << c.fullReadSeconds;
        rss = std::max(rss, residentMegabytes());
    }
    BenchRow read{QStringLiteral("full read (Connect, level 540)"),
                  QStringLiteral("s"),
                  median(seconds),
                  fullReadSeconds(),
                  Bound::AtMost,
                  1.03,
                  runsNote(seconds)};
    BenchRow memory{QStringLiteral("resident memory after a full read"),
                    QStringLiteral("MB"),
                    rss,
                    std::nullopt,
                    Bound::AtMost,
                    60,
                    QStringLiteral("largest VmRSS over the runs, main window included")};
    return {read, memory};
}

QList<BenchRow> benchFastFullRead(int runs)
{
    QList<double> seconds;
    QList<double> wire;
    for (int i = 0; i < runs; ++i) {
        Connected c;
        if (!c.start({}, true))
            return {};
        c.tool->com.timerReceive().setEnabled(false);
        seconds << c.fullReadSeconds;
        wire << c.fullReadWire.seconds();
    }
    BenchRow line{QStringLiteral("wire-only time of the full read (level 540)"),
                  QStringLiteral("s"),
                  median(wire),
                  std::nullopt,
                  Bound::AtMost,
                  3.5,
                  QStringLiteral("the characters exchanged, both ways, at 10/9600 s each")};
    BenchRow read{QStringLiteral("full read, fast link (level 540)"),
                  QStringLiteral("s"),
                  median(seconds),
                  median(wire),
                  Bound::AtMost,
                  1.15,
                  QStringLiteral("model: the wire-only time; ") + runsNote(seconds)};
    return {line, read};
}

QList<BenchRow> benchLoadIntoDrive(int runs, bool fast)
{
    QList<double> seconds;
    QList<double> wire;
    double model = 0;
    int writes = 0;
    int refused = 0;
    for (int i = 0; i < runs; ++i) {
        Connected c;
        if (!c.start({}, fast))
            return {};
        ToolRig& tool = *c.tool;
        tool.com.timerReceive().setEnabled(false);
        // The values just read, through a parameter file, as a load takes them.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bench.par"));
        writeParameterFile(path, tool.state.table, tool.state.firmwareLevel);
        const ParameterFileContent file = readParameterRecords(path, tool.state.firmwareLevel);
        QList<ParameterRecord> sent;
        for (const ParameterRecord& r : file.records)
            if (r.sentToDrive())
                sent << r;
        model = 0;
        for (const ParameterRecord& r : sent) {
            model += writeSeconds(int(r.value.toText().size()));
        }
        writes = int(sent.size());

        const qsizetype messagesBefore = tool.dialogs.shown.size();
        tool.state.transferActive = true;
        c.wire = {};
        QElapsedTimer t;
        t.start();
        for (const ParameterRecord& r : sent)
            tool.com.WriteCom(protocol::kAddress, r.cmd, r.value, SelectionTranslation::Keep);
        seconds << t.nsecsElapsed() / 1e9;
        wire << c.wire.seconds();
        tool.state.transferActive = false;
        refused = int(tool.dialogs.shown.size() - messagesBefore);
        if (fast && !tool.com.fastLink()) {
            err() << "the fast link fell back to the classic timing during the load" << Qt::endl;
            return {};
        }
    }
    const QString note = QStringLiteral("%1 writes, %2 messages; ").arg(writes).arg(refused) + runsNote(seconds);
    if (!fast)
        return {{QStringLiteral("load into the drive (level 540)"), QStringLiteral("s"), median(seconds), model,
                 Bound::AtMost, 1.03, note}};
    return {{QStringLiteral("wire-only time of the load (level 540)"), QStringLiteral("s"), median(wire), std::nullopt,
             Bound::AtMost, 2.5, QStringLiteral("the characters exchanged, both ways, at 10/9600 s each")},
            {QStringLiteral("load into the drive, fast link (level 540)"), QStringLiteral("s"), median(seconds),
             median(wire), Bound::AtMost, 1.25, QStringLiteral("model: the wire-only time; ") + note}};
}

QList<BenchRow> benchLivePolling(int runs, bool fast)
{
    constexpr double kWindow = 5.0;
    QList<double> rates;
    QList<double> cpu;
    for (int i = 0; i < runs; ++i) {
        Connected c;
        if (!c.start({}, fast))
            return {};
        ToolRig& tool = *c.tool;
        // Connect has started the live polling; let it settle into its rhythm first.
        tool.clock.waitServing(0.5);
        const int before = tool.statusBlocks;
        CpuMeter meter;
        tool.clock.waitServing(kWindow);
        const double wall = meter.wallSeconds();
        cpu << meter.share();
        rates << (tool.statusBlocks - before) / wall;
        if (!tool.dialogs.shown.isEmpty())
            err() << "live polling reported: " << tool.dialogs.shown.join(QLatin1Char('/')) << Qt::endl;
    }
    const QString link = fast ? QStringLiteral(", fast link") : QString();
    BenchRow rate{QStringLiteral("live polling, level 540") + link,
                  QStringLiteral("blocks/s"),
                  median(rates),
                  statusBlocksPerSecond(),
                  Bound::AtLeast,
                  0.97,
                  runsNote(rates, 2)};
    BenchRow load{QStringLiteral("CPU of the tool while live polling") + link,
                  QStringLiteral("core"),
                  median(cpu),
                  std::nullopt,
                  Bound::AtMost,
                  0.02,
                  runsNote(cpu, 4)};
    return {rate, load};
}

QList<BenchRow> benchChartRecording(int runs)
{
    // Stretches of live polling with and without the recording take turns in one tool, on the
    // diagnostics page (the time axis and the recorded length repaint only there), so that
    // drifts of the machine's load fall on both alike.
    constexpr double kStretch = 2.0;
    constexpr int kTurns = 5;
    QList<double> costs;
    double with = 0;
    double without = 0;
    for (int i = 0; i < runs; ++i) {
        Connected c;
        if (!c.start({}))
            return {};
        ToolRig& tool = *c.tool;
        if (auto* tabs = tool.window.elementAs<QTabWidget>(Element{QStringLiteral("SSTab1"), 0}))
            tabs->setCurrentIndex(4);
        tool.clock.waitServing(0.5);
        double cpu[2] = {0, 0};
        double wall[2] = {0, 0};
        for (int turn = 0; turn < 2 * kTurns; ++turn) {
            const int on = turn % 2 == 0 ? 1 : 0;
            tool.windowDisplay.recording = on == 1;
            CpuMeter meter;
            tool.clock.waitServing(kStretch);
            cpu[on] += meter.share() * meter.wallSeconds();
            wall[on] += meter.wallSeconds();
        }
        if (tool.window.chartRecording().isEmpty()) {
            err() << "the chart recorded nothing" << Qt::endl;
            return {};
        }
        with = cpu[1] / wall[1];
        without = cpu[0] / wall[0];
        costs << with - without;
    }
    // The recording itself, apart from the window: three display texts read and one sample
    // kept, for a full ring and more, at the line's highest sample rate.
    QList<double> perSecond;
    for (int i = 0; i < runs; ++i) {
        ChartRecording recording;
        const QString texts[] = {QStringLiteral("-12345,67"), QStringLiteral("1,23"), QStringLiteral("127")};
        constexpr int kSamples = 4 * int(ChartRecording::kCapacity);
        CpuMeter meter;
        for (int n = 0; n < kSamples; ++n) {
            ChartSample sample;
            sample.position = shownNumber(texts[0]);
            sample.current = shownNumber(texts[1]);
            sample.pwm = shownNumber(texts[2]);
            sample.statusWord = quint32(n);
            recording.add(n / ChartRecording::kMostSamplesPerSecond, sample);
        }
        const double seconds = meter.share() * meter.wallSeconds();
        perSecond << seconds / kSamples * ChartRecording::kMostSamplesPerSecond;
    }
    // Two noisy CPU figures of some 0.02 core each are subtracted in the first row: a
    // difference below 0.005 core is within the noise of a shared machine (the time axis
    // repaints with each sample while the page is shown). The second row is the recording's
    // own cost.
    return {{QStringLiteral("CPU of the chart's recording while live polling"), QStringLiteral("core"), median(costs),
             std::nullopt, Bound::AtMost, 0.005,
             QStringLiteral("with it less without it (last run: %1 and %2 core); ")
                     .arg(with, 0, 'f', 4)
                     .arg(without, 0, 'f', 4) +
                 runsNote(costs, 4)},
            {QStringLiteral("CPU of keeping the chart's samples at the line's highest rate"), QStringLiteral("core"),
             median(perSecond), std::nullopt, Bound::AtMost, 0.0001,
             QStringLiteral("%1 samples a second, a ring of %2; ")
                     .arg(ChartRecording::kMostSamplesPerSecond, 0, 'f', 1)
                     .arg(ChartRecording::kCapacity) +
                 runsNote(perSecond, 7)}};
}

QList<BenchRow> benchSilentDrive(int runs)
{
    QList<double> polling;
    QList<double> search;
    for (int i = 0; i < runs; ++i) {
        {
            // The drive falls silent during the live polling: three unanswered polls, then the
            // error. 139 frames are the search and the full read.
            Connected c;
            if (!c.start({QStringLiteral("--silent-after"), QStringLiteral("160")}))
                return {};
            ToolRig& tool = *c.tool;
            tool.serveUntil([&] { return tool.statusBlocks >= 21; }, 5);
            CpuMeter meter;
            tool.serveUntil([&] { return tool.state.comOnline == 0; }, 10);
            polling << meter.share();
        }
        {
            // A port search that meets a silent drive.
            SimProcess sim;
            if (!startSim(sim, kLineRate + QStringList{QStringLiteral("--silent")}))
                return {};
            ToolRig tool(sim.settingsDir());
            tool.confineSearchToCom1();
            // The window's first layout and paint are not part of the wait.
            tool.clock.waitServing(0.3);
            CpuMeter meter;
            tool.com.searchCom();
            search << meter.share();
        }
    }
    return {{QStringLiteral("CPU while waiting for a silent drive (live polling)"), QStringLiteral("core"),
             median(polling), std::nullopt, Bound::AtMost, 0.01, runsNote(polling, 4)},
            {QStringLiteral("CPU while waiting for a silent drive (port search)"), QStringLiteral("core"),
             median(search), std::nullopt, Bound::AtMost, 0.01, runsNote(search, 4)}};
}

BenchRow benchStartUp(int runs)
{
    QList<double> seconds;
    QTemporaryDir settings;
    // One start more than asked: the first one writes the first-start defaults and warms the
    // file cache.
    for (int i = 0; i <= runs; ++i) {
        const double s = timeStartUp(settings.path());
        if (s < 0)
            return {};
        if (i > 0)
            seconds << s;
    }
    return {QStringLiteral("start-up to the window shown, offscreen"),
            QStringLiteral("s"),
            median(seconds),
            std::nullopt,
            Bound::AtMost,
            0.3,
            runsNote(seconds)};
}

} // namespace kinetra::bench
