#include "ParamsCommand.h"

#include <cstdio>
#include <string>
#include <vector>

#include "ExitCodes.h"
#include "ModuleLink.h"
#include "ParameterDiff.h"
#include "ParameterRead.h"
#include "ParameterTable.h"
#include "ParameterText.h"
#include "SnapshotFile.h"
#include "SnapshotRestore.h"
#include "VerifiedWrite.h"

using namespace ModuleParams;

namespace {

void Complain(const std::string& what)
{
    std::fprintf(stderr, "radarcli params: %s\n", what.c_str());
}

// A module that never answered is most often on the wrong port or baud rate.
std::string WithHint(const std::string& error, int protocolVersion)
{
    return protocolVersion == 0 ? error + " (check the port, the baud rate and the wiring)" : error;
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

int Read(CModuleLink& link, bool json)
{
    const SnapshotResult taken = TakeSnapshot(link.Handle(), DescribeLink(link));
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
int WriteAndVerify(CModuleLink& link, const std::vector<ParamSetting>& settings)
{
    std::vector<FieldValue> fields;
    for (const ParameterInfo& field : Table()) {
        for (const ParamSetting& setting : settings) {
            if (setting.name == field.name)
                fields.push_back({field.id, setting.value});
        }
    }
    const WriteOutcome outcome = WriteVerified(link.Handle(), fields);
    if (outcome.readBackOk)
        PrintParameters(outcome.readBack);
    for (const FieldCheck& check : outcome.fields) {
        const ParameterInfo& field = *FindParameter(check.id);
        if (outcome.readBackOk && !check.kept)
            std::fprintf(stderr, "radarcli params: %s was written as %s but reads back as %s\n", field.name,
                         FormatParameterValue(field, check.written).c_str(),
                         FormatParameterValue(field, check.readBack).c_str());
    }
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

int Save(CModuleLink& link, const ParamsOptions& options)
{
    const SnapshotResult taken = TakeSnapshot(link.Handle(), DescribeLink(link));
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

int Diff(CModuleLink& link, const ParameterSnapshot& snapshot)
{
    const ReadResult read = ReadAll(link.Handle());
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

int Restore(CModuleLink& link, const ParameterSnapshot& snapshot, const std::string& backupFolder)
{
    const RestoreOutcome outcome = RestoreSnapshot(link.Handle(), snapshot, DescribeLink(link), backupFolder);
    if (!outcome.backupPath.empty())
        std::printf("backup %s\n", outcome.backupPath.c_str());
    if (outcome.ok) {
        std::printf("restored %zu field(s); the other %zu already held the snapshot's values\n",
                    outcome.applied.size(), kParameterCount - outcome.applied.size());
        return kExitOk;
    }
    Complain(WithHint(outcome.error, outcome.write.protocolVersion));
    if (outcome.write.readBackOk)
        Complain("applied: " + NamesOf(outcome.applied));
    return kExitFailed;
}

}  // namespace

int RunParamsCommand(const ParamsOptions& options)
{
    // A bad snapshot is refused before the module is touched.
    ParameterSnapshot snapshot;
    const bool needsSnapshot = options.action == ParamsAction::Diff || options.action == ParamsAction::Restore;
    if (needsSnapshot && !LoadSnapshot(options.file, snapshot))
        return kExitBadSnapshot;
    CModuleLink link;
    std::string error;
    if (!link.Open(options.port, options.baud, error)) {
        Complain(error);
        return kExitFailed;
    }
    int exitCode = kExitOk;
    switch (options.action) {
    case ParamsAction::Read: exitCode = Read(link, options.json); break;
    case ParamsAction::Write: exitCode = WriteAndVerify(link, options.settings); break;
    case ParamsAction::Reset: exitCode = WriteAndVerify(link, DefaultSettings()); break;
    case ParamsAction::Save: exitCode = Save(link, options); break;
    case ParamsAction::Diff: exitCode = Diff(link, snapshot); break;
    case ParamsAction::Restore: exitCode = Restore(link, snapshot, options.outFolder); break;
    }
    link.Close();
    return exitCode;
}
