#include "ReplayTimeline.h"

#include <algorithm>
#include <utility>

#include "ReportTiming.h"

CReplayTimeline::CReplayTimeline(CaptureIndex index, std::int64_t datSize, std::int64_t reportTimeMs)
    : m_index(std::move(index))
{
    Build(datSize, reportTimeMs);
}

CReplayTimeline::CReplayTimeline(std::int64_t datSize, std::int64_t reportTimeMs)
{
    m_index.outcome = {ReadStatus::Missing, "the recording has no capture index"};
    Build(datSize, reportTimeMs);
}

void CReplayTimeline::Build(std::int64_t datSize, std::int64_t reportTimeMs)
{
    m_datSize = datSize < 0 ? 0 : datSize;
    m_intervalUs = std::min(ReportIntervalMs(0, reportTimeMs), kLongestReportTimeMs) * 1000;
    m_index.ValidateAgainstDat(m_datSize);
    if (!m_index.outcome.Usable()) {
        m_index.blocks.clear();
        m_index.events.clear();
    }
    m_tailOffset = m_index.IndexedBytes();
    const std::int64_t tailBytes = m_datSize - m_tailOffset;
    m_tailCount = std::size_t((tailBytes + kFallbackChunkBytes - 1) / kFallbackChunkBytes);

    std::int64_t lastRecordUs = -1;
    if (!m_index.blocks.empty())
        lastRecordUs = m_index.blocks.back().timeUs;
    for (const TimedCaptureEvent& timed : m_index.events) {
        lastRecordUs = std::max(lastRecordUs, timed.timeUs);
        const CaptureEventKind kind = timed.event.kind;
        if (kind == CaptureEventKind::Label || kind == CaptureEventKind::LinkLost || kind == CaptureEventKind::LinkBack)
            m_events.push_back(timed);
        // The live worker starts a fresh reassembly buffer when it goes on after a reconnect.
        if (kind == CaptureEventKind::LinkBack && (m_resets.empty() || m_resets.back() != timed.blocksBefore))
            m_resets.push_back(timed.blocksBefore);
    }
    // Unindexed bytes came after everything the index recorded, one report interval apart.
    m_tailStartUs = lastRecordUs < 0 ? 0 : lastRecordUs + m_intervalUs;
}

ReplayDelivery CReplayTimeline::At(std::size_t i) const
{
    const std::vector<CaptureBlock>& blocks = m_index.blocks;
    if (i < blocks.size()) {
        const std::int64_t start = i == 0 ? 0 : blocks[i - 1].offset + blocks[i - 1].length;
        const CaptureBlock& block = blocks[i];
        return {block.timeUs, start, block.offset + block.length - start, ResetsAt(i)};
    }
    const auto k = std::int64_t(i - blocks.size());
    const std::int64_t offset = m_tailOffset + k * kFallbackChunkBytes;
    const std::int64_t length = std::min(kFallbackChunkBytes, m_datSize - offset);
    return {m_tailStartUs + k * m_intervalUs, offset, length, ResetsAt(i)};
}

bool CReplayTimeline::ResetsAt(std::size_t delivery) const
{
    return std::binary_search(m_resets.begin(), m_resets.end(), delivery);
}

std::vector<LabelChange> CReplayTimeline::LabelChanges() const
{
    std::vector<LabelChange> labels;
    for (const TimedCaptureEvent& timed : m_events) {
        if (timed.event.kind == CaptureEventKind::Label)
            labels.push_back({timed.timeUs, timed.event.label});
    }
    return labels;
}

std::vector<std::int64_t> CReplayTimeline::LinkLostTimes() const
{
    std::vector<std::int64_t> times;
    for (const TimedCaptureEvent& timed : m_events) {
        if (timed.event.kind == CaptureEventKind::LinkLost)
            times.push_back(timed.timeUs);
    }
    return times;
}

std::int64_t CReplayTimeline::EndUs() const
{
    std::int64_t end = Size() > 0 ? At(Size() - 1).timeUs : 0;
    if (!m_events.empty())
        end = std::max(end, m_events.back().timeUs);
    return end;
}
