// Ids of the framework's own strings, where the program's resources do not name them already.
#pragma once

#include "res/resource.h"

#ifndef AFX_IDS_IDLEMESSAGE
#define AFX_IDS_IDLEMESSAGE 0xE001
#endif
#ifndef AFX_IDS_UNTITLED
#define AFX_IDS_UNTITLED 0xE002
#endif
#ifndef AFX_IDS_ALLFILTER
#define AFX_IDS_ALLFILTER 0xF005
#endif
#ifndef ID_FILE_MRU_FILE1
#define ID_FILE_MRU_FILE1 0xE110
#endif
#ifndef ID_FILE_NEW
#define ID_FILE_NEW 0xE100
#endif
#ifndef ID_FILE_OPEN
#define ID_FILE_OPEN 0xE101
#endif
#ifndef ID_FILE_SAVE_AS
#define ID_FILE_SAVE_AS 0xE104
#endif
#ifndef ID_APP_EXIT
#define ID_APP_EXIT 0xE141
#endif
#ifndef ID_HELP_FINDER
#define ID_HELP_FINDER 0xE143
#endif
#ifndef ID_HELP
#define ID_HELP 0xE146
#endif
#ifndef ID_CONTEXT_HELP
#define ID_CONTEXT_HELP 0xE145
#endif
#ifndef ID_DEFAULT_HELP
#define ID_DEFAULT_HELP 0xE147
#endif
#ifndef AFX_IDS_BUTTON_OK
#define AFX_IDS_BUTTON_OK 0xF1F1
#define AFX_IDS_BUTTON_CANCEL 0xF1F2
#define AFX_IDS_BUTTON_YES 0xF1F3
#define AFX_IDS_BUTTON_NO 0xF1F4
#endif
#ifndef AFX_IDW_TOOLBAR
#define AFX_IDW_TOOLBAR 0xE800
#endif
#ifndef AFX_IDW_STATUS_BAR
#define AFX_IDW_STATUS_BAR 0xE801
#endif
#ifndef AFX_IDW_PANE_FIRST
#define AFX_IDW_PANE_FIRST 0xE900
#endif
