#include "FileUtils.h"

#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <system_error>

#include "RegularFile.h"
#include "Utf16Internal.h"

#ifndef TIVANE_VERSION
#define TIVANE_VERSION "0.0.0"
#endif

using namespace vetra_common_internal;

namespace {

// Copies text into out when it fits outSize with its terminator; else out = "".
template <typename Char>
Char* CopyOut(Char* out, std::size_t outSize, const std::basic_string<Char>& text)
{
    if (!out || outSize == 0)
        return nullptr;
    if (text.size() + 1 > outSize) {
        out[0] = Char(0);
        return nullptr;
    }
    std::char_traits<Char>::copy(out, text.data(), text.size());
    out[text.size()] = Char(0);
    return out;
}

// "YYYYMMDD_HHMMSS" or "YYYYMMDD_HHMMSS_mmm": fixed width, so names sort by time.
std::string DateText(int useUtc, int withMilliseconds)
{
    timeval tv{};
    gettimeofday(&tv, nullptr);
    const time_t secs = tv.tv_sec;
    tm t{};
    if (useUtc)
        gmtime_r(&secs, &t);
    else
        localtime_r(&secs, &t);
    char buf[48];
    if (withMilliseconds)
        std::snprintf(buf, sizeof buf, "%04d%02d%02d_%02d%02d%02d_%03d", t.tm_year + 1900, t.tm_mon + 1,
                      t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec, int(tv.tv_usec / 1000));
    else
        std::snprintf(buf, sizeof buf, "%04d%02d%02d_%02d%02d%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday,
                      t.tm_hour, t.tm_min, t.tm_sec);
    return buf;
}

// Position of the extension's first character in name, or npos.
template <typename Char>
std::size_t ExtensionStart(const Char* name)
{
    std::size_t len = 0;
    while (name[len])
        ++len;
    std::size_t elementStart = 0;
    for (std::size_t i = 0; i < len; ++i)
        if (name[i] == Char('/'))
            elementStart = i + 1;
    std::size_t dot = std::basic_string<Char>::npos;
    for (std::size_t i = elementStart; i < len; ++i)
        if (name[i] == Char('.'))
            dot = i;
    // A leading dot marks a hidden file (".profile"), not an extension.
    if (dot == std::basic_string<Char>::npos || dot == elementStart)
        return std::basic_string<Char>::npos;
    return dot + 1;
}

template <typename Char>
Char* ExtensionOut(const Char* name, Char* out, int outSize)
{
    if (!out || outSize <= 0)
        return out;
    out[0] = Char(0);
    if (!name)
        return out;
    const std::size_t start = ExtensionStart(name);
    if (start == std::basic_string<Char>::npos)
        return out;
    int n = 0;
    for (const Char* p = name + start; *p && n < outSize - 1; ++p)
        out[n++] = *p;
    out[n] = Char(0);
    return out;
}

}  // namespace

int GetProgramPathA(int pid, char* out, std::size_t outSize)
{
    if (!out || outSize == 0)
        return 0;
    out[0] = '\0';
    std::string link = "/proc/self/exe";
    if (pid != 0 && pid != int(getpid()))
        link = "/proc/" + std::to_string(pid) + "/exe";
    std::string target(PATH_MAX + 1, '\0');
    const ssize_t n = readlink(link.c_str(), target.data(), target.size());
    if (n <= 0 || std::size_t(n) >= target.size())
        return 0;
    target.resize(std::size_t(n));
    const std::size_t slash = target.rfind('/');
    if (slash == std::string::npos)
        return 0;
    std::string folder = slash == 0 ? std::string("/") : target.substr(0, slash);
    return CopyOut(out, outSize, folder) ? 1 : 0;
}

char* CombinePathNameA(char* out, const char* folder, const char* name, std::size_t outSize)
{
    if (!out || outSize == 0)
        return nullptr;
    // Built aside first: out may be folder or name.
    std::string f = folder ? folder : "";
    std::string n = name ? name : "";
    while (f.size() > 1 && f.back() == '/')
        f.pop_back();
    std::string result;
    if (f.empty()) {
        result = n;
    } else if (n.empty()) {
        result = f;
    } else {
        std::size_t skip = 0;
        while (skip < n.size() && n[skip] == '/')
            ++skip;
        result = f;
        if (result.back() != '/')
            result += '/';
        result.append(n, skip, std::string::npos);
    }
    return CopyOut(out, outSize, result);
}

