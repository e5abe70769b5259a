#include "entry_rules.h"

#include "entry_text.h"
#include "numeric_text.h"

#include <QRegularExpression>

namespace kinetra::cli {

namespace {

// Longest text an entry box holds.
constexpr qsizetype kMaxEntry = 10;

EntryValue refused(const QString& why)
{
    EntryValue v;
    v.error = why;
    return v;
}

} // namespace

EntryValue entryToRaw(const QString& typed, int cmd, int decPnt)
{
    QString entry = typed.trimmed();
    if (entry.size() > kMaxEntry)
        return refused(QStringLiteral("at most %1 characters").arg(kMaxEntry));
    // A script writes 12.5 as readily as the window's 12,5; both at once are no number.
    if (entry.contains(QLatin1Char('.'))) {
        if (entry.contains(QLatin1Char(',')))
            return refused(QStringLiteral("a point and a comma: one decimal separator only"));
        entry.replace(QLatin1Char('.'), QLatin1Char(','));
    }
    if (filterChars(entry, kEntryChars) != entry)
        return refused(QStringLiteral("only digits, a minus sign and a comma or point as decimal separator (12,5)"));
    if (entry.count(QLatin1Char(',')) > 1)
        return refused(QStringLiteral("more than one decimal separator"));

    if (filterChars(entry, kDigitChars).isEmpty())
        return refused(QStringLiteral("no digits"));

    const EntryCommit commit = commitEntry(entry, cmd, decPnt);
    if (commit.kind != EntryCommit::Kind::Send)
        return refused(QStringLiteral("not a number"));
    EntryValue v;
    v.ok = true;
    v.raw = commit.raw;
    v.display = formatValue(v.raw, cmd, decPnt).value_or(v.raw);
    return v;
}

bool isRawInteger(const QString& text)
{
    static const QRegularExpression integer(QStringLiteral("^-?[0-9]{1,18}$"));
    return integer.match(text).hasMatch();
}

} // namespace kinetra::cli
