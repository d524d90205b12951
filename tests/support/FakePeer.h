// The test's side of FakeHideterm: starts it as a child process, writes commands to it and
// reads its report lines, keeping the test's own event loop turning meanwhile (the program's
// windows answer the peer from that loop).
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace testing_support {

class FakePeer {
public:
    // Starts the program and waits for its first line ("READY").
    explicit FakePeer(const std::string& program);
    ~FakePeer();
    FakePeer(const FakePeer&) = delete;
    FakePeer& operator=(const FakePeer&) = delete;

    bool Ready() const { return m_ready; }
    pid_t Pid() const { return m_pid; }
    void Command(const std::string& line);
    // The next line starting with `prefix`, skipping and keeping the others; "" after timeoutMs.
    std::string WaitFor(const std::string& prefix, int timeoutMs = 5000);
    // Every line read so far (including those WaitFor skipped or returned).
    const std::vector<std::string>& Lines() const { return m_lines; }
    // Lines read so far, plus whatever arrives within waitMs, that start with prefix.
    std::vector<std::string> Collect(const std::string& prefix, int waitMs = 0);
    // Kills the process (SIGKILL) and waits for it.
    void Kill();
    // Stops it with "quit" and waits.
    void Quit();

private:
    bool ReadLines(int timeoutMs);
    pid_t m_pid = -1;
    int m_in = -1;
    int m_out = -1;
    bool m_ready = false;
    std::string m_buffer;
    std::vector<std::string> m_lines;
    std::size_t m_consumed = 0;
};

// Open descriptors of this process.
int OpenFdCount();
// Hex of bytes, as FakeHideterm reports texts.
std::string Hex(const std::string& bytes);

}  // namespace testing_support
