#include "parameter_entry.h"

#include "numeric_text.h"

namespace kinetra {

EntryClass entryClass(int cmd)
{
    switch (cmd) {
    case 10:
    case 11:
    case 2109:
    case 2116:
    case 2118:
    case 2128:
    case 2133: return EntryClass::Position;
    case 2107:
    case 2110:
    case 2117:
    case 2132:
    case 2134:
    case 2141:
    case 2207:
    case 2210:
    case 2218:
    case 2232:
    case 2234:
    case 2241:
    case 2307:
    case 2310:
    case 2318:
    case 2332:
    case 2334:
    case 2341:
    case 2426:
    case 2427:
    case 2428: return EntryClass::Hundredths;
    case 2115:
    case 2122:
    case 2131:
    case 2137:
    case 2215:
    case 2222:
    case 2231:
    case 2315:
    case 2322:
    case 2331: return EntryClass::Thousandths;
    default:
        if ((cmd >= 2100 && cmd <= 2105) || (cmd >= 2413 && cmd <= 2419))
            return EntryClass::Position;
        return EntryClass::Plain;
    }
}

namespace {

// Zeros to append for `decimals` typed decimals.
int scaleZeros(EntryClass c, int decimals, int decPnt)
{
    int expected = 0;
    switch (c) {
    case EntryClass::Position: expected = decPnt == 1 || decPnt == 2 ? decPnt : 0; break;
    case EntryClass::Hundredths: expected = 2; break;
    case EntryClass::Thousandths: expected = 3; break;
    case EntryClass::Plain: expected = 0; break;
    }
    return decimals < expected ? expected - decimals : 0;
}

// `digits` times 10^zeros as decimal text; none when `digits` is no integer (a minus sign not
// in front, or a lone minus).
std::optional<QString> times10(const QString& digits, int zeros)
{
    const bool negative = digits.startsWith(QLatin1Char('-'));
    QString body = negative ? digits.mid(1) : digits;
    if (body.isEmpty() || body.contains(QLatin1Char('-')))
        return std::nullopt;
    qsizetype first = 0;
    while (first < body.size() - 1 && body[first] == QLatin1Char('0'))
        ++first;
    body = body.mid(first);
    if (body == QLatin1String("0"))
        return body;
    return (negative ? QStringLiteral("-") : QString()) + body + QString(zeros, QLatin1Char('0'));
}

} // namespace

EntryCommit commitEntry(const QString& text, int cmd, int decPnt)
{
    const QString entry = filterChars(text, kEntryChars);
    if (entry.isEmpty())
        return {EntryCommit::Kind::EmptyBox, {}};
    const qsizetype comma = entry.indexOf(QLatin1Char(','));
    const int decimals = comma < 0 ? 0 : static_cast<int>(entry.size() - comma - 1);
    const QString digits = filterChars(entry, kRawChars);
    if (digits.isEmpty())
        return {EntryCommit::Kind::KeepText, {}};
    const int zeros = scaleZeros(entryClass(cmd), decimals, decPnt);
    // What needs no scaling is sent as typed (a plain "1-2" too); the drive judges it.
    if (zeros == 0)
        return {EntryCommit::Kind::Send, digits};
    const auto scaled = times10(digits, zeros);
    if (!scaled)
        return {EntryCommit::Kind::KeepText, {}};
    return {EntryCommit::Kind::Send, *scaled};
}

bool isLockedBox(int index)
{
    switch (index) {
    case 0:
    case 1:
    case 2100:
    case 2180:
    case 2182:
    case 2184:
    case 2401:
    case 2402:
    case 2410:
    case 2425:
    case 2429:
    case 2430:
    case 2437:
    case 2440:
    case 2443:
    case 2446: return true;
    default: return false;
    }
}

HelpText helpFor(int helpStatus, int comOnline)
{
    switch (helpStatus) {
    case 0: return {true, 37};
    case 1: return {true, comOnline == 0 ? 38 : 39};
    case 2: return {true, comOnline == 1 ? 40 : 41};
    default: return {false, 0};
    }
}

} // namespace kinetra
