#include "tests/support/FakePeer.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>

#include "platform/gui/window/UiHooks.h"
#include "tests/support/TestFiles.h"

namespace testing_support {

FakePeer::FakePeer(const std::string& program) {
    int in[2], out[2];
    if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0) return;
    m_pid = ::fork();
    if (m_pid == 0) {
        ::dup2(in[0], STDIN_FILENO);
        ::dup2(out[1], STDOUT_FILENO);
        ::execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    m_in = in[1];
    m_out = out[0];
    m_ready = WaitFor("READY") == "READY";
}

FakePeer::~FakePeer() {
    Kill();
}

void FakePeer::Command(const std::string& line) {
    const std::string data = line + "\n";
    if (m_in >= 0 && ::write(m_in, data.data(), data.size()) < 0) return;
}

bool FakePeer::ReadLines(int timeoutMs) {
    if (m_out < 0) return false;
    pollfd p{m_out, POLLIN, 0};
    if (::poll(&p, 1, timeoutMs) <= 0) return false;
    char buffer[4096];
    const ssize_t n = ::read(m_out, buffer, sizeof(buffer));
    if (n <= 0) {
        ::close(m_out);
        m_out = -1;
        return false;
    }
    m_buffer.append(buffer, static_cast<std::size_t>(n));
    for (std::size_t eol; (eol = m_buffer.find('\n')) != std::string::npos;) {
        m_lines.push_back(m_buffer.substr(0, eol));
        m_buffer.erase(0, eol + 1);
    }
    return true;
}

std::string FakePeer::WaitFor(const std::string& prefix, int timeoutMs) {
    const auto deadline = testing_support::DeadlineIn(std::chrono::milliseconds(timeoutMs));
    for (;;) {
        for (; m_consumed < m_lines.size(); ++m_consumed) {
            if (m_lines[m_consumed].rfind(prefix, 0) == 0) return m_lines[m_consumed++];
        }
        if (std::chrono::steady_clock::now() >= deadline) return "";
        afx_ui::ProcessEvents();
        ReadLines(5);
    }
}

std::vector<std::string> FakePeer::Collect(const std::string& prefix, int waitMs) {
    const auto deadline = testing_support::DeadlineIn(std::chrono::milliseconds(waitMs));
    do {
        afx_ui::ProcessEvents();
        ReadLines(5);
    } while (std::chrono::steady_clock::now() < deadline);
    std::vector<std::string> found;
    for (const std::string& line : m_lines)
        if (line.rfind(prefix, 0) == 0) found.push_back(line);
    return found;
}

void FakePeer::Kill() {
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }
    if (m_in >= 0) ::close(m_in);
    if (m_out >= 0) ::close(m_out);
    m_in = m_out = -1;
}

void FakePeer::Quit() {
    if (m_pid <= 0) return;
    Command("quit");
    ::waitpid(m_pid, nullptr, 0);
    m_pid = -1;
    Kill();
}

int OpenFdCount() {
    int n = 0;
    DIR* dir = ::opendir("/proc/self/fd");
    while (dirent* e = ::readdir(dir))
        if (e->d_name[0] != '.') ++n;
    ::closedir(dir);
    return n - 1;
}

std::string Hex(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char b : bytes) {
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

}  // namespace testing_support
