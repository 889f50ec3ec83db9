#pragma once
#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

// Runs body in a forked child and returns its result (0..255), or -1 when the child
// did not end normally. The child may change process-wide limits and identity without
// touching the test process. Call only while the test process has one thread.
inline int RunInChild(const std::function<int()>& body)
{
    const pid_t child = fork();
    if (child == 0)
        _exit(body() & 0xFF);
    if (child < 0)
        return -1;
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

// In a child: gives up root, so that folder permissions apply as they do to users.
inline bool DropRootInChild()
{
    if (geteuid() != 0)
        return true;
    return setgid(65534) == 0 && setuid(65534) == 0;
}

// In a child: files may not grow beyond limitBytes; writes past it fail with EFBIG
// (as on a full disk) instead of killing the process.
inline bool LimitFileSizeInChild(rlim_t limitBytes)
{
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    if (getrlimit(RLIMIT_FSIZE, &limit) != 0)
        return false;
    limit.rlim_cur = limitBytes;
    return setrlimit(RLIMIT_FSIZE, &limit) == 0;
}
