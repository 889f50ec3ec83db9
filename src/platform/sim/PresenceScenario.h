#pragma once
// What the simulated module "sees": a repeating, seeded story of an empty room, a
// person who walks in and moves about, stands still, walks out, and the absence
// report delay (nOffTime) during which the module still reports the last presence.
//
// The story depends on the seed and the steps taken only. Distances always lie inside
// the ranges configured at the time of the step: the motion range while the person
// moves, the micro-motion range while they stand still. The off-time changes only how
// long the delay lasts, never the random draws, so two runs that differ only in
// nOffTime differ only in when the room reads empty again.
#include <cstdint>

#include "SimRandom.h"
#include "SimulatedParameters.h"

enum class ScenarioPhase { Empty, Moving, Still, Leaving, AbsenceDelay };

struct PresenceSample {
    std::uint8_t state = 0;  // 0 nobody, 1 moving, 2 motionless
    std::uint16_t distanceCm = 0;
};

class CPresenceScenario {
public:
    explicit CPresenceScenario(std::uint64_t seed);

    // Lets stepMs of world time pass and returns what the module reports then.
    PresenceSample Step(int stepMs, const SimulatedParameters& parameters);
    ScenarioPhase Phase() const { return m_phase; }

private:
    struct Span {
        std::int64_t lo = 0;  // cm
        std::int64_t hi = 0;
    };
    struct Ranges {
        Span motion;
        Span motionless;
        std::int64_t offTimeMs = 0;
    };
    static Span SpanOf(std::int32_t a, std::int32_t b);
    static Ranges RangesOf(const SimulatedParameters& parameters);

    void EnterRoom(const Ranges& ranges);
    void ChooseNextTarget(const Ranges& ranges);
    // Moves toward the target; true once there.
    bool Walk(int stepMs);
    PresenceSample Observe(std::uint8_t state, const Span& span, int jitterCm);

    CSimRandom m_random;
    ScenarioPhase m_phase = ScenarioPhase::Empty;
    std::int64_t m_phaseLeftMs = 0;
    std::int64_t m_positionMm = 0;
    std::int64_t m_targetMm = 0;
    std::int64_t m_speedMmPerS = 1000;
    int m_movesLeft = 0;
    PresenceSample m_last;
};
