#include "unsaved_values.h"

#include "drive_protocol.h"
#include "parameter_catalogue.h"

namespace kinetra {

void UnsavedValues::accepted(int cmd)
{
    accepted_.insert(cmd);
    pending_ = true;
}

void UnsavedValues::readComplete(const ParameterTable& table)
{
    read_ = table;
    accepted_.clear();
    readClean_ = !pending_;
}

void UnsavedValues::saved(const ParameterTable& table)
{
    // Only the values the drive accepted are known to be in the drive as the table has them: a
    // file's record the drive was not sent sits in the table too.
    for (const int cmd : accepted_)
        read_.store(cmd, table.value(cmd));
    accepted_.clear();
    pending_ = false;
    readClean_ = true;
}

void UnsavedValues::settle(const ParameterTable& table)
{
    const QList<int> still = changed(table);
    accepted_ = std::set<int>(still.begin(), still.end());
    if (accepted_.empty() && readClean_)
        pending_ = false;
}

QList<int> UnsavedValues::changed(const ParameterTable& table) const
{
    QList<int> out;
    for (const int cmd : accepted_) {
        const ParameterValue read = read_.value(cmd);
        if (!read.isEmpty() && !sameValue(read, table.value(cmd)))
            out << cmd;
    }
    return out;
}

bool UnsavedValues::isSetting(int cmd)
{
    return isStoredValue(cmd) && cmd != protocol::kSetPosition;
}

bool UnsavedValues::sameValue(const ParameterValue& a, const ParameterValue& b)
{
    const auto x = a.toInteger(), y = b.toInteger();
    if (x || y)
        return x == y;
    return a.toText() == b.toText();
}

} // namespace kinetra
