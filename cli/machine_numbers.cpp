#include "machine_numbers.h"

namespace kinetra::cli {

QString withDecimalPoint(const QString& display)
{
    return QString(display).replace(QLatin1Char(','), QLatin1Char('.'));
}

QJsonValue jsonNumber(const QString& display)
{
    const QString text = withDecimalPoint(display.trimmed());
    bool ok = false;
    // Whole numbers stay exact integers; only values with decimals become doubles.
    const qint64 whole = text.toLongLong(&ok);
    if (ok)
        return QJsonValue(whole);
    const double number = text.toDouble(&ok);
    return ok ? QJsonValue(number) : QJsonValue(display);
}

} // namespace kinetra::cli
