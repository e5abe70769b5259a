#pragma once

// The timing model of the serial line at 9600 baud, 8N1: what a transaction costs on a real
// wire, from the characters that cross it and the tool's own waits.
#include "drive_protocol.h"

namespace kinetra::bench {

inline constexpr double kChar = protocol::kCharacterSeconds;

// A poll other than 2170: the 9-character poll frame, then the first 8 characters of the answer
// end the wait and the rest arrives during the 40-ms settle.
inline constexpr double pollSeconds()
{
    return 9 * kChar + 8 * kChar + 0.040;
}
// A poll of the status block: the poll frame and the 57 characters of the block, no settle.
inline constexpr double statusPollSeconds()
{
    return 9 * kChar + 57 * kChar;
}
// A write of a value of n characters: 100-ms pre-wait, the frame (10 + n characters), the
// one-character answer, the 20-ms settle.
inline constexpr double writeSeconds(int n)
{
    return 0.100 + (10 + n) * kChar + kChar + 0.020;
}

// The full read at level 540: 100-ms pause, 38 device and 100 axis polls, one of them 2170.
inline constexpr double fullReadSeconds()
{
    return 0.100 + 137 * pollSeconds() + statusPollSeconds();
}

// Live polling at level 540: 50 status blocks, then the long step (2429, then 2411 while the
// diagnostics tab is not shown).
inline constexpr double statusBlocksPerSecond()
{
    return 50.0 / (50 * statusPollSeconds() + 2 * pollSeconds());
}

} // namespace kinetra::bench
