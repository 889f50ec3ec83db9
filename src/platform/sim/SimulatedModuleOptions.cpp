#include "SimulatedModuleOptions.h"

#include <mutex>

namespace {

std::mutex g_optionsMutex;
SimulatedModuleOptions g_inProcessOptions;  // guarded by g_optionsMutex

}  // namespace

void SetInProcessSimulatedModuleOptions(const SimulatedModuleOptions& options)
{
    std::lock_guard lock(g_optionsMutex);
    g_inProcessOptions = options;
}

SimulatedModuleOptions GetInProcessSimulatedModuleOptions()
{
    std::lock_guard lock(g_optionsMutex);
    return g_inProcessOptions;
}
