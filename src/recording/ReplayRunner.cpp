#include "ReplayRunner.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "RegularFile.h"
#include "ReportFrameDecoder.h"

namespace {
constexpr const char* kThreadName = "ABDReplay";
// At the fastest speed, how long the runner waits for the display to catch up before
// it looks again.
constexpr auto kBacklogWait = std::chrono::milliseconds(2);
}  // namespace

CReplayRunner::CReplayRunner(CReportFrameDecoder& decoder) : m_decoder(decoder) {}

CReplayRunner::~CReplayRunner()
{
    Stop();
}

bool CReplayRunner::Start(std::shared_ptr<const CReplayTimeline> timeline, const std::string& datPath,
                          std::int64_t fromUs, std::string* error)
{
    if (m_thread.IsRunning() || !timeline) {
        if (error)
            *error = m_thread.IsRunning() ? "a replay is still running" : "no recording to replay";
        return false;
    }
    Stop();  // a replay that ended on its own still has its file and thread to release
    std::string reason;
    m_dat = FopenRegularFileForReading(datPath, reason);
    if (!m_dat) {
        if (error)
            *error = datPath + ": " + reason;
        return false;
    }
    m_filePosition = 0;
    m_reassembly.Delete();
    m_nextEvent = 0;
    m_linkLostUs = -1;
    m_timeline = std::move(timeline);
    m_fromUs = fromUs;
    {
        std::lock_guard<std::mutex> hold(m_mutex);
        m_clock.Reset(std::max<std::int64_t>(0, fromUs));
        m_next = 0;
        m_stop = false;
        m_stepping = false;
        m_lastDeliveredUs = 0;
        m_error.clear();
    }
    m_finished.store(false, std::memory_order_release);
    if (m_thread.StartThread(kThreadName, this, nullptr, 0, 0, 0) == 0) {
        std::fclose(m_dat);
        m_dat = nullptr;
        if (error)
            *error = "the replay thread could not be started";
        return false;
    }
    return true;
}

