// velkon-term: runs a command in a pseudo-terminal inside whatever terminal emulator the user
// started it in, and offers the session to the ID database program as a terminal window of
// class "HideTermFrameClass": what the session prints goes to the program's windows that
// attached themselves, and text the program hands over is typed into the session.
#pragma once

#include <sys/types.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/base/TerminalText.h"
#include "platform/base/WinTypes.h"
#include "platform/ipc/WindowServer.h"

struct TermOptions {
    bool keepCp932 = false;            // the session speaks CP932: no conversion either way
    std::vector<std::string> command;  // empty: the user's shell
};

// The bytes of `text` that end in a whole UTF-8 sequence; the unfinished tail (at most three
// bytes of one character cut by a read) is left in `text` for the next read.
std::string TakeCompleteUtf8(std::string& text);
// Text the program hands over, as a user would type it: a line end is the Enter key (CR).
std::string AsTyped(const std::string& text);

class TermBridge {
public:
    explicit TermBridge(TermOptions options);
    ~TermBridge();
    // Runs the session to its end; the command's exit status (128 + signal if killed).
    int Run();

private:
    LRESULT OnRequest(const winlink::Request& r);
    bool StartSession();
    void ForwardOutput(const char* data, std::size_t length);
    void SendToWindow(HWND hWnd, const std::string& cp932);
    void OnSendText(WPARAM length, LPARAM mapping);
    void CopyWindowSize();
    void FlushToSession();
    void RawMode(bool on);

    TermOptions m_options;
    std::unique_ptr<winlink::Server> m_server;
    std::vector<HWND> m_attached;
    pid_t m_child = -1;
    int m_master = -1;
    bool m_running = false;
    int m_status = 0;
    std::string m_toSession;
    std::string m_utf8Tail;
    CTerminalTextFilter m_terminalText;  // keeps a sequence cut between two reads
    bool m_rawMode = false;
};
