#pragma once
#include <chrono>
#include <cstdint>

// The time of a replay: where in the recording it stands at a wall-clock moment, given
// play and pause and a speed factor. Every change re-anchors it at the position it has
// reached, so a new speed or a pause never makes the position jump.
//
// Thread: one owner (the replay thread reads it under the runner's lock).
class CReplayClock {
public:
    using Clock = std::chrono::steady_clock;
    // The speed that hands everything over at once.
    static constexpr int kFastest = 0;

    // Paused at positionUs.
    void Reset(std::int64_t positionUs);
    void Play(Clock::time_point now);
    void Pause(Clock::time_point now);
    // 1, 4, 16 ... times the recorded pace, or kFastest.
    void SetSpeed(int factor, Clock::time_point now);
    // Moves to positionUs, playing or paused as before.
    void MoveTo(std::int64_t positionUs, Clock::time_point now);

    bool Playing() const { return m_playing; }
    int Speed() const { return m_speed; }
    bool Fastest() const { return m_speed == kFastest; }
    // The position at now; it stands still while paused.
    std::int64_t PositionAt(Clock::time_point now) const;
    // When the position reaches positionUs while playing at a pace; at once when it is
    // already there.
    Clock::time_point WhenAt(std::int64_t positionUs) const;

private:
    bool m_playing = false;
    int m_speed = 1;
    std::int64_t m_anchorUs = 0;
    Clock::time_point m_anchorWall{};
};
