// Resource and command ids. The numbers are fixed: menus, accelerators, other programs and the
// settings file know them.
#pragma once

#include "platform/base/AfxRes.h"

// Resources
#define IDR_MAINFRAME 128  // menu, accelerators, tool bar, icon and the document string
#define IDR_IDLIST 129     // the ID list: its help context (its answer to WM_HELPHITTEST)
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

// Controls of the dialogs, one block per template. Runs that the code walks by offset (the memo
// fields, the targets, the formats, the swatches) stay contiguous.

// IDD_ABOUTBOX: filled from the program's version information
#define IDC_PRODUCT_NAME 2010
#define IDC_VERSION 2011
#define IDC_COPYRIGHT 2012

// IDD_PERSONAL_DATA: a label and an edit per field (handle, then memo 1..6), three read-only rows
#define IDC_LABEL_HANDLE 2110
#define IDC_LABEL_MEMO1 2111
#define IDC_LABEL_MEMO2 2112
#define IDC_LABEL_MEMO3 2113
#define IDC_LABEL_MEMO4 2114
#define IDC_LABEL_MEMO5 2115
#define IDC_LABEL_MEMO6 2116
#define IDC_HANDLE 2120
#define IDC_MEMO1 2121
#define IDC_MEMO2 2122
#define IDC_MEMO3 2123
#define IDC_MEMO4 2124
#define IDC_MEMO5 2125
#define IDC_MEMO6 2126
#define IDC_REGIST_DATE 2130
#define IDC_PREV_UPDATE_DATE 2131
#define IDC_UPDATE_COUNT 2132

// IDD_REGIST_ID
#define IDC_NEW_ID 2210
#define IDC_NEW_HANDLE 2211

// IDD_SPECIFY_DATE: the date with its arrows, the targets, the condition (a radio group)
#define IDC_YEAR 2310
#define IDC_MONTH 2311
#define IDC_DAY 2312
#define IDC_TARGET_REGIST_DATE 2320
#define IDC_TARGET_UPDATE_DATE 2321
#define IDC_ON_OR_BEFORE 2330
#define IDC_ON_THE_DAY 2331
#define IDC_ON_OR_AFTER 2332
#define IDC_YEAR_SPIN 2340
#define IDC_MONTH_SPIN 2341
#define IDC_DAY_SPIN 2342
#define IDC_CURRENT_DATE 2350

// IDD_SPECIFY_KEYWORD: the keyword, the targets (ID, handle, memo 1..6), match case
#define IDC_KEYWORD 2410
#define IDC_TARGET_ID 2420
#define IDC_TARGET_HANDLE 2421
#define IDC_TARGET_MEMO1 2422
#define IDC_TARGET_MEMO2 2423
#define IDC_TARGET_MEMO3 2424
#define IDC_TARGET_MEMO4 2425
#define IDC_TARGET_MEMO5 2426
#define IDC_TARGET_MEMO6 2427
#define IDC_MATCH_CASE 2430

// IDD_SEND_FORMAT
#define IDC_EXPANDED_FORMATS 2510

// IDD_PROPERTY_ENVIRON
#define IDC_RESIDENT 3010
#define IDC_HOT_KEY 3011
#define IDC_BACKUP 3020
#define IDC_AUTO_SAVE 3021

// IDD_PROPERTY_VIEW: the column list and its buttons, the captions (handle, then memo 1..6)
#define IDC_COLUMNS 3110
#define IDC_COLUMN_UP 3120
#define IDC_COLUMN_DOWN 3121
#define IDC_CAPTION_HANDLE 3130
#define IDC_CAPTION_MEMO1 3131
#define IDC_CAPTION_MEMO2 3132
#define IDC_CAPTION_MEMO3 3133
#define IDC_CAPTION_MEMO4 3134
#define IDC_CAPTION_MEMO5 3135
#define IDC_CAPTION_MEMO6 3136

// IDD_PROPERTY_PICKUP
#define IDC_NO_PICKUP_IDS 3210
#define IDC_ADD_NO_PICKUP_ID 3220
#define IDC_DELETE_NO_PICKUP_ID 3221
#define IDC_HIDETERM_PICKUP 3230
#define IDC_CLIPBOARD_PICKUP 3231

// IDD_PROPERTY_HELPER: helper formats 0..6
#define IDC_HELPER_FORMAT0 3310
#define IDC_HELPER_FORMAT1 3311
#define IDC_HELPER_FORMAT2 3312
#define IDC_HELPER_FORMAT3 3313
#define IDC_HELPER_FORMAT4 3314
#define IDC_HELPER_FORMAT5 3315
#define IDC_HELPER_FORMAT6 3316

// IDD_PROPERTY_COLOR: the categories, 18 swatches in rows of six, the sample, the defaults
#define IDC_COLOR_CATEGORY 3410
#define IDC_SWATCH0 3420
#define IDC_SWATCH1 3421
#define IDC_SWATCH2 3422
#define IDC_SWATCH3 3423
#define IDC_SWATCH4 3424
#define IDC_SWATCH5 3425
#define IDC_SWATCH6 3426
#define IDC_SWATCH7 3427
#define IDC_SWATCH8 3428
#define IDC_SWATCH9 3429
#define IDC_SWATCH10 3430
#define IDC_SWATCH11 3431
#define IDC_SWATCH12 3432
#define IDC_SWATCH13 3433
#define IDC_SWATCH14 3434
#define IDC_SWATCH15 3435
#define IDC_SWATCH16 3436
#define IDC_SWATCH17 3437
#define IDC_COLOR_SAMPLE 3440
#define IDC_DEFAULT_COLORS 3441

// IDD_NO_PICKUP_ID
#define IDC_NO_PICKUP_ID 4010

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
#define IDS_HIDETERM_TEXT_CUT 52002  // a text longer than the frame reads of one message
#define IDS_COUNT_REGISTERED 52010
#define IDS_COUNT_PICKED 52011
#define IDS_COUNT_SHOWN 52012  // rows a display filter leaves of the registered ones
#define IDS_CLIPBOARD_PROGRESS 52020
#define IDS_NO_TRAY 52100                 // resident without a tray: the window stays shown
#define IDS_HANDED_OVER_NOT_OPENED 52101  // a second start's file while a dialog is open
#define IDS_INVALID_ID 53000
#define IDS_ID_ALREADY_REGISTERED 53001
#define IDS_EDITED_ID_DELETED 53010
#define IDS_EDITED_ID_REPLACED 53011  // the editor's record number now names another ID
#define IDS_NO_DATE_TARGET 53020
#define IDS_NO_KEYWORD_TARGET 53030
#define IDS_APP_TITLE 57344
