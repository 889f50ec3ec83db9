#include "VerifiedWrite.h"

#include <algorithm>

#include "ParameterTable.h"
#include "ParameterText.h"

namespace ModuleParams {

namespace {

std::string NameOf(std::uint16_t id)
{
    const ParameterInfo* field = FindParameter(id);
    return field ? field->name : "identifier " + std::to_string(id);
}

std::string Join(const std::vector<std::string>& parts)
{
    std::string text;
    for (const std::string& part : parts) {
        if (!text.empty())
            text += ", ";
        text += part;
    }
    return text;
}

void AddProblem(std::string& error, const std::string& sentence)
{
    if (!error.empty())
        error += "; ";
    error += sentence;
}

// Compares the read-back with what was asked. The read-back decides: the write is a
// success when every field holds what was asked, even if a reply got lost on the way
// (that field's check then shows it unacknowledged); otherwise error tells every problem.
void Judge(WriteOutcome& outcome)
{
    std::vector<std::string> notKept;
    std::vector<std::string> unwritable;
    std::vector<std::string> notSent;
    std::vector<std::string> acknowledged;
    for (FieldCheck& check : outcome.fields) {
        const ParameterInfo& field = *FindParameter(check.id);
        if (outcome.readBackOk) {
            check.readBack = ReadRaw(outcome.readBack, field);
            check.kept = check.readBack == check.written;
        }
        if (check.acknowledged)
            acknowledged.push_back(field.name);
        if (check.kept)
            continue;
        if (std::find(outcome.notWritable.begin(), outcome.notWritable.end(), check.id) != outcome.notWritable.end())
            unwritable.push_back(field.name);
        else if (!check.sent)
            notSent.push_back(field.name);
        else if (outcome.readBackOk)
            notKept.push_back(std::string(field.name) + " (written " + FormatParameterValue(field, check.written) +
                              ", reads back " + FormatParameterValue(field, check.readBack) + ")");
    }
    outcome.ok = outcome.readBackOk &&
                 std::all_of(outcome.fields.begin(), outcome.fields.end(), [](const FieldCheck& c) { return c.kept; });
    if (outcome.ok) {
        outcome.error.clear();
        return;
    }
    if (!notSent.empty())
        AddProblem(outcome.error, "not sent: " + Join(notSent));
    if (!unwritable.empty())
        AddProblem(outcome.error, "the module (protocol version " + std::to_string(outcome.protocolVersion) +
                                      ") cannot set " + Join(unwritable));
    if (!notKept.empty())
        AddProblem(outcome.error, "the module did not keep " + Join(notKept));
    if (!outcome.readBackOk)
        AddProblem(outcome.error, acknowledged.empty() ? std::string("the module acknowledged no field")
                                                       : "the module acknowledged " + Join(acknowledged) +
                                                             " (whether it holds them is unknown)");
}

}  // namespace

std::vector<FieldValue> AllFields(const DetectionParams& params)
{
    std::vector<FieldValue> fields;
    fields.reserve(kParameterCount);
    for (const ParameterInfo& field : Table())
        fields.push_back({field.id, ReadRaw(params, field)});
    return fields;
}

bool CheckFieldList(const std::vector<FieldValue>& fields, std::string& error)
{
    if (fields.empty()) {
        error = "no field to write";
        return false;
    }
    std::vector<bool> seen(kParameterCount, false);
    for (const FieldValue& value : fields) {
        if (!FindParameter(value.id)) {
            error = "there is no parameter with identifier " + std::to_string(value.id) + " (0 to 17)";
            return false;
        }
        if (seen[value.id]) {
            error = NameOf(value.id) + " is given twice";
            return false;
        }
        seen[value.id] = true;
    }
    return true;
}

WriteOutcome WriteInBracket(CModuleExchange& exchange, const std::vector<FieldValue>& fields)
{
    WriteOutcome outcome;
    outcome.protocolVersion = exchange.ProtocolVersion();
    bool reachable = true;
    for (const FieldValue& value : fields) {
        FieldCheck check;
        check.id = value.id;
        check.written = value.raw;
        const bool writable = value.id <= kHighestBasicId || outcome.protocolVersion >= kAllParametersProtocolVersion;
        if (!writable) {
            outcome.notWritable.push_back(value.id);
        } else if (reachable) {
            const CommandResult result = exchange.SetParameter(value.id, value.raw);
            check.sent = true;
            check.acknowledged = result.Ok();
            if (!result.Ok()) {
                AddProblem(outcome.error, "setting " + NameOf(value.id) + " failed (" +
                                              CommandStatusText(result.status) + ", " + std::to_string(result.tries) +
                                              (result.tries == 1 ? " try)" : " tries)"));
                reachable = !result.Unreached();
            }
        }
        outcome.fields.push_back(check);
    }
    // Read back even after a failure: what the module holds is what the caller must keep.
    const CommandResult read = exchange.ReadParameters(outcome.readBack);
    outcome.readBackOk = read.Ok();
    if (!outcome.readBackOk)
        AddProblem(outcome.error, "the parameters could not be read back (" + CommandStatusText(read.status) + ")");
    Judge(outcome);
    return outcome;
}

WriteOutcome WriteVerified(VetraRadarHandle device, const std::vector<FieldValue>& fields,
                           const ExchangeTimings& timings)
{
    WriteOutcome outcome;
    if (!CheckFieldList(fields, outcome.error))
        return outcome;  // nothing sent: the module is not even asked
    CModuleExchange exchange(device, timings);
    if (exchange.Enter()) {
        outcome = WriteInBracket(exchange, fields);
    } else {
        outcome.error = exchange.EnterError() + "; nothing was sent";
        for (const FieldValue& value : fields)
            outcome.fields.push_back({value.id, value.raw, 0, false, false, false});
    }
    outcome.leftCommandMode = exchange.Leave();
    outcome.retries = exchange.Retries();
    if (exchange.StuckInCommandMode())
        AddProblem(outcome.error, kStuckInCommandMode);
    outcome.ok = outcome.ok && outcome.leftCommandMode;
    return outcome;
}

}  // namespace ModuleParams
