#pragma once

#include "drive_protocol.h"

#include <QByteArray>

#include <optional>

namespace kinetra {

enum class CrcVerdict { Match, Mismatch, NoVerdict };

// The check value of STX + command + value + ETX: XOR of everything after the first STX up to
// and including the ETX, plus 32 when below 32. None for a text shorter than 5 characters.
std::optional<int> SetCRC(const QByteArray& text);

// Verifies a received frame: match, mismatch, or no verdict when it is not a complete frame
// (too short, no ETX or nothing after it, or an EOT before the ETX).
CrcVerdict CheckCRC(const QByteArray& text);

// The four characters after the first STX (the command echo); "" without an STX.
QByteArray CheckComand(const QByteArray& text);

// EOT, address, STX, command, value, ETX, check character.
QByteArray writeFrame(int address, int cmd, const QByteArray& value);
// EOT, address, STX, command, ENQ.
QByteArray pollFrame(int address, int cmd);
// STX, command, value, ETX, check character: how a drive answers a poll.
QByteArray answerFrame(const QByteArray& command, const QByteArray& value);

// The frame with control characters by name, for traces: "<EOT>11<STX>2152129<ETX>=".
QByteArray describeControlCharacters(const QByteArray& bytes);

} // namespace kinetra
