#include "ParamsCommand.h"

#include <cstdio>
#include <string>
#include <vector>

#include "ExitCodes.h"
#include "ModuleExchange.h"
#include "ModuleLink.h"
#include "OpenFailureText.h"
#include "ParameterDiff.h"
#include "ParameterRead.h"
#include "ParameterTable.h"
#include "ParameterText.h"
#include "SnapshotFile.h"
#include "SnapshotRestore.h"
#include "StopSignal.h"
#include "VerifiedWrite.h"
#include "WriteAside.h"

using namespace ModuleParams;

namespace {

void Complain(const std::string& what)
{
    std::fprintf(stderr, "radarcli params: %s\n", what.c_str());
}

// A module that never answered is most often on the wrong port or baud rate.
std::string WithHint(const std::string& error, int protocolVersion)
{
    const bool stopped = error.find("stopped on request") != std::string::npos;
    return protocolVersion == 0 && !stopped ? error + " (check the port, the baud rate and the wiring)" : error;
}

void PrintParameters(const DetectionParams& params)
{
    for (const ParameterInfo* field : InRecordOrder())
        std::printf("%s=%s\n", field->name, FormatParameterValue(*field, ReadRaw(params, *field)).c_str());
}

LinkDescription DescribeLink(const CModuleLink& link)
{
    return {link.Path(), link.Identity()};
}

int Read(CModuleLink& link, bool json, const ExchangeTimings& timings)
{
    const SnapshotResult taken = TakeSnapshot(link.Handle(), DescribeLink(link), timings);
    if (!taken.ok) {
        Complain(WithHint(taken.error, taken.protocolVersion));
        return kExitFailed;
    }
    if (json)
        std::fputs(FormatSnapshot(taken.snapshot).c_str(), stdout);
    else
        PrintParameters(taken.snapshot.parameters);
    return kExitOk;
}

// Sends the settings, one field at a time in identifier order, then prints what the
// module holds and names every field it holds differently.
int WriteAndVerify(CModuleLink& link, const std::vector<ParamSetting>& settings, const ExchangeTimings& timings)
{
    std::vector<FieldValue> fields;
    for (const ParameterInfo& field : Table()) {
        for (const ParamSetting& setting : settings) {
            if (setting.name == field.name)
                fields.push_back({field.id, setting.value});
        }
    }
    const WriteOutcome outcome = WriteVerified(link.Handle(), fields, timings);
    if (outcome.readBackOk)
        PrintParameters(outcome.readBack);
    // The error names every field that reads back differently, and every field this
    // module's protocol cannot set (nothing was sent for those), once each.
    if (!outcome.ok)
        Complain(WithHint(outcome.error, outcome.protocolVersion));
    return outcome.ok ? kExitOk : kExitFailed;
}

// The window's Reset: the basic five of the module's power-up defaults.
std::vector<ParamSetting> DefaultSettings()
{
    const DetectionParams defaults = DetectionParams::Defaults();
    std::vector<ParamSetting> settings;
    for (const ParameterInfo& field : Table()) {
        if (field.id <= kHighestBasicId)
            settings.push_back({field.name, ReadRaw(defaults, field)});
    }
    return settings;
}

int Save(CModuleLink& link, const ParamsOptions& options, const ExchangeTimings& timings)
{
    const SnapshotResult taken = TakeSnapshot(link.Handle(), DescribeLink(link), timings);
    if (!taken.ok) {
        Complain(WithHint(taken.error, taken.protocolVersion) + "; nothing was saved");
        return kExitFailed;
    }
    std::string error;
    if (!SaveSnapshotFile(options.file, taken.snapshot, options.replace, error)) {
        const bool exists = error.find("already exists") != std::string::npos;
        Complain(error + (exists ? " (--replace writes over it)" : "") + "; nothing was saved");
        return kExitFailed;
    }
    std::printf("saved %s (firmware %s)\n", options.file.c_str(), taken.snapshot.firmware.c_str());
    return kExitOk;
}

bool LoadSnapshot(const std::string& path, ParameterSnapshot& snapshot)
{
    std::string error;
    if (LoadSnapshotFile(path, snapshot, error))
        return true;
    Complain(error);
    return false;
}

int Diff(CModuleLink& link, const ParameterSnapshot& snapshot, const ExchangeTimings& timings)
{
    const ReadResult read = ReadAll(link.Handle(), timings);
    if (!read.ok) {
        Complain(WithHint(read.error, read.protocolVersion));
        return kExitFailed;
    }
    const std::vector<FieldDifference> differences = DiffParameters(snapshot.parameters, read.params);
    for (const FieldDifference& d : differences)
        std::printf("%s: snapshot %s, module %s\n", d.field->name, FormatParameterValue(*d.field, d.left).c_str(),
                    FormatParameterValue(*d.field, d.right).c_str());
    if (differences.empty())
        std::printf("no differences\n");
    return differences.empty() ? kExitOk : kExitDiffers;
}

std::string NamesOf(const std::vector<std::uint16_t>& ids)
{
    std::string names;
    for (const std::uint16_t id : ids)
        names += (names.empty() ? "" : ", ") + std::string(FindParameter(id)->name);
    return names.empty() ? "none" : names;
}

int Restore(CModuleLink& link, const ParameterSnapshot& snapshot, const std::string& backupFolder,
            const ExchangeTimings& timings)
{
    const RestoreOutcome outcome = RestoreSnapshot(link.Handle(), snapshot, DescribeLink(link), backupFolder, timings);
    if (!outcome.backupPath.empty())
        std::printf("backup %s\n", outcome.backupPath.c_str());
    if (outcome.ok) {
        std::printf("restored %zu field(s); the other %zu already held the snapshot's values\n",
                    outcome.applied.size(), kParameterCount - outcome.applied.size());
        return kExitOk;
    }
    // Once the module's values were read it has answered: a backup that cannot be
    // saved is a matter of the folder, not of the port or the wiring.
    Complain(outcome.beforeRead ? outcome.error : WithHint(outcome.error, outcome.write.protocolVersion));
    if (outcome.write.readBackOk)
        Complain("applied: " + NamesOf(outcome.applied));
    return kExitFailed;
}

}  // namespace

