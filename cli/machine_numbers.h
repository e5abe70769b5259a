#pragma once

#include <QJsonValue>
#include <QString>

namespace kinetra::cli {

// Values for programs rather than eyes: the human table keeps the window's decimal comma; CSV
// and JSON take a decimal point and numbers.

// A display text with a point as decimal separator ("12,50" gives "12.50").
QString withDecimalPoint(const QString& display);
// A display text as a JSON number (12.5), or as the text itself when it is no number.
QJsonValue jsonNumber(const QString& display);

} // namespace kinetra::cli
