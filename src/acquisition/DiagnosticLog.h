#pragma once
#include <cstdio>
#include <string>

// The diagnostic log of one program run: "TivanePeloTOOL_" + date text + ".log" in the
// given folder, holding every text of the process's debug output byte for byte.
//
// Threads: Open and Close run on the user-interface thread. While the log is open,
// WriteLogText is called by the debug output on whichever thread writes a text; the
// debug output hands over one text at a time, and Close unregisters the callback (which
// waits for a text in progress) before it closes the file.
class CDiagnosticLog {
public:
    CDiagnosticLog() = default;
    ~CDiagnosticLog() { Close(); }
    CDiagnosticLog(const CDiagnosticLog&) = delete;
    CDiagnosticLog& operator=(const CDiagnosticLog&) = delete;

    // Creates folder with its missing parents, opens a new log file there and routes the
    // debug output into it. An existing log is never emptied: when another run formed
    // the same name, the next free one of name_2, name_3, ... is used. When no file can be
    // made the callback is registered all the same and writes nothing. False then.
    bool Open(const std::string& folder);
    // As Open, with the name stem + ".log" (or stem_2.log, ...) instead of the dated one.
    bool OpenNamed(const std::string& folder, const std::string& stem);
    // Unregisters the callback and closes the file; harmless when nothing is open.
    void Close();

    bool IsOpen() const { return m_stream != nullptr; }
    // The path of the open file, or of the last one opened; empty when none was.
    const std::string& GetPath() const { return m_path; }

    // The debug-output callback: writes the text whole into the file given as context.
    static void WriteLogText(void* context, int level, const char* text, int length);

private:
    std::FILE* OpenUnique(const std::string& folder, const std::string& stem);

    std::FILE* m_stream = nullptr;
    std::string m_path;
    bool m_registered = false;
};
