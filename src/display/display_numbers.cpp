#include "display_numbers.h"

#include "numeric_text.h"

#include <QLocale>

#include <cmath>

namespace kinetra {

std::optional<double> displayNumber(const QString& text)
{
    QString t = text.trimmed();
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double n = QLocale::c().toDouble(t, &ok);
    return ok && std::isfinite(n) ? std::optional<double>(n) : std::nullopt;
}

std::optional<qint64> wholeNumber(const QString& text)
{
    bool ok = false;
    const qint64 n = text.trimmed().toLongLong(&ok);
    return ok ? std::optional<qint64>(n) : std::nullopt;
}

std::optional<double> digitsNumber(const QString& text)
{
    const QString digits = filterChars(text, kDigitChars);
    if (digits.isEmpty())
        return std::nullopt;
    bool ok = false;
    const double n = digits.toDouble(&ok);
    return ok && std::isfinite(n) ? std::optional<double>(n) : std::nullopt;
}

} // namespace kinetra