int RunParamsCommand(const ParamsOptions& options, const CStopSignal& stop)
{
    // A bad snapshot is refused before the module is touched.
    ParameterSnapshot snapshot;
    const bool needsSnapshot = options.action == ParamsAction::Diff || options.action == ParamsAction::Restore;
    if (needsSnapshot && !LoadSnapshot(options.file, snapshot))
        return kExitBadSnapshot;
    // So is a file to save that must not be replaced: a FIFO, a device, a folder, a link.
    if (options.action == ParamsAction::Save) {
        if (const std::string refusal = ReplaceRefusal(options.file); !refusal.empty()) {
            Complain(refusal + "; nothing was saved");
            return kExitUsage;
        }
    }
    CModuleLink link;
    std::string error;
    if (!OpenModuleLink(link, options.port, options.baud, error)) {
        Complain(error);
        return kExitFailed;
    }
    // SIGINT or SIGTERM: no further command goes out, command mode is still left, and
    // the command ends within a time-out. Asked on the main thread, which exchanges.
    ExchangeTimings timings;
    timings.stopRequested = [&stop] { return stop.Requested(); };
    int exitCode = kExitOk;
    switch (options.action) {
    case ParamsAction::Read: exitCode = Read(link, options.json, timings); break;
    case ParamsAction::Write: exitCode = WriteAndVerify(link, options.settings, timings); break;
    case ParamsAction::Reset: exitCode = WriteAndVerify(link, DefaultSettings(), timings); break;
    case ParamsAction::Save: exitCode = Save(link, options, timings); break;
    case ParamsAction::Diff: exitCode = Diff(link, snapshot, timings); break;
    case ParamsAction::Restore: exitCode = Restore(link, snapshot, options.outFolder, timings); break;
    }
    link.Close();
    if (stop.Requested()) {
        Complain(std::string("stopped by ") + stop.SignalName());
        return kExitFailed;
    }
    return exitCode;
}
