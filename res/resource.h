// Resource and command ids. The numbers are fixed: menus, accelerators, other programs and the
// settings file know them.
#pragma once

// Strings of the application
#define IDS_COMPANY_NAME 50000
#define IDS_TITLE_NEW 51000
#define IDS_TITLE_MODIFIED 51001
#define IDS_ASK_SAVE 51002
#define IDS_COUNT_REGISTERED 52010
#define IDS_COUNT_PICKED 52011
#define IDS_ID_ALREADY_REGISTERED 53001
#define IDR_MAINFRAME 128
#define IDS_APP_TITLE 57344

// Commands
#define ID_FILE_SAVE 57603
#define ID_REGIST_ID 40110
#define ID_PICKUP_REDO 40210

// Strings of the framework
#define AFX_IDP_FAILED_TO_OPEN_DOC 0xF101
#define AFX_IDP_FAILED_TO_SAVE_DOC 0xF102
#define AFX_IDP_ASK_TO_SAVE 0xF103
