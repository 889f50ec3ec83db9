#include "ReportFrameDecoder.h"

#include "BaseBuffer.h"
#include "DbgOutput.h"
#include "IReportSink.h"

namespace {
constexpr std::uint8_t kHeaderByte = 0xAA;
constexpr std::uint8_t kTailByte = 0x55;
constexpr int kDiagnosticLevel = 2;
}  // namespace

void CReportFrameDecoder::SetReport(std::int32_t state, std::int32_t distance)
{
    m_state.store(state, std::memory_order_release);
    m_distance.store(distance, std::memory_order_release);
}

void CReportFrameDecoder::DecodeReportFrames(CBaseBuffer& buffer)
{
    const std::uint8_t* data = buffer.GetBuffer();
    const std::size_t available = buffer.GetAvailSize();
    std::size_t p = 0;
    std::uint64_t skipped = 0;
    while (p + kFrameSize <= available) {
        if (data[p] != kHeaderByte || data[p + 1] != kHeaderByte) {
            ++p;
            ++skipped;
        } else if (data[p + 5] != kTailByte || data[p + 6] != kTailByte) {
            DbgOutputA(kDiagnosticLevel, "Tailer TAG Invalid!\r\n");
            m_brokenTails.fetch_add(1, std::memory_order_relaxed);
            // One byte on, not seven: a real frame may start inside this false candidate.
            ++p;
            ++skipped;
        } else {
            HandleFrame(data + p);
            p += kFrameSize;
        }
    }
    if (skipped > 0)
        m_skippedBytes.fetch_add(skipped, std::memory_order_relaxed);
    if (p > 0)
        buffer.SetBuffer(data + p, available - p);
}

void CReportFrameDecoder::HandleFrame(const std::uint8_t* frame)
{
    const std::int32_t state = frame[2];
    const std::int32_t distance = frame[3] | (frame[4] << 8);
    // Stored before the post, so the handler of this notification sees this frame or a later one.
    SetReport(state, distance);
    m_framesReported.fetch_add(1, std::memory_order_release);
    m_sink.PostRadarReport();
    DbgOutputA(kDiagnosticLevel, "State=%d, M_D=%03d\r\n", state, distance);
    m_history.Advance(distance, m_sink);
}
