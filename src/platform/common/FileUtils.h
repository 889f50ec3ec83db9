#pragma once
#include <cstddef>
#include <cstdint>

// Paths are UTF-8 (A) or UTF-16 (W). Path buffers the caller passes hold at least
// kVetraMaxPath characters unless a size is given; nothing is written past the size.
constexpr int kVetraMaxPath = 4096;

// The folder of the executable of process pid (0: this process), without a trailing
// slash. Returns nonzero on success; on failure out is set to "".
int GetProgramPathA(int pid, char* out, std::size_t outSize = kVetraMaxPath);
// out = folder + "/" + name (no doubled slash). out may be name (or folder).
// Returns out, or null when the result does not fit outSize (out then is "").
char* CombinePathNameA(char* out, const char* folder, const char* name, std::size_t outSize = kVetraMaxPath);
// Creates path with its missing parents. Nonzero when the folder exists afterwards.
int RecursiveCreateDirectoryA(const char* path);

// Writes prefix + date text + suffix + "." + extension into out (extension given with
// or without its dot; an empty extension adds nothing). The date text is local time
// "YYYYMMDD_HHMMSS", or "YYYYMMDD_HHMMSS_mmm" when withMilliseconds is nonzero: it sorts
// by time. useUtc nonzero uses UTC; reserved must be 0. Returns out, or null when it
// does not fit outSize characters (out then is "").
char* GetFileNameByDateA(char* out, const char* extension, const char* prefix, const char* suffix,
                         int useUtc, int withMilliseconds, int reserved, std::size_t outSize = 260);
char16_t* GetFileNameByDateW(char16_t* out, const char16_t* extension, const char16_t* prefix,
                             const char16_t* suffix, int useUtc, int withMilliseconds, int reserved,
                             std::size_t outSize = 260);

// A whole-file copy (with one extra zero byte after the end, not counted) and its size;
// null when the file is missing, unreadable or not a regular file (a FIFO would block,
// a device might never end). Free with ReleaseFileData.
std::uint8_t* ReadFileDataA(const char* path, std::size_t* sizeOut);
void ReleaseFileData(void* data);

// The version text of the program as set by the build ("1.0.0"); path is ignored on
// this platform (null allowed). Returns nonzero when written in full.
int GetFileVersionW(const char16_t* path, char16_t* out, int outChars);

// The extension of name's last path element, without its dot ("" when none) into out.
// Returns out.
char* GetFileExtNameA(const char* name, char* out, int outSize);
char16_t* GetFileExtNameW(const char16_t* name, char16_t* out, int outChars);

// Nonzero when path names an existing regular file.
int IsFileExistW(const char16_t* path);
