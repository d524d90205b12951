#include "tools/velkonctl/VelkonClient.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/base/Mbcs.h"
#include "platform/ipc/Handles.h"
#include "platform/ipc/Kernel.h"
#include "platform/ipc/RemoteWindows.h"
#include "platform/ipc/SendToWindow.h"
#include "platform/ipc/WinClass.h"
#include "platform/ipc/Wow32.h"

namespace velkon_client {

namespace {

// A block of the client holding a text, freed when it goes.
class Block {
public:
    Block(const CString* pText, std::size_t size) {
        if (!pText && size == 0) return;
        const std::size_t need = pText ? static_cast<std::size_t>(pText->GetLength()) + 1 : 0;
        m_h = ::GlobalAlloc16(GMEM_MOVEABLE | GMEM_ZEROINIT,
                              static_cast<DWORD>(std::max(size, need)));
        if (m_h && pText) {
            if (auto* p = static_cast<char*>(::GlobalLock16(m_h))) {
                std::memcpy(p, pText->GetString(), need);
                ::GlobalUnlock16(m_h);
            }
        }
    }
    ~Block() {
        if (m_h) ::GlobalFree16(m_h);
    }
    Block(const Block&) = delete;
    Block& operator=(const Block&) = delete;
    HGLOBAL16 Handle() const { return m_h; }
    CString Text() const {
        const auto* p = static_cast<const char*>(::GlobalLock16(m_h));
        if (!p) return {};
        CString text(std::string_view(p, ::strnlen(p, ::GlobalSize16(m_h))));
        ::GlobalUnlock16(m_h);
        return text;
    }

private:
    HGLOBAL16 m_h = 0;
};

void PutSlot(std::vector<char>& block, std::size_t at, const CString& text) {
    const std::size_t n = mbcs::CharBoundaryAtOrBefore(text.View(), idapi_block::kSlot - 1);
    std::memcpy(block.data() + at, text.GetString(), n);
    block[at + n] = '\0';
}

void PutDate(std::vector<char>& block, std::size_t at, const CString& date) {
    const std::size_t n = std::min<std::size_t>(date.View().size(), idapi_block::kDateSlot - 1);
    std::memcpy(block.data() + at, date.GetString(), n);
    block[at + n] = '\0';
}

CString GetSlot(const std::vector<char>& block, std::size_t at, std::size_t slot) {
    const char* p = block.data() + at;
    return CString(std::string_view(p, ::strnlen(p, slot)));
}

std::vector<char> IdBlock(const CString& id, std::size_t size = idapi_block::kSize) {
    std::vector<char> block(size, '\0');
    PutSlot(block, idapi_block::kId, id);
    return block;
}

void PutFields(std::vector<char>& block, const Fields& fields) {
    PutSlot(block, idapi_block::kHandle, fields.handle);
    for (int k = 1; k <= 6; ++k) PutSlot(block, idapi_block::Memo(k), fields.memo[k - 1]);
}

}  // namespace

bool CVelkonClient::Connect() {
    m_hWnd = ::FindWindow(VELKON_FRAME_CLASS, nullptr);
    return m_hWnd != nullptr;
}

Reply CVelkonClient::Send16(UINT msg, const CString* pIdText, const CString* pInText,
                            std::size_t outSize, CString* pOut) {
    Reply reply;
    if (!m_hWnd) return reply;
    const Block idBlock(pIdText, 0);
    const Block inBlock(pInText, pInText ? 0 : outSize);
    if ((pIdText && !idBlock.Handle()) || ((pInText || outSize) && !inBlock.Handle())) return reply;
    const int previous = afx_handles::RemoteTimeout();
    afx_handles::SetRemoteTimeout(static_cast<int>(m_timeoutMs));
    reply.answered =
        ::SendMessage16(m_hWnd, msg, idBlock.Handle(), inBlock.Handle(), &reply.value) != FALSE;
    afx_handles::SetRemoteTimeout(previous);
    if (pOut) *pOut = reply.answered && reply.value ? inBlock.Text() : CString();
    return reply;
}

Reply CVelkonClient::Present16() {
    return Send16(WM_IDAPI_PRESENT, nullptr, nullptr, 0, nullptr);
}

Reply CVelkonClient::Exists16(const CString& id) {
    return Send16(WM_IDAPI_EXISTS, &id, nullptr, 0, nullptr);
}

Reply CVelkonClient::GetText16(UINT msg, const CString& id, CString& rText) {
    // The largest answer, a record line of long fields and a long ID, with room to spare.
    return Send16(msg, &id, nullptr, 512 + static_cast<std::size_t>(id.GetLength()), &rText);
}

Reply CVelkonClient::GetCount16(const CString& id) {
    return Send16(WM_IDAPI_GETCOUNT, &id, nullptr, 0, nullptr);
}

Reply CVelkonClient::SetRecord16(const CString& id, const CString& line) {
    return Send16(WM_IDAPI_SETRECORD, &id, &line, 0, nullptr);
}

Reply CVelkonClient::GetCaption16(int k, CString& rCaption) {
    return Send16(WM_IDAPI_GETCAPTION1 + static_cast<UINT>(k - 1), nullptr, nullptr, 256,
                  &rCaption);
}

Reply CVelkonClient::Call32(WPARAM code, std::vector<char>& block) {
    Reply reply;
    if (!m_hWnd) return reply;
    HANDLE hDuplicated = nullptr;
    HANDLE hMapping = nullptr;
    LPVOID pView = nullptr;
    if (!block.empty()) {
        hMapping = ::CreateFileMapping(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                       static_cast<DWORD>(block.size()), nullptr);
        pView = hMapping ? ::MapViewOfFile(hMapping, FILE_MAP_ALL_ACCESS, 0, 0, 0) : nullptr;
        if (!pView) {
            if (hMapping) ::CloseHandle(hMapping);
            return reply;
        }
        std::memcpy(pView, block.data(), block.size());
        DWORD dwProcessId = 0;
        ::GetWindowThreadProcessId(m_hWnd, &dwProcessId);
        const HANDLE hProcess = ::OpenProcess(PROCESS_DUP_HANDLE, FALSE, dwProcessId);
        const BOOL bDuplicated =
            hProcess && ::DuplicateHandle(::GetCurrentProcess(), hMapping, hProcess, &hDuplicated,
                                          0, FALSE, DUPLICATE_SAME_ACCESS);
        if (hProcess) ::CloseHandle(hProcess);
        if (!bDuplicated) {
            ::UnmapViewOfFile(pView);
            ::CloseHandle(hMapping);
            return reply;
        }
    }
    reply.answered =
        ::SendMessageTimeout(m_hWnd, WM_IDAPI32, code, reinterpret_cast<LPARAM>(hDuplicated),
                             SMTO_BLOCK, m_timeoutMs, &reply.value) != 0;
    if (pView) {
        std::memcpy(block.data(), pView, block.size());
        ::UnmapViewOfFile(pView);
        ::CloseHandle(hMapping);
    }
    return reply;
}

Reply CVelkonClient::GetVersion(int& rMajor, int& rMinor, int& rRelease) {
    std::vector<char> block(idapi_block::kVersionSize, '\0');
    const Reply reply = Call32(IDAPI_GETVERSION, block);
    const auto at = [&](std::size_t i) {
        std::uint32_t v = 0;
        for (int b = 3; b >= 0; --b) v = (v << 8) | static_cast<unsigned char>(block[i + b]);
        return static_cast<int>(v);
    };
    rMajor = at(0);
    rMinor = at(4);
    rRelease = at(8);
    return reply;
}

Reply CVelkonClient::GetCaptions(std::array<CString, 7>& rCaptions) {
    std::vector<char> block(idapi_block::kSize, '\0');
    const Reply reply = Call32(IDAPI_GETCAPTIONS, block);
    for (int k = 1; k <= 7; ++k)
        rCaptions[k - 1] =
            reply ? GetSlot(block, idapi_block::Caption(k), idapi_block::kSlot) : CString();
    return reply;
}

Reply CVelkonClient::EditData(const CString& id) {
    std::vector<char> block = IdBlock(id);
    return Call32(IDAPI_EDITDATA, block);
}

Reply CVelkonClient::Register(const CString& id, const Fields& fields) {
    std::vector<char> block = IdBlock(id);
    PutFields(block, fields);
    return Call32(IDAPI_REGISTER, block);
}

Reply CVelkonClient::Delete(const CString& id) {
    std::vector<char> block = IdBlock(id);
    return Call32(IDAPI_DELETE, block);
}

Reply CVelkonClient::Restore() {
    std::vector<char> none;
    return Call32(IDAPI_RESTORE, none);
}

Reply CVelkonClient::SetData(const CString& id, const Fields& fields) {
    std::vector<char> block = IdBlock(id);
    PutFields(block, fields);
    return Call32(IDAPI_SETDATA, block);
}

Reply CVelkonClient::GetData(const CString& id, Fields& rFields) {
    std::vector<char> block = IdBlock(id);
    const Reply reply = Call32(IDAPI_GETDATA, block);
    rFields = Fields{};
    if (!reply) return reply;
    using namespace idapi_block;
    rFields.handle = GetSlot(block, kHandle, kSlot);
    for (int k = 1; k <= 6; ++k) rFields.memo[k - 1] = GetSlot(block, Memo(k), kSlot);
    rFields.registDate = GetSlot(block, kRegistDate, kDateSlot);
    rFields.prevUpdateDate = GetSlot(block, kPrevUpdateDate, kDateSlot);
    std::uint32_t count = 0;
    for (int b = 3; b >= 0; --b)
        count = (count << 8) | static_cast<unsigned char>(block[kCount + b]);
    rFields.count = static_cast<int>(count);
    return reply;
}

Reply CVelkonClient::SetFields(const CString& id, const Fields& fields, unsigned mask) {
    using namespace idapi_block;
    std::vector<char> block = IdBlock(id, kSetFieldsSize);
    PutFields(block, fields);
    const auto putU32 = [&](std::size_t at, std::uint32_t value) {
        for (int i = 0; i < 4; ++i) block[at + i] = static_cast<char>(value >> (8 * i));
    };
    putU32(kCount, static_cast<std::uint32_t>(fields.count));
    PutDate(block, kRegistDate, fields.registDate);
    PutDate(block, kUpdateDate, fields.updateDate);
    putU32(kFieldMask, mask);
    return Call32(IDAPI_SETFIELDS, block);
}

Reply CVelkonClient::Exists(const CString& id) {
    std::vector<char> block = IdBlock(id, idapi_block::kSlot);
    return Call32(IDAPI_EXISTS, block);
}

Reply CVelkonClient::PickupText(std::string_view text) {
    std::vector<char> block(text.begin(), text.end());
    block.push_back('\0');
    return Call32(IDAPI_PICKUPTEXT, block);
}

Reply CVelkonClient::PickupRedo() {
    std::vector<char> none;
    return Call32(IDAPI_PICKUPREDO, none);
}

Reply CVelkonClient::PickedUp(const CString& id) {
    std::vector<char> block = IdBlock(id, idapi_block::kSlot);
    return Call32(IDAPI_PICKEDUP, block);
}

std::vector<std::string_view> SplitAtLineEnds(std::string_view text, std::size_t maxPiece) {
    std::vector<std::string_view> pieces;
    maxPiece = std::max<std::size_t>(maxPiece, 2);
    while (!text.empty()) {
        std::size_t n = text.size();
        if (n > maxPiece) {
            const std::size_t lf = text.substr(0, maxPiece).rfind('\n');
            n = lf != std::string_view::npos
                    ? lf + 1
                    : std::max<std::size_t>(1, mbcs::CharBoundaryAtOrBefore(text, maxPiece));
        }
        pieces.push_back(text.substr(0, n));
        text.remove_prefix(n);
    }
    return pieces;
}

std::string WithCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 32);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
        out += text[i];
    }
    return out;
}

}  // namespace velkon_client
