#pragma once
// Runs the built radarcli as a child process for a test, capturing its standard output
// and error, and lets the test signal it while it runs.
#include <sys/types.h>

#include <string>
#include <vector>

struct CliResult {
    int exitCode = -1;  // -1: killed by a signal or by the time-out
    std::string out;
    std::string err;
};

class RadarCliProcess {
public:
    // Starts radarcli with args in folder cwd (empty: the test's own).
    explicit RadarCliProcess(const std::vector<std::string>& args, const std::string& cwd = {});
    // Kills a child still running.
    ~RadarCliProcess();
    RadarCliProcess(const RadarCliProcess&) = delete;
    RadarCliProcess& operator=(const RadarCliProcess&) = delete;

    bool IsStarted() const { return m_pid > 0; }
    pid_t Pid() const { return m_pid; }
    // Gathers output until standard output holds text; false after timeoutMs or at its end.
    bool WaitForOutput(const std::string& text, int timeoutMs);
    void Signal(int signal);
    // Gathers the rest of the output and the exit code; kills the child after timeoutMs.
    CliResult Finish(int timeoutMs);

    static std::string ExecutablePath();

private:
    // Reads whatever arrives within ms. False once both pipes have ended.
    bool Pump(int ms);

    pid_t m_pid = -1;
    int m_out = -1;
    int m_err = -1;
    CliResult m_result;
};

// Runs radarcli to its end (at most timeoutMs).
CliResult RunRadarCli(const std::vector<std::string>& args, const std::string& cwd = {}, int timeoutMs = 30000);
