#pragma once
// Taking a snapshot of the module and restoring one onto it. Threads: the calling
// thread only, as CModuleExchange says (one user of the device at a time, no acquisition).
#include <string>
#include <vector>

#include "ModuleExchange.h"
#include "ParameterSnapshot.h"
#include "RadarDevice.h"
#include "VerifiedWrite.h"

namespace ModuleParams {

// Where the module is, as a snapshot records it.
struct LinkDescription {
    std::string port;      // the serial device ("sim:module" for the simulated module)
    std::string identity;  // how the tool knows the device again
};

struct SnapshotResult {
    bool ok = false;
    std::string error;  // empty when ok
    ParameterSnapshot snapshot;  // the module's values read now, stamped with the time and the link
    int protocolVersion = 0;
};

// Reads the module's 18 values and firmware version fresh (one command-mode bracket,
// always left) and stamps them with the UTC time, the link and this program's version.
SnapshotResult TakeSnapshot(VetraRadarHandle device, const LinkDescription& link,
                            const ExchangeTimings& timings = {});

struct RestoreOutcome {
    // The module holds every value of the snapshot and has left command mode.
    bool ok = false;
    // Empty when ok; otherwise what went wrong. When nothing was written it says so.
    std::string error;
    // The automatic backup of what the module held before; empty when none was saved,
    // and then nothing was written.
    std::string backupPath;
    bool beforeRead = false;
    DetectionParams before;  // what the module held before (when beforeRead)
    // The verified write of the fields that differed from the snapshot (those already
    // equal are not sent); its readBack is what the module holds now.
    WriteOutcome write;
    // Fields now holding the snapshot's value that did not before: the read-back decides.
    // Empty when the read-back failed: then write.fields tells which were acknowledged.
    std::vector<std::uint16_t> applied;
    bool leftCommandMode = false;
};

// Restores snapshot onto the module in one command-mode bracket: reads what it holds,
// saves that as a backup snapshot into backupFolder (SaveBackupSnapshot) before the first
// write, writes the fields that differ one by one, reads all 18 back and leaves command
// mode on every path. Nothing is written when the module cannot be read or the backup
// cannot be saved. Blocks the calling thread; see CModuleExchange.
RestoreOutcome RestoreSnapshot(VetraRadarHandle device, const ParameterSnapshot& snapshot, const LinkDescription& link,
                               const std::string& backupFolder, const ExchangeTimings& timings = {});

}  // namespace ModuleParams
