#include "LabelsFileWriter.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#include "JsonObjectLine.h"
#include "JsonText.h"
#include "LineReader.h"

namespace {
constexpr long kTailChunkBytes = 4096;
}  // namespace

CLabelsFileWriter::~CLabelsFileWriter()
{
    Close();
}

bool CLabelsFileWriter::Open(const std::string& datPath)
{
    Close();
    m_path = datPath + ".labels";
    m_error.clear();
    struct stat info {};
    if (stat(m_path.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
        return Fail("is not a regular file", 0);
    // "a+": reads anywhere (to find a cut line), writes always at the end.
    m_file = std::fopen(m_path.c_str(), "a+e");
    if (!m_file)
        return Fail("cannot be opened", errno);
    if (!EndLastLine()) {
        std::fclose(m_file);
        m_file = nullptr;
        return false;
    }
    return true;
}

bool CLabelsFileWriter::Append(const LabelChange& change)
{
    if (!m_file)
        return Fail("is not open", 0);
    if (change.timeUs < 0)
        return Fail("was given a label at a negative time", 0);
    std::string line = "{\"t\":";
    AppendJsonInteger(line, change.timeUs);
    line += ",\"label\":\"";
    line += LabelName(change.label);
    line += "\"}\n";
    errno = 0;
    const bool written = std::fwrite(line.data(), 1, line.size(), m_file) == line.size();
    if (std::fflush(m_file) != 0 || !written)
        return Fail("could not be written", errno);
    return true;
}

bool CLabelsFileWriter::Close()
{
    if (!m_file)
        return true;
    const bool closed = std::fclose(m_file) == 0;
    m_file = nullptr;
    return closed || Fail("could not be closed", errno);
}

bool CLabelsFileWriter::EndLastLine()
{
    if (std::fseek(m_file, 0, SEEK_END) != 0)
        return Fail("cannot be read", errno);
    const long size = std::ftell(m_file);
    if (size < 0)
        return Fail("cannot be read", errno);
    // Back from the end to the last "\n": what follows it is a line without its end.
    long keep = 0;
    char chunk[kTailChunkBytes];
    for (long end = size; end > 0 && keep == 0;) {
        const long start = end > kTailChunkBytes ? end - kTailChunkBytes : 0;
        if (std::fseek(m_file, start, SEEK_SET) != 0 ||
            std::fread(chunk, 1, std::size_t(end - start), m_file) != std::size_t(end - start))
            return Fail("cannot be read", errno);
        for (long k = end - start; k > 0 && keep == 0; --k) {
            if (chunk[k - 1] == '\n')
                keep = start + k;
        }
        end = start;
    }
    if (keep == size)
        return std::fseek(m_file, 0, SEEK_END) == 0 || Fail("cannot be read", errno);
    // A whole line that only lacks its "\n" (written by hand or by another program) is
    // a line the reader takes: it gets its end, so the next label is not glued to it.
    // Anything else is what a crash cut off mid-write, which the reader drops anyway.
    if (TailIsWholeLine(keep, size)) {
        if (std::fseek(m_file, 0, SEEK_END) != 0 || std::fputc('\n', m_file) == EOF || std::fflush(m_file) != 0)
            return Fail("cannot end its last line", errno);
        return true;
    }
    if (ftruncate(fileno(m_file), keep) != 0)
        return Fail("cannot drop its cut last line", errno);
    return std::fseek(m_file, 0, SEEK_END) == 0 || Fail("cannot be read", errno);
}

bool CLabelsFileWriter::TailIsWholeLine(long from, long size)
{
    // Longer than any line the reader accepts: not a line at all.
    if (size - from > long(CLineReader::kDefaultMaxLineBytes))
        return false;
    std::string tail(std::size_t(size - from), '\0');
    if (std::fseek(m_file, from, SEEK_SET) != 0 || std::fread(tail.data(), 1, tail.size(), m_file) != tail.size())
        return false;
    CJsonObjectLine json;
    return tail.find_first_not_of(" \t\r") == std::string::npos || json.Parse(tail);
}

bool CLabelsFileWriter::Fail(const char* what, int error)
{
    m_error = "the labels file " + m_path + " " + what;
    if (error != 0)
        m_error += std::string(": ") + std::strerror(error);
    return false;
}