int RecursiveCreateDirectoryA(const char* path)
{
    if (!path || !*path)
        return 0;
    std::error_code ec;
    std::filesystem::create_directories(path, ec);
    return std::filesystem::is_directory(path, ec) ? 1 : 0;
}

char* GetFileNameByDateA(char* out, const char* extension, const char* prefix, const char* suffix, int useUtc,
                         int withMilliseconds, int /*reserved*/, std::size_t outSize)
{
    std::string name = prefix ? prefix : "";
    name += DateText(useUtc, withMilliseconds);
    if (suffix)
        name += suffix;
    if (extension && *extension) {
        if (*extension != '.')
            name += '.';
        name += extension;
    }
    return CopyOut(out, outSize, name);
}

char16_t* GetFileNameByDateW(char16_t* out, const char16_t* extension, const char16_t* prefix,
                             const char16_t* suffix, int useUtc, int withMilliseconds, int /*reserved*/,
                             std::size_t outSize)
{
    std::u16string name = prefix ? std::u16string(prefix) : std::u16string();
    for (char c : DateText(useUtc, withMilliseconds))
        name += char16_t(c);
    if (suffix)
        name += suffix;
    if (extension && *extension) {
        if (*extension != u'.')
            name += u'.';
        name += extension;
    }
    return CopyOut(out, outSize, name);
}

std::uint8_t* ReadFileDataA(const char* path, std::size_t* sizeOut)
{
    if (sizeOut)
        *sizeOut = 0;
    if (!path)
        return nullptr;
    std::string reason;
    std::FILE* f = FopenRegularFileForReading(path, reason);
    if (!f)
        return nullptr;
    // Read in chunks: sizes reported by stat are not reliable for every file (/proc).
    std::size_t capacity = 4096, size = 0;
    struct stat st{};
    if (fstat(fileno(f), &st) == 0 && st.st_size > 0)
        capacity = std::size_t(st.st_size) + 1;
    auto* data = static_cast<std::uint8_t*>(std::malloc(capacity + 1));
    bool ok = data != nullptr;
    while (ok) {
        if (size == capacity) {
            capacity *= 2;
            auto* grown = static_cast<std::uint8_t*>(std::realloc(data, capacity + 1));
            if (!grown) {
                ok = false;
                break;
            }
            data = grown;
        }
        const std::size_t got = std::fread(data + size, 1, capacity - size, f);
        size += got;
        if (got == 0) {
            ok = !std::ferror(f);
            break;
        }
    }
    std::fclose(f);
    if (!ok) {
        std::free(data);
        return nullptr;
    }
    data[size] = 0;
    if (sizeOut)
        *sizeOut = size;
    return data;
}

void ReleaseFileData(void* data)
{
    std::free(data);
}

int GetFileVersionW(const char16_t* /*path*/, char16_t* out, int outChars)
{
    if (!out || outChars <= 0)
        return 0;
    const char* version = TIVANE_VERSION;
    int i = 0;
    for (; version[i] && i < outChars - 1; ++i)
        out[i] = char16_t(static_cast<unsigned char>(version[i]));
    out[i] = 0;
    return version[i] == '\0' ? 1 : 0;
}

char* GetFileExtNameA(const char* name, char* out, int outSize)
{
    return ExtensionOut(name, out, outSize);
}

char16_t* GetFileExtNameW(const char16_t* name, char16_t* out, int outChars)
{
    return ExtensionOut(name, out, outChars);
}

int IsFileExistW(const char16_t* path)
{
    if (!path || !*path)
        return 0;
    const std::string utf8 = Utf16ToUtf8(path, U16Length(path));
    struct stat st{};
    return stat(utf8.c_str(), &st) == 0 && S_ISREG(st.st_mode) ? 1 : 0;
}
