// What the ID list asks of the frame it lives in: the counts of its status bar, the helper
// formats, and where a record filled into a format goes. The main frame answers; the list finds
// it as its parent frame and needs to know no frame class.
#pragma once

#include "platform/base/CString.h"
#include "platform/base/CStringArray.h"
#include "platform/base/WinTypes.h"

// The other way: the frame asks the active view for caption k (1..7: handle, memo 1..6); the
// answer is its zero-terminated buffer, or 0. Only within this process: the view is a child
// window.
constexpr UINT WM_VELKON_GETCAPTION = WM_USER + 0x3F2;

class CIdListFrame {
public:
    // Status panes 1 and 2, and the tray tip.
    virtual void SetRegistCount(int nCount) = 0;
    virtual void SetPickupCount(int nCount) = 0;
    // Rows shown of the registered ones.
    virtual void SetShownCount(int nShown, int nTotal) = 0;
    virtual const CStringArray& GetHelperFormats() const = 0;
    virtual void CopyToClipboard(const CString& strText) = 0;
    virtual void SendToHideterm(const CString& strText) = 0;

protected:
    ~CIdListFrame() = default;
};
