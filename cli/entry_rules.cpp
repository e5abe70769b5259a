#include "entry_rules.h"

#include "numeric_text.h"

#include <QRegularExpression>

#include <algorithm>
#include <iterator>

namespace kinetra::cli {

namespace {

// Longest text an entry box holds.
constexpr qsizetype kMaxEntry = 10;

template <size_t N> bool isIn(const int (&list)[N], int cmd)
{
    return std::find(std::begin(list), std::end(list), cmd) != std::end(list);
}

bool isPosition(int cmd)
{
    static constexpr int kSingles[] = {10, 11, 2109, 2116, 2118, 2128, 2133};
    return isIn(kSingles, cmd) || (cmd >= 2100 && cmd <= 2105) || (cmd >= 2413 && cmd <= 2419);
}

bool isHundredths(int cmd)
{
    static constexpr int kList[] = {2107, 2110, 2117, 2132, 2134, 2141, 2207, 2210, 2218, 2232, 2234,
                                    2241, 2307, 2310, 2318, 2332, 2334, 2341, 2426, 2427, 2428};
    return isIn(kList, cmd);
}

bool isThousandths(int cmd)
{
    static constexpr int kList[] = {2115, 2122, 2131, 2137, 2215, 2222, 2231, 2315, 2322, 2331};
    return isIn(kList, cmd);
}

EntryValue refused(const QString& why)
{
    EntryValue v;
    v.error = why;
    return v;
}

} // namespace

EntryClass entryClass(int cmd)
{
    if (isPosition(cmd))
        return EntryClass::Position;
    if (isHundredths(cmd))
        return EntryClass::Hundredths;
    if (isThousandths(cmd))
        return EntryClass::Thousandths;
    return EntryClass::Plain;
}

EntryValue entryToRaw(const QString& typed, int cmd, int decPnt)
{
    const QString entry = typed.trimmed();
    if (entry.size() > kMaxEntry)
        return refused(QStringLiteral("at most %1 characters").arg(kMaxEntry));
    if (filterChars(entry, kEntryChars) != entry)
        return refused(QStringLiteral("only digits, a minus sign and a comma as decimal separator (12,5)"));
    if (entry.count(QLatin1Char(',')) > 1)
        return refused(QStringLiteral("more than one decimal comma"));

    const qsizetype comma = entry.indexOf(QLatin1Char(','));
    const int decimals = comma < 0 ? 0 : static_cast<int>(entry.size() - comma - 1);
    const QString digits = filterChars(entry, kRawChars);
    if (filterChars(digits, kDigitChars).isEmpty())
        return refused(QStringLiteral("no digits"));

    int expected = 0;
    switch (entryClass(cmd)) {
    case EntryClass::Position: expected = std::clamp(decPnt, 0, 3); break;
    case EntryClass::Hundredths: expected = 2; break;
    case EntryClass::Thousandths: expected = 3; break;
    case EntryClass::Plain: break;
    }

    EntryValue v;
    if (expected == 0) {
        // Taken as typed, as the window sends it (a plain "1-2" goes out as it is).
        v.raw = digits;
    } else {
        static const QRegularExpression number(QStringLiteral("^-?[0-9]+$"));
        if (!number.match(digits).hasMatch())
            return refused(QStringLiteral("not a number"));
        // At most 10 characters times at most 1000: well inside 64 bits.
        qint64 n = digits.toLongLong();
        for (int i = decimals; i < expected; ++i)
            n *= 10;
        v.raw = QString::number(n);
    }
    v.ok = true;
    v.display = formatValue(v.raw, cmd, decPnt).value_or(v.raw);
    return v;
}

bool isRawInteger(const QString& text)
{
    static const QRegularExpression integer(QStringLiteral("^-?[0-9]{1,18}$"));
    return integer.match(text).hasMatch();
}

} // namespace kinetra::cli
