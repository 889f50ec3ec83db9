#pragma once
// Every file the tool and radarcli write whole (CSV exports and their figures, the
// plot picture, parameter snapshots and backups, the settings file) is written aside
// and then renamed into place, so that the name holds either the old content or the
// whole new one. A rename replaces whatever has the name: a device node, a FIFO or a
// symbolic link would be swapped for a regular file (as root, /dev/full itself), and
// a link would be replaced instead of written through. So only a missing name or a
// regular file is ever replaced; anything else is refused before a byte is written.
// No shared state: any thread, blocking on the disk.
#include <functional>
#include <string>
#include <string_view>

// Why path must not be replaced ("/dev/full is a character device, not a regular
// file"); "" when it is free or holds a regular file. Symbolic links are not followed.
std::string ReplaceRefusal(const std::string& path);

enum class AsideMode {
    Replace,     // over an existing regular file, or into a free name
    OnlyIfFree,  // into a free name only; an existing one is kept
};

enum class AsideResult {
    Written,
    Refused,  // the name holds something other than a regular file; nothing written
    Taken,    // OnlyIfFree and the name exists; nothing written
    Failed,   // the disk or the fill said no; the name is as it was
};

// Creates a new file beside path (same folder; a replaced file's permission bits, else
// the usual 0666 less the umask), lets fill write it by its name, syncs it and renames
// it to path. fill returns false, with error set, when it could not write; nothing
// then reaches path. The file beside is gone afterwards whatever happened. error says
// why when the result is not Written. stillWanted, when given, is asked once more after
// the sync, just before the rename: false leaves path as it was (Failed, "cancelled").
AsideResult WriteFileAside(const std::string& path,
                           const std::function<bool(const std::string& asidePath, std::string& error)>& fill,
                           AsideMode mode, std::string& error, const std::function<bool()>& stillWanted = {});

// WriteFileAside with text as the whole content.
AsideResult WriteTextAside(const std::string& path, std::string_view text, AsideMode mode, std::string& error);
