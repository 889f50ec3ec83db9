#pragma once
// Opening a file for reading only when it is a regular file. A FIFO would block the
// open until a writer comes (for ever, in a script), and a device may never end or may
// be changed by being read. The check and the open are one step: the path is opened
// without blocking and the open descriptor is examined, so nothing can be swapped in
// between. No shared state: any thread.
#include <cstdio>
#include <string>

// What path names when it is not a regular file, in a few words ("a FIFO",
// "a character device", "a directory", "a symbolic link"); "" for a regular file.
// kind: the st_mode of a stat or lstat.
std::string NonRegularKind(unsigned int mode);

// How opening a file for reading went.
struct RegularFileOpen {
    int fd = -1;         // open, blocking, close-on-exec; -1 on failure
    int error = 0;       // errno of a failed open (ENOENT for a missing file); 0 otherwise
    std::string reason;  // why it failed, without the path: "No such file or directory",
                         // "not a regular file (a FIFO)"; "" on success
    std::string kind;    // NonRegularKind of what was found instead of a regular file
    bool Opened() const { return fd >= 0; }
};

// Opens path read-only when it is (or a link leads to) a regular file.
RegularFileOpen OpenRegularFileForReading(const std::string& path);

// The same as a stdio stream ("rb"), or null with reason (and error) set.
std::FILE* FopenRegularFileForReading(const std::string& path, std::string& reason, int* error = nullptr);
