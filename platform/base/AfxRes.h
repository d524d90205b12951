// The framework's own ids: its commands, the child windows of its control bars, its strings and
// the bases of its help contexts. A program's resource header includes this one and takes these
// numbers as they are; its string table supplies the framework's texts in its language.
#pragma once

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
// The first pane of a frame: its view
#define AFX_IDW_PANE_FIRST 0xE900

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
#define AFX_IDP_PARSE_INT 0xF110
// Messages of the system's font dialog
#define AFX_IDS_FONT_NOT_FOUND 0xF120
#define AFX_IDS_FONT_SIZE_NOT_NUMBER 0xF121
// Why a file could not be opened or saved: below the headline AFX_IDP_FAILED_TO_OPEN_DOC or
// _SAVE_DOC
#define AFX_IDP_FILE_NOT_FOUND 0xF130
#define AFX_IDP_FILE_ACCESS_DENIED 0xF131
#define AFX_IDP_FILE_IS_FOLDER 0xF132
#define AFX_IDP_FILE_NOT_REGULAR 0xF133
#define AFX_IDP_FILE_DISK_FULL 0xF134
#define AFX_IDP_FILE_READ_ONLY_FS 0xF135
#define AFX_IDP_FILE_HARD_IO 0xF136
#define AFX_IDP_FILE_GENERIC 0xF137  // %1: the system's error number
#define AFX_IDP_FILE_IN_USE 0xF138   // another program has the data file open
// A symbolic link where the program makes files of its own; the data file's lock file (%1)
// cannot be used, the reason below it
#define AFX_IDP_FILE_IS_LINK 0xF139
#define AFX_IDP_LOCK_UNUSABLE 0xF13A
// Changes kept at an end signal, offered when their file opens again; %1: the file
#define AFX_IDP_OFFER_RECOVERY 0xF140
// Said in the message log as the program ends on a signal: %1 where the changes went, or the
// places tried (the reason follows)
#define AFX_IDS_RECOVERY_KEPT 0xF141
#define AFX_IDS_RECOVERY_LOST 0xF142
// Button texts of the message boxes, which the system itself supplied on the original platform
#define AFX_IDS_BUTTON_OK 0xF1F1
#define AFX_IDS_BUTTON_CANCEL 0xF1F2
#define AFX_IDS_BUTTON_YES 0xF1F3
#define AFX_IDS_BUTTON_NO 0xF1F4
// The property sheet's own buttons, and the hot-key control's text for no key
#define AFX_IDS_BUTTON_APPLY 0xF1F5
#define AFX_IDS_BUTTON_HELP 0xF1F6
#define AFX_IDS_HOTKEY_NONE 0xF1F7
// The help window
#define AFX_IDS_HELP_CAPTION 0xF210
#define AFX_IDS_HELP_CONTENTS 0xF211
#define AFX_IDS_HELP_SEARCH 0xF212
#define AFX_IDS_HELP_BACK 0xF213
#define AFX_IDS_HELP_FORWARD 0xF214
#define AFX_IDS_HELP_SEARCH_WORDS 0xF215
#define AFX_IDS_HELP_FOUND 0xF216
#define AFX_IDS_HELP_NOT_FOUND 0xF217

// Help contexts of the framework: a command's (menu item, tool button, key), a resource's (a
// frame window, a dialog or page by its template) and a control bar's, each its id plus a base.
#define HID_BASE_COMMAND 0x00010000
#define HID_BASE_RESOURCE 0x00020000
#define HID_BASE_CONTROL 0x00050000

// Said once at start when the program does not run on X11
#define AFX_IDS_NEEDS_X11 0xF1F8
// The clipboard's text could not be fetched beside the window (no thread to be had)
#define AFX_IDS_CLIPBOARD_NO_THREAD 0xF1F9
// Another program's text stopped coming midway (its owner stopped answering, or it passed the
// most the program takes); what came of it was picked up
#define AFX_IDS_CLIPBOARD_CUT 0xF1FA
// The hot key's description in the desktop's list of shortcuts (Wayland sessions), and what is
// said once when no desktop portal takes it there
#define AFX_IDS_HOTKEY_SHORTCUT 52120
#define AFX_IDS_HOTKEY_FOCUS_ONLY 52121
