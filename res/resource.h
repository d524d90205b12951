// Resource and command ids. The numbers are fixed: menus, accelerators, other programs and the
// settings file know them.
#pragma once

// Resources
#define IDR_MAINFRAME 128  // menu, accelerators, tool bar, icon and the document string
#define IDR_POPUP 500      // pop-up 0: the tray menu; pop-up 1: the list's context menu
#define IDI_PICKUP 1000    // the mark of a picked-up row

// Dialog templates
#define IDD_ABOUTBOX 2000
#define IDD_PERSONAL_DATA 2100
#define IDD_REGIST_ID 2200
#define IDD_SPECIFY_DATE 2300
#define IDD_SPECIFY_KEYWORD 2400
#define IDD_SEND_FORMAT 2500
#define IDD_PROPERTY_ENVIRON 3000
#define IDD_PROPERTY_VIEW 3100
#define IDD_PROPERTY_PICKUP 3200
#define IDD_PROPERTY_HELPER 3300
#define IDD_PROPERTY_COLOR 3400
#define IDD_NO_PICKUP_ID 4000
#define IDD_FONT 5000

// Commands of the program
#define ID_QUIT_RESIDENT 40000
#define ID_SEND_HIDETERM 40100
#define ID_REGIST_ID 40110
#define ID_DELETE_ID 40111
#define ID_RESTORE_ID 40112
#define ID_PERSONAL_DATA 40120
#define ID_ONLY_PICKUP 40200
#define ID_SPECIFY_DATE 40201
#define ID_SPECIFY_KEYWORD 40202
#define ID_PICKUP_REDO 40210
#define ID_OPTIONS 40300
#define ID_FONT 40310

// Commands of the framework
#define ID_FILE_NEW 57600
#define ID_FILE_OPEN 57601
#define ID_FILE_SAVE 57603
#define ID_FILE_SAVE_AS 57604
#define ID_FILE_MRU_FILE1 57616
#define ID_FILE_MRU_FILE2 57617
#define ID_FILE_MRU_FILE3 57618
#define ID_FILE_MRU_FILE4 57619
#define ID_EDIT_COPY 57634
#define ID_EDIT_SELECT_ALL 57642
#define ID_APP_ABOUT 57664
#define ID_APP_EXIT 57665
#define ID_HELP_FINDER 57667
#define ID_CONTEXT_HELP 57669
#define ID_HELP 57670
#define ID_DEFAULT_HELP 57671
#define ID_NEXT_PANE 57680
#define ID_PREV_PANE 57681
#define ID_VIEW_TOOLBAR 59392
#define ID_VIEW_STATUS_BAR 59393

// Child window ids of the framework's control bars
#define AFX_IDW_TOOLBAR 59392
#define AFX_IDW_STATUS_BAR 59393

// Strings of the application
#define IDS_COMPANY_NAME 50000
// Column captions, by data column: 50100 + column
#define IDS_CAPTION_ID 50100
#define IDS_CAPTION_HANDLE 50101
#define IDS_CAPTION_MEMO1 50102
#define IDS_CAPTION_MEMO2 50103
#define IDS_CAPTION_MEMO3 50104
#define IDS_CAPTION_MEMO4 50105
#define IDS_CAPTION_MEMO5 50106
#define IDS_CAPTION_MEMO6 50107
#define IDS_CAPTION_REGIST_DATE 50108
#define IDS_CAPTION_PREV_UPDATE_DATE 50109
#define IDS_CAPTION_UPDATE_COUNT 50110
// Default helper formats: 50200 + format number
#define IDS_HELPER_FORMAT0 50200
#define IDS_HELPER_FORMAT1 50201
#define IDS_HELPER_FORMAT2 50202
#define IDS_HELPER_FORMAT3 50203
#define IDS_HELPER_FORMAT4 50204
#define IDS_HELPER_FORMAT5 50205
#define IDS_HELPER_FORMAT6 50206
#define IDS_COPY_TO_CLIPBOARD 50300  // title of the format chooser when it copies
// The colour page: its categories, and the sample rows' texts (ID, then handle) by row
#define IDS_OPTIONS_CAPTION 50390
#define IDS_COLOR_NORMAL 50400
#define IDS_COLOR_PICKUP 50401
#define IDS_COLOR_BACK 50402
#define IDS_SAMPLE_ID0 50410
#define IDS_SAMPLE_TEXT0 50420
#define IDS_TITLE_NEW 51000
#define IDS_TITLE_MODIFIED 51001
#define IDS_ASK_SAVE 51002
#define IDS_HIDETERM_ATTACHED 52000
#define IDS_HIDETERM_DETACHED 52001
#define IDS_COUNT_REGISTERED 52010
#define IDS_COUNT_PICKED 52011
#define IDS_CLIPBOARD_PROGRESS 52020
#define IDS_INVALID_ID 53000
#define IDS_ID_ALREADY_REGISTERED 53001
#define IDS_EDITED_ID_DELETED 53010
#define IDS_EDITED_ID_REPLACED 53011  // the editor's record number now names another ID
#define IDS_NO_DATE_TARGET 53020
#define IDS_NO_KEYWORD_TARGET 53030
#define IDS_APP_TITLE 57344

// Strings of the framework
#define AFX_IDS_APP_TITLE 0xE000
#define AFX_IDS_IDLEMESSAGE 0xE001
#define AFX_IDS_HELPMODEMESSAGE 0xE002
#define AFX_IDS_OPENFILE 0xF000
#define AFX_IDS_SAVEFILE 0xF001
#define AFX_IDS_ALLFILTER 0xF002
#define AFX_IDS_UNTITLED 0xF003
#define AFX_IDP_FAILED_TO_OPEN_DOC 0xF101
#define AFX_IDP_FAILED_TO_SAVE_DOC 0xF102
#define AFX_IDP_ASK_TO_SAVE 0xF103
#define AFX_IDP_FAILED_TO_LAUNCH_HELP 0xF107
#define AFX_IDP_NO_HELP AFX_IDP_FAILED_TO_LAUNCH_HELP  // no help file to show on this system
#define AFX_IDP_PARSE_INT 0xF110
// Messages of the system's font dialog
#define AFX_IDS_FONT_NOT_FOUND 0xF120
#define AFX_IDS_FONT_SIZE_NOT_NUMBER 0xF121
// Button texts of the message boxes, which the system itself supplied on the original platform
#define AFX_IDS_BUTTON_OK 0xF1F1
#define AFX_IDS_BUTTON_CANCEL 0xF1F2
#define AFX_IDS_BUTTON_YES 0xF1F3
#define AFX_IDS_BUTTON_NO 0xF1F4
// The property sheet's own buttons, and the hot-key control's text for no key
#define AFX_IDS_BUTTON_APPLY 0xF1F5
#define AFX_IDS_BUTTON_HELP 0xF1F6
#define AFX_IDS_HOTKEY_NONE 0xF1F7
