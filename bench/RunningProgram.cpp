#include "bench/RunningProgram.h"

#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <thread>

extern char** environ;

RunningProgram::~RunningProgram() {
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
    if (!m_dir.empty()) std::filesystem::remove_all(m_dir);
}

bool RunningProgram::Start(const char* program, const char* name,
                           const std::function<bool()>& ready) {
    std::string pattern = std::string("/tmp/velkon-") + name + "-XXXXXX";
    if (!::mkdtemp(pattern.data())) return false;
    m_dir = pattern;
    ::setenv("XDG_RUNTIME_DIR", m_dir.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (m_dir + "/config").c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    std::string exe = program;
    std::string path = m_dir + "/id.lst";
    char* argv[] = {exe.data(), path.data(), nullptr};
    if (::posix_spawn(&m_pid, program, nullptr, nullptr, argv, environ) != 0) {
        m_pid = -1;
        return false;
    }
    for (int i = 0; i < 200; ++i) {
        if (ready()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    return false;
}
