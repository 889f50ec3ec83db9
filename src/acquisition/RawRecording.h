#pragma once
#include <cstdio>
#include <string>

// The raw recording file of one acquisition run: every byte the module sent, in
// arrival order, with nothing added. Opened by the user-interface thread before the
// worker starts, written only by the worker while it runs, closed by the
// user-interface thread after the worker has ended.
class CRawRecording {
public:
    CRawRecording() = default;
    ~CRawRecording() { Close(); }
    CRawRecording(const CRawRecording&) = delete;
    CRawRecording& operator=(const CRawRecording&) = delete;

    // "Log" in the executable's folder.
    static std::string DefaultFolder();

    // Closes any open file, creates folder with its missing parents and opens a new
    // file "TivanePeloTOOL_" + date text + ".dat" there. False, with no file open,
    // when the folder or the file cannot be made.
    bool OpenNew(const std::string& folder);

    // Opens folder/stem + extension as a new file. An existing file is never emptied
    // or reused: when the name is taken the next free one of stem_2, stem_3, ... is
    // used. False, with no file open, when none can be created.
    bool OpenUnique(const std::string& folder, const std::string& stem, const std::string& extension);

    // Flushes and closes; harmless when nothing is open. False when the last bytes
    // could not be written out (errno tells why).
    bool Close();

    // The open file, or null.
    std::FILE* GetStream() const { return m_stream; }
    // The path of the open file, or of the last one opened; empty when none was.
    const std::string& GetPath() const { return m_path; }

private:
    std::FILE* m_stream = nullptr;
    std::string m_path;
};
