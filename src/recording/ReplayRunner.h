#pragma once
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "BaseBuffer.h"
#include "BaseThread.h"
#include "ReplayClock.h"
#include "ReplayTimeline.h"

class CReportFrameDecoder;

// Plays a recording through the tool's report decoder on a thread of its own, as the
// live worker handed its blocks over: the same bytes, in the same pieces, with the
// same fresh start after a reconnect, at the recorded pace times a speed. Whatever the
// decoder does with a report (the display, the chart, the log) therefore happens as it
// did live; nothing is decoded a second way.
//
// Threads: Start, Stop and the controls run on the owner's thread; ThreadFunc is the
// replay thread "ABDReplay", which alone touches the .dat, the reassembly bytes and the
// decoder while it runs. The clock, the delivery count and the requests are shared
// under m_mutex.
class CReplayRunner : public IThreadFuncInterface {
public:
    // Bytes read from the .dat at a time: a block of any recorded length goes to the
    // decoder in pieces of at most this size.
    static constexpr std::size_t kReadPieceBytes = 64 * 1024;

    explicit CReplayRunner(CReportFrameDecoder& decoder);
    ~CReplayRunner() override;
    CReplayRunner(const CReplayRunner&) = delete;
    CReplayRunner& operator=(const CReplayRunner&) = delete;

    // Before Start. At the fastest speed the runner waits while probe() says the
    // display has not caught up, so the owner's event queue never floods.
    void SetBacklogProbe(std::function<bool()> probe) { m_backlogProbe = std::move(probe); }
    // Before Start. Called on the replay thread once the last delivery is done, or
    // when the .dat could not be read on (ReadError says why).
    void SetEndedCallback(std::function<void()> ended) { m_ended = std::move(ended); }
    // Before Start. Called on the replay thread, where the live run's link came back,
    // with how long it was away, before the first block after it: the owner shows the
    // gap as the live display did.
    void SetLinkGapCallback(std::function<void(std::int64_t gapUs)> gap) { m_linkGap = std::move(gap); }

    // Opens the .dat and starts the replay thread, paused. Everything before fromUs is
    // handed over at once (a jump to a position). False, with *error set, when the file
    // cannot be opened or a replay still runs.
    bool Start(std::shared_ptr<const CReplayTimeline> timeline, const std::string& datPath, std::int64_t fromUs,
               std::string* error);
    // Ends the replay and joins its thread; harmless when none runs.
    void Stop();

    void Play();
    void Pause();
    // 1, 4, 16 times the recorded pace, or CReplayClock::kFastest.
    void SetSpeed(int factor);
    // While paused: hands over deliveries until the decoder has one more report (or the
    // recording ends), then stays paused.
    void StepReport();

    bool Running() const { return m_thread.IsRunning(); }
    bool Playing() const;
    int Speed() const;
    // Where the replay stands in the recording.
    std::int64_t PositionUs() const;
    std::int64_t EndUs() const;
    bool Ended() const { return m_finished.load(std::memory_order_acquire); }
    // Why the replay ended early; empty when it did not.
    std::string ReadError() const;
    std::size_t Delivered() const;
    // Replay thread only (what the decoder calls back on): the recorded time of the
    // delivery being decoded, so that whatever a report feeds is stamped with it.
    std::int64_t DeliveringUs() const { return m_deliveringUs.load(std::memory_order_relaxed); }

    unsigned int ThreadFunc(void* context) override;

private:
    enum class Next { Deliver, Wait, Finish };
    // Under m_mutex: what the replay thread does next, and until when it would wait.
    Next Decide(CReplayClock::Clock::time_point& until);
    // Replay thread, without the lock: reads one delivery's bytes and decodes them.
    bool Deliver(const ReplayDelivery& delivery);
    // Replay thread: the link events up to delivery `next`, in order.
    void PassLinkEvents(std::size_t next);
    void Finish(std::string error);

    CReportFrameDecoder& m_decoder;
    std::function<bool()> m_backlogProbe;
    std::function<void()> m_ended;
    std::function<void(std::int64_t)> m_linkGap;
    CBaseThread m_thread;

    // Set by Start before the thread runs; read-only while it runs.
    std::shared_ptr<const CReplayTimeline> m_timeline;
    std::int64_t m_fromUs = 0;

    // Replay thread only.
    std::FILE* m_dat = nullptr;
    std::int64_t m_filePosition = -1;
    std::vector<std::uint8_t> m_piece;
    CBaseBuffer m_reassembly;
    std::size_t m_nextEvent = 0;
    std::int64_t m_linkLostUs = -1;

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    CReplayClock m_clock;            // guarded by m_mutex
    std::size_t m_next = 0;          // guarded: the next delivery
    bool m_stop = false;             // guarded
    bool m_stepping = false;         // guarded
    std::uint64_t m_stepFrom = 0;    // guarded: the decoder's report count when the step began
    std::int64_t m_lastDeliveredUs = 0;  // guarded
    std::string m_error;             // guarded
    std::atomic<bool> m_finished{false};
    // Written and read on the replay thread; atomic so that a stray reader sees a whole value.
    std::atomic<std::int64_t> m_deliveringUs{0};
};
