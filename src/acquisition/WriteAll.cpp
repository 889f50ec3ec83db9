#include "WriteAll.h"

std::size_t WriteAll(std::FILE* stream, const void* data, std::size_t count)
{
    if (!stream || !data || count == 0)
        return 0;
    return WriteAllWith(
        data, count, [stream](const void* bytes, std::size_t size) { return std::fwrite(bytes, 1, size, stream); },
        [stream] { return std::ferror(stream) != 0; });
}
