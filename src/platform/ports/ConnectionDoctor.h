#pragma once
#include <string>
#include <vector>

#include "SerialPortEntry.h"

// Why a serial device could not be opened, found out after the open failed, so that
// the operator is told the reason and the fix instead of a bare failure.
enum class OpenFailureReason {
    Unknown,           // nothing this machine shows explains it
    PermissionDenied,  // the user may not read and write the device
    Busy,              // another program holds it
    Vanished,          // it was listed but is gone now
    NotSerial,         // the path is no terminal device
};

struct OpenFailureDiagnosis {
    OpenFailureReason reason = OpenFailureReason::Unknown;
    // PermissionDenied: the device's group when joining it would open the device (the
    // group may read and write it, and it is not the superuser's group), and whether the
    // user is a member in the system's group list although this login session does not
    // have it yet. Empty when no group would help: then owner names who may open it.
    std::string group;
    bool memberAfterNextLogin = false;
    std::string owner;
    // Busy: the holder when the lock file or /proc shows it (pid 0 otherwise), with its
    // full program name.
    std::string holderProgram;
    long holderPid = 0;
    // Known grabbers of USB serial bridges, whatever the reason above.
    bool brlttyClaims = false;        // brltty is installed and claims bridges like this one
    bool modemManagerRunning = false; // it probes new serial ports for seconds
};

// Where the doctor looks; tests point these at folders of their own.
struct DoctorEnvironment {
    std::string procRoot = "/proc";
    // Where serial ports are locked: Qt Serial Port and other UUCP-style programs leave
    // LCK..<name> there with the holder's pid on the first line.
    std::vector<std::string> lockFolders = {"/run/lock", "/var/lock"};
    std::vector<std::string> brlttyPrograms = {"/usr/bin/brltty", "/bin/brltty", "/usr/sbin/brltty", "/sbin/brltty"};
};

// Looks at path (and at entry, the device as listed, when known) and says why it
// cannot be opened. May open the device itself for a moment (no I/O) to tell a
// terminal from other files. Any thread.
OpenFailureDiagnosis DiagnoseOpenFailure(const std::string& path, const SerialPortEntry* entry = nullptr,
                                         const DoctorEnvironment& environment = {});
