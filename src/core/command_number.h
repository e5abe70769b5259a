#pragma once

#include <optional>

namespace kinetra {

// A command number is four decimal digits: group (2; 3 for the mirror boxes of the simple
// parameter panel), axis (0 general, 1-3 axis sets, 4 device) and a two-digit parameter number.
// It names a value on the wire, in the table and in the main window's element arrays.
struct CommandNumber {
    static constexpr int axisOf(int cmd) { return (cmd / 100) % 10; }
    static constexpr int parameterOf(int cmd) { return cmd % 100; }

    // Table slot = parameter + 100 * axis; the group digit is ignored, so 3125 and 2125 share
    // slot 125. Numbers below 1000 index entry boxes only, and axes 5-9 have no slot.
    static constexpr std::optional<int> slotOf(int cmd)
    {
        if (cmd < 1000 || cmd > 9999)
            return std::nullopt;
        const int axis = axisOf(cmd);
        if (axis > 4)
            return std::nullopt;
        return parameterOf(cmd) + 100 * axis;
    }
};

} // namespace kinetra
