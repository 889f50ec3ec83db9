#pragma once
// One command-mode bracket with the module: enter, one command at a time, leave.
// Every command waits for its reply or its time-out before the next goes out, and a
// command that timed out is sent again up to `retries` times. The bracket is always
// closed: the destructor leaves command mode when the owner has not, whatever failed.
//
// Threads: one thread at a time (the window's user-interface thread, or the command
// line's main thread), while no acquisition reads the device; every call blocks for
// at most its time-outs.
#include <cstdint>
#include <functional>
#include <string>

#include "DetectionParams.h"
#include "RadarDevice.h"

namespace ModuleParams {

// How long to wait for the module, and how often to try again.
struct ExchangeTimings {
    int enterTimeoutMs = 150;     // each try of enter-command-mode, as the parameter dialog waits
    int commandTimeoutMs = 500;   // each try of any other command (the module answers within a few ms)
    int cleanMs = 500;            // at most this long for the line to fall quiet after entering
    int retries = 2;              // further tries of a command that timed out
    // Asked before every try: once true, no further command goes out (a bracket that
    // was entered is still left, with one try) and the exchange ends within one
    // time-out. Called on the exchanging thread; null: never stop early.
    std::function<bool()> stopRequested;
};

// The status of a command that was not sent because a stop was requested.
constexpr std::uint16_t kExchangeStopped = 0xA0F0;

// What became of one command after all its tries.
struct CommandResult {
    // 0 carried out; 1 to 4 the module's refusal; a VetraCommandStatus when no valid
    // reply came; kDetectionParamsWrongLength for a read-parameters reply of the wrong size.
    std::uint16_t status = kVetraStatusTimeout;
    int tries = 0;
    bool Ok() const { return status == 0; }
    // The module could not be reached: nothing after this will get through either.
    bool Unreached() const
    {
        return status == kVetraStatusTimeout || status == kVetraStatusWriteFailed || status == kVetraStatusNotOpen ||
               status == kExchangeStopped;
    }
};

// A sentence for a status of CommandResult ("no reply", "the module refused it: ...").
std::string CommandStatusText(std::uint16_t status);

// Said when a bracket could not be left.
inline constexpr const char* kStuckInCommandMode =
    "the module did not leave command mode; it sends no reports until it does";

class CModuleExchange {
public:
    CModuleExchange(VetraRadarHandle device, const ExchangeTimings& timings);
    ~CModuleExchange();
    CModuleExchange(const CModuleExchange&) = delete;
    CModuleExchange& operator=(const CModuleExchange&) = delete;

    // Enters command mode (retrying) and lets the line fall quiet. False when the module
    // never answered; the bracket still counts as open, so leaving is tried all the same.
    bool Enter();
    // The protocol version the module gave when entering; 0 when it did not answer.
    int ProtocolVersion() const { return m_protocolVersion; }
    // Why Enter failed, in a sentence: a lost link, or a module that does not answer.
    std::string EnterError() const;
    // True when the bracket was entered but could not be left: the module sends no
    // reports until it leaves. A module that never answered is not counted as left in it.
    bool StuckInCommandMode() const { return m_entered && !m_open && !m_left; }

    // The firmware version text (read-version command).
    CommandResult ReadFirmware(std::string& text);
    // All 18 parameters; params is replaced only when the result is Ok.
    CommandResult ReadParameters(DetectionParams& params);
    // One set-parameters command with one (identifier, value) entry.
    CommandResult SetParameter(std::uint16_t id, std::int32_t raw);

    // Leaves command mode (retrying). True when the module confirmed, or answered that
    // it was not in command mode; false when it could not be reached. After an Enter
    // that got no answer it is sent once, waiting as long as an enter try: the module may
    // have entered with its reply lost, but most likely nothing is listening. Once is
    // enough: later calls answer the first outcome.
    bool Leave();

    // Commands sent again after a time-out, in all.
    int Retries() const { return m_retries; }

private:
    // Sends word with payload until it gets a reply or has timed out 1 + retries times.
    CommandResult Send(std::uint16_t word, const std::uint8_t* payload, int payloadLength, VetraReplyCallback callback,
                       void* user);
    bool StopRequested() const { return m_timings.stopRequested && m_timings.stopRequested(); }

    VetraRadarHandle m_device;
    ExchangeTimings m_timings;
    int m_protocolVersion = 0;
    int m_retries = 0;
    bool m_entered = false;  // the module answered enter-command-mode
    bool m_open = false;  // entered (or tried to) and not yet left
    bool m_left = false;
};

}  // namespace ModuleParams
