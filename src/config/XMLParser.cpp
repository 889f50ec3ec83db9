#include "XMLParser.h"

#include <sstream>
#include <QSaveFile>
#include <QString>

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
    const std::string text = SaveToString();
    QSaveFile file(QString::fromUtf8(path));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(text.data(), qint64(text.size())) != qint64(text.size())) {
        file.cancelWriting();
        return false;
    }
    // commit syncs the temporary file and renames it over path; on any failure it
    // removes the temporary file and leaves path as it was.
    return file.commit();
}
