#include "SimulatedModule.h"

#include <algorithm>

#include "ModuleProtocol.h"

using namespace ModuleProtocol;

CSimulatedModule::CSimulatedModule(const SimulatedModuleOptions& options)
    : m_options(options),
      m_commands(options.version),
      m_scenario(options.seed),
      m_faultRandom(options.seed ^ 0x5DEECE66Dull)
{
    m_options.reportIntervalMs = std::max(m_options.reportIntervalMs, 1);
    m_nextReportMs = m_options.reportIntervalMs;
}

void CSimulatedModule::ReceiveFromHost(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>& out)
{
    if (m_options.mute)
        return;
    m_scanner.Append(data, size);
    while (auto request = m_scanner.Next()) {
        const bool wasReporting = IsReporting();
        const std::vector<std::uint8_t> reply = m_commands.Execute(*request);
        const std::vector<std::uint8_t> frame = EncodeCommandFrame(std::uint16_t(request->word | kReplyFlag),
                                                                   reply.data(), reply.size(), m_options.badCrc);
        out.insert(out.end(), frame.begin(), frame.end());
        // Reports resume with the current reading right behind the reply, as a module
        // that kept measuring in command mode would send it. The host thus always gets
        // the reply and report bytes in one burst.
        if (!wasReporting && IsReporting())
            EmitReport(m_lastSample, out);
    }
}

void CSimulatedModule::AdvanceTo(std::int64_t nowMs, std::vector<std::uint8_t>& out)
{
    while (m_nextReportMs <= nowMs) {
        // The room's story goes on whether or not the module reports it.
        m_lastSample = m_scenario.Step(m_options.reportIntervalMs, m_commands.Parameters());
        if (IsReporting())
            EmitReport(m_lastSample, out);
        m_nextReportMs += m_options.reportIntervalMs;
    }
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
