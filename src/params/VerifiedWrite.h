#pragma once
// Writing parameters to the module and checking by reading them back.
//
// Each field goes out in a set-parameters command of its own, in the order given, each
// waiting for its answer before the next. A single command carrying every field would be
// applied whole or not at all, but when it goes unanswered nothing tells whether it was
// applied; one command per field lets an interrupted write say which fields the module
// acknowledged, and the read-back of all 18 afterwards decides which it holds. After a
// command that got no answer even when sent again, no further field is sent.
//
// Threads: the calling thread only, as CModuleExchange says.
#include <cstdint>
#include <string>
#include <vector>

#include "DetectionParams.h"
#include "ModuleExchange.h"
#include "RadarDevice.h"

namespace ModuleParams {

// One field to write: its identifier and its raw value (a float as its bits).
struct FieldValue {
    std::uint16_t id = 0;
    std::int32_t raw = 0;
};

// The fate of one field of a write.
struct FieldCheck {
    std::uint16_t id = 0;
    std::int32_t written = 0;    // the raw value asked for
    std::int32_t readBack = 0;   // the raw value the module holds afterwards (when the read-back worked)
    bool sent = false;           // its set command went out
    bool acknowledged = false;   // the module answered that command with success
    bool kept = false;           // read back as written
};

struct WriteOutcome {
    // Every field reads back as written, every command sent was acknowledged, and the
    // module left command mode. Never true otherwise.
    bool ok = false;
    // Empty when ok; otherwise every problem, in sentences joined by "; ".
    std::string error;
    int protocolVersion = 0;
    // One per field asked for, in the order asked.
    std::vector<FieldCheck> fields;
    // Fields not sent because the module's protocol version cannot set them (1: ids 5 to 17).
    std::vector<std::uint16_t> notWritable;
    // What the module holds afterwards, all 18 fields: store this, not what was sent.
    bool readBackOk = false;
    DetectionParams readBack;
    bool leftCommandMode = false;
    int retries = 0;
};

// Every field of params, identifiers 0 to 17 in order.
std::vector<FieldValue> AllFields(const DetectionParams& params);

// Checks fields before anything is sent: at least one, identifiers 0 to 17, each once.
// False with error naming the fault.
bool CheckFieldList(const std::vector<FieldValue>& fields, std::string& error);

// Enters command mode, writes fields, reads all 18 back, compares field by field and
// leaves command mode (on every path). Blocks the calling thread; see CModuleExchange.
WriteOutcome WriteVerified(VetraRadarHandle device, const std::vector<FieldValue>& fields,
                           const ExchangeTimings& timings = {});

// The same inside a bracket the caller has entered; does not leave it (leftCommandMode
// and the message about it are the caller's).
WriteOutcome WriteInBracket(CModuleExchange& exchange, const std::vector<FieldValue>& fields);

}  // namespace ModuleParams
