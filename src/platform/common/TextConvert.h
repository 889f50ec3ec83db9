#pragma once
#include "PtrArrayCtrl.h"

// Kinds understood by DigtalStringToValue.
enum DigitalValueKind : int {
    kDigitalInt32 = 5,   // target is a 32-bit signed int
    kDigitalFloat32 = 9  // target is a 32-bit float
};

// Converts the first `length` bytes of text (length -1: up to the terminator) into
// *target of the given kind. Leading and trailing blanks are allowed; anything else
// that is not part of one number makes the call fail and leaves *target unchanged.
// Integers: decimal with optional sign, or 0x hex; values beyond 32 bits clamp to
// INT32_MIN / INT32_MAX. Floats: strtof syntax. Returns nonzero on success.
int DigtalStringToValue(const char* text, int length, void* target, int kind);

// Splits text (length -1: up to the terminator) at every character found in the
// separator list. Each piece is copied, zero-terminated, into one block that the
// caller releases with Internal_DelArrayW; pieces receives one char16_t* per piece,
// in order. flags: bit 0 set drops empty pieces (0 keeps them, so "a\n\nb" gives
// three pieces and "a\n" gives "a" and ""). maxPieces: -1 for no limit, otherwise
// the last piece holds the rest unsplit. Returns the block, or null for a null or
// empty text (then pieces stays empty).
char16_t* DevideStringByCharListW(const char16_t* text, int length, const char16_t* separators,
                                  int separatorCount, int flags, CPtrArrayCtrl* pieces, int maxPieces);
// Releases a block from DevideStringByCharListW; null is ignored.
void Internal_DelArrayW(char16_t* block);
