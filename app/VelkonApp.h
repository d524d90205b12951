// The application: one instance, the window class other programs find it by, the settings
// root, the document template, the default id.lst; the About box and the options sheet.
#pragma once

#include "platform/gui/application/CWinApp.h"

class CVelkonApp : public CWinApp {
public:
    static constexpr const char* kFrameClassName = "VelkonFrameClass";

    BOOL InitInstance() override;
    int ExitInstance() override;

    // id.lst in the directory of the program's own file.
    static CString DefaultDataPath();
    // id.lst in the user's data folder (UserDataFolder); empty without one.
    static CString UserDataPath();

protected:
    DECLARE_MESSAGE_MAP()
protected:
    void OnAppAbout();
    // The options sheet over the main window, its view and its document.
    void OnOptions();
};
