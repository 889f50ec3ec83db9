#pragma once
#include <string>
#include <vector>

// UUCP-style port locks: a program that opens a serial port (Qt Serial Port among them)
// first creates <lock folder>/LCK..<name>, the device path without "/dev/" and with
// every "/" made "_", holding its pid in text on the first line.

// The lock file's name for devicePath ("/dev/pts/3" gives "LCK..pts_3").
std::string PortLockFileName(const std::string& devicePath);

// The pid that a lock file in one of lockFolders names for devicePath (or for the
// device it links to), when that process runs (it has an entry in procRoot) and is not
// this one; 0 otherwise. Reads only regular files, without blocking. Any thread.
long PortLockHolder(const std::string& devicePath, const std::vector<std::string>& lockFolders,
                    const std::string& procRoot = "/proc");
