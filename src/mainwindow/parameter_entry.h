#pragma once

#include <QString>

namespace kinetra {

// How many decimals an entry carries, by command number.
enum class EntryClass { Position, Hundredths, Thousandths, Plain };
EntryClass entryClass(int cmd);

// What a committed entry box comes to.
struct EntryCommit {
    enum class Kind {
        EmptyBox, // no digit, comma or minus: the box is emptied, nothing is sent
        KeepText, // nothing to send (only commas, or no number to scale); the box stays
        Send,     // `raw` is the value for the drive
    };
    Kind kind;
    QString raw;
};

// The raw value of what the user typed into the box of `cmd`: the comma goes, and the entry is
// scaled to the decimals its class expects. Decimals beyond those stay digits of the raw value
// (the hundredths entry 1,234 gives 1234). Works on text, so no length overflows.
EntryCommit commitEntry(const QString& text, int cmd, int decPnt);

// The command number a box edits: the simple panel's mirrors 3xxx stand for 2xxx.
inline int commandOfBox(int index)
{
    return index >= 3000 ? index - 1000 : index;
}

// Boxes that only show what the drive reports.
bool isLockedBox(int index);

// The help line for a help status (0 focus, 1 editing, 2 committed); `transferActive` shows none.
struct HelpText {
    bool show;
    int message;
};
HelpText helpFor(int helpStatus, int comOnline);

} // namespace kinetra
