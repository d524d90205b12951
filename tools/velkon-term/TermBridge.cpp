#include "tools/velkon-term/TermBridge.h"

#include <errno.h>
#include <fcntl.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/base/CodePage.h"
#include "platform/ipc/Handles.h"
#include "platform/ipc/Kernel.h"
#include "platform/ipc/MappingTransfer.h"
#include "platform/ipc/RemoteWindows.h"
#include "platform/ipc/SendToWindow.h"
#include "platform/ipc/WinClass.h"

namespace {

constexpr UINT WM_HT_DETACH = WM_USER + 4;
constexpr UINT WM_HT_TEXT = WM_USER + 5;
constexpr UINT WM_HT_CANSEND = WM_USER + 11;
constexpr UINT WM_HT_SENDTEXT = WM_USER + 51;
constexpr UINT WM_HT_ATTACH = WM_USER + 72;
constexpr const char* kClassName = "HideTermFrameClass";

// Signals reach the loop through this pipe, so that nothing but a write runs in a handler.
int g_signalPipe[2] = {-1, -1};
termios g_savedTermios;
bool g_termiosSaved = false;

void OnSignal(int sig) {
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(sig);
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &byte, 1);
    errno = saved;
}

void WriteAll(int fd, const char* data, std::size_t length) {
    while (length > 0) {
        const ssize_t n = ::write(fd, data, length);
        if (n > 0) {
            data += n;
            length -= static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && errno == EAGAIN) {
            pollfd p{fd, POLLOUT, 0};
            ::poll(&p, 1, 1000);
        } else {
            return;  // nobody reads any more: the output is lost, the session goes on
        }
    }
}

}  // namespace

std::string TakeCompleteUtf8(std::string& text) {
    std::size_t keep = 0;
    // Look back over at most three bytes for the lead byte of a character not yet complete.
    for (std::size_t back = 1; back <= 3 && back <= text.size(); ++back) {
        const auto b = static_cast<unsigned char>(text[text.size() - back]);
        if ((b & 0xC0) == 0x80) continue;  // a continuation byte: look further back
        const std::size_t need = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
        if (need > back) keep = back;
        break;
    }
    std::string complete = text.substr(0, text.size() - keep);
    text.erase(0, text.size() - keep);
    return complete;
}

std::string AsTyped(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            out += '\r';
            ++i;
        } else {
            out += text[i] == '\n' ? '\r' : text[i];
        }
    }
    return out;
}

TermBridge::TermBridge(TermOptions options) : m_options(std::move(options)) {}

TermBridge::~TermBridge() {
    m_server.reset();
    RawMode(false);
    if (m_master >= 0) ::close(m_master);
}

void TermBridge::RawMode(bool on) {
    if (on && !m_rawMode && g_termiosSaved) {
        termios raw = g_savedTermios;
        ::cfmakeraw(&raw);
        m_rawMode = ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &raw) == 0;
    } else if (!on && m_rawMode) {
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &g_savedTermios);
        m_rawMode = false;
    }
}

bool TermBridge::StartSession() {
    std::vector<std::string> command = m_options.command;
    if (command.empty()) {
        const char* shell = std::getenv("SHELL");
        command.push_back(shell && *shell ? shell : "/bin/sh");
    }
    g_termiosSaved = ::isatty(STDIN_FILENO) && ::tcgetattr(STDIN_FILENO, &g_savedTermios) == 0;
    winsize ws{};
    const bool haveSize = ::ioctl(STDIN_FILENO, TIOCGWINSZ, &ws) == 0 && ws.ws_col > 0;
    if (!haveSize) {
        ws.ws_row = 24;
        ws.ws_col = 80;
    }
    m_child = ::forkpty(&m_master, nullptr, g_termiosSaved ? &g_savedTermios : nullptr, &ws);
    if (m_child < 0) {
        std::fprintf(stderr, "velkon-term: no pseudo-terminal: %s\n", std::strerror(errno));
        return false;
    }
    if (m_child == 0) {
        std::vector<char*> argv;
        for (std::string& a : command) argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execvp(argv[0], argv.data());
        std::fprintf(stderr, "velkon-term: %s: %s\n", argv[0], std::strerror(errno));
        ::_exit(127);
    }
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    ::fcntl(m_master, F_SETFD, FD_CLOEXEC);
    m_running = true;
    return true;
}

