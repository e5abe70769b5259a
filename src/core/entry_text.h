#pragma once

#include <QString>

namespace kinetra {

class WindowElements;

// What a committed entry comes to.
struct EntryCommit {
    enum class Kind {
        EmptyBox, // no digit, comma or minus: the box is emptied, nothing is sent
        KeepText, // nothing to send (only commas, or no number to scale); the box stays
        Send,     // `raw` is the value for the drive
    };
    Kind kind;
    QString raw;
};

// The raw value of what the user typed for `cmd`: characters other than digits, comma and minus
// are dropped, the comma goes, and the entry is scaled to the decimals its entry class expects.
// Decimals beyond those stay digits of the raw value (the hundredths entry 1,234 gives 1234).
// The raw value is a canonical integer; an entry that is none ("1-2") is kept, not sent.
// Works on text, so no length overflows. The window's boxes and the command line both commit
// through here.
EntryCommit commitEntry(const QString& text, int cmd, int decPnt);

// A position about to be sent by the endurance test or a move: the entry as the raw value and
// its display text. An empty entry is 0, and the raw value is always a canonical integer.
struct NormalizedEntry {
    QString raw;
    QString display;
};
NormalizedEntry normalizeEntryText(const QString& typed, int cmd, int decPnt);

// Rewrites entry box txtPara(index) with the display text of what it holds and returns the raw
// value text.
QString normalizeEntry(WindowElements& window, int index, int decPnt);

} // namespace kinetra
