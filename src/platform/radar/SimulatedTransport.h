#pragma once
// The built-in simulated module as the device library's link.
//
// Threads: the module engine runs on m_thread ("RadarSimModule"), which alone touches
// m_module after construction. It wakes for each report tick and whenever the host
// writes, and delivers the module's bytes into the CIncomingByteQueue. Write runs on
// the caller's thread and only hands bytes over through m_fromHost.
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "RadarTransport.h"
#include "SimulatedModule.h"
#include "SimulatedModuleOptions.h"

class CIncomingByteQueue;

class CSimulatedTransport final : public IRadarTransport {
public:
    CSimulatedTransport(CIncomingByteQueue& incoming, const SimulatedModuleOptions& options);
    ~CSimulatedTransport() override;
    CSimulatedTransport(const CSimulatedTransport&) = delete;
    CSimulatedTransport& operator=(const CSimulatedTransport&) = delete;

    bool Write(const std::uint8_t* data, std::size_t size, int timeoutMs) override;

private:
    void Run();

    CIncomingByteQueue& m_incoming;
    CSimulatedModule m_module;  // module thread only
    const int m_hangupAfterMs;

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::vector<std::uint8_t> m_fromHost;  // guarded by m_mutex
    bool m_stop = false;                   // guarded by m_mutex
    bool m_hungUp = false;                 // guarded by m_mutex

    std::thread m_thread;  // last: starts once everything above exists
};