void TermBridge::CopyWindowSize() {
    winsize ws{};
    if (::ioctl(STDIN_FILENO, TIOCGWINSZ, &ws) == 0) ::ioctl(m_master, TIOCSWINSZ, &ws);
}

LRESULT TermBridge::OnRequest(const winlink::Request& r) {
    switch (r.msg) {
        case WM_HT_ATTACH: {
            const auto hWnd = reinterpret_cast<HWND>(r.wParam);
            if (hWnd && std::find(m_attached.begin(), m_attached.end(), hWnd) == m_attached.end())
                m_attached.push_back(hWnd);
            return 0;
        }
        case WM_HT_DETACH:
            std::erase(m_attached, reinterpret_cast<HWND>(r.wParam));
            return 0;
        case WM_HT_CANSEND:
            return m_running ? 1 : 0;
        case WM_HT_SENDTEXT:
            OnSendText(r.wParam, r.lParam);
            return 0;
        default:
            return 0;
    }
}

// The handle is ours from now on, whatever is in it.
void TermBridge::OnSendText(WPARAM length, LPARAM mapping) {
    const auto hMapping = reinterpret_cast<HANDLE>(mapping);
    if (LPVOID view = ::MapViewOfFile(hMapping, FILE_MAP_READ, 0, 0, 0)) {
        MEMORY_BASIC_INFORMATION info;
        const SIZE_T size = ::VirtualQuery(view, &info, sizeof(info)) ? info.RegionSize : 0;
        const char* p = static_cast<const char*>(view);
        const std::string cp932(p, ::strnlen(p, std::min<SIZE_T>(size, length)));
        ::UnmapViewOfFile(view);
        if (m_running) m_toSession += AsTyped(m_options.keepCp932 ? cp932 : Cp932ToUtf8(cp932));
    }
    ::CloseHandle(hMapping);
}

void TermBridge::SendToWindow(HWND hWnd, const std::string& cp932) {
    if (const HANDLE hDuplicated =
            AfxShareMappingWith(hWnd, cp932.c_str(), cp932.size() + 1, cp932.size() + 1))
        ::SendMessage(hWnd, WM_HT_TEXT, reinterpret_cast<WPARAM>(hDuplicated), 0);
}

void TermBridge::ForwardOutput(const char* data, std::size_t length) {
    WriteAll(STDOUT_FILENO, data, length);
    if (m_attached.empty()) {
        m_utf8Tail.clear();
        m_terminalText = CTerminalTextFilter();
        return;
    }
    std::string text;
    if (m_options.keepCp932) {
        text.assign(data, length);
    } else {
        m_utf8Tail.append(data, length);
        text = Utf8ToCp932(TakeCompleteUtf8(m_utf8Tail));
    }
    // The windows get the session's text alone: the program takes the sequences out of
    // whatever any peer sends, but a screen that is only redrawn then costs no message at all.
    // Every line end goes as CR LF (a program in raw mode, or a terminal without output
    // processing, ends its lines with LF alone). The text travels zero-terminated, and the
    // filter drops zero bytes, which would cut it short.
    std::string filtered;
    m_terminalText.Filter(text, filtered);
    if (filtered.empty()) return;
    text = std::move(filtered);
    // A window that went away without detaching is forgotten.
    const std::vector<HWND> windows = m_attached;
    for (HWND hWnd : windows) {
        if (::IsWindow(hWnd))
            SendToWindow(hWnd, text);
        else
            std::erase(m_attached, hWnd);
    }
}

void TermBridge::FlushToSession() {
    while (!m_toSession.empty()) {
        const ssize_t n = ::write(m_master, m_toSession.data(), m_toSession.size());
        if (n > 0) {
            m_toSession.erase(0, static_cast<std::size_t>(n));
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            if (n < 0 && errno != EAGAIN) m_toSession.clear();
            return;
        }
    }
}

