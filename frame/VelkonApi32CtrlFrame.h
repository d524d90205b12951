// The frame layer that answers the ID database requests of 32-bit client programs: one
// message, the function code in wParam and a file mapping with the data block in lParam.
#pragma once

#include "frame/VelkonApi16CtrlFrame.h"
#include "platform/ipc/Kernel.h"

class CVelkonApi32CtrlFrame : public CVelkonApi16CtrlFrame {
public:
    // Opens a new modeless personal-data editor for the record, shown; its window, or 0.
    virtual HWND OpenPersonalDataEditor(int nRecord);

protected:
    DECLARE_MESSAGE_MAP()
public:
    // The functions of 32-bit clients.
    BOOL IsPeerMessage(UINT message) const override;

protected:
    LRESULT OnIdApi32(WPARAM wParam, LPARAM lParam);

private:
    // The functions that need more than the block: they take the mapping and close it.
    LRESULT GetVersion(HANDLE hMapping);
    LRESULT EditData(HANDLE hMapping);
};
