#pragma once

#include "command_number.h"
#include "parameter_value.h"

#include <array>

namespace kinetra {

// Everything the tool knows about the connected drive, addressed by command number.
class ParameterTable {
public:
    static constexpr int kSlots = 500;

    // The value of a command number; empty for a number without a slot.
    ParameterValue value(int cmd) const
    {
        const auto slot = CommandNumber::slotOf(cmd);
        return slot ? slots_[*slot] : ParameterValue();
    }
    // Stores into the slot of a command number; a number without a slot is skipped.
    void store(int cmd, const ParameterValue& v)
    {
        if (const auto slot = CommandNumber::slotOf(cmd))
            slots_[*slot] = v;
    }
    const ParameterValue& atSlot(int slot) const { return slots_.at(slot); }
    void clear() { slots_.fill(ParameterValue()); }

private:
    std::array<ParameterValue, kSlots> slots_{};
};

} // namespace kinetra
