#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

// What a whole-file job sees of the runner that started it: whether it should stop, a
// place to say how far it has come, and a place to say why it failed.
//
// Threads: the job's pool thread calls Progress, Step and Fail; the owner's thread (the
// one that started the job) calls Cancel; Cancelled is for either. m_cancelled and
// m_percent are atomics for that reason. m_error is written by the job's thread only and
// read by the owner's thread only after the job has returned (the runner's queued hand-
// over orders the two). m_onPercent is set before the job starts and never changed.
class CTaskControl {
public:
    CTaskControl() = default;
    explicit CTaskControl(std::function<void(int percent)> onPercent) : m_onPercent(std::move(onPercent)) {}
    CTaskControl(const CTaskControl&) = delete;
    CTaskControl& operator=(const CTaskControl&) = delete;

    void Cancel() { m_cancelled.store(true, std::memory_order_release); }
    bool Cancelled() const { return m_cancelled.load(std::memory_order_acquire); }

    // done of total in the job's own unit (total <= 0: unknown, nothing is reported).
    // The hook hears of it only when the whole percent grows.
    void Progress(std::int64_t done, std::int64_t total);
    // Progress, then whether to go on: the shape of a block hook between blocks.
    bool Step(std::int64_t done, std::int64_t total)
    {
        Progress(done, total);
        return !Cancelled();
    }
    // The last percent reported; -1 before the first.
    int Percent() const { return m_percent.load(std::memory_order_relaxed); }

    // The job failed: its result is not delivered, this text is.
    void Fail(std::string why) { m_error = why.empty() ? std::string("the task failed") : std::move(why); }
    const std::string& Error() const { return m_error; }

private:
    std::atomic<bool> m_cancelled{false};
    std::atomic<int> m_percent{-1};
    std::function<void(int)> m_onPercent;
    std::string m_error;
};
