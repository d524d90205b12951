#include "frame/VelkonApi32CtrlFrame.h"

#include <cstdint>
#include <cstdio>
#include <vector>

#include "database/ApiRequests.h"
#include "dialogs/PersonalDataDlg.h"
#include "document/VelkonDoc.h"
#include "platform/base/VersionInfo.h"
#include "platform/gui/application/CWinApp.h"
#include "platform/ipc/WinClass.h"

BEGIN_MESSAGE_MAP(CVelkonApi32CtrlFrame, CVelkonApi16CtrlFrame)
ON_MESSAGE(WM_IDAPI32, OnIdApi32)
END_MESSAGE_MAP()

namespace {

std::size_t ViewSize(LPCVOID pView) {
    MEMORY_BASIC_INFORMATION info;
    return ::VirtualQuery(pView, &info, sizeof(info)) ? info.RegionSize : 0;
}

void PutU32(char* p, DWORD value) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<char>(value >> (8 * i));
}

}  // namespace

// The editor labels its fields with the list's captions, as one opened from the list does.
// The editor keeps its own copies of them.
HWND CVelkonApi32CtrlFrame::OpenPersonalDataEditor(int nRecord) {
    CPersonalDataDlg::Captions captions;
    bool haveCaptions = true;
    for (int k = 1; haveCaptions && k <= 7; ++k)
        haveCaptions = GetApiCaption(k, captions[static_cast<std::size_t>(k - 1)]);
    CPersonalDataDlg* pDlg =
        haveCaptions ? CPersonalDataDlg::Open(nRecord, captions) : CPersonalDataDlg::Open(nRecord);
    return pDlg ? pDlg->GetSafeHwnd() : nullptr;
}

BOOL CVelkonApi32CtrlFrame::IsPeerMessage(UINT message) const {
    return message == WM_IDAPI32 || CVelkonApi16CtrlFrame::IsPeerMessage(message);
}

LRESULT CVelkonApi32CtrlFrame::OnIdApi32(WPARAM wParam, LPARAM lParam) {
    CVelkonDoc* pDoc = GetApiDocument();
    // lParam is not a handle of these functions: it is left alone.
    if (!velkon_api::UsesBlock(wParam))
        return pDoc ? velkon_api::Run32(*pDoc, nullptr, wParam, nullptr, 0) : 0;

    const auto hMapping = reinterpret_cast<HANDLE>(lParam);
    if (wParam == IDAPI_GETVERSION) return GetVersion(hMapping);
    if (wParam == IDAPI_EDITDATA) return EditData(hMapping);

    LRESULT result = 0;
    if (LPVOID pView = ::MapViewOfFile(hMapping, FILE_MAP_ALL_ACCESS, 0, 0, 0)) {
        CString captions[7];
        bool haveCaptions = wParam == IDAPI_GETCAPTIONS;
        for (int k = 1; haveCaptions && k <= 7; ++k)
            haveCaptions = GetApiCaption(k, captions[k - 1]);
        if (pDoc)
            result = velkon_api::Run32(*pDoc, haveCaptions ? captions : nullptr, wParam,
                                       static_cast<char*>(pView), ViewSize(pView));
        ::UnmapViewOfFile(pView);
    }
    ::CloseHandle(hMapping);
    return result;
}

LRESULT CVelkonApi32CtrlFrame::GetVersion(HANDLE hMapping) {
    LRESULT result = 0;
    // The path may be longer than the 255 characters a Windows program would allow.
    const CString strModule = AfxGetModuleFileName();
    DWORD dwHandle = 0;
    const DWORD dwSize = ::GetFileVersionInfoSize(strModule, &dwHandle);
    std::vector<char> info(dwSize);
    VS_FIXEDFILEINFO* pFixed = nullptr;
    UINT nLength = 0;
    if (dwSize && ::GetFileVersionInfo(strModule, dwHandle, dwSize, info.data()) &&
        ::VerQueryValue(info.data(), "\\", reinterpret_cast<LPVOID*>(&pFixed), &nLength) &&
        nLength >= sizeof(VS_FIXEDFILEINFO)) {
        if (LPVOID pView = ::MapViewOfFile(hMapping, FILE_MAP_ALL_ACCESS, 0, 0, 0)) {
            if (ViewSize(pView) >= idapi_block::kVersionSize) {
                auto* p = static_cast<char*>(pView);
                PutU32(p, HIWORD(pFixed->dwProductVersionMS));
                PutU32(p + 4, LOWORD(pFixed->dwProductVersionMS));
                PutU32(p + 8, HIWORD(pFixed->dwProductVersionLS));
                result = 1;
            }
            ::UnmapViewOfFile(pView);
        }
    }
    ::CloseHandle(hMapping);
    return result;
}

LRESULT CVelkonApi32CtrlFrame::EditData(HANDLE hMapping) {
    CString id;
    if (LPVOID pView = ::MapViewOfFile(hMapping, FILE_MAP_ALL_ACCESS, 0, 0, 0)) {
        id = velkon_api::ReadText(static_cast<const char*>(pView),
                                  std::min(ViewSize(pView), idapi_block::kSlot));
        ::UnmapViewOfFile(pView);
    } else {
        ::CloseHandle(hMapping);
        return 0;
    }
    ::CloseHandle(hMapping);
    CVelkonDoc* pDoc = GetApiDocument();
    const int r = pDoc ? pDoc->FindID(id) : -1;
    if (r == -1) return 0;
    const HWND hEditor = OpenPersonalDataEditor(r);
    if (hEditor) ::SetForegroundWindow(hEditor);
    return reinterpret_cast<LRESULT>(hEditor);
}
