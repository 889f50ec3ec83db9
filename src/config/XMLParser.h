#pragma once
#include <cstdint>
#include <string>
#include <pugixml.hpp>
#include "XMLNode.h"

// Owns one parsed XML document. The tool keeps exactly one, the settings document
// (see SettingsFile). Not thread-safe: used on the user-interface thread only.
class XMLParser {
public:
    XMLParser() = default;
    virtual ~XMLParser();
    XMLParser(const XMLParser&) = delete;
    XMLParser& operator=(const XMLParser&) = delete;

    // Replaces the content with the document parsed from a copy of size bytes at data
    // (default options, encoding detected). A text that does not parse cleanly still
    // leaves whatever tree the parser built; WasLastLoadClean tells the difference.
    void LoadFromBuffer(const void* data, std::int64_t size);
    // True unless the last LoadFromBuffer met a parse error (an empty or blank text is clean).
    bool WasLastLoadClean() const { return m_lastLoadClean; }

    // Writes the document, default formatting, to path so that the file holds either
    // its old content or the whole new one, never a part: the text goes to a temporary
    // file in the same folder, is synced and then renamed over path (WriteAside). False
    // when any step failed, or when path is not a regular file (a symbolic link is not
    // followed); the old file is then untouched.
    bool SaveToFile(const char* path) const;
    // The text SaveToFile writes.
    std::string SaveToString() const;

    // The document node.
    XMLNode GetRoot() { return XMLNode(m_document); }

private:
    pugi::xml_document m_document;
    bool m_lastLoadClean = true;
};
