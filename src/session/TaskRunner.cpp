#include "TaskRunner.h"

#include <QMetaObject>
#include <QRunnable>
#include <QThread>

#include <algorithm>
#include <atomic>

namespace {

// The pool hands a job to its thread under Qt's own futex lock, which ThreadSanitizer
// cannot see; the release in the constructor (the owner's thread) and the acquire in
// run (the pool's thread) order the hand-over where it can.
class CTaskRunnable : public QRunnable {
public:
    explicit CTaskRunnable(std::function<void()> body) : m_body(std::move(body))
    {
        m_handedOver.store(true, std::memory_order_release);
    }
    void run() override
    {
        if (m_handedOver.load(std::memory_order_acquire))
            m_body();
    }

private:
    std::function<void()> m_body;
    std::atomic<bool> m_handedOver{false};
};

}  // namespace

CTaskRunner::CTaskRunner(QObject* parent) : QObject(parent)
{
    // Three kinds may run side by side; more threads would only share two cores.
    m_pool.setMaxThreadCount(std::max(2, std::min(3, QThread::idealThreadCount())));
}

CTaskRunner::~CTaskRunner()
{
    m_onBusy = nullptr;
    CancelAll();
    // The jobs' queued hand-overs to this object are discarded with it.
    m_pool.waitForDone();
}

void CTaskRunner::Launch(int kind, std::function<void(CTaskControl&)> work, std::function<void()> deliver,
                         ProgressHandler progress)
{
    Cancel(kind);
    const std::uint64_t id = ++m_lastId;
    // The hook runs on the job's thread: it only queues the percent to this thread.
    auto control = std::make_shared<CTaskControl>([this, kind, id](int percent) {
        QMetaObject::invokeMethod(this, [this, kind, id, percent] { ShowProgress(kind, id, percent); },
                                  Qt::QueuedConnection);
    });
    m_running[kind] = Running{id, control, std::move(progress)};
    m_pool.start(new CTaskRunnable([this, kind, id, control, work = std::move(work), deliver = std::move(deliver)] {
        if (!control->Cancelled())
            work(*control);
        QMetaObject::invokeMethod(this, [this, kind, id, deliver] { Finish(kind, id, deliver); },
                                  Qt::QueuedConnection);
    }));
    TellBusy(kind, true);
}

void CTaskRunner::Finish(int kind, std::uint64_t id, const std::function<void()>& deliver)
{
    const auto it = m_running.find(kind);
    if (it == m_running.end() || it->second.id != id)
        return;
    m_running.erase(it);
    TellBusy(kind, false);
    deliver();
}

void CTaskRunner::ShowProgress(int kind, std::uint64_t id, int percent)
{
    const auto it = m_running.find(kind);
    if (it != m_running.end() && it->second.id == id && it->second.progress)
        it->second.progress(percent);
}

void CTaskRunner::Cancel(int kind)
{
    const auto it = m_running.find(kind);
    if (it == m_running.end())
        return;
    it->second.control->Cancel();
    m_running.erase(it);
    TellBusy(kind, false);
}

void CTaskRunner::CancelAll()
{
    while (!m_running.empty())
        Cancel(m_running.begin()->first);
}

void CTaskRunner::TellBusy(int kind, bool busy)
{
    if (m_onBusy)
        m_onBusy(kind, busy);
}
