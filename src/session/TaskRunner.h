#pragma once
#include <QObject>
#include <QThreadPool>

#include <cstdint>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <utility>

#include "TaskControl.h"

// Runs whole-file jobs (decoding a recording, writing its CSV, summarising it) away from
// the thread that asks for them, one job at a time per kind: a new request of a kind
// cancels the one before it.
//
// Threads:
//   - The owner's thread is the thread this object lives in (the window's user-interface
//     thread, or a test's main thread with an event loop). It alone calls every public
//     function, and it alone runs the done and progress handlers, through queued calls:
//     a result arrives as a value on the thread that asked for it.
//   - Each job runs on a thread of m_pool. It touches only what its closure owns and its
//     CTaskControl (see there); it must not touch the owner's objects.
//   - m_running and m_onBusy belong to the owner's thread; no lock guards them because no
//     other thread touches them. A job's end is handed to the owner's thread with the
//     job's id; a job no longer in m_running under that id (cancelled or superseded) has
//     its result dropped there, so nothing arrives after Cancel returns.
//   - The destructor cancels every job and waits for the pool: no job outlives the runner.
template <class Result>
struct TaskOutcome {
    std::optional<Result> value;  // set when the job succeeded
    std::string error;            // why not, otherwise
    bool Succeeded() const { return value.has_value(); }
};

class CTaskRunner : public QObject {
public:
    using ProgressHandler = std::function<void(int percent)>;

    explicit CTaskRunner(QObject* parent = nullptr);
    ~CTaskRunner() override;
    CTaskRunner(const CTaskRunner&) = delete;
    CTaskRunner& operator=(const CTaskRunner&) = delete;

    // Runs job on the pool after cancelling the job of this kind still running; done
    // gets its outcome later on this thread unless it is cancelled first. A job that
    // throws, or calls Fail, gives an error.
    template <class Result>
    void Start(int kind, std::function<Result(CTaskControl&)> job, std::function<void(TaskOutcome<Result>)> done,
               ProgressHandler progress = {})
    {
        auto outcome = std::make_shared<TaskOutcome<Result>>();
        Launch(
            kind, [outcome, job = std::move(job)](CTaskControl& control) { *outcome = Run(job, control); },
            [outcome, done = std::move(done)] {
                if (done)
                    done(std::move(*outcome));
            },
            std::move(progress));
    }

    // The same job on this thread, for callers that want the outcome at once; a job of
    // this kind still running on the pool is cancelled first.
    template <class Result>
    TaskOutcome<Result> RunHere(int kind, const std::function<Result(CTaskControl&)>& job)
    {
        Cancel(kind);
        CTaskControl control;
        return Run(job, control);
    }

    void Cancel(int kind);
    void CancelAll();
    bool Busy(int kind) const { return m_running.count(kind) != 0; }
    bool AnyBusy() const { return !m_running.empty(); }
    // Told when a kind starts or stops being busy (finished, failed or cancelled).
    void SetBusyHandler(std::function<void(int kind, bool busy)> onBusy) { m_onBusy = std::move(onBusy); }

private:
    struct Running {
        std::uint64_t id = 0;
        std::shared_ptr<CTaskControl> control;
        ProgressHandler progress;
    };

    template <class Result>
    static TaskOutcome<Result> Run(const std::function<Result(CTaskControl&)>& job, CTaskControl& control)
    {
        TaskOutcome<Result> outcome;
        try {
            Result value = job(control);
            if (control.Error().empty())
                outcome.value = std::move(value);
        } catch (const std::bad_alloc&) {
            control.Fail("out of memory");
        } catch (const std::exception& e) {
            control.Fail(e.what());
        } catch (...) {
            control.Fail({});
        }
        outcome.error = control.Error();
        return outcome;
    }

    // work runs on the pool; deliver on this thread once work has returned.
    void Launch(int kind, std::function<void(CTaskControl&)> work, std::function<void()> deliver,
                ProgressHandler progress);
    void Finish(int kind, std::uint64_t id, const std::function<void()>& deliver);
    void ShowProgress(int kind, std::uint64_t id, int percent);
    void TellBusy(int kind, bool busy);

    std::map<int, Running> m_running;
    std::function<void(int, bool)> m_onBusy;
    std::uint64_t m_lastId = 0;
    QThreadPool m_pool;
};
