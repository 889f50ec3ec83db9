#pragma once
#include <mutex>

// A plain (non-recursive) mutex.
class CBaseLock {
public:
    void Lock() { m_mutex.lock(); }
    void Unlock() { m_mutex.unlock(); }
    bool TryLock() { return m_mutex.try_lock(); }

private:
    std::mutex m_mutex;
};

// Holds a CBaseLock for its own lifetime.
class CAutoBaseLock {
public:
    explicit CAutoBaseLock(CBaseLock& lock) : m_lock(lock) { m_lock.Lock(); }
    explicit CAutoBaseLock(CBaseLock* lock) : CAutoBaseLock(*lock) {}
    ~CAutoBaseLock() { m_lock.Unlock(); }
    CAutoBaseLock(const CAutoBaseLock&) = delete;
    CAutoBaseLock& operator=(const CAutoBaseLock&) = delete;

private:
    CBaseLock& m_lock;
};
