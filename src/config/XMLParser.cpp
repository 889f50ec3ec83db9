#include "XMLParser.h"

#include <sstream>

#include "WriteAside.h"

namespace {

bool IsBlank(const void* data, std::int64_t size)
{
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (std::int64_t i = 0; i < size; ++i) {
        const unsigned char c = bytes[i];
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n')
            return false;
    }
    return true;
}

}  // namespace

XMLParser::~XMLParser() = default;

void XMLParser::LoadFromBuffer(const void* data, std::int64_t size)
{
    if (!data || size <= 0) {
        m_document.reset();
        m_lastLoadClean = true;
        return;
    }
    const pugi::xml_parse_result result = m_document.load_buffer(data, static_cast<std::size_t>(size));
    // A text of blanks alone holds nothing that a rewrite could lose.
    m_lastLoadClean = result.status == pugi::status_ok || IsBlank(data, size);
}

std::string XMLParser::SaveToString() const
{
    std::ostringstream text;
    m_document.save(text);
    return text.str();
}

bool XMLParser::SaveToFile(const char* path) const
{
    if (!path || !*path)
        return false;
    // Aside, synced, then renamed over path; a path that is not a regular file (a
    // device, a FIFO, a link) is left alone rather than replaced by a regular file.
    std::string error;
    return WriteTextAside(path, SaveToString(), AsideMode::Replace, error) == AsideResult::Written;
}
