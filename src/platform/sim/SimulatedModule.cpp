#include "SimulatedModule.h"

#include <algorithm>

#include "ModuleProtocol.h"

using namespace ModuleProtocol;

CSimulatedModule::CSimulatedModule(const SimulatedModuleOptions& options)
    : m_options(options),
      m_commands(options.version, options.protocolVersion, options.ignoredParameterIds),
      m_faults(options.commandFaults),
      m_scenario(options.seed),
      m_faultRandom(options.seed ^ 0x5DEECE66Dull)
{
    m_options.reportIntervalMs = std::max(m_options.reportIntervalMs, 1);
    m_nextReportMs = m_options.reportIntervalMs;
}

void CSimulatedModule::ReceiveFromHost(const std::uint8_t* data, std::size_t size, std::int64_t nowMs,
                                       std::vector<std::uint8_t>& out)
{
    if (m_options.mute)
        return;
    nowMs = std::max(nowMs, m_clockMs);
    m_scanner.Append(data, size);
    while (auto request = m_scanner.Next()) {
        const CommandFault* fault = m_faults.Hit(request->word);
        if (fault && fault->kind == CommandFaultKind::Lost)
            continue;
        const bool wasReporting = IsReporting();
        const std::vector<std::uint8_t> reply = m_commands.Execute(*request);
        std::vector<std::uint8_t> frame = EncodeCommandFrame(std::uint16_t(request->word | kReplyFlag), reply.data(),
                                                             reply.size(), m_options.badCrc);
        if (!fault) {
            out.insert(out.end(), frame.begin(), frame.end());
        } else if (fault->kind == CommandFaultKind::Late) {
            const std::int64_t dueMs = nowMs + std::max(fault->delayMs, 0);
            const auto later = std::find_if(m_lateReplies.begin(), m_lateReplies.end(),
                                            [dueMs](const LateReply& r) { return r.dueMs > dueMs; });
            m_lateReplies.insert(later, LateReply{dueMs, std::move(frame)});
        }
        // Reports resume with the current reading right behind the reply, as a module
        // that kept measuring in command mode would send it. The host thus always gets
        // the reply and report bytes in one burst.
        if (!wasReporting && IsReporting())
            EmitReport(m_lastSample, out);
    }
}

void CSimulatedModule::AdvanceTo(std::int64_t nowMs, std::vector<std::uint8_t>& out)
{
    m_clockMs = std::max(m_clockMs, nowMs);
    for (;;) {
        const bool replyDue = !m_lateReplies.empty() && m_lateReplies.front().dueMs <= nowMs;
        const bool reportDue = m_nextReportMs <= nowMs;
        if (replyDue && (!reportDue || m_lateReplies.front().dueMs <= m_nextReportMs)) {
            const std::vector<std::uint8_t>& frame = m_lateReplies.front().frame;
            out.insert(out.end(), frame.begin(), frame.end());
            m_lateReplies.pop_front();
        } else if (reportDue) {
            // The room's story goes on whether or not the module reports it.
            m_lastSample = m_scenario.Step(m_options.reportIntervalMs, m_commands.Parameters());
            if (IsReporting())
                EmitReport(m_lastSample, out);
            m_nextReportMs += m_options.reportIntervalMs;
        } else {
            break;
        }
    }
}

std::int64_t CSimulatedModule::NextDueMs() const
{
    return m_lateReplies.empty() ? m_nextReportMs : std::min(m_nextReportMs, m_lateReplies.front().dueMs);
}

bool CSimulatedModule::IsReporting() const
{
    const bool withinLimit = m_options.frameLimit < 0 || m_framesSent < m_options.frameLimit;
    return m_commands.ReportingOn() && !m_commands.InCommandMode() && withinLimit;
}

void CSimulatedModule::EmitReport(const PresenceSample& sample, std::vector<std::uint8_t>& out)
{
    std::uint8_t frame[kReportFrameSize] = {kReportHead, kReportHead, sample.state, 0, 0, kReportTail, kReportTail};
    WriteU16(&frame[3], sample.distanceCm);
    if (m_options.brokenTail && m_faultRandom.Percent(10))
        frame[6] = std::uint8_t(m_faultRandom.Between(0, 0x54));
    out.insert(out.end(), frame, frame + kReportFrameSize);
    ++m_framesSent;
    if (m_options.garbage && m_faultRandom.Percent(30)) {
        const std::int64_t count = m_faultRandom.Between(1, 6);
        for (std::int64_t i = 0; i < count; ++i)
            out.push_back(std::uint8_t(m_faultRandom.Between(0, 255)));
    }
}
