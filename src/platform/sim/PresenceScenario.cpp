#include "PresenceScenario.h"

#include <algorithm>

namespace {

constexpr std::int64_t kMaxDistanceCm = 0xFFFF;  // the report frame's distance is a u16

}  // namespace

CPresenceScenario::CPresenceScenario(std::uint64_t seed) : m_random(seed)
{
    // Someone comes in soon after power-up, so that a short run already sees a visit.
    m_phaseLeftMs = m_random.Between(500, 1500);
}

CPresenceScenario::Span CPresenceScenario::SpanOf(std::int32_t a, std::int32_t b)
{
    // The module stores what the host sends; a reversed or negative range still has to
    // give distances a u16 can carry.
    const std::int64_t x = std::clamp<std::int64_t>(a, 0, kMaxDistanceCm);
    const std::int64_t y = std::clamp<std::int64_t>(b, 0, kMaxDistanceCm);
    return {std::min(x, y), std::max(x, y)};
}

CPresenceScenario::Ranges CPresenceScenario::RangesOf(const SimulatedParameters& p)
{
    Ranges r;
    r.motion = SpanOf(p.nMotionRangeMin, p.nMotionRangeMax);
    r.motionless = SpanOf(p.nMotionlessRangeMin, p.nMotionlessRangeMax);
    r.offTimeMs = std::max<std::int64_t>(p.nOffTime, 0) * 100;
    return r;
}

PresenceSample CPresenceScenario::Step(int stepMs, const SimulatedParameters& parameters)
{
    const Ranges ranges = RangesOf(parameters);
    stepMs = std::max(stepMs, 1);
    switch (m_phase) {
    case ScenarioPhase::Empty:
        m_phaseLeftMs -= stepMs;
        if (m_phaseLeftMs > 0)
            return m_last = PresenceSample{};
        EnterRoom(ranges);
        return m_last = Observe(1, ranges.motion, 3);
    case ScenarioPhase::Moving:
        if (Walk(stepMs)) {
            if (m_movesLeft > 0) {
                --m_movesLeft;
                ChooseNextTarget(ranges);
            } else {
                m_phase = ScenarioPhase::Still;
                m_phaseLeftMs = m_random.Between(2000, 5000);
            }
        }
        return m_last = Observe(1, ranges.motion, 3);
    case ScenarioPhase::Still:
        m_phaseLeftMs -= stepMs;
        if (m_phaseLeftMs <= 0) {
            m_phase = ScenarioPhase::Leaving;
            m_targetMm = ranges.motion.hi * 10;
            m_speedMmPerS = m_random.Between(800, 1500);
            return m_last = Observe(1, ranges.motion, 3);
        }
        return m_last = Observe(2, ranges.motionless, 1);
    case ScenarioPhase::Leaving:
        if (Walk(stepMs)) {
            // Out of range: the module keeps reporting the last presence until the off-time ends.
            m_phase = ScenarioPhase::AbsenceDelay;
            m_phaseLeftMs = ranges.offTimeMs;
        }
        return m_last = Observe(1, ranges.motion, 3);
    case ScenarioPhase::AbsenceDelay:
        m_phaseLeftMs -= stepMs;
        if (m_phaseLeftMs > 0)
            return m_last;
        m_phase = ScenarioPhase::Empty;
        m_phaseLeftMs = m_random.Between(1500, 4000);
        return m_last = PresenceSample{};
    }
    return m_last;
}

void CPresenceScenario::EnterRoom(const Ranges& ranges)
{
    m_phase = ScenarioPhase::Moving;
    const std::int64_t edgeMm = ranges.motion.hi * 10;
    m_positionMm = std::max<std::int64_t>(edgeMm - m_random.Between(0, 300), 0);
    m_movesLeft = int(m_random.Between(0, 2));
    ChooseNextTarget(ranges);
}

void CPresenceScenario::ChooseNextTarget(const Ranges& ranges)
{
    // The last walk ends where the person will stand, inside both ranges when they overlap.
    Span span = ranges.motion;
    if (m_movesLeft == 0) {
        const Span both{std::max(ranges.motion.lo, ranges.motionless.lo),
                        std::min(ranges.motion.hi, ranges.motionless.hi)};
        span = both.lo <= both.hi ? both : ranges.motionless;
    }
    m_targetMm = m_random.Between(span.lo * 10, span.hi * 10);
    m_speedMmPerS = m_random.Between(600, 1400);
}

bool CPresenceScenario::Walk(int stepMs)
{
    const std::int64_t stride = std::max<std::int64_t>(m_speedMmPerS * stepMs / 1000, 1);
    const std::int64_t gap = m_targetMm - m_positionMm;
    if (gap >= -stride && gap <= stride) {
        m_positionMm = m_targetMm;
        return true;
    }
    m_positionMm += gap > 0 ? stride : -stride;
    return false;
}

PresenceSample CPresenceScenario::Observe(std::uint8_t state, const Span& span, int jitterCm)
{
    const std::int64_t seen = m_positionMm / 10 + m_random.Between(-jitterCm, jitterCm);
    return PresenceSample{state, std::uint16_t(std::clamp(seen, span.lo, span.hi))};
}
