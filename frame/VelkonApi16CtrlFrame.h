// The frame layer that answers the ID database requests of 16-bit client programs: one message
// per query, texts in the client's global memory blocks named by wParam and lParam.
#pragma once

#include <functional>

#include "database/VelkonApiDefs.h"
#include "frame/HidetermCtrlFrame.h"

class CVelkonDoc;

class CVelkonApi16CtrlFrame : public CHidetermCtrlFrame {
public:
    // The queries and updates of 16-bit clients.
    BOOL IsPeerMessage(UINT message) const override;

protected:
    DECLARE_MESSAGE_MAP()
protected:
    CVelkonDoc* GetApiDocument() const;
    // Caption k (1..7) of the active view; FALSE when there is no view to ask.
    BOOL GetApiCaption(int k, CString& rCaption) const;
    // The text of a client block, read no further than the block's end; FALSE when the handle
    // is 0 or the block cannot be locked.
    static BOOL ReadBlock16(WPARAM hBlock, CString& rText);
    // Writes the text with its zero byte; FALSE, nothing written, when the block cannot be
    // locked or is too small for it.
    static BOOL WriteBlock16(LPARAM hBlock, const CString& text);

protected:
    LRESULT OnIdApiPresent(WPARAM wParam, LPARAM lParam);
    LRESULT OnIdApiExists(WPARAM wParam, LPARAM lParam);
    LRESULT OnIdApiGetHandle(WPARAM wParam, LPARAM lParam);
    LRESULT OnIdApiGetMemo1(WPARAM wParam, LPARAM lParam);
    LRESULT OnIdApiGetMemo2(WPARAM wParam, LPARAM lParam);
    LRESULT OnIdApiGetMemo3(WPARAM wParam, LPARAM lParam);
    LRESULT OnIdApiGetMemo4(WPARAM wParam, LPARAM lParam);
    LRESULT OnIdApiGetMemo5(WPARAM wParam, LPARAM lParam);
    LRESULT OnIdApiGetMemo6(WPARAM wParam, LPARAM lParam);
    LRESULT OnIdApiGetCount(WPARAM wParam, LPARAM lParam);
    LRESULT OnIdApiGetRegDate(WPARAM wParam, LPARAM lParam);
    LRESULT OnIdApiGetUpdateDate(WPARAM wParam, LPARAM lParam);
    LRESULT OnIdApiGetRecord(WPARAM wParam, LPARAM lParam);
    LRESULT OnIdApiSetRecord(WPARAM wParam, LPARAM lParam);
    LRESULT OnIdApiGetCaption1(WPARAM wParam, LPARAM lParam);
    LRESULT OnIdApiGetCaption2(WPARAM wParam, LPARAM lParam);
    LRESULT OnIdApiGetCaption3(WPARAM wParam, LPARAM lParam);
    LRESULT OnIdApiGetCaption4(WPARAM wParam, LPARAM lParam);
    LRESULT OnIdApiGetCaption5(WPARAM wParam, LPARAM lParam);
    LRESULT OnIdApiGetCaption6(WPARAM wParam, LPARAM lParam);
    LRESULT OnIdApiGetCaption7(WPARAM wParam, LPARAM lParam);

private:
    // The lookups that write a text of the ID's record to the out block.
    LRESULT WriteRecordText(WPARAM wParam, LPARAM lParam,
                            const std::function<CString(const CVelkonDoc&, int)>& text);
    LRESULT WriteMemo(WPARAM wParam, LPARAM lParam, int k);
    LRESULT WriteCaption(LPARAM lParam, int k);
};
