#include "SnapshotRestore.h"

#include <chrono>

#include "ParameterDiff.h"
#include "ParameterRead.h"
#include "SnapshotFile.h"
#include "UtcTime.h"

#ifndef TIVANE_VERSION
#define TIVANE_VERSION "0.0.0"
#endif

namespace ModuleParams {

namespace {

ParameterSnapshot Stamp(const ReadResult& read, const LinkDescription& link)
{
    ParameterSnapshot snapshot;
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    snapshot.savedUtc = FormatUtcTimestampMs(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
    snapshot.firmware = read.firmware;
    snapshot.port = link.port;
    snapshot.identity = link.identity;
    snapshot.toolVersion = TIVANE_VERSION;
    snapshot.parameters = read.params;
    return snapshot;
}

// The part of a restore inside the bracket; the caller leaves it.
void RestoreInBracket(CModuleExchange& exchange, const ParameterSnapshot& snapshot, const LinkDescription& link,
                      const std::string& backupFolder, RestoreOutcome& outcome)
{
    const ReadResult read = ReadInBracket(exchange);
    if (!read.valuesRead) {
        outcome.error = read.error + "; nothing was written";
        return;
    }
    outcome.beforeRead = true;
    outcome.before = read.params;
    std::string error;
    if (!SaveBackupSnapshot(backupFolder, Stamp(read, link), outcome.backupPath, error)) {
        outcome.error = "no backup of the module's values could be saved (" + error + "); nothing was written";
        return;
    }
    const std::vector<FieldDifference> differences = DiffParameters(snapshot.parameters, read.params);
    if (differences.empty()) {
        // Already as the snapshot has it: the values just read are the read-back.
        outcome.write.ok = true;
        outcome.write.protocolVersion = exchange.ProtocolVersion();
        outcome.write.readBackOk = true;
        outcome.write.readBack = read.params;
        return;
    }
    std::vector<FieldValue> fields;
    for (const ParameterInfo& field : Table()) {  // identifier order, as the module numbers them
        for (const FieldDifference& difference : differences) {
            if (difference.field == &field)
                fields.push_back({field.id, difference.left});
        }
    }
    outcome.write = WriteInBracket(exchange, fields);
    if (outcome.write.readBackOk) {
        for (const FieldCheck& check : outcome.write.fields) {
            if (check.kept)
                outcome.applied.push_back(check.id);
        }
    }
    if (!outcome.write.ok)
        outcome.error = outcome.write.error;
}

}  // namespace

SnapshotResult TakeSnapshot(VetraRadarHandle device, const LinkDescription& link, const ExchangeTimings& timings)
{
    SnapshotResult result;
    const ReadResult read = ReadAll(device, timings);
    result.protocolVersion = read.protocolVersion;
    result.ok = read.ok;
    result.error = read.error;
    if (read.ok)
        result.snapshot = Stamp(read, link);
    return result;
}

RestoreOutcome RestoreSnapshot(VetraRadarHandle device, const ParameterSnapshot& snapshot, const LinkDescription& link,
                               const std::string& backupFolder, const ExchangeTimings& timings)
{
    RestoreOutcome outcome;
    std::string error;
    if (!CheckSnapshotValues(snapshot.parameters, error)) {
        outcome.error = "the snapshot cannot be restored: " + error + "; nothing was written";
        return outcome;
    }
    CModuleExchange exchange(device, timings);
    if (exchange.Enter())
        RestoreInBracket(exchange, snapshot, link, backupFolder, outcome);
    else
        outcome.error = exchange.EnterError() + "; nothing was written";
    outcome.leftCommandMode = exchange.Leave();
    outcome.write.leftCommandMode = outcome.leftCommandMode;
    outcome.write.retries = exchange.Retries();
    if (exchange.StuckInCommandMode())
        outcome.error += std::string(outcome.error.empty() ? "" : "; ") + kStuckInCommandMode;
    outcome.ok = outcome.write.ok && outcome.leftCommandMode && outcome.error.empty();
    return outcome;
}

}  // namespace ModuleParams