void CReplayRunner::Stop()
{
    {
        std::lock_guard<std::mutex> hold(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_thread.StopThread();
    if (m_dat) {
        std::fclose(m_dat);
        m_dat = nullptr;
    }
}

void CReplayRunner::Play()
{
    {
        std::lock_guard<std::mutex> hold(m_mutex);
        m_clock.Play(CReplayClock::Clock::now());
    }
    m_wake.notify_all();
}

void CReplayRunner::Pause()
{
    {
        std::lock_guard<std::mutex> hold(m_mutex);
        m_clock.Pause(CReplayClock::Clock::now());
        m_stepping = false;
    }
    m_wake.notify_all();
}

void CReplayRunner::SetSpeed(int factor)
{
    {
        std::lock_guard<std::mutex> hold(m_mutex);
        m_clock.SetSpeed(factor, CReplayClock::Clock::now());
    }
    m_wake.notify_all();
}

void CReplayRunner::StepReport()
{
    {
        std::lock_guard<std::mutex> hold(m_mutex);
        if (m_clock.Playing())
            return;
        m_stepping = true;
        m_stepFrom = m_decoder.FramesReported();
    }
    m_wake.notify_all();
}

bool CReplayRunner::Playing() const
{
    std::lock_guard<std::mutex> hold(m_mutex);
    return m_clock.Playing();
}

int CReplayRunner::Speed() const
{
    std::lock_guard<std::mutex> hold(m_mutex);
    return m_clock.Speed();
}

std::int64_t CReplayRunner::PositionUs() const
{
    std::lock_guard<std::mutex> hold(m_mutex);
    if (m_finished.load(std::memory_order_acquire))
        return m_lastDeliveredUs;
    // Between two deliveries the position runs on with the clock, but never past the
    // next delivery: the display shows nothing of it yet.
    std::int64_t position = std::max(m_lastDeliveredUs, m_clock.PositionAt(CReplayClock::Clock::now()));
    if (m_timeline && m_next < m_timeline->Size())
        position = std::min(position, m_timeline->At(m_next).timeUs);
    return position;
}

std::int64_t CReplayRunner::EndUs() const
{
    return m_timeline ? m_timeline->EndUs() : 0;
}

std::string CReplayRunner::ReadError() const
{
    std::lock_guard<std::mutex> hold(m_mutex);
    return m_error;
}

std::size_t CReplayRunner::Delivered() const
{
    std::lock_guard<std::mutex> hold(m_mutex);
    return m_next;
}

CReplayRunner::Next CReplayRunner::Decide(CReplayClock::Clock::time_point& until)
{
    if (m_next >= m_timeline->Size())
        return Next::Finish;
    const std::int64_t due = m_timeline->At(m_next).timeUs;
    if (m_stepping)
        return Next::Deliver;
    const bool catchingUp = due < m_fromUs;
    if (!catchingUp && !m_clock.Playing()) {
        until = CReplayClock::Clock::time_point::max();
        return Next::Wait;
    }
    const auto now = CReplayClock::Clock::now();
    if (catchingUp || m_clock.Fastest()) {
        if (m_backlogProbe && m_backlogProbe()) {
            until = now + kBacklogWait;
            return Next::Wait;
        }
        return Next::Deliver;
    }
    until = m_clock.WhenAt(due);
    return until <= now ? Next::Deliver : Next::Wait;
}

unsigned int CReplayRunner::ThreadFunc(void*)
{
    std::unique_lock<std::mutex> hold(m_mutex);
    while (!m_stop) {
        CReplayClock::Clock::time_point until{};
        const Next next = Decide(until);
        if (next == Next::Finish) {
            hold.unlock();
            Finish({});
            return 0;
        }
        if (next == Next::Wait) {
            if (until == CReplayClock::Clock::time_point::max())
                m_wake.wait(hold);
            else
                m_wake.wait_until(hold, until);
            continue;
        }
        const ReplayDelivery delivery = m_timeline->At(m_next);
        const std::size_t index = m_next;
        hold.unlock();
        PassLinkEvents(index);
        const bool read = Deliver(delivery);
        hold.lock();
        if (!read) {
            hold.unlock();
            Finish("the recording could not be read on at offset " + std::to_string(delivery.offset));
            return 0;
        }
        ++m_next;
        m_lastDeliveredUs = std::max(m_lastDeliveredUs, delivery.timeUs);
        // Where nothing paces the deliveries, they move the clock; never backwards (a jump
        // has put it at its target already).
        if (m_clock.Fastest() || m_stepping) {
            const auto now = CReplayClock::Clock::now();
            m_clock.MoveTo(std::max(m_clock.PositionAt(now), m_lastDeliveredUs), now);
        }
        if (m_stepping && m_decoder.FramesReported() > m_stepFrom)
            m_stepping = false;
    }
    return 0;
}

void CReplayRunner::PassLinkEvents(std::size_t next)
{
    const std::vector<TimedCaptureEvent>& events = m_timeline->Events();
    for (; m_nextEvent < events.size() && events[m_nextEvent].blocksBefore <= next; ++m_nextEvent) {
        const TimedCaptureEvent& timed = events[m_nextEvent];
        if (timed.event.kind == CaptureEventKind::LinkLost) {
            m_linkLostUs = timed.timeUs;
        } else if (timed.event.kind == CaptureEventKind::LinkBack && m_linkLostUs >= 0) {
            if (m_linkGap)
                m_linkGap(timed.timeUs - m_linkLostUs);
            m_linkLostUs = -1;
        }
    }
}

bool CReplayRunner::Deliver(const ReplayDelivery& delivery)
{
    if (delivery.resetReassembly)
        m_reassembly.Delete();
    m_deliveringUs.store(delivery.timeUs, std::memory_order_relaxed);
    if (delivery.offset != m_filePosition) {
        if (std::fseek(m_dat, long(delivery.offset), SEEK_SET) != 0)
            return false;
        m_filePosition = delivery.offset;
    }
    std::int64_t left = delivery.length;
    while (left > 0) {
        const std::size_t want = std::size_t(std::min<std::int64_t>(left, std::int64_t(kReadPieceBytes)));
        m_piece.resize(want);
        const std::size_t got = std::fread(m_piece.data(), 1, want, m_dat);
        m_filePosition += std::int64_t(got);
        if (got == 0)
            return false;  // the file is shorter than when the replay began
        m_reassembly.AppendBuffer(m_piece.data(), got);
        m_decoder.DecodeReportFrames(m_reassembly);
        left -= std::int64_t(got);
    }
    return true;
}

void CReplayRunner::Finish(std::string error)
{
    {
        std::lock_guard<std::mutex> hold(m_mutex);
        m_error = std::move(error);
        m_stepping = false;
        m_clock.Pause(CReplayClock::Clock::now());
    }
    m_finished.store(true, std::memory_order_release);
    if (m_ended)
        m_ended();
}
