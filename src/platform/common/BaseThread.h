#pragma once
#include <atomic>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>

// The body of a CBaseThread. The destructor is the first virtual, ThreadFunc the second.
class IThreadFuncInterface {
public:
    virtual ~IThreadFuncInterface() = default;
    // Runs on the new thread; `context` is what StartThread was given. The result is kept.
    virtual unsigned int ThreadFunc(void* context) = 0;
};

// One worker thread at a time, reusable for many runs.
class CBaseThread {
public:
    CBaseThread() = default;
    ~CBaseThread();  // stops (joins) a running body
    CBaseThread(const CBaseThread&) = delete;
    CBaseThread& operator=(const CBaseThread&) = delete;

    // Starts body->ThreadFunc(context) on a new thread named `name` (visible to the
    // OS, cut to 15 bytes). priority: 0 normal (others are accepted and ignored);
    // stackSize: bytes, 0 for the default; flags: reserved, 0.
    // Returns nonzero when started; 0 when a body still runs or the thread could not be made.
    int StartThread(const char* name, IThreadFuncInterface* body, void* context,
                    int priority, std::size_t stackSize, unsigned int flags);

    // Returns once the body has returned (it does not ask the body to stop: the body
    // watches its own flag). Returns at once when no body runs. Not from the body itself.
    void StopThread();

    bool IsRunning() const;
    // The body's result of the last finished run.
    unsigned int GetExitCode() const;

private:
    // Touched by the starting/stopping thread only.
    std::mutex m_controlMutex;
    bool m_started = false;
    void* m_nativeThread = nullptr;  // pthread_t held opaquely
    // Written by the body thread, read by any.
    std::atomic<bool> m_running{false};
    std::atomic<unsigned int> m_exitCode{0};
};
