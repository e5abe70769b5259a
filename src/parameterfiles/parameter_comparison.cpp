#include "parameter_comparison.h"

#include "numeric_text.h"
#include "parameter_catalogue.h"

#include <QStringList>

namespace kinetra {

ParameterLabel splitLabel(const QString& label)
{
    // The units the six language files put in front of a label.
    static const QStringList units = {QStringLiteral("mm"), QStringLiteral("s"),   QStringLiteral("sek"),
                                      QStringLiteral("sn"), QStringLiteral("inc"), QStringLiteral("%"),
                                      QStringLiteral("A"),  QStringLiteral("imp"), QStringLiteral("Hz")};
    const QString text = label.trimmed();
    const qsizetype blank = text.indexOf(QLatin1Char(' '));
    if (blank > 0 && units.contains(text.left(blank)))
        return {text.mid(blank + 1).trimmed(), text.left(blank)};
    return {text, QString()};
}

bool isDrivesOwn(const ParameterRecord& record)
{
    if (record.isDevice())
        return record.parameter() != 10;
    switch (record.parameter()) {
    case 0:
    case 52:
    case 70:
    case 80: return true;
    default: return false;
    }
}

QList<ComparisonRow> compareParameters(const QList<ParameterRecord>& recordsB, const ComparisonInput& input)
{
    QList<ComparisonRow> rows;
    for (const ParameterRecord& record : recordsB) {
        if (input.compared && !input.compared(record))
            continue;
        ComparisonRow row;
        row.cmd = record.cmd;
        row.parameter = record.parameter();
        // Both as whole numbers: a file's are numbers, the drive's texts ("  -5" is -5).
        row.rawA = leadingInteger(input.valueA ? input.valueA(record.cmd) : QString());
        row.rawB = leadingInteger(record.value.toText());
        row.differs = row.rawA != row.rawB;
        row.shownA = formatValue(row.rawA, record.cmd, input.decPnt).value_or(row.rawA);
        row.shownB = formatValue(row.rawB, record.cmd, input.decPnt).value_or(row.rawB);
        row.decimals = displayDecimals(record.cmd, input.decPnt);
        row.label = splitLabel(input.label ? input.label(record.cmd) : QString());
        row.loadable = record.sentToDrive();
        rows << row;
    }
    return rows;
}

} // namespace kinetra