int TermBridge::Run() {
    if (::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return 1;
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    ::sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int sig : {SIGCHLD, SIGWINCH, SIGTERM, SIGHUP}) ::sigaction(sig, &sa, nullptr);
    ::signal(SIGPIPE, SIG_IGN);

    // The session's output waits while a window takes it; a window that hangs must not hold up
    // the session for long.
    afx_handles::SetRemoteTimeout(1000);
    WNDCLASSEX wc;
    wc.lpszClassName = kClassName;
    ::RegisterClassEx(&wc);
    if (!StartSession()) return 1;
    m_server = winlink::Server::Listen(
        kClassName, [this](const winlink::Request& r) { return OnRequest(r); },
        afx_kernel::PassedMappings());
    if (!m_server)
        std::fprintf(stderr,
                     "velkon-term: another terminal window of class %s is running; this "
                     "session is not offered to Velkon95\r\n",
                     kClassName);
    RawMode(true);

    bool stdinOpen = true;
    bool masterOpen = true;
    while (masterOpen) {
        std::vector<pollfd> fds;
        fds.push_back({g_signalPipe[0], POLLIN, 0});
        fds.push_back(
            {m_master, static_cast<short>(POLLIN | (m_toSession.empty() ? 0 : POLLOUT)), 0});
        if (stdinOpen) fds.push_back({STDIN_FILENO, POLLIN, 0});
        // Once the command has ended, only what it left in the terminal is still read.
        const int timeoutMs = m_running ? 60000 : 50;
        if (m_server) {
            m_server->Dispatch(timeoutMs, fds);
        } else if (::poll(fds.data(), fds.size(), timeoutMs) < 0 && errno != EINTR) {
            break;
        }

        if (fds[0].revents) {
            unsigned char sigs[64];
            const ssize_t n = ::read(g_signalPipe[0], sigs, sizeof(sigs));
            for (ssize_t i = 0; i < n; ++i) {
                if (sigs[i] == SIGWINCH) CopyWindowSize();
                if ((sigs[i] == SIGTERM || sigs[i] == SIGHUP) && m_child > 0)
                    ::kill(m_child, SIGHUP);
            }
            int status = 0;
            if (m_running && ::waitpid(m_child, &status, WNOHANG) == m_child) {
                m_running = false;
                m_status = WIFEXITED(status)     ? WEXITSTATUS(status)
                           : WIFSIGNALED(status) ? 128 + WTERMSIG(status)
                                                 : 1;
            }
        }
        if (fds[1].revents & POLLOUT) FlushToSession();
        if (fds[1].revents & (POLLIN | POLLHUP | POLLERR)) {
            char buffer[4096];
            const ssize_t n = ::read(m_master, buffer, sizeof(buffer));
            if (n > 0)
                ForwardOutput(buffer, static_cast<std::size_t>(n));
            else if (n == 0 || (errno != EAGAIN && errno != EINTR))
                masterOpen = false;  // EIO: the session's last process closed the terminal
        }
        if (stdinOpen && fds.size() > 2 && fds[2].revents) {
            char buffer[4096];
            const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof(buffer));
            if (n > 0) {
                m_toSession.append(buffer, static_cast<std::size_t>(n));
            } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
                // Input that ends (a pipe) ends the session's input as Ctrl-D would.
                stdinOpen = false;
                termios t{};
                m_toSession +=
                    ::tcgetattr(m_master, &t) == 0 ? static_cast<char>(t.c_cc[VEOF]) : '\x04';
            }
            FlushToSession();
        }
        // The command has ended and nothing more can come: some of its children may keep the
        // terminal open, but the session is over.
        if (!m_running && !(fds[1].revents & POLLIN)) break;
    }
    m_running = false;
    if (m_child > 0 && m_status == 0) {
        int status = 0;
        if (::waitpid(m_child, &status, 0) == m_child)
            m_status = WIFEXITED(status)     ? WEXITSTATUS(status)
                       : WIFSIGNALED(status) ? 128 + WTERMSIG(status)
                                             : 1;
    }
    RawMode(false);
    return m_status;
}
