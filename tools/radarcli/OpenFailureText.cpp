#include "OpenFailureText.h"

#include <algorithm>
#include <vector>

#include "CliOptions.h"
#include "ConnectionDoctor.h"
#include "ModuleLink.h"
#include "PortListing.h"
#include "SerialPortNames.h"

namespace {

// What the machine shows about a device that did not open, with the fix.
std::string OpenFailureAdvice(const std::string& path, const SerialPortEntry* entry)
{
    const OpenFailureDiagnosis diagnosis = DiagnoseOpenFailure(path, entry);
    std::string advice;
    switch (diagnosis.reason) {
    case OpenFailureReason::PermissionDenied: {
        const std::string group = diagnosis.group.empty() ? "dialout" : diagnosis.group;
        if (diagnosis.group.empty() && !diagnosis.owner.empty()) {
            advice = "permission denied: only the owner of " + path + " (user " + diagnosis.owner +
                     ") may open it, so joining a group would not help; ask an administrator to give the device to "
                     "a group of yours, for example with a udev rule";
            break;
        }
        advice = diagnosis.memberAfterNextLogin
                     ? "permission denied: you were added to the group " + group + ", which takes effect at the next login"
                     : "permission denied: join the group " + group + " (sudo usermod -aG " + group +
                           " $USER) and log in again";
        break;
    }
    case OpenFailureReason::Busy:
        advice = diagnosis.holderPid > 0 ? "held by " + diagnosis.holderProgram + " (pid " +
                                               std::to_string(diagnosis.holderPid) + ")"
                                         : "held by another program";
        break;
    case OpenFailureReason::Vanished: advice = "no such device (unplugged, or a mistyped path)"; break;
    case OpenFailureReason::NotSerial: advice = "not a serial device"; break;
    case OpenFailureReason::Unknown: advice = "the system gave no reason"; break;
    }
    if (diagnosis.brlttyClaims)
        advice += "; brltty is installed and grabs USB serial adapters like this one (remove it)";
    if (diagnosis.modemManagerRunning)
        advice += "; ModemManager is running and probes new serial ports for a while";
    return advice;
}

}  // namespace

std::string OpenFailureMessage(const std::string& port)
{
    if (port == kSimulatedPortOption)
        return "cannot start the simulated module";
    const std::vector<SerialPortEntry> listed = ListSerialPorts();
    const auto entry = std::find_if(listed.begin(), listed.end(), [&](const SerialPortEntry& e) { return e.path == port; });
    return "cannot open " + port + ": " + OpenFailureAdvice(port, entry != listed.end() ? &*entry : nullptr);
}

bool OpenModuleLink(CModuleLink& link, const std::string& port, int baud, std::string& error)
{
    if (link.Open(port == kSimulatedPortOption ? std::string(kSimulatedPortPath) : port, baud))
        return true;
    error = OpenFailureMessage(port);
    return false;
}
