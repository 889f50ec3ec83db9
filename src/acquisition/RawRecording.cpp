#include "RawRecording.h"

#include <cerrno>
#include "FileUtils.h"

namespace {
constexpr const char* kPrefix = "TivanePeloTOOL_";
constexpr const char* kExtension = ".dat";
constexpr int kMaxNameAttempts = 1000;
}  // namespace

std::string CRawRecording::DefaultFolder()
{
    char programFolder[kVetraMaxPath] = {};
    GetProgramPathA(0, programFolder, sizeof programFolder);
    char folder[kVetraMaxPath] = {};
    if (!CombinePathNameA(folder, programFolder, "Log", sizeof folder))
        return "Log";
    return folder;
}

bool CRawRecording::OpenNew(const std::string& folder)
{
    Close();
    m_path.clear();
    if (!RecursiveCreateDirectoryA(folder.c_str()))
        return false;
    char name[260] = {};
    if (!GetFileNameByDateA(name, kExtension, kPrefix, "", 0, 1, 0, sizeof name))
        return false;
    std::string stem = name;
    const std::string extension = kExtension;
    if (stem.size() > extension.size() && stem.compare(stem.size() - extension.size(), extension.size(), extension) == 0)
        stem.resize(stem.size() - extension.size());
    return OpenUnique(folder, stem, extension);
}

bool CRawRecording::OpenUnique(const std::string& folder, const std::string& stem, const std::string& extension)
{
    Close();
    m_path.clear();
    for (int attempt = 1; attempt <= kMaxNameAttempts; ++attempt) {
        const std::string name = attempt == 1 ? stem + extension : stem + "_" + std::to_string(attempt) + extension;
        char path[kVetraMaxPath] = {};
        if (!CombinePathNameA(path, folder.c_str(), name.c_str(), sizeof path))
            return false;
        // "x": create only; a run that forms an earlier run's name must not empty its file.
        m_stream = std::fopen(path, "wbx");
        if (m_stream) {
            // Every block goes to the system at once anyway; unbuffered, a failed write
            // leaves nothing behind in the stream to land later, so the file offset is
            // exactly what was recorded.
            std::setvbuf(m_stream, nullptr, _IONBF, 0);
            m_path = path;
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

bool CRawRecording::Close()
{
    if (!m_stream)
        return true;
    const bool closed = std::fclose(m_stream) == 0;
    m_stream = nullptr;
    return closed;
}
