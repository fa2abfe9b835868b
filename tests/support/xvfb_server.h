// Test helpers: an Xvfb server of our own on a free display number, and
// child processes that are always ended and reaped.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace testx {

// Polls pred every 20 ms until it holds or timeoutMs have passed.
inline bool WaitUntil(const std::function<bool()>& pred, int timeoutMs = 10000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (true) {
        if (pred()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

// In a forked child: runs argv (searched on PATH), or ends the child with 127.
[[noreturn]] inline void ExecOrExit(const std::vector<std::string>& argv) {
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
}

// A running child process; ended (SIGKILL) and reaped when the object goes.
class ChildProcess {
  public:
    ChildProcess() = default;
    // argv[0] is the program (searched in PATH); env entries "NAME=value" are
    // set, and "NAME=" with an empty value unsets NAME. stdoutPath and
    // stderrPath, when given, receive the child's output.
    ChildProcess(const std::vector<std::string>& argv, const std::vector<std::string>& env = {},
                 const std::string& stdoutPath = "", const std::string& stderrPath = "") {
        Start(argv, env, stdoutPath, stderrPath);
    }
    ~ChildProcess() { Kill(); }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Start(const std::vector<std::string>& argv, const std::vector<std::string>& env = {},
               const std::string& stdoutPath = "", const std::string& stderrPath = "") {
        Kill();  // a former child of this object is ended first
        m_exited = false;
        m_status = -1;
        m_signal = 0;
        m_core = false;
        m_pid = fork();
        if (m_pid < 0) return false;
        if (m_pid == 0) {
            for (const std::string& entry : env) {
                const size_t eq = entry.find('=');
                const std::string name = entry.substr(0, eq);
                const std::string value = eq == std::string::npos ? "" : entry.substr(eq + 1);
                if (value.empty())
                    unsetenv(name.c_str());
                else
                    setenv(name.c_str(), value.c_str(), 1);
            }
            const int null = open("/dev/null", O_RDWR);
            dup2(null, 0);
            const int out = stdoutPath.empty()
                                ? null
                                : open(stdoutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int err = stderrPath.empty()
                                ? null
                                : open(stderrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(out, 1);
            dup2(err, 2);
            ExecOrExit(argv);
        }
        return true;
    }

    pid_t Pid() const { return m_pid; }
    // After Wait: the signal that ended the child (0 if it exited), and
    // whether it left a core.
    int Signal() const { return m_signal; }
    bool CoreDumped() const { return m_core; }
    bool Running() {
        if (m_pid <= 0) return false;
        return !Reap(false);
    }

    // Waits up to timeoutMs for the child to end; true with its status if it did.
    bool Wait(int timeoutMs, int* exitCode = nullptr) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (m_pid > 0 && !m_exited) {
            if (Reap(false)) break;
            if (std::chrono::steady_clock::now() >= end) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (exitCode != nullptr) *exitCode = m_status;
        return m_exited;
    }

    void Kill() {
        if (m_pid > 0 && !m_exited) {
            kill(m_pid, SIGKILL);
            Reap(true);
        }
    }

    void Terminate() {
        if (m_pid > 0 && !m_exited) {
            kill(m_pid, SIGTERM);
            if (!Wait(3000)) Kill();
        }
    }

  private:
    bool Reap(bool block) {
        if (m_exited) return true;
        int status = 0;
        const pid_t r = waitpid(m_pid, &status, block ? 0 : WNOHANG);
        if (r == m_pid) {
            m_exited = true;
            m_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            m_signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
            m_core = WIFSIGNALED(status) && WCOREDUMP(status);
            return true;
        }
        return false;
    }

    pid_t m_pid = -1;
    bool m_exited = false;
    int m_status = -1;
    int m_signal = 0;
    bool m_core = false;
};

// An Xvfb of our own: it picks a free display number itself (-displayfd).
class XvfbServer {
  public:
    explicit XvfbServer(const std::string& screen = "640x480x24",
                        const std::vector<std::string>& extra = {}) {
        int fds[2];
        if (pipe(fds) != 0) return;
        std::vector<std::string> argv = {"Xvfb",      "-displayfd", std::to_string(fds[1]),
                                         "-screen",   "0",          screen,
                                         "-nolisten", "tcp",        "-noreset"};
        argv.insert(argv.end(), extra.begin(), extra.end());
        m_pid = fork();
        if (m_pid == 0) {
            // The server ends with the test program even when that program leaves
            // it running on purpose (see SharedDisplay).
            prctl(PR_SET_PDEATHSIG, SIGTERM);
            close(fds[0]);
            const int null = open("/dev/null", O_RDWR);
            dup2(null, 0);
            dup2(null, 1);
            dup2(null, 2);
            ExecOrExit(argv);
        }
        close(fds[1]);
        std::string number;
        pollfd p = {fds[0], POLLIN, 0};
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(15);
        while (std::chrono::steady_clock::now() < end) {
            if (poll(&p, 1, 100) <= 0) continue;
            char c;
            const ssize_t n = read(fds[0], &c, 1);
            if (n <= 0 || c == '\n') break;
            number += c;
        }
        close(fds[0]);
        if (!number.empty()) m_display = ":" + number;
    }
    ~XvfbServer() {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            int status;
            waitpid(m_pid, &status, 0);
        }
    }
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    bool Ok() const { return !m_display.empty(); }
    pid_t Pid() const { return m_pid; }

    // Ends the server at once, as a crash would (SIGKILL), and reaps it.
    void Kill() {
        if (m_pid <= 0) return;
        kill(m_pid, SIGKILL);
        int status;
        waitpid(m_pid, &status, 0);
        m_pid = -1;
    }
    const std::string& Display() const { return m_display; }

  private:
    pid_t m_pid = -1;
    std::string m_display;
};

}  // namespace testx
