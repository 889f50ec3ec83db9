#include "SimulatedTransport.h"

#include <pthread.h>

#include <algorithm>
#include <chrono>

#include "IncomingByteQueue.h"

CSimulatedTransport::CSimulatedTransport(CIncomingByteQueue& incoming, const SimulatedModuleOptions& options)
    : m_incoming(incoming), m_module(options), m_hangupAfterMs(options.hangupAfterMs), m_thread([this] { Run(); })
{
}

CSimulatedTransport::~CSimulatedTransport()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

bool CSimulatedTransport::Write(const std::uint8_t* data, std::size_t size, int /*timeoutMs*/)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_stop || m_hungUp)
            return false;
        m_fromHost.insert(m_fromHost.end(), data, data + size);
    }
    m_wake.notify_all();
    return true;
}

void CSimulatedTransport::Run()
{
    pthread_setname_np(pthread_self(), "RadarSimModule");
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    std::vector<std::uint8_t> input;
    std::vector<std::uint8_t> output;
    std::unique_lock lock(m_mutex);
    while (!m_stop) {
        Clock::time_point wakeAt = start + std::chrono::milliseconds(m_module.NextDueMs());
        if (m_hangupAfterMs >= 0)
            wakeAt = std::min(wakeAt, start + std::chrono::milliseconds(m_hangupAfterMs));
        m_wake.wait_until(lock, wakeAt, [this] { return m_stop || !m_fromHost.empty(); });
        if (m_stop)
            break;
        input.clear();
        input.swap(m_fromHost);
        const auto nowMs = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
        if (m_hangupAfterMs >= 0 && nowMs >= m_hangupAfterMs) {
            m_hungUp = true;
            lock.unlock();
            m_incoming.MarkFailed();
            return;
        }
        lock.unlock();
        output.clear();
        m_module.ReceiveFromHost(input.data(), input.size(), nowMs, output);
        m_module.AdvanceTo(nowMs, output);
        m_incoming.Push(output.data(), output.size());
        lock.lock();
    }
}
