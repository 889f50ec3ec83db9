#include "ParamsCommand.h"

#include <cstdio>
#include <string>
#include <vector>

#include "BasicParameters.h"
#include "ExitCodes.h"
#include "ModuleLink.h"

namespace {

void PrintBasicParameters(const DetectionParams& params)
{
    for (const BasicParameter& parameter : BasicParameters())
        std::printf("%s=%d\n", parameter.name, int(params.*parameter.field));
}

bool ReadInto(CModuleLink& link, DetectionParams& params)
{
    const std::uint16_t status = link.ReadParameters(params);
    if (status != 0)
        std::fprintf(stderr, "radarcli params: the module did not give its parameters: %s\n",
                     CommandStatusText(status).c_str());
    return status == 0;
}

// Sends the settings (name, value) in one set-parameters command, then reads all back
// and names every one the module holds differently.
int WriteAndVerify(CModuleLink& link, const std::vector<ParamSetting>& settings)
{
    // In identifier order, as the parameter dialog sends them.
    std::vector<std::uint16_t> identifiers;
    std::vector<std::int32_t> values;
    for (std::uint16_t identifier = 0; identifier < BasicParameters().size(); ++identifier) {
        for (const ParamSetting& setting : settings) {
            if (FindBasicParameter(setting.name)->identifier == identifier) {
                identifiers.push_back(identifier);
                values.push_back(setting.value);
            }
        }
    }
    if (!link.SetParameters(identifiers, values)) {
        std::fprintf(stderr, "radarcli params: the module did not accept the parameters (no answer, or refused)\n");
        return kExitFailed;
    }
    DetectionParams readBack;
    if (!ReadInto(link, readBack))
        return kExitFailed;
    PrintBasicParameters(readBack);
    int exitCode = kExitOk;
    for (const ParamSetting& setting : settings) {
        const std::int32_t held = readBack.*(FindBasicParameter(setting.name)->field);
        if (held != setting.value) {
            std::fprintf(stderr, "radarcli params: %s was written as %d but reads back as %d\n", setting.name.c_str(),
                         int(setting.value), int(held));
            exitCode = kExitFailed;
        }
    }
    return exitCode;
}

// The window's Reset: the basic five of the module's power-up defaults.
std::vector<ParamSetting> DefaultSettings()
{
    const DetectionParams defaults = DetectionParams::Defaults();
    std::vector<ParamSetting> settings;
    for (const BasicParameter& parameter : BasicParameters())
        settings.push_back({parameter.name, defaults.*parameter.field});
    return settings;
}

}  // namespace

int RunParamsCommand(const ParamsOptions& options)
{
    CModuleLink link;
    std::string error;
    if (!link.Open(options.port, options.baud, error)) {
        std::fprintf(stderr, "radarcli params: %s\n", error.c_str());
        return kExitFailed;
    }
    int exitCode = kExitOk;
    switch (options.action) {
    case ParamsAction::Read: {
        DetectionParams params;
        if (ReadInto(link, params))
            PrintBasicParameters(params);
        else
            exitCode = kExitFailed;
        break;
    }
    case ParamsAction::Write: exitCode = WriteAndVerify(link, options.settings); break;
    case ParamsAction::Reset: exitCode = WriteAndVerify(link, DefaultSettings()); break;
    }
    link.Close();
    return exitCode;
}
