#pragma once
// A small seeded random source for the simulated module (splitmix64). Its sequence
// depends on the seed only, whatever the compiler or standard library, which is what
// makes a scenario repeatable; std:: distributions do not promise that.
#include <cstdint>

class CSimRandom {
public:
    explicit CSimRandom(std::uint64_t seed) : m_state(seed) {}

    std::uint64_t Next()
    {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    // A value from lo to hi, both included; lo when hi is not above lo.
    std::int64_t Between(std::int64_t lo, std::int64_t hi)
    {
        if (hi <= lo)
            return lo;
        const std::uint64_t span = std::uint64_t(hi - lo) + 1;
        return lo + std::int64_t(Next() % span);
    }

    // True with the given chance in percent.
    bool Percent(int chance) { return Between(0, 99) < chance; }

private:
    std::uint64_t m_state;
};
