#include "drive_load.h"

#include "drive_protocol.h"
#include "shared_state.h"

namespace kinetra {

ParameterFileResult loadIntoDrive(DriveCom& com, const QString& path, const DriveLoadStep& afterRecord,
                                  const std::function<bool(const ParameterRecord&)>& selected)
{
    SharedState& state = com.state();
    ParameterFileContent content = readParameterRecords(path, state.firmwareLevel);
    if (!content.result.ok()) {
        ParameterFileResult refused = content.result;
        refused.records = 0;
        return refused;
    }
    if (selected)
        content.records.removeIf([&selected](const ParameterRecord& record) { return !selected(record); });
    return storeParameterRecords(content, state.table, [&](const ParameterRecord& record) {
        std::optional<WriteOutcome> outcome;
        if (record.sentToDrive())
            outcome = com.WriteCom(protocol::kAddress, record.cmd, record.value, SelectionTranslation::Keep);
        if (afterRecord && !afterRecord(record, outcome))
            return false;
        // The user's Stop or closing, held while the record's write was on the wire, lands
        // here, between two records, and ends the load after this one.
        com.clock().serveEvents();
        return !state.stopRequest && !com.clock().quitting();
    });
}

} // namespace kinetra
