// Anything that can handle commands: windows, documents, the application. Commands and their
// update-UI requests are looked up in the message map chain.
#pragma once

#include "platform/gui/window/MessageMap.h"

struct AFX_CMDHANDLERINFO {
    CCmdTarget* pTarget = nullptr;
};

class CCmdTarget : public CObject {
public:
    // Looks nID up for nCode (CN_COMMAND or CN_UPDATE_COMMAND_UI; pExtra is the CCmdUI). With
    // pHandlerInfo only tells whether a handler exists, without calling it.
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);

    void BeginWaitCursor();
    void EndWaitCursor();

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
    // The first entry for the message (and command id and code) along the map chain.
    const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT nMessage, int nCode, UINT nID) const;
};

// Shows the wait cursor while it lives.
class CWaitCursor {
public:
    CWaitCursor();
    ~CWaitCursor();
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
};
