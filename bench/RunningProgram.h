// The real program started for a benchmark in a process of its own (offscreen), on a private
// runtime and settings folder that goes with it.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>

class RunningProgram {
public:
    RunningProgram() = default;
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;
    ~RunningProgram();

    // Starts `program` on an empty id.lst in a new folder named after `name`, and waits until
    // `ready` says it answers (about 5 s at most).
    bool Start(const char* program, const char* name, const std::function<bool()>& ready);

    pid_t Pid() const { return m_pid; }

private:
    pid_t m_pid = -1;
    std::string m_dir;
};
