#pragma once
// The module's side of the serial protocol, without any I/O: bytes from the host go
// in, the module's bytes (replies, report frames, injected faults) come out. The
// caller drives the module clock, so the whole behaviour can be stepped through in a
// test without waiting. Single-threaded: the owner serialises every call.
#include <cstdint>
#include <deque>
#include <vector>

#include "CommandFrameScanner.h"
#include "PresenceScenario.h"
#include "SimRandom.h"
#include "SimulatedCommandFaults.h"
#include "SimulatedCommandSet.h"
#include "SimulatedModuleOptions.h"

class CSimulatedModule {
public:
    explicit CSimulatedModule(const SimulatedModuleOptions& options = {});

    // Takes bytes the host sent at nowMs on the module clock and appends the module's
    // replies to out; a reply the options make late waits for AdvanceTo. Frames with a
    // wrong CRC or an impossible length get no reply, as on the real module.
    void ReceiveFromHost(const std::uint8_t* data, std::size_t size, std::int64_t nowMs,
                         std::vector<std::uint8_t>& out);
    // The same at the clock of the last AdvanceTo.
    void ReceiveFromHost(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>& out)
    {
        ReceiveFromHost(data, size, m_clockMs, out);
    }
    // Moves the module clock (ms since power-up) to nowMs, appending every report
    // frame and late reply that falls due on the way, in time order. The clock never
    // runs backwards.
    void AdvanceTo(std::int64_t nowMs, std::vector<std::uint8_t>& out);
    // When the next report tick is due on the module clock.
    std::int64_t NextReportDueMs() const { return m_nextReportMs; }
    // When the module next has something to send: a report tick or a late reply.
    std::int64_t NextDueMs() const;

    bool InCommandMode() const { return m_commands.InCommandMode(); }
    bool ReportingOn() const { return m_commands.ReportingOn(); }
    const SimulatedParameters& Parameters() const { return m_commands.Parameters(); }
    std::int64_t ReportFramesSent() const { return m_framesSent; }
    const SimulatedModuleOptions& Options() const { return m_options; }

private:
    // Reporting on, not in command mode, and the frame limit not reached.
    bool IsReporting() const;
    void EmitReport(const PresenceSample& sample, std::vector<std::uint8_t>& out);

    struct LateReply {
        std::int64_t dueMs = 0;
        std::vector<std::uint8_t> frame;
    };

    SimulatedModuleOptions m_options;
    CCommandFrameScanner m_scanner;
    CSimulatedCommandSet m_commands;
    CSimulatedCommandFaults m_faults;
    std::deque<LateReply> m_lateReplies;  // in the order they fall due
    std::int64_t m_clockMs = 0;
    CPresenceScenario m_scenario;
    // Faults draw from their own sequence, so switching one on does not change the story.
    CSimRandom m_faultRandom;
    PresenceSample m_lastSample;  // the latest reading, reported or not
    std::int64_t m_nextReportMs = 0;
    std::int64_t m_framesSent = 0;
};
