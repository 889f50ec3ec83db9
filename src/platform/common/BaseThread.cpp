#include "BaseThread.h"

#include <pthread.h>
#include <unistd.h>

#include <climits>
#include <cstring>

namespace {

// What the new thread needs; owned by the trampoline once the thread exists.
struct StartBlock {
    IThreadFuncInterface* body = nullptr;
    void* context = nullptr;
    std::atomic<bool>* running = nullptr;
    std::atomic<unsigned int>* exitCode = nullptr;
    char name[16] = {};
};

void* Trampoline(void* arg)
{
    StartBlock* block = static_cast<StartBlock*>(arg);
    // Named from inside, before the body runs, so the name is visible for the body's
    // whole life (e.g. in top -H or /proc/self/task/<tid>/comm).
    if (block->name[0])
        pthread_setname_np(pthread_self(), block->name);
    const unsigned int result = block->body->ThreadFunc(block->context);
    block->exitCode->store(result, std::memory_order_release);
    block->running->store(false, std::memory_order_release);
    delete block;
    return nullptr;
}

pthread_t* NativeOf(void* p)
{
    return static_cast<pthread_t*>(p);
}

}  // namespace

CBaseThread::~CBaseThread()
{
    StopThread();
}

int CBaseThread::StartThread(const char* name, IThreadFuncInterface* body, void* context,
                             int /*priority*/, std::size_t stackSize, unsigned int /*flags*/)
{
    if (!body)
        return 0;
    std::lock_guard<std::mutex> guard(m_controlMutex);
    if (m_started) {
        if (m_running.load(std::memory_order_acquire))
            return 0;
        // The previous body has returned but nobody joined it yet.
        pthread_join(*NativeOf(m_nativeThread), nullptr);
        delete NativeOf(m_nativeThread);
        m_nativeThread = nullptr;
        m_started = false;
    }

    auto* block = new StartBlock;
    block->body = body;
    block->context = context;
    block->running = &m_running;
    block->exitCode = &m_exitCode;
    if (name) {
        // Linux keeps 15 bytes of a thread name.
        std::strncpy(block->name, name, sizeof(block->name) - 1);
        block->name[sizeof(block->name) - 1] = '\0';
    }

    pthread_attr_t attr;
    pthread_attr_init(&attr);
    if (stackSize > 0) {
        std::size_t size = stackSize < std::size_t(PTHREAD_STACK_MIN) ? std::size_t(PTHREAD_STACK_MIN) : stackSize;
        const long page = sysconf(_SC_PAGESIZE);
        if (page > 0)
            size = (size + std::size_t(page) - 1) / std::size_t(page) * std::size_t(page);
        pthread_attr_setstacksize(&attr, size);
    }

    auto* thread = new pthread_t;
    m_running.store(true, std::memory_order_release);
    const int rc = pthread_create(thread, &attr, &Trampoline, block);
    pthread_attr_destroy(&attr);
    if (rc != 0) {
        m_running.store(false, std::memory_order_release);
        delete thread;
        delete block;
        return 0;
    }
    m_nativeThread = thread;
    m_started = true;
    return 1;
}

void CBaseThread::StopThread()
{
    std::lock_guard<std::mutex> guard(m_controlMutex);
    if (!m_started)
        return;
    pthread_t* thread = NativeOf(m_nativeThread);
    // Called from the body itself: it cannot wait for its own end; the next
    // StartThread or StopThread from another thread joins it.
    if (pthread_equal(*thread, pthread_self()))
        return;
    pthread_join(*thread, nullptr);
    delete thread;
    m_nativeThread = nullptr;
    m_started = false;
}

bool CBaseThread::IsRunning() const
{
    return m_running.load(std::memory_order_acquire);
}

unsigned int CBaseThread::GetExitCode() const
{
    return m_exitCode.load(std::memory_order_acquire);
}
