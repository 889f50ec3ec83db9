#include "ParameterRead.h"

namespace ModuleParams {

ReadResult ReadInBracket(CModuleExchange& exchange)
{
    ReadResult result;
    result.protocolVersion = exchange.ProtocolVersion();
    std::string firmware;
    const CommandResult version = exchange.ReadFirmware(firmware);
    if (!version.Ok()) {
        result.error = "the firmware version could not be read (" + CommandStatusText(version.status) + ")";
        return result;
    }
    const CommandResult read = exchange.ReadParameters(result.params);
    if (!read.Ok()) {
        result.error = "the parameters could not be read (" + CommandStatusText(read.status) + ")";
        return result;
    }
    result.firmware = firmware;
    result.valuesRead = true;
    return result;
}

ReadResult ReadAll(VetraRadarHandle device, const ExchangeTimings& timings)
{
    CModuleExchange exchange(device, timings);
    ReadResult result;
    if (exchange.Enter()) {
        result = ReadInBracket(exchange);
    } else {
        result.error = exchange.EnterError();
    }
    result.leftCommandMode = exchange.Leave();
    result.retries = exchange.Retries();
    if (exchange.StuckInCommandMode())
        result.error += std::string(result.error.empty() ? "" : "; ") + kStuckInCommandMode;
    result.ok = result.valuesRead && result.leftCommandMode;
    return result;
}

}  // namespace ModuleParams
