#pragma once
// The library's private serial I/O thread. It owns the CSerialPortWorker (and with it
// the QSerialPort) for its whole life: the worker is made, used and destroyed on this
// thread only, as Qt requires of a serial port.
//
// Other threads hand work over as jobs: Post queues a job under m_mutex and wakes the
// thread through an eventfd that a QSocketNotifier on the thread watches. Everything
// that crosses threads therefore passes m_mutex (or the result's own mutex in Call),
// never Qt's internal event queue.
#include <QThread>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

class CIncomingByteQueue;
class CSerialPortWorker;

class CSerialIoThread final : public QThread {
public:
    using Job = std::function<void(CSerialPortWorker&)>;

    explicit CSerialIoThread(CIncomingByteQueue& incoming);
    ~CSerialIoThread() override;

    // Starts the thread. False when it could not be set up.
    bool Launch();
    // Queues job for the I/O thread; false when the thread does not run.
    bool Post(Job job);
    // Runs work on the I/O thread and waits up to timeoutMs for its result; nullopt
    // when it did not run in time. The result's state outlives a caller that gave up.
    template <typename Result>
    std::optional<Result> Call(std::function<Result(CSerialPortWorker&)> work, int timeoutMs);
    // Closes the port, ends the thread and waits until it has finished.
    void Stop();

protected:
    void run() override;

private:
    void RunJobs(CSerialPortWorker& worker);

    CIncomingByteQueue& m_incoming;
    int m_wakeFd = -1;  // eventfd, made in the constructor, closed in the destructor

    std::mutex m_mutex;
    std::condition_variable m_finishedChanged;
    std::deque<Job> m_jobs;  // guarded by m_mutex
    bool m_accepting = false;  // guarded by m_mutex
    bool m_finished = true;    // guarded by m_mutex; set by run() as its last act
};

template <typename Result>
std::optional<Result> CSerialIoThread::Call(std::function<Result(CSerialPortWorker&)> work, int timeoutMs)
{
    struct Shared {
        std::mutex mutex;
        std::condition_variable done;
        std::optional<Result> result;
    };
    auto shared = std::make_shared<Shared>();
    const bool posted = Post([shared, work = std::move(work)](CSerialPortWorker& worker) {
        Result value = work(worker);
        std::lock_guard lock(shared->mutex);
        shared->result = std::move(value);
        shared->done.notify_all();
    });
    if (!posted)
        return std::nullopt;
    std::unique_lock lock(shared->mutex);
    shared->done.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return shared->result.has_value(); });
    return shared->result;
}
