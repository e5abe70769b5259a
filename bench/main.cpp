// kinetra-bench: measures the tool against the simulated drive on a pseudo-terminal and prints
// each figure beside the timing model's. See docs/bench.md.
//
//   kinetra-bench [--runs N] [--only WORD]
//
// --only runs the cases whose name holds WORD (full, load, live, chart, silent, start).

#include "bench_cases.h"
#include "startup_probe.h"

#include <QApplication>
#include <QFile>
#include <QTextStream>

#include <cstring>

using namespace kinetra::bench;

namespace {
// Wall-time figures depend on what else the machine runs: the report names its load.
QString loadAverage()
{
    QFile f(QStringLiteral("/proc/loadavg"));
    return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll().trimmed()) : QStringLiteral("unknown");
}
} // namespace

int main(int argc, char** argv)
{
    if (argc >= 3 && std::strcmp(argv[1], kStartUpProbe) == 0)
        return runStartUpProbe(argc, argv, QString::fromLocal8Bit(argv[2]));

    // The tool's window is shown, but on no screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int runs = 3;
    const QStringList args = QCoreApplication::arguments();
    for (qsizetype i = 1; i < args.size(); ++i) {
        const bool known =
            (args[i] == QLatin1String("--runs") || args[i] == QLatin1String("--only")) && i + 1 < args.size();
        if (!known) {
            const bool help = args[i] == QLatin1String("--help") || args[i] == QLatin1String("-h");
            QTextStream(help ? stdout : stderr)
                << "usage: kinetra-bench [--runs N] [--only WORD]\n"
                   "  --runs N     runs per case (default 3); the report gives medians\n"
                   "  --only WORD  only the cases whose name holds WORD: full, load, live, chart, silent, start\n"
                   "Starts kinetra-drive-sim from the same folder on a pseudo-terminal; see docs/bench.md.\n";
            return help ? 0 : 2;
        }
        ++i;
    }
    const qsizetype at = args.indexOf(QStringLiteral("--runs"));
    if (at > 0 && at + 1 < args.size())
        runs = qMax(1, args[at + 1].toInt());

    const qsizetype onlyAt = args.indexOf(QStringLiteral("--only"));
    const QString only = onlyAt > 0 && onlyAt + 1 < args.size() ? args[onlyAt + 1] : QString();
    const auto wanted = [&](const char* word) { return only.isEmpty() || QLatin1String(word).contains(only); };

    QTextStream out(stdout);
    out << "kinetra-bench: " << runs << " runs per case, medians; load average " << loadAverage() << Qt::endl;
    QList<BenchRow> rows;
    const auto add = [&](const QList<BenchRow>& more, const QStringList& names) {
        for (qsizetype i = 0; i < names.size(); ++i) {
            // A case that could not run still counts, as missed.
            if (i >= more.size() || more[i].name.isEmpty()) {
                BenchRow missed;
                missed.name = names[i] + QStringLiteral(" (did not run)");
                rows << missed;
                continue;
            }
            rows << more[i];
            out << "  " << more[i].name << ": " << more[i].measured << ' ' << more[i].unit << Qt::endl;
        }
    };
    if (wanted("full read")) {
        add(benchFullReadAndMemory(runs), {QStringLiteral("full read"), QStringLiteral("resident memory")});
        add(benchFastFullRead(runs),
            {QStringLiteral("wire-only time of the full read"), QStringLiteral("full read, fast link")});
    }
    if (wanted("load")) {
        add(benchLoadIntoDrive(runs, false), {QStringLiteral("load into the drive")});
        add(benchLoadIntoDrive(runs, true),
            {QStringLiteral("wire-only time of the load"), QStringLiteral("load into the drive, fast link")});
    }
    if (wanted("live polling")) {
        add(benchLivePolling(runs, false), {QStringLiteral("live polling"), QStringLiteral("CPU while live polling")});
        add(benchLivePolling(runs, true),
            {QStringLiteral("live polling, fast link"), QStringLiteral("CPU while live polling, fast link")});
    }
    if (wanted("chart recording"))
        add(benchChartRecording(runs),
            {QStringLiteral("CPU of the chart's recording"), QStringLiteral("CPU of keeping the chart's samples")});
    if (wanted("silent drive"))
        add(benchSilentDrive(runs),
            {QStringLiteral("CPU, silent drive (live polling)"), QStringLiteral("CPU, silent drive (port search)")});
    if (wanted("start-up"))
        add({benchStartUp(qMax(runs, 5))}, {QStringLiteral("start-up")});
    out << Qt::endl << formatReport(rows) << Qt::endl;
    out << "load average at the end: " << loadAverage() << Qt::endl;
    return 0;
}
