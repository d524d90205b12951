// Where the options pages find the values they edit: the main frame, its document and its list
// view. Each is nullptr when there is none (no main window yet), and the pages then leave it be.
#pragma once

#include "database/VelkonDoc.h"
#include "frame/MainFrame.h"
#include "listview/VelkonView.h"
#include "platform/gui/CWinApp.h"

inline CMainFrame* OptionsFrame() {
    return dynamic_cast<CMainFrame*>(AfxGetMainWnd());
}

inline CVelkonDoc* OptionsDocument() {
    CMainFrame* frame = OptionsFrame();
    return frame ? dynamic_cast<CVelkonDoc*>(frame->GetActiveDocument()) : nullptr;
}

inline CVelkonView* OptionsView() {
    CMainFrame* frame = OptionsFrame();
    return frame ? dynamic_cast<CVelkonView*>(frame->GetActiveView()) : nullptr;
}
