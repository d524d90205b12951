// Other users of a shared folder, for the tests of the files the program keeps beside a data
// file: a child process that runs as `nobody` (which only root can start), and a folder that
// even root may not write to (root without its permission to override the file modes).
#pragma once

#include <grp.h>
#include <linux/capability.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>

#include "tests/support/TestFiles.h"

namespace testing_support {

constexpr uid_t kNobody = 65534;
constexpr gid_t kNogroup = 65534;

// A child process running as nobody; fn's result is its exit status. The two talk in lines.
class NobodyProcess {
public:
    static bool Possible() { return ::geteuid() == 0; }

    explicit NobodyProcess(const std::function<int(NobodyProcess&)>& fn) {
        int up[2], down[2];
        if (::pipe(up) != 0 || ::pipe(down) != 0) return;
        m_pid = ::fork();
        if (m_pid == 0) {
            ::close(up[0]);
            ::close(down[1]);
            m_out = up[1];
            m_in = down[0];
            if (::setgroups(0, nullptr) != 0 || ::setresgid(kNogroup, kNogroup, kNogroup) != 0 ||
                ::setresuid(kNobody, kNobody, kNobody) != 0)
                ::_exit(99);
            ::_exit(fn(*this));
        }
        ::close(up[1]);
        ::close(down[0]);
        m_in = up[0];
        m_out = down[1];
    }
    ~NobodyProcess() {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
        if (m_in >= 0) ::close(m_in);
        if (m_out >= 0) ::close(m_out);
    }
    NobodyProcess(const NobodyProcess&) = delete;
    NobodyProcess& operator=(const NobodyProcess&) = delete;

    void Say(const std::string& line) {
        const std::string text = line + "\n";
        if (::write(m_out, text.data(), text.size()) < 0) return;
    }
    // The other side's next line; "" when it said none before the deadline or went away.
    std::string Hear(std::chrono::milliseconds within = std::chrono::seconds(10)) {
        std::string line;
        const auto deadline = DeadlineIn(within);
        for (char c = 0;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd p{m_in, POLLIN, 0};
            if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0 ||
                ::read(m_in, &c, 1) != 1)
                return {};
            if (c == '\n') return line;
            line += c;
        }
    }
    // The child's exit status; -1 when it had to be killed at the deadline.
    int Wait(std::chrono::milliseconds within = std::chrono::seconds(10)) {
        const auto deadline = DeadlineIn(within);
        while (m_pid > 0) {
            int status = 0;
            const pid_t done = ::waitpid(m_pid, &status, WNOHANG);
            if (done == m_pid) {
                m_pid = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            if (std::chrono::steady_clock::now() > deadline) break;
            pollfd none{-1, 0, 0};
            ::poll(&none, 0, 5);
        }
        return -1;
    }

private:
    pid_t m_pid = -1;
    int m_in = -1, m_out = -1;
};

// Makes a folder read-only while it lives, for root too: root's permission to override the
// file modes is dropped from this thread (where the test's file work happens) and comes back
// after. Active() is false where that could not be arranged.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(std::string path) : m_path(std::move(path)) {
        ::chmod(m_path.c_str(), 0555);
        if (::geteuid() == 0) {
            m_header.version = _LINUX_CAPABILITY_VERSION_3;
            if (::syscall(SYS_capget, &m_header, m_saved) != 0) return;
            __user_cap_data_struct lowered[2] = {m_saved[0], m_saved[1]};
            lowered[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
            m_lowered = ::syscall(SYS_capset, &m_header, lowered) == 0;
        }
        // access() would answer with root's full rights: try it.
        const std::string probe = m_path + "/.write-probe";
        m_active = ::mkdir(probe.c_str(), 0700) != 0;
        if (!m_active) ::rmdir(probe.c_str());
    }
    ~ReadOnlyFolder() {
        if (m_lowered) ::syscall(SYS_capset, &m_header, m_saved);
        ::chmod(m_path.c_str(), 0755);
    }
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;
    bool Active() const { return m_active; }

private:
    std::string m_path;
    __user_cap_header_struct m_header{};
    __user_cap_data_struct m_saved[2]{};
    bool m_lowered = false;
    bool m_active = false;
};

}  // namespace testing_support
