#include "bench_report.h"

#include <QStringList>

#include <cmath>

namespace kinetra::bench {

namespace {
QString figure(double v)
{
    if (v != 0 && std::fabs(v) < 0.1)
        return QString::number(v, 'f', 4);
    return QString::number(v, 'f', 3);
}
} // namespace

std::optional<double> BenchRow::ratio() const
{
    if (!model || *model == 0)
        return std::nullopt;
    return measured / *model;
}

bool BenchRow::met() const
{
    const double compared = ratio().value_or(measured);
    return bound == Bound::AtMost ? compared <= limit : compared >= limit;
}

QString BenchRow::targetText() const
{
    const QString op = bound == Bound::AtMost ? QStringLiteral("<=") : QStringLiteral(">=");
    if (model)
        return QStringLiteral("%1 %2 x model").arg(op, QString::number(limit, 'f', 2));
    return QStringLiteral("%1 %2 %3").arg(op, figure(limit), unit);
}

QString formatReport(const QList<BenchRow>& rows)
{
    QStringList lines;
    lines << QStringLiteral("| case | measured | model | ratio | target | met |")
          << QStringLiteral("|---|---|---|---|---|---|");
    int met = 0;
    for (const BenchRow& row : rows) {
        met += row.met() ? 1 : 0;
        const auto r = row.ratio();
        lines << QStringLiteral("| %1 | %2 %3 | %4 | %5 | %6 | %7 |")
                     .arg(row.name, figure(row.measured), row.unit,
                          row.model ? figure(*row.model) + QLatin1Char(' ') + row.unit : QStringLiteral("-"),
                          r ? QString::number(*r, 'f', 3) : QStringLiteral("-"), row.targetText(),
                          row.met() ? QStringLiteral("yes") : QStringLiteral("NO"));
    }
    for (const BenchRow& row : rows)
        if (!row.note.isEmpty())
            lines << QStringLiteral("- %1: %2").arg(row.name, row.note);
    lines << QString() << QStringLiteral("targets met: %1/%2").arg(met).arg(rows.size());
    return lines.join(QLatin1Char('\n'));
}

} // namespace kinetra::bench
