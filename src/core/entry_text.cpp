#include "entry_text.h"

#include "numeric_text.h"
#include "parameter_catalogue.h"
#include "window_elements.h"

namespace kinetra {

namespace {

// Decimals typed after the first comma of an entry filtered to kEntryChars.
int typedDecimals(const QString& entry)
{
    const qsizetype comma = entry.indexOf(QLatin1Char(','));
    return comma < 0 ? 0 : static_cast<int>(entry.size() - comma - 1);
}

// Zeros that bring `typed` decimals up to the `expected` ones.
int missingZeros(int typed, int expected)
{
    return typed < expected ? expected - typed : 0;
}

// `digits` times 10^zeros as canonical decimal text; none when `digits` is no integer (a minus
// sign not in front, or a lone minus).
std::optional<QString> times10(const QString& digits, int zeros)
{
    const auto integer = canonicalInteger(digits);
    if (!integer || *integer == QLatin1String("0"))
        return integer;
    return *integer + QString(zeros, QLatin1Char('0'));
}

} // namespace

EntryCommit commitEntry(const QString& text, int cmd, int decPnt)
{
    const QString entry = filterChars(text, kEntryChars);
    if (entry.isEmpty())
        return {EntryCommit::Kind::EmptyBox, {}};
    const QString digits = filterChars(entry, kRawChars);
    if (digits.isEmpty())
        return {EntryCommit::Kind::KeepText, {}};
    const int zeros = missingZeros(typedDecimals(entry), entryDecimals(cmd, decPnt));
    // Only a number goes to the drive, in its canonical form: 0,25 in hundredths is "25", not
    // "025"; a minus sign inside the digits ("1-2") is no number.
    const auto scaled = times10(digits, zeros);
    if (!scaled)
        return {EntryCommit::Kind::KeepText, {}};
    return {EntryCommit::Kind::Send, *scaled};
}

NormalizedEntry normalizeEntryText(const QString& typed, int cmd, int decPnt)
{
    QString entry = filterChars(typed, kEntryChars);
    if (entry.isEmpty())
        entry = QStringLiteral("0");
    const QString whole = leadingInteger(filterChars(entry, kRawChars));
    const int zeros = missingZeros(typedDecimals(entry), entryDecimals(cmd, decPnt));
    const QString raw = times10(whole, zeros).value_or(whole);
    return {raw, formatValue(raw, cmd, decPnt).value_or(raw)};
}

QString normalizeEntry(WindowElements& window, int index, int decPnt)
{
    const NormalizedEntry entry = normalizeEntryText(window.text(el::txtPara(index)), index, decPnt);
    window.setText(el::txtPara(index), entry.display);
    return entry.raw;
}

} // namespace kinetra
