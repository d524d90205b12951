// The About box: the product name, version and copyright line read from the version
// information of the program's own file; "?" for each piece it does not have.
#pragma once

#include "platform/gui/dialog/CDialog.h"
#include "res/resource.h"

class CAboutDlg : public CDialog {
public:
    enum { IDD = IDD_ABOUTBOX };
    CAboutDlg();
    BOOL OnInitDialog() override;
};
