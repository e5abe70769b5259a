#include "parameter_file_values.h"

#include <QFile>
#include <QStringList>

#include <cmath>

namespace kinetra::sim {

namespace {

// Fields of one line: quoted up to the closing quote, unquoted up to the next comma, trimmed.
QStringList fieldsOf(const QString& line)
{
    QStringList fields;
    qsizetype i = 0;
    while (i <= line.size()) {
        while (i < line.size() && line[i] == QLatin1Char(' '))
            ++i;
        QString f;
        if (i < line.size() && line[i] == QLatin1Char('"')) {
            const qsizetype close = line.indexOf(QLatin1Char('"'), i + 1);
            f = line.mid(i + 1, close < 0 ? -1 : close - i - 1);
            i = close < 0 ? line.size() : close + 1;
            const qsizetype comma = line.indexOf(QLatin1Char(','), i);
            i = comma < 0 ? line.size() + 1 : comma + 1;
        } else {
            const qsizetype comma = line.indexOf(QLatin1Char(','), i);
            f = line.mid(i, comma < 0 ? -1 : comma - i).trimmed();
            i = comma < 0 ? line.size() + 1 : comma + 1;
        }
        fields << f;
    }
    return fields;
}

// The leading number of a value: minus, digits, at most one point; none without digits.
std::optional<qint64> numberOf(const QString& text)
{
    const QString t = text.trimmed();
    qsizetype i = 0;
    QString number;
    if (i < t.size() && t[i] == QLatin1Char('-'))
        number += t[i++];
    bool digits = false;
    bool point = false;
    for (; i < t.size(); ++i) {
        if (t[i].isDigit() && t[i].unicode() < 128) {
            digits = true;
            number += t[i];
        } else if (t[i] == QLatin1Char('.') && !point) {
            point = true;
            number += t[i];
        } else {
            break;
        }
    }
    if (!digits)
        return std::nullopt;
    bool ok = false;
    const double v = number.left(20).toDouble(&ok);
    if (!ok || !std::isfinite(v) || std::abs(v) > 2147483647.0)
        return std::nullopt;
    return static_cast<qint64>(std::llround(v));
}

} // namespace

std::optional<QList<std::pair<int, qint64>>> readParameterFileValues(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    // Windows-1252 for the one non-ASCII character the format has; Latin-1 reads it the same.
    const QString text = QString::fromLatin1(file.readAll());
    const QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.isEmpty() || !fieldsOf(lines.first().trimmed()).value(0).contains(QLatin1String("Parameter"))) {
        if (error)
            *error = QStringLiteral("%1 is not a parameter file (its first line is not the header)").arg(path);
        return std::nullopt;
    }
    QList<std::pair<int, qint64>> values;
    int base = 2100;
    for (qsizetype n = 1; n < lines.size(); ++n) {
        const QStringList fields = fieldsOf(lines[n].trimmed());
        const QString first = fields.value(0).trimmed();
        if (fields.size() == 1) {
            if (first.startsWith(QLatin1String("Achse"), Qt::CaseInsensitive))
                base = 2100;
            else if (first.startsWith(QLatin1String("Ger"), Qt::CaseInsensitive))
                base = 2400;
            continue;
        }
        if (fields.size() < 2 || !first.startsWith(QLatin1Char('P')))
            continue;
        bool ok = false;
        const int p = first.mid(1).toInt(&ok);
        if (!ok || p < 0 || p > 99)
            continue;
        if (const auto v = numberOf(fields[1]))
            values.push_back({base + p, *v});
    }
    return values;
}

} // namespace kinetra::sim
