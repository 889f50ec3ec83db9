#pragma once

// How CColorStatic lays its text out in a rectangle. Alignments: 0 near (left or
// top), 1 centre, 2 far (right or bottom).
struct StringFormat {
    // Only lines that fit whole into the rectangle are laid out.
    static constexpr int kLineLimit = 0x2000;

    int alignment = 1;
    int lineAlignment = 1;
    int flags = kLineLimit;

    static constexpr bool IsValidAlignment(int value) { return value >= 0 && value <= 2; }
};
