// A stand-in for the terminal program, in a process of its own: it owns the window class
// "HideTermFrameClass", records what the program sends it and, on command, sends the program
// text. Commands come one per line on stdin; everything it reports goes to stdout, one line each.
//
//   text HEX [SIZE]  send WM_HT_TEXT with these bytes to every attached window (mapping SIZE)
//   cansend 0|1      the answer to WM_HT_CANSEND (1 at start)
//   quiet 0|1        count sent texts instead of reporting each
//   count            COUNT n: sent texts received
//   fds              FDS n: open descriptors of this process
//   objects          OBJECTS n m: open kernel objects and mapped views
//   conns            CONNS n: peers connected to the class socket
//   hang MS          stop answering for MS milliseconds
//   quit             end
#include <dirent.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform/ipc/Kernel.h"
#include "platform/ipc/MappingTransfer.h"
#include "platform/ipc/SendToWindow.h"
#include "platform/ipc/WinClass.h"
#include "platform/ipc/WindowServer.h"

namespace {

constexpr UINT kDetach = 0x400 + 4, kText = 0x400 + 5, kCanSend = 0x400 + 11,
               kSendText = 0x400 + 51, kAttach = 0x400 + 72;

std::vector<HWND> g_attached;
bool g_canSend = true;
bool g_quiet = false;
long g_count = 0;

void Report(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

std::string Hex(std::string_view bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char b : bytes) {
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

std::string Unhex(const std::string& hex) {
    std::string out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return out;
}

std::string HandleText(HWND h) {
    char buffer[32];
    std::snprintf(buffer, sizeof(buffer), "%llx",
                  static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(h)));
    return buffer;
}

int OpenFdCount() {
    int n = 0;
    DIR* dir = ::opendir("/proc/self/fd");
    while (dirent* e = ::readdir(dir))
        if (e->d_name[0] != '.') ++n;
    ::closedir(dir);
    return n - 1;
}

LRESULT Handle(const winlink::Request& r) {
    const auto hwnd = reinterpret_cast<HWND>(r.wParam);
    switch (r.msg) {
        case kAttach:
            g_attached.push_back(hwnd);
            Report("ATTACH " + HandleText(hwnd));
            return 0;
        case kDetach:
            std::erase(g_attached, hwnd);
            Report("DETACH " + HandleText(hwnd));
            return 0;
        case kCanSend:
            if (!g_quiet) Report("CANSEND");
            return g_canSend ? 1 : 0;
        case kSendText: {
            const auto h = reinterpret_cast<HANDLE>(r.lParam);
            std::string text;
            SIZE_T size = 0;
            if (LPVOID view = MapViewOfFile(h, FILE_MAP_ALL_ACCESS, 0, 0, 0)) {
                MEMORY_BASIC_INFORMATION info;
                VirtualQuery(view, &info, sizeof(info));
                size = info.RegionSize;
                const char* p = static_cast<const char*>(view);
                text.assign(p, strnlen(p, size));
                UnmapViewOfFile(view);
            }
            const bool closed = CloseHandle(h);
            ++g_count;
            if (!g_quiet)
                Report("SENDTEXT " + std::to_string(r.wParam) + " " + std::to_string(size) + " " +
                       (closed ? "1 " : "0 ") + Hex(text));
            return 0;
        }
        default:
            Report("MSG " + std::to_string(r.msg));
            return 0;
    }
}

void SendText(const std::string& bytes, DWORD size) {
    for (HWND hwnd : g_attached) {
        HANDLE mapping = AfxShareMappingWith(hwnd, bytes.data(), bytes.size(), size);
        if (mapping) ::SendMessage(hwnd, kText, reinterpret_cast<WPARAM>(mapping), 0);
        Report(mapping ? "SENT 1" : "SENT 0");
    }
}

}  // namespace

int main() {
    WNDCLASSEX wc;
    wc.lpszClassName = "HideTermFrameClass";
    RegisterClassEx(&wc);
    auto server =
        winlink::Server::Listen("HideTermFrameClass", Handle, afx_kernel::PassedMappings());
    Report(server ? "READY" : "BUSY");
    if (!server) return 1;
    std::string input;
    for (;;) {
        std::vector<pollfd> extra{{STDIN_FILENO, POLLIN, 0}};
        server->Dispatch(1000, extra);
        if (!extra[0].revents) continue;
        char buffer[4096];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof(buffer));
        if (n <= 0) return 0;
        input.append(buffer, static_cast<std::size_t>(n));
        for (std::size_t eol; (eol = input.find('\n')) != std::string::npos;) {
            const std::string line = input.substr(0, eol);
            input.erase(0, eol + 1);
            const std::size_t space = line.find(' ');
            const std::string cmd = line.substr(0, space);
            const std::string arg = space == std::string::npos ? "" : line.substr(space + 1);
            if (cmd == "text") {
                const std::size_t sp = arg.find(' ');
                const std::string bytes = Unhex(arg.substr(0, sp));
                const DWORD size = sp == std::string::npos
                                       ? static_cast<DWORD>(bytes.size() + 1)
                                       : static_cast<DWORD>(std::stoul(arg.substr(sp + 1)));
                SendText(bytes, size);
            } else if (cmd == "cansend") {
                g_canSend = arg == "1";
                Report("OK");
            } else if (cmd == "quiet") {
                g_quiet = arg == "1";
                Report("OK");
            } else if (cmd == "count") {
                Report("COUNT " + std::to_string(g_count));
            } else if (cmd == "fds") {
                Report("FDS " + std::to_string(OpenFdCount()));
            } else if (cmd == "objects") {
                Report("OBJECTS " + std::to_string(afx_kernel::OpenObjectCount()) + " " +
                       std::to_string(afx_kernel::MappedViewCount()));
            } else if (cmd == "conns") {
                Report("CONNS " + std::to_string(server->ConnectionCount()));
            } else if (cmd == "hang") {
                Report("HANGING");
                std::this_thread::sleep_for(std::chrono::milliseconds(std::stoi(arg)));
            } else if (cmd == "quit") {
                return 0;
            }
        }
    }
}
