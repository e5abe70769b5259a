#include "process_stats.h"

#include <QFile>

#include <algorithm>
#include <ctime>
#include <sys/resource.h>

namespace kinetra::bench {

namespace {
double seconds(const timeval& t)
{
    return double(t.tv_sec) + double(t.tv_usec) / 1e6;
}

double wallNow()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}
} // namespace

double processCpuSeconds()
{
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return seconds(ru.ru_utime) + seconds(ru.ru_stime);
}

double residentMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            const QByteArray kb = line.mid(6).trimmed().split(' ').value(0);
            return kb.toDouble() / 1024.0;
        }
    }
    return -1;
}

double median(QList<double> values)
{
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    const qsizetype n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

CpuMeter::CpuMeter() : cpu0_(processCpuSeconds()), wall0_(wallNow())
{
}

double CpuMeter::wallSeconds() const
{
    return wallNow() - wall0_;
}

double CpuMeter::share() const
{
    const double wall = wallSeconds();
    return wall > 0 ? (processCpuSeconds() - cpu0_) / wall : 0;
}

} // namespace kinetra::bench
