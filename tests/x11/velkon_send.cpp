// velkon_send TEXT: asks the running program (VELKON_TEST_HOOKS set) to send TEXT (UTF-8 here,
// CP932 on the way) to its terminal, as the list's send command would. Exit 0 when it took it.
#include <cstdio>
#include <cstring>
#include <string>

#include "frame/HidetermCtrlFrame.h"
#include "platform/CWnd.h"
#include "platform/CodePage.h"
#include "platform/Kernel.h"
#include "platform/WinClass.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: velkon_send TEXT\n");
        return 2;
    }
    const std::string text = Utf8ToCp932(argv[1]);
    const HWND hWnd = FindWindow("VelkonFrameClass", nullptr);
    if (!hWnd) {
        std::fprintf(stderr, "velkon_send: the program is not running\n");
        return 1;
    }
    HANDLE mapping = CreateFileMapping(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                       static_cast<DWORD>(text.size() + 1), nullptr);
    LPVOID view = mapping ? MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0) : nullptr;
    if (!view) return 1;
    std::memcpy(view, text.c_str(), text.size() + 1);
    DWORD pid = 0;
    GetWindowThreadProcessId(hWnd, &pid);
    HANDLE process = OpenProcess(PROCESS_DUP_HANDLE, TRUE, pid);
    HANDLE duplicated = nullptr;
    LRESULT result = 0;
    if (process && DuplicateHandle(GetCurrentProcess(), mapping, process, &duplicated, 0, TRUE,
                                   DUPLICATE_SAME_ACCESS))
        result = SendMessage(hWnd, WM_HT_TEST_SEND, text.size(), reinterpret_cast<LPARAM>(duplicated));
    if (process) CloseHandle(process);
    UnmapViewOfFile(view);
    CloseHandle(mapping);
    return result ? 0 : 1;
}
