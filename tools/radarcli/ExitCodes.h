#pragma once

// What radarcli answers its caller; listed in its --help and in the README.
enum CliExitCode : int {
    kExitOk = 0,
    kExitFailed = 1,        // the work failed: cannot connect or write, link lost, module refused, read-back differs
    kExitUsage = 2,         // the command line is wrong; nothing was done
    kExitBadRecording = 3,  // the file to replay is not a usable recording
    kExitBadSnapshot = 4,   // the parameter snapshot to diff or restore is not usable; the module was not touched
    kExitDiffers = 5,       // params diff: the module's parameters differ from the snapshot
};
