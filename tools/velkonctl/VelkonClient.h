// A client of the running program's ID database API, for scripts and tests: finds the
// program's window by class, and sends the 16-bit messages (texts in global memory blocks) and
// the 32-bit functions (a data block in a file mapping duplicated into the program). Texts are
// CP932, as in the blocks.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "database/VelkonApiDefs.h"
#include "platform/base/CString.h"

namespace velkon_client {

// The result of one request: whether the program answered, and what.
struct Reply {
    bool answered = false;
    LRESULT value = 0;
    explicit operator bool() const { return answered && value != 0; }
};

// Handle, memo 1..6, both dates and the count of a record (IDAPI_GETDATA, IDAPI_SETDATA).
struct Fields {
    CString handle;
    std::array<CString, 6> memo;
    CString registDate;
    CString prevUpdateDate;
    int count = 0;
    CString updateDate;  // SetFields only: GetData has the previous update date
};

class CVelkonClient {
public:
    // Finds the program; false when it does not run.
    bool Connect();
    bool IsConnected() const { return m_hWnd != nullptr; }
    HWND Window() const { return m_hWnd; }
    // How long one request may take (default 5000 ms).
    void SetTimeout(unsigned milliseconds) { m_timeoutMs = milliseconds; }

    // --- 16-bit messages ---
    // Sends msg with blocks holding these texts (each with its zero byte) or of these sizes;
    // the out block's text comes back in *pOut. A block that is not asked for is not passed.
    Reply Send16(UINT msg, const CString* pIdText, const CString* pInText, std::size_t outSize,
                 CString* pOut);
    Reply Present16();
    Reply Exists16(const CString& id);
    // WM_IDAPI_GETHANDLE, _GETMEMO1.._6, _GETREGDATE, _GETUPDATEDATE, _GETRECORD.
    Reply GetText16(UINT msg, const CString& id, CString& rText);
    Reply GetCount16(const CString& id);
    Reply SetRecord16(const CString& id, const CString& line);
    Reply GetCaption16(int k, CString& rCaption);

    // --- 32-bit functions ---
    // Sends code with a mapping of block.size() bytes holding block (none when it is empty)
    // and copies the mapping back into block.
    Reply Call32(WPARAM code, std::vector<char>& block);
    Reply GetVersion(int& rMajor, int& rMinor, int& rRelease);
    Reply GetCaptions(std::array<CString, 7>& rCaptions);
    Reply EditData(const CString& id);
    Reply Register(const CString& id, const Fields& fields);
    Reply Delete(const CString& id);
    Reply Restore();
    Reply SetData(const CString& id, const Fields& fields);
    Reply GetData(const CString& id, Fields& rFields);
    // Changes only the fields that mask names (idapi_block::kMaskHandle ...); dates as text.
    Reply SetFields(const CString& id, const Fields& fields, unsigned mask);
    Reply Exists(const CString& id);
    Reply PickupText(std::string_view text);
    Reply PickupRedo();
    Reply PickedUp(const CString& id);

private:
    HWND m_hWnd = nullptr;
    unsigned m_timeoutMs = 5000;
};

// Splits a text into pieces of at most maxPiece bytes that end at line ends (after an LF); a
// line longer than that is cut at a character boundary.
std::vector<std::string_view> SplitAtLineEnds(std::string_view text, std::size_t maxPiece);
// LF line ends without a CR get one, since the program ends lines at CR LF.
std::string WithCrLf(std::string_view text);

}  // namespace velkon_client
