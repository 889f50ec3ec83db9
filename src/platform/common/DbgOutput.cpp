// Debug output. Locking: one process-wide recursive mutex (the output lock) is held
// while a text is prefixed and handed to the callbacks, and while callbacks are added
// or removed. Hence texts never interleave, and once DbgOutputDelCallback returns the
// removed callback is not running anywhere. Callbacks are called UNDER the output
// lock: a callback may write debug output itself or remove callbacks (same thread,
// the lock is recursive), but it must not wait for another thread that writes debug
// output. Line prefix, in this order: time, "pid:tid ", "[tag] ".
#include "DbgOutput.h"

#include <sys/syscall.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "CLocaleFormat.h"

namespace {

struct Registration {
    DbgOutputCallback callback;
    void* context;
};

struct DbgState {
    std::recursive_mutex lock;
    std::vector<Registration> callbacks;
    std::string tag;
    int timeType = 0;
    bool pidTid = false;
    std::atomic<int> level{5};
};

DbgState& State()
{
    // Never destroyed: threads may still write output during static destruction.
    static DbgState* state = new DbgState;
    return *state;
}

// Prefix for one line; called under the lock.
std::string MakePrefix(const DbgState& s)
{
    std::string prefix;
    if (s.timeType == 1 || s.timeType == 2) {
        timeval tv{};
        gettimeofday(&tv, nullptr);
        tm local{};
        const time_t secs = tv.tv_sec;
        localtime_r(&secs, &local);
        char buf[64];
        const int ms = int(tv.tv_usec / 1000);
        if (s.timeType == 1)
            std::snprintf(buf, sizeof buf, "%02d:%02d:%02d.%03d ", local.tm_hour, local.tm_min, local.tm_sec, ms);
        else
            std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d.%03d ", local.tm_year + 1900,
                          local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, ms);
        prefix += buf;
    }
    if (s.pidTid) {
        char buf[48];
        std::snprintf(buf, sizeof buf, "%ld:%ld ", long(getpid()), long(syscall(SYS_gettid)));
        prefix += buf;
    }
    if (!s.tag.empty()) {
        prefix += '[';
        prefix += s.tag;
        prefix += "] ";
    }
    return prefix;
}

bool StillRegistered(const DbgState& s, const Registration& r)
{
    return std::any_of(s.callbacks.begin(), s.callbacks.end(), [&](const Registration& x) {
        return x.callback == r.callback && x.context == r.context;
    });
}

}  // namespace

namespace {
thread_local int t_quietScopes = 0;
}  // namespace

CDbgOutputQuietScope::CDbgOutputQuietScope()
{
    ++t_quietScopes;
}

CDbgOutputQuietScope::~CDbgOutputQuietScope()
{
    --t_quietScopes;
}

void DbgOutputA(int level, const char* format, ...)
{
    DbgState& s = State();
    if (!format || level > s.level.load(std::memory_order_relaxed) || t_quietScopes > 0)
        return;

    // Format outside the lock; only the hand-over is serialised.
    char stackBuf[1024];
    std::string heapBuf;
    const char* text = stackBuf;
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int n = CLocaleVsnprintf(stackBuf, sizeof stackBuf, format, args);
    va_end(args);
    if (n < 0) {
        va_end(copy);
        return;
    }
    if (std::size_t(n) >= sizeof stackBuf) {
        heapBuf.resize(std::size_t(n) + 1);
        CLocaleVsnprintf(heapBuf.data(), heapBuf.size(), format, copy);
        heapBuf.resize(std::size_t(n));
        text = heapBuf.data();
    }
    va_end(copy);

    std::lock_guard<std::recursive_mutex> guard(s.lock);
    if (s.callbacks.empty())
        return;
    const std::string prefix = MakePrefix(s);
    std::string line;
    if (prefix.empty()) {
        line.assign(text, std::size_t(n));
    } else {
        // The prefix goes before every line of the text.
        line.reserve(std::size_t(n) + prefix.size() * 2);
        bool atLineStart = true;
        for (int i = 0; i < n; ++i) {
            if (atLineStart) {
                line += prefix;
                atLineStart = false;
            }
            line += text[i];
            if (text[i] == '\n')
                atLineStart = true;
        }
    }
    // A snapshot, so that a callback may remove registrations; each entry is
    // checked again before its call so that a removed one is never called.
    const std::vector<Registration> snapshot = s.callbacks;
    for (const Registration& r : snapshot) {
        if (!StillRegistered(s, r))
            continue;
        r.callback(r.context, level, line.data(), int(line.size()));
    }
}

int DbgOutputAddCallback(DbgOutputCallback callback, void* context)
{
    if (!callback)
        return 0;
    DbgState& s = State();
    std::lock_guard<std::recursive_mutex> guard(s.lock);
    const Registration r{callback, context};
    if (!StillRegistered(s, r))
        s.callbacks.push_back(r);
    return 1;
}

void DbgOutputDelCallback(DbgOutputCallback callback)
{
    DbgState& s = State();
    std::lock_guard<std::recursive_mutex> guard(s.lock);
    s.callbacks.erase(std::remove_if(s.callbacks.begin(), s.callbacks.end(),
                                     [&](const Registration& r) { return r.callback == callback; }),
                      s.callbacks.end());
}

void DbgOutputSetTag(const char* tag, int length)
{
    DbgState& s = State();
    std::lock_guard<std::recursive_mutex> guard(s.lock);
    if (!tag)
        s.tag.clear();
    else if (length <= 0)
        s.tag.assign(tag);
    else
        s.tag.assign(tag, std::size_t(length));
}

void DbgOutputSetTimeType(int type)
{
    DbgState& s = State();
    std::lock_guard<std::recursive_mutex> guard(s.lock);
    s.timeType = type;
}

void DbgOutputSetIncludePIDTID(int include)
{
    DbgState& s = State();
    std::lock_guard<std::recursive_mutex> guard(s.lock);
    s.pidTid = include != 0;
}

void DbgOutputSetLevel(int level)
{
    State().level.store(level, std::memory_order_relaxed);
}
