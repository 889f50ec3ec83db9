#include "LabelLayers.h"

#include <algorithm>

CLabelLayers::CLabelLayers(std::vector<LabelChange> live, std::vector<LabelChange> replay)
    : m_live(std::move(live)), m_replay(std::move(replay))
{
    m_inUse = m_replay.empty() ? m_live : m_replay;
}

LabelLayer CLabelLayers::InUse() const
{
    if (!m_replay.empty())
        return LabelLayer::Replay;
    return m_live.empty() ? LabelLayer::None : LabelLayer::Live;
}

void CLabelLayers::AddReplayLabel(const LabelChange& change)
{
    const auto later = [](std::int64_t t, const LabelChange& c) { return t < c.timeUs; };
    m_replay.insert(std::upper_bound(m_replay.begin(), m_replay.end(), change.timeUs, later), change);
    m_inUse.assign(m_replay.begin(), m_replay.end());
}
