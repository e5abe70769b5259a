#include "numeric_text.h"

#include "drive_protocol.h"
#include "parameter_catalogue.h"
#include "window_elements.h"

#include <algorithm>

namespace kinetra {

namespace {

// A decimal number as text: sign, all digits without the point, and how many are decimals.
struct Decimal {
    bool negative = false;
    QString digits;
    int decimals = 0;
};

std::optional<Decimal> parseDecimal(const QString& text)
{
    const QString t = text.trimmed();
    Decimal d;
    int i = 0;
    if (i < t.size() && (t[i] == QLatin1Char('-') || t[i] == QLatin1Char('+'))) {
        d.negative = t[i] == QLatin1Char('-');
        ++i;
    }
    bool point = false;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c.isDigit() && c.unicode() < 128) {
            d.digits += c;
            if (point)
                ++d.decimals;
        } else if ((c == QLatin1Char('.') || c == QLatin1Char(',')) && !point) {
            point = true;
        } else {
            return std::nullopt;
        }
    }
    if (d.digits.isEmpty())
        return std::nullopt;
    return d;
}

// Adds one to a digit string, carrying to the left.
QString incremented(QString digits)
{
    for (int i = digits.size() - 1; i >= 0; --i) {
        if (digits[i] == QLatin1Char('9')) {
            digits[i] = QLatin1Char('0');
        } else {
            digits[i] = QChar(digits[i].unicode() + 1);
            return digits;
        }
    }
    return QLatin1Char('1') + digits;
}

// The number divided by 10^shift, rounded half away from zero to `places` decimals, with a
// comma as separator.
QString fixed(const Decimal& d, int shift, int places)
{
    QString digits = d.digits;
    const int fraction = d.decimals + shift;
    if (fraction > places) {
        const int drop = fraction - places;
        if (drop > digits.size())
            digits = QString(drop - digits.size(), QLatin1Char('0')) + digits;
        const bool roundUp = digits[digits.size() - drop] >= QLatin1Char('5');
        digits.chop(drop);
        if (roundUp)
            digits = incremented(digits);
    } else {
        digits += QString(places - fraction, QLatin1Char('0'));
    }
    if (digits.size() < places + 1)
        digits = QString(places + 1 - digits.size(), QLatin1Char('0')) + digits;
    QString whole = digits.left(digits.size() - places);
    const QString decimals = digits.right(places);
    int firstSignificant = 0;
    while (firstSignificant < whole.size() - 1 && whole[firstSignificant] == QLatin1Char('0'))
        ++firstSignificant;
    whole = whole.mid(firstSignificant);
    const bool zero = std::all_of(digits.cbegin(), digits.cend(), [](QChar c) { return c == QLatin1Char('0'); });
    QString out = (d.negative && !zero) ? QStringLiteral("-") : QString();
    out += whole;
    if (places > 0)
        out += QLatin1Char(',') + decimals;
    return out;
}

} // namespace

QString filterChars(const QString& text, const QString& allowed)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text)
        if (allowed.contains(c))
            out += c;
    return out;
}

QString frameValue(const QByteArray& frame, const QString& allowed)
{
    QString out;
    bool collecting = false;
    int echoLeft = 0;
    for (const char c : frame) {
        if (c == ctl::STX) {
            collecting = true;
            echoLeft = 4;
        } else if (c == ctl::ETX) {
            break;
        } else if (collecting) {
            if (echoLeft > 0)
                --echoLeft;
            else if (allowed.contains(QLatin1Char(c)))
                out += QLatin1Char(c);
        }
    }
    return out;
}

QString frameField(const QByteArray& block, int k)
{
    qsizetype stx = -1;
    for (qsizetype i = 0; i < block.size(); ++i) {
        if (block[i] == ctl::ETX)
            return {};
        if (block[i] == ctl::STX) {
            stx = i;
            break;
        }
    }
    if (stx < 0 || k < 0 || k > 4)
        return {};
    const QString field = QString::fromLatin1(block.mid(stx + 1 + 4 + 10 * k, 10));
    const qsizetype lastMinus = field.lastIndexOf(QLatin1Char('-'));
    if (lastMinus > 0)
        return field.mid(lastMinus);
    return field;
}

std::optional<QString> formatValue(const QString& raw, int cmd, int decPnt)
{
    if (raw.isEmpty())
        return raw;
    const ValueScale scale = parameterRule(cmd).display;
    // Without decimal places a position is shown exactly as the drive sent it.
    if (scale == ValueScale::Position && positionDecimals(decPnt) == 0)
        return raw;
    const auto d = parseDecimal(raw);
    if (!d)
        return std::nullopt;
    // The drive reports a current of exactly 1 when it measures none.
    if (scale == ValueScale::Current && d->digits.toLongLong() == 1 && d->decimals == 0 && !d->negative &&
        d->digits.size() < 19)
        return QStringLiteral("0,00");
    const int places = displayDecimals(cmd, decPnt);
    return fixed(*d, places, places);
}

QString leadingInteger(const QString& text)
{
    int i = 0;
    const QString t = text.trimmed();
    bool negative = false;
    if (i < t.size() && (t[i] == QLatin1Char('-') || t[i] == QLatin1Char('+'))) {
        negative = t[i] == QLatin1Char('-');
        ++i;
    }
    QString digits;
    for (; i < t.size() && t[i].isDigit() && t[i].unicode() < 128; ++i)
        digits += t[i];
    int first = 0;
    while (first < digits.size() - 1 && digits[first] == QLatin1Char('0'))
        ++first;
    digits = digits.mid(first);
    if (digits.isEmpty() || digits == QLatin1String("0"))
        return QStringLiteral("0");
    return negative ? QLatin1Char('-') + digits : digits;
}

std::optional<QString> canonicalInteger(const QString& text)
{
    const QString t = text.trimmed();
    const qsizetype start = t.startsWith(QLatin1Char('-')) ? 1 : 0;
    if (t.size() == start)
        return std::nullopt;
    for (qsizetype i = start; i < t.size(); ++i)
        if (t[i] < QLatin1Char('0') || t[i] > QLatin1Char('9'))
            return std::nullopt;
    return leadingInteger(t);
}

} // namespace kinetra
