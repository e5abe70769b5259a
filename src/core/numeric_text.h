#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace kinetra {

// Character sets the callers filter with.
inline const QString kRawChars = QStringLiteral("0123456789-");
inline const QString kEntryChars = QStringLiteral("0123456789,-");
inline const QString kDigitChars = QStringLiteral("0123456789");

// Keeps, in order, the characters of `text` that occur in `allowed`.
QString filterChars(const QString& text, const QString& allowed);

// The value text of a poll answer: the characters in `allowed` between the command echo after
// the first STX and the ETX.
QString frameValue(const QByteArray& frame, const QString& allowed);

// Field k (0-4) of a status block, 10 characters as received; from the last minus sign on when
// one stands inside the field.
QString frameField(const QByteArray& block, int k);

// Display text of a raw value for a command number: decimals by command number and, for
// positions, by `decPnt`; a comma as decimal separator. "" stays "". None when the raw text is
// not a number.
std::optional<QString> formatValue(const QString& raw, int cmd, int decPnt);

// The whole number that leads a text, as a canonical decimal text ("-0012x" gives "-12",
// "--5" and "" give "0"). Works on text, so no length overflows.
QString leadingInteger(const QString& text);

// A text that is a decimal integer and nothing else (blanks around it aside), in its canonical
// form: no leading zeros, no plus sign, "-0" is "0" ("007" gives "7", "-00" gives "0"). None for
// anything else ("", "-", "1-2", "25k", "+5"). The drive is only ever sent this form.
std::optional<QString> canonicalInteger(const QString& text);

} // namespace kinetra
