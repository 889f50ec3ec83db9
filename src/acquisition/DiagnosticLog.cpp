#include "DiagnosticLog.h"

#include <cerrno>
#include <cstring>

#include "DbgOutput.h"
#include "FileUtils.h"
#include "WriteAll.h"

namespace {
constexpr const char* kPrefix = "TivanePeloTOOL_";
constexpr const char* kExtension = ".log";
constexpr int kMaxNameAttempts = 1000;
}  // namespace

bool CDiagnosticLog::Open(const std::string& folder)
{
    char name[260] = {};
    std::string stem;
    if (GetFileNameByDateA(name, kExtension, kPrefix, "", 0, 1, 0, sizeof name)) {
        stem = name;
        const std::size_t extensionLength = std::strlen(kExtension);
        if (stem.size() > extensionLength)
            stem.resize(stem.size() - extensionLength);
    }
    return OpenNamed(folder, stem);
}

bool CDiagnosticLog::OpenNamed(const std::string& folder, const std::string& stem)
{
    Close();
    m_path.clear();
    if (!stem.empty() && RecursiveCreateDirectoryA(folder.c_str()))
        m_stream = OpenUnique(folder, stem);
    // Registered even without a file, as the callback's context then is none.
    DbgOutputAddCallback(&CDiagnosticLog::WriteLogText, m_stream);
    m_registered = true;
    DbgOutputSetTag(nullptr, 0);
    DbgOutputSetTimeType(1);
    DbgOutputSetIncludePIDTID(0);
    return m_stream != nullptr;
}

std::FILE* CDiagnosticLog::OpenUnique(const std::string& folder, const std::string& stem)
{
    for (int attempt = 1; attempt <= kMaxNameAttempts; ++attempt) {
        const std::string name =
            attempt == 1 ? stem + kExtension : stem + "_" + std::to_string(attempt) + kExtension;
        char path[kVetraMaxPath] = {};
        if (!CombinePathNameA(path, folder.c_str(), name.c_str(), sizeof path))
            return nullptr;
        // "x": create only, so that a run forming an earlier run's name keeps that log.
        if (std::FILE* stream = std::fopen(path, "wbx")) {
            m_path = path;
            return stream;
        }
        if (errno != EEXIST)
            return nullptr;
    }
    return nullptr;
}

void CDiagnosticLog::Close()
{
    if (m_registered) {
        // Once this returns no thread is inside WriteLogText, so the file can go.
        DbgOutputDelCallback(&CDiagnosticLog::WriteLogText);
        m_registered = false;
    }
    if (m_stream) {
        std::fclose(m_stream);
        m_stream = nullptr;
    }
}

void CDiagnosticLog::WriteLogText(void* context, int /*level*/, const char* text, int length)
{
    auto* stream = static_cast<std::FILE*>(context);
    if (!stream || !text || length <= 0)
        return;
    WriteAll(stream, text, std::size_t(length));
    // Each text reaches the file at once: a log is read most when the program has failed.
    std::fflush(stream);
}
