// What the options pages edit, handed to the sheet by whoever runs it: the main window's
// settings, its list view and its document. A page asks for each again whenever it needs it,
// because the main window can go while the sheet is open (an end signal closes it as the user
// would); nullptr means there is none, and the page then leaves that part be.
#pragma once

#include "platform/base/Afx.h"
#include "platform/base/CStringArray.h"

class CVelkonDoc;
class CVelkonView;

// The main window's part: the settings the pages copy out and write back, and what has to
// follow them at once.
class COptionsFrame {
public:
    virtual ~COptionsFrame() = default;

    virtual BOOL& Resident() = 0;
    virtual WORD& HotKey() = 0;  // as the hot-key control gives it: virtual key, HOTKEYF_* above
    virtual BOOL& HidetermPickup() = 0;
    virtual BOOL& ClipboardPickup() = 0;
    virtual CStringArray& HelperFormats() = 0;

    virtual void RegisterAppHotKey() = 0;
    virtual void UnregisterAppHotKey() = 0;
    virtual void AddTrayIcon() = 0;
    virtual void RemoveTrayIcon() = 0;
};

class COptionOwners {
public:
    virtual ~COptionOwners() = default;

    virtual COptionsFrame* Frame() = 0;
    virtual CVelkonView* View() = 0;
    virtual CVelkonDoc* Document() = 0;

    // Owners that have none of the three.
    static COptionOwners& None();
};

inline COptionOwners& COptionOwners::None() {
    class CNoOwners final : public COptionOwners {
    public:
        COptionsFrame* Frame() override { return nullptr; }
        CVelkonView* View() override { return nullptr; }
        CVelkonDoc* Document() override { return nullptr; }
    };
    static CNoOwners none;
    return none;
}
