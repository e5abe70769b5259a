#pragma once

#include "parameter_table.h"

#include <QList>

#include <set>

namespace kinetra {

// What the drive holds in its working memory beyond what it has saved. A drive forgets every
// value it accepted since its last save when it is switched off; the tool shows that and can
// write the values it read back.
//
// The values of the last full read are kept as the ones to go back to. Until a save they are
// exactly what the drive read out; a save makes the values it saved the ones to go back to.
class UnsavedValues {
public:
    // The drive accepted a value for `cmd`: it holds a value it has not saved.
    void accepted(int cmd);
    // A full read has completed: `table` holds what the drive holds now. What the drive had
    // accepted and not saved before stays unsaved (a reconnect does not save anything), but the
    // values read become the ones to go back to.
    void readComplete(const ParameterTable& table);
    // The drive acknowledged the save: it keeps what it holds, and those values (as `table` has
    // them) are the ones to go back to.
    void saved(const ParameterTable& table);
    // Drops the values that are the ones read again. When none is left and the read found nothing
    // unsaved (the values read are the saved ones), the drive holds nothing unsaved any more.
    void settle(const ParameterTable& table);

    bool pending() const { return pending_; }
    // The values accepted since the read whose table value is not the value read, by command
    // number; a value no read gave is not among them (there is nothing to go back to).
    QList<int> changed(const ParameterTable& table) const;
    // The value the read gave for `cmd` (or the save kept); empty when none.
    ParameterValue valueRead(int cmd) const { return read_.value(cmd); }

    // A write that changes a setting the drive keeps only when saved: a stored value, not a code
    // to a command word, and not the set position (a move's target, rewritten by every move of
    // the endurance test).
    static bool isSetting(int cmd);

    // Two values of a slot that the drive holds alike: integers by their number ("+05" is 5),
    // anything else by its text.
    static bool sameValue(const ParameterValue& a, const ParameterValue& b);

private:
    ParameterTable read_;
    std::set<int> accepted_;
    bool pending_ = false;
    // The last read found nothing unsaved, or a save followed it.
    bool readClean_ = false;
};

} // namespace kinetra
