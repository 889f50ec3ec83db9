#pragma once
#include <cstdint>
#include "DetectionParams.h"

// The module's read-parameters reply (command 0x0073): 52 bytes, little-endian, the
// status word first, then the 18 fields in the order and widths of the reply table.
// The window's parameter dialog and the command line read the module through this.
constexpr std::uint16_t kReadDetectionParamsCommand = 0x0073;
constexpr std::uint16_t kSetDetectionParamsCommand = 0x0067;
constexpr int kDetectionParamsReplyLength = 52;
// What the parse answers for a reply that is not 52 bytes long (beside the module's own
// statuses 0 to 4 and the device library's 0xA001 to 0xA006).
constexpr std::uint16_t kDetectionParamsWrongLength = 0xA004;

// Parses reply into target: kDetectionParamsWrongLength when length is not 52 (or reply
// is null), the reply's own status when hasStatus is set and it is not 0, storing
// nothing in either case; else stores all 18 fields (nothing when target is null) and
// answers 0. With hasStatus 0 the fields start at offset 0 and the last two bytes are
// unused. Fits the device library's reply callback once target is cast.
std::uint16_t ParseDetectionParamsReply(int hasStatus, const std::uint8_t* reply, int length,
                                        DetectionParams* target);
