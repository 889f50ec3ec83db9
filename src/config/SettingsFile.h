#pragma once
#include <cstdint>
#include <string>
#include <vector>
#include "ToolSettings.h"
#include "XMLParser.h"

// appConfig.xml: the start-up read and repair, and the transfer of the tool's
// settings to and from the element AppConfig of the settings document. The document
// is parsed once; every later read and change goes to it in memory, and each save
// rewrites the whole file from it. Everything the tool does not know (other elements
// and attributes, Language) is written back as parsed.
// User-interface thread only.
class CSettingsFile {
public:
    // path: the settings file; empty for "appConfig.xml" in the executable's folder.
    explicit CSettingsFile(XMLParser& document, std::string path = {});

    // Reads the file into the document (a missing or unreadable file leaves it empty);
    // when the document holds no AppConfig, appends one and saves at once.
    void ReadAtStartup();

    // Rewrites the file from the document. Silent on failure: the values stay in
    // memory and the next save tries again. When the file read at start-up did not
    // parse cleanly, its original bytes are first kept beside it (appConfig.xml.bad,
    // or .bad_2 and up when that name is taken); the file is not rewritten until
    // that copy exists. Returns true when the file was written.
    bool Save();

    // Copies every attribute of AppConfig that is present with text into settings;
    // missing, empty or unreadable ones leave their value as it was.
    void LoadSettings(ToolSettings& settings) const;
    // Writes the 20 settings into AppConfig (appending missing ones in a fixed order)
    // and saves the file, whether or not AppConfig exists.
    void SaveSettings(const ToolSettings& settings);

    XMLParser& GetDocument() { return m_document; }
    const std::string& GetPath() const { return m_path; }
    // Where the original bytes of an unclean file were kept; empty when none were.
    const std::string& GetBackupPath() const { return m_backupPath; }

    // The process-wide settings file over the process-wide settings document.
    static CSettingsFile& Instance();

private:
    bool KeepOriginalBytes();
    XMLNode FindAppConfig() const;

    XMLParser& m_document;
    std::string m_path;
    // Bytes of an unclean file as read at start-up, until they are kept on disk.
    std::vector<std::uint8_t> m_unkeptOriginal;
    std::string m_backupPath;
};
