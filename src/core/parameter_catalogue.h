#pragma once

#include <QtGlobal>

#include <optional>

namespace kinetra {

// Every rule keyed on a command number lives in this catalogue: how a value is shown, how a
// typed number is scaled, which box shows it, whether the user may edit it and how a list
// position maps to the drive's value. The window, the command-line tool and the simulator ask
// here; nothing else keeps a list of command numbers.

// Decimal places a raw value is shown with.
enum class ValueScale {
    Plain,       // the integer as it is
    Position,    // by the decimal places setting (decPnt)
    Hundredths,  // two decimals
    Thousandths, // three decimals
    Current,     // two decimals; the drive reports exactly 1 when it measures no current
};

// Decimal places a typed number carries: missing ones are filled in with zeros.
enum class EntryClass { Position, Hundredths, Thousandths, Plain };

// Where the live display sends a value.
enum class ValueRoute {
    Ignored,
    Text,            // txtPara(index), and its mirror on the simple panel when it has one
    Flank,           // cmbPara 2125 from the table slot, not from the value
    Selection,       // cmbPara(index) := the value as a position
    IoSelection,     // as Selection, then the input/output caption
    DeviceType,      // 2401
    SoftwareVersion, // 2402
    OperatingTime,   // 2429
    FieldBusState,   // 2411
    ActualPosition,  // 2170: txtPara 2100, then the chart
    StatusWord,      // 2180
    MotorCurrent,    // 2182
    PwmOutput,       // 2183
    CorrectionBar,   // the status block's correction bar: picCorr's height and txtCorr
};

// How the positions of a selection list stand for the drive's values.
enum class SelectionCode {
    Position,  // the position is the value
    EdgeCount, // edge evaluation: positions 0, 1, 2 are 1, 2 and 4 edges
};

struct ParameterRule {
    ValueScale display = ValueScale::Plain;
    EntryClass entry = EntryClass::Plain;
    ValueRoute route = ValueRoute::Ignored;
    SelectionCode selection = SelectionCode::Position;
    bool readOnly = false; // the box only shows what the drive reports
    bool mirrored = false; // the simple panel repeats it in box cmd + 1000
};

// The rule of a command number, or of a box index below 1000 (boxes 0 and 1 show texts, 10 and
// 11 are the endurance test's positions, 12 its pause). A mirror box 3xxx has the rule of its
// command number, commandOfBox(index); 3xxx itself is no command number.
const ParameterRule& parameterRule(int cmd);

// The status block's correction bar has no command number: the live display gets its value
// under this index, beside the boxes below 1000.
inline constexpr int kCorrectionBar = 20;

// The command number a box edits: the simple panel's mirrors 3xxx stand for 2xxx.
constexpr int commandOfBox(int index)
{
    return index >= 3000 ? index - 1000 : index;
}

// The simple panel's box that repeats `cmd`, or none.
std::optional<int> mirrorBoxOf(int cmd);

// Decimal places of position values for a decimal places setting; settings beyond 0-3 are taken
// as the nearest of them.
int positionDecimals(int decPnt);

// Decimal places a value of `cmd` is shown with, and a typed number of `cmd` is scaled to.
int displayDecimals(int cmd, int decPnt);
int entryDecimals(int cmd, int decPnt);

// The drive's value for position `position` of the selection list of `cmd`; none when the
// list's code has no value for it.
std::optional<qint64> valueOfSelection(int cmd, qint64 position);
// The list position that shows the drive's value `value` of `cmd`; none when no position does.
std::optional<int> selectionOfValue(int cmd, qint64 value);

// Writes to the command word and to parameters 00 and 80 are actions, not values: the table
// keeps no copy of them.
bool isStoredValue(int cmd);

} // namespace kinetra
