#pragma once

// The drive protocol's constants, for the tool, the CLI and the simulated drive alike: the line
// address, the command numbers the code names, the codes a command word takes, the status
// word's bits and the frame's control characters. Whatever both ends of the line must agree on
// is written down here once.

#include <QtGlobal>

namespace kinetra {

// Control characters of a frame.
namespace ctl {
inline constexpr char EOT = 4;
inline constexpr char STX = 2;
inline constexpr char ETX = 3;
inline constexpr char ENQ = 5;
inline constexpr char ACK = 6;
inline constexpr char NAK = 21;
} // namespace ctl

namespace protocol {

// Every frame the tool sends carries this address; the simulated drive answers to it unless
// told otherwise.
inline constexpr int kAddress = 11;
// One character on the line: start bit, 8 data bits, stop bit at 9600 baud.
inline constexpr double kCharacterSeconds = 10.0 / 9600.0;

// General parameter 00: any drive answers a poll of it, so the port search asks for it.
inline constexpr int kSearch = 2000;
// Axis 1's set position, where the endurance test writes its targets.
inline constexpr int kSetPosition = 2101;
// Axis 1's command word: takes the command codes below.
inline constexpr int kCommandWord = 2152;
// Axis 1's status block: PWM, current, actual position and status word in one answer.
inline constexpr int kStatusBlock = 2170;
// Axis 1's status word.
inline constexpr int kStatusWord = 2180;
// The device's type code and software version.
inline constexpr int kDeviceType = 2401;
inline constexpr int kSoftwareVersion = 2402;
// The device's command word: takes the service resets.
inline constexpr int kDeviceCommandWord = 2452;
// The command word is parameter 52 of every axis and of the device.
inline constexpr int kCommandWordParameter = 52;

} // namespace protocol

// The codes written to a command word.
namespace command {
inline constexpr int kStartAbsolute = 128; // move to the set position
inline constexpr int kStop = 129;
inline constexpr int kStepPositive = 130; // move one step width
inline constexpr int kStepNegative = 131;
inline constexpr int kJogPositive = 132; // runs until the stop
inline constexpr int kJogNegative = 133;
inline constexpr int kReferenceRun = 136;
// Drives below level 500 use written values only after this code.
inline constexpr int kTakeOver = 137;
// Writes the parameters to non-volatile memory; the drive hears nothing for a while after it.
inline constexpr int kSave = 138;
inline constexpr int kSetReference = 139;
inline constexpr int kMeasure = 140;
inline constexpr int kSaveParameters = 153;
// The service resets, on the device's command word.
inline constexpr int kFactorySettingsDevice = 161;
inline constexpr int kFactorySettingsAxes = 162;
inline constexpr int kClearServiceCounters = 163;
} // namespace command

// Bits of an axis's 32-bit status word. The whole word counts: the high bits carry the canOPEN
// state and further flags.
namespace status {
inline constexpr quint32 kInPosition = 4;
// The four error bits 16, 32, 64 and 128; all of them at once mean a short circuit from level
// 531 on.
inline constexpr quint32 kErrorBits = 16 | 32 | 64 | 128;
inline constexpr quint32 kInput1 = 256;
// Inputs 2 and 3: drives from level 500 on report input 3 in 512 and input 2 in 1024, older
// ones the other way round.
inline constexpr quint32 kInputBit512 = 512;
inline constexpr quint32 kInputBit1024 = 1024;
inline constexpr quint32 kOutput = 4096;
inline constexpr quint32 kEmergencyCircuitClosed = 8192;
} // namespace status

} // namespace kinetra
