#pragma once
#include <cstdint>

// The three states the display knows. The module may send other values; the display
// shows them as nobody, and so do the figures.
enum class PresenceState : std::int8_t { Nobody = 0, Moving = 1, Motionless = 2 };

constexpr int kPresenceStateCount = 3;

constexpr PresenceState DisplayedState(std::int32_t sent)
{
    return sent == 1 ? PresenceState::Moving : sent == 2 ? PresenceState::Motionless : PresenceState::Nobody;
}

constexpr bool IsPresence(PresenceState state)
{
    return state != PresenceState::Nobody;
}
