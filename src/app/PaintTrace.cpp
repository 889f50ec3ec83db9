#include "PaintTrace.h"

#include <cstdlib>
#include <ctime>

CPaintTrace::CPaintTrace()
{
    const char* path = std::getenv("TIVANE_PAINT_TRACE");
    if (!path || !*path)
        return;
    m_file = std::fopen(path, "w");
    if (!m_file)
        std::fprintf(stderr, "TIVANE_PAINT_TRACE: cannot create %s\n", path);
}

CPaintTrace::~CPaintTrace()
{
    if (m_file)
        std::fclose(m_file);
}

void CPaintTrace::Painted(std::uint64_t framesShown)
{
    if (!m_file)
        return;
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    // Buffered: the trace must not add a write to every paint it measures.
    std::fprintf(m_file, "%lld %llu\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec,
                 static_cast<unsigned long long>(framesShown));
}
