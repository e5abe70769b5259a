#pragma once

#include <QString>

namespace kinetra::cli {

// What was typed, turned into the raw value the drive gets, or why it cannot be sent.
struct EntryValue {
    bool ok = false;
    QString raw;     // the digits sent
    QString display; // how the window shows the value afterwards
    QString error;   // when not ok: what is wrong with the entry
};

// The window's commit of an entry box: a comma (or a point) as decimal separator, scaled by the class of
// `cmd` (missing decimals are filled in; extra decimals stay digits of the raw value: the
// hundredths entry 1,234 gives 1234). Unlike the box, which drops every other key, a command
// line entry with other characters (a point, letters), more than one comma or more than 10
// characters is refused: a dropped point would send a value 10 or 100 times too large.
EntryValue entryToRaw(const QString& typed, int cmd, int decPnt);

// A value given with --raw: the drive's own integer, optional minus sign, at most 18 digits.
bool isRawInteger(const QString& text);

} // namespace kinetra::cli
