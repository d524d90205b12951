#include <iterator>

#include "platform/base/CommonDialogIds.h"
#include "res/Resources.h"
#include "res/resource.h"

namespace res {
namespace {

constexpr std::uint32_t kChild = WS_CHILD | WS_VISIBLE;
constexpr std::uint32_t kDialog = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
constexpr int kPoint = 9;
constexpr unsigned kIdOk = 1;
constexpr unsigned kIdCancel = 2;

constexpr std::uint32_t kPush = kChild | WS_TABSTOP | BS_PUSHBUTTON;
constexpr std::uint32_t kDefPush = kChild | WS_TABSTOP | BS_DEFPUSHBUTTON;
constexpr std::uint32_t kCheck = kChild | WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr std::uint32_t kGroupBox = kChild | BS_GROUPBOX;
constexpr std::uint32_t kLabel = kChild | SS_LEFT;
constexpr std::uint32_t kEdit = kChild | WS_TABSTOP | WS_BORDER | ES_LEFT | ES_AUTOHSCROLL;
constexpr std::uint32_t kReadOnlyField = kChild | SS_CENTER | SS_SUNKEN;
constexpr std::uint32_t kUpDown =
    kChild | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_AUTOBUDDY | UDS_ARROWKEYS | UDS_NOTHOUSANDS;

// The personal data editor: seven caption rows, then three read-only rows.
constexpr DialogItem kPersonalData[] = {
    {IDC_LABEL_HANDLE, DlgCtl::Static, kLabel, "HANDLE", 7, 9, 46, 8},
    {IDC_HANDLE, DlgCtl::Edit, kEdit, nullptr, 56, 7, 127, 12},
    {IDC_LABEL_MEMO1, DlgCtl::Static, kLabel, "MEMO1", 7, 25, 46, 8},
    {IDC_MEMO1, DlgCtl::Edit, kEdit, nullptr, 56, 23, 127, 12},
    {IDC_LABEL_MEMO2, DlgCtl::Static, kLabel, "MEMO2", 7, 41, 46, 8},
    {IDC_MEMO2, DlgCtl::Edit, kEdit, nullptr, 56, 39, 127, 12},
    {IDC_LABEL_MEMO3, DlgCtl::Static, kLabel, "MEMO3", 7, 57, 46, 8},
    {IDC_MEMO3, DlgCtl::Edit, kEdit, nullptr, 56, 55, 127, 12},
    {IDC_LABEL_MEMO4, DlgCtl::Static, kLabel, "MEMO4", 7, 73, 46, 8},
    {IDC_MEMO4, DlgCtl::Edit, kEdit, nullptr, 56, 71, 127, 12},
    {IDC_LABEL_MEMO5, DlgCtl::Static, kLabel, "MEMO5", 7, 89, 46, 8},
    {IDC_MEMO5, DlgCtl::Edit, kEdit, nullptr, 56, 87, 127, 12},
    {IDC_LABEL_MEMO6, DlgCtl::Static, kLabel, "MEMO6", 7, 105, 46, 8},
    {IDC_MEMO6, DlgCtl::Edit, kEdit, nullptr, 56, 103, 127, 12},
    {IDC_STATIC, DlgCtl::Static, kLabel, "登録日付 :", 7, 126, 60, 8},
    {IDC_REGIST_DATE, DlgCtl::Static, kReadOnlyField, "REGISTDATE", 70, 124, 64, 12},
    {IDC_STATIC, DlgCtl::Static, kLabel, "前回更新日付 :", 7, 140, 60, 8},
    {IDC_PREV_UPDATE_DATE, DlgCtl::Static, kReadOnlyField, "UPDATEDATE", 70, 138, 64, 12},
    {IDC_STATIC, DlgCtl::Static, kLabel, "更新回数 :", 7, 154, 60, 8},
    {IDC_UPDATE_COUNT, DlgCtl::Static, kReadOnlyField, "UPDATECOUNT", 70, 152, 64, 12},
    {kIdOk, DlgCtl::Button, kDefPush | WS_GROUP, "OK", 21, 171, 50, 14},
    {kIdCancel, DlgCtl::Button, kPush, "ｷｬﾝｾﾙ", 76, 171, 50, 14},
    {ID_HELP, DlgCtl::Button, kPush, "ﾍﾙﾌﾟ", 131, 171, 50, 14},
};

// The registration dialog: two simple combo boxes side by side, the buttons on the right.
constexpr std::uint32_t kSimpleCombo =
    kChild | WS_TABSTOP | WS_VSCROLL | CBS_SIMPLE | CBS_SORT | CBS_AUTOHSCROLL | CBS_HASSTRINGS;
constexpr DialogItem kRegistID[] = {
    {IDC_STATIC, DlgCtl::Static, kLabel, "新規ID(&I):", 7, 7, 74, 8},
    {IDC_NEW_ID, DlgCtl::ComboBox, kSimpleCombo | WS_GROUP, nullptr, 7, 17, 74, 111},
    {IDC_STATIC, DlgCtl::Static, kLabel, "新規ﾊﾝﾄﾞﾙ(&H):", 87, 7, 76, 8},
    {IDC_NEW_HANDLE, DlgCtl::ComboBox, kSimpleCombo | WS_GROUP, nullptr, 87, 17, 76, 111},
    {kIdOk, DlgCtl::Button, kDefPush | WS_GROUP, "登録", 170, 7, 50, 14},
    {kIdCancel, DlgCtl::Button, kPush, "閉じる", 170, 24, 50, 14},
    {ID_HELP, DlgCtl::Button, kPush, "ﾍﾙﾌﾟ", 170, 41, 50, 14},
};

// The date filter: year, month and day each with its arrows, the targets and the condition.
constexpr DialogItem kSpecifyDate[] = {
    {IDC_YEAR, DlgCtl::Edit, kEdit | WS_GROUP, nullptr, 7, 8, 36, 12},
    {IDC_YEAR_SPIN, DlgCtl::UpDown, kUpDown, nullptr, 43, 8, 10, 12},
    {IDC_STATIC, DlgCtl::Static, kLabel, "年", 45, 10, 10, 8},
    {IDC_MONTH, DlgCtl::Edit, kEdit | WS_GROUP, nullptr, 57, 8, 26, 12},
    {IDC_MONTH_SPIN, DlgCtl::UpDown, kUpDown, nullptr, 83, 8, 10, 12},
    {IDC_STATIC, DlgCtl::Static, kLabel, "月", 85, 10, 10, 8},
    {IDC_DAY, DlgCtl::Edit, kEdit | WS_GROUP, nullptr, 97, 8, 26, 12},
    {IDC_DAY_SPIN, DlgCtl::UpDown, kUpDown, nullptr, 123, 8, 10, 12},
    {IDC_STATIC, DlgCtl::Static, kLabel, "日", 125, 10, 10, 8},
    {IDC_CURRENT_DATE, DlgCtl::Button, kPush | WS_GROUP, "現在の日付(&C)", 7, 26, 66, 14},
    {IDC_STATIC, DlgCtl::Button, kGroupBox | WS_GROUP, "対象", 7, 46, 84, 46},
    {IDC_TARGET_REGIST_DATE, DlgCtl::Button, kCheck | WS_GROUP, "登録日付(&R)", 13, 58, 76, 10},
    {IDC_TARGET_UPDATE_DATE, DlgCtl::Button, kCheck, "前回更新日付(&U)", 13, 74, 76, 10},
    {IDC_STATIC, DlgCtl::Button, kGroupBox | WS_GROUP, "条件", 96, 46, 52, 46},
    {IDC_ON_OR_BEFORE, DlgCtl::Button, kChild | WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON,
     "以前(&B)", 102, 56, 44, 10},
    {IDC_ON_THE_DAY, DlgCtl::Button, kChild | BS_AUTORADIOBUTTON, "一致(&M)", 102, 67, 44, 10},
    {IDC_ON_OR_AFTER, DlgCtl::Button, kChild | BS_AUTORADIOBUTTON, "以後(&A)", 102, 78, 44, 10},
    {kIdOk, DlgCtl::Button, kDefPush | WS_GROUP, "OK", 154, 7, 50, 14},
    {kIdCancel, DlgCtl::Button, kPush, "ｷｬﾝｾﾙ", 154, 24, 50, 14},
    {ID_HELP, DlgCtl::Button, kPush, "ﾍﾙﾌﾟ", 154, 41, 50, 14},
};

// The keyword filter: the keyword with its history, match case, and eight targets in two
// columns.
constexpr DialogItem kSpecifyKeyword[] = {
    {IDC_STATIC, DlgCtl::Static, kLabel, "ｷｰﾜｰﾄﾞ(&K):", 7, 9, 42, 8},
    {IDC_KEYWORD, DlgCtl::ComboBox,
     kChild | WS_TABSTOP | WS_VSCROLL | WS_GROUP | CBS_DROPDOWN | CBS_AUTOHSCROLL, nullptr, 50, 7,
     106, 80},
    {IDC_MATCH_CASE, DlgCtl::Button, kCheck | WS_GROUP, "大文字／小文字の区別(&C)", 50, 24, 106,
     10},
    {IDC_STATIC, DlgCtl::Button, kGroupBox | WS_GROUP, "検索対象(&S):", 7, 40, 149, 74},
    {IDC_TARGET_ID, DlgCtl::Button, kCheck | WS_GROUP, "ID", 14, 53, 60, 10},
    {IDC_TARGET_HANDLE, DlgCtl::Button, kCheck, "HANDLE", 14, 67, 60, 10},
    {IDC_TARGET_MEMO1, DlgCtl::Button, kCheck, "MEMO1", 14, 81, 60, 10},
    {IDC_TARGET_MEMO2, DlgCtl::Button, kCheck, "MEMO2", 14, 95, 60, 10},
    {IDC_TARGET_MEMO3, DlgCtl::Button, kCheck, "MEMO3", 78, 53, 60, 10},
    {IDC_TARGET_MEMO4, DlgCtl::Button, kCheck, "MEMO4", 78, 67, 60, 10},
    {IDC_TARGET_MEMO5, DlgCtl::Button, kCheck, "MEMO5", 78, 81, 60, 10},
    {IDC_TARGET_MEMO6, DlgCtl::Button, kCheck, "MEMO6", 78, 95, 60, 10},
    {kIdOk, DlgCtl::Button, kDefPush | WS_GROUP, "OK", 162, 7, 50, 14},
    {kIdCancel, DlgCtl::Button, kPush, "ｷｬﾝｾﾙ", 162, 24, 50, 14},
    {ID_HELP, DlgCtl::Button, kPush, "ﾍﾙﾌﾟ", 162, 41, 50, 14},
};

// The copy/send chooser: the expanded formats, OK and Cancel.
constexpr DialogItem kSendFormat[] = {
    {IDC_EXPANDED_FORMATS, DlgCtl::ListBox,
     kChild | WS_TABSTOP | WS_VSCROLL | WS_BORDER | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, nullptr, 7,
     7, 117, 61},
    {kIdOk, DlgCtl::Button, kDefPush | WS_GROUP, "OK", 130, 7, 50, 14},
    {kIdCancel, DlgCtl::Button, kPush, "ｷｬﾝｾﾙ", 130, 24, 50, 14},
};

// The list font: the system's font dialog with only the face and size lists left in sight.
// The style list, the sample and the font-type description stay in the template, hidden.
constexpr std::uint32_t kFontCombo = kChild | WS_TABSTOP | WS_VSCROLL | WS_GROUP | CBS_SIMPLE |
                                     CBS_AUTOHSCROLL | CBS_HASSTRINGS | CBS_DISABLENOSCROLL;
constexpr DialogItem kFont[] = {
    {stc1, DlgCtl::Static, kLabel, "ﾌｫﾝﾄ名(&F):", 7, 7, 98, 9},
    {cmb1, DlgCtl::ComboBox, kFontCombo | CBS_SORT, nullptr, 7, 17, 98, 76},
    {stc2, DlgCtl::Static, SS_LEFT | WS_CHILD, "ｽﾀｲﾙ(&Y):", 110, 7, 44, 9},
    {cmb2, DlgCtl::ComboBox, (kFontCombo & ~WS_VISIBLE), nullptr, 110, 17, 44, 76},
    {stc3, DlgCtl::Static, kLabel, "ｻｲｽﾞ(&S):", 110, 7, 36, 9},
    {cmb3, DlgCtl::ComboBox, kFontCombo, nullptr, 110, 17, 36, 76},
    {grp2, DlgCtl::Button, BS_GROUPBOX | WS_CHILD, "ｻﾝﾌﾟﾙ", 7, 97, 139, 0},
    {stc5, DlgCtl::Static, SS_CENTER | WS_CHILD, "AaBbｱｧｶｻﾀﾅ", 13, 97, 127, 0},
    {stc6, DlgCtl::Static, SS_LEFT | WS_CHILD, nullptr, 7, 97, 139, 0},
    {kIdOk, DlgCtl::Button, kDefPush | WS_GROUP, "OK", 154, 7, 50, 14},
    {kIdCancel, DlgCtl::Button, kPush, "ｷｬﾝｾﾙ", 154, 24, 50, 14},
    {pshHelp, DlgCtl::Button, kPush, "ﾍﾙﾌﾟ(&H)", 154, 41, 50, 14},
};

// The About box: the icon, three lines filled at run time from the program's version
// information ("?" while there is none), and the maker's notice; wide enough for the
// program's own copyright line on one line in a Japanese font.
constexpr DialogItem kAbout[] = {
    {IDC_STATIC, DlgCtl::Static, kChild | SS_ICON, "128", 8, 8, 20, 20},
    {IDC_PRODUCT_NAME, DlgCtl::Static, kChild | SS_CENTER | SS_NOPREFIX, "?", 32, 8, 188, 8},
    {IDC_VERSION, DlgCtl::Static, kChild | SS_CENTER, "?", 32, 18, 188, 8},
    {IDC_COPYRIGHT, DlgCtl::Static, kChild | SS_CENTER, "?", 32, 32, 188, 8},
    {IDC_STATIC, DlgCtl::Static, kChild | SS_CENTER,
     "連絡先: Brambl Free Software\n本ソフトウェアの無断転載を禁じます。", 32, 42, 188, 20},
    {kIdOk, DlgCtl::Button, kDefPush | WS_GROUP, "OK", 60, 68, 48, 14},
    {ID_HELP, DlgCtl::Button, kPush, "ﾍﾙﾌﾟ", 118, 68, 48, 14},
};

// Pages of the options sheet: child windows, of one size but the colour page; the caption names
// the tab.
constexpr std::uint32_t kPage = WS_CHILD | DS_SETFONT;
constexpr short kPageCx = 262;
constexpr short kPageCy = 143;
// The colour page is wider: its button ﾃﾞﾌｫﾙﾄに戻す beside the sample needs the room in a
// Japanese font.
constexpr short kColorPageCx = kPageCx + 10;

constexpr DialogItem kPropertyEnviron[] = {
    {IDC_STATIC, DlgCtl::Button, kGroupBox, "動作ｵﾌﾟｼｮﾝ", 7, 7, 248, 56},
    {IDC_RESIDENT, DlgCtl::Button, kCheck | WS_GROUP, "ﾀｽｸﾊﾞｰﾄﾚｲに常駐する(&R)", 15, 21, 160, 10},
    {IDC_STATIC, DlgCtl::Static, kLabel, "ﾎｯﾄｷｰ(&K):", 15, 41, 40, 8},
    {IDC_HOT_KEY, DlgCtl::HotKey, kChild | WS_TABSTOP | WS_BORDER | WS_GROUP, nullptr, 58, 39, 110,
     12},
    {IDC_STATIC, DlgCtl::Button, kGroupBox, "保存ｵﾌﾟｼｮﾝ", 7, 70, 248, 48},
    {IDC_BACKUP, DlgCtl::Button, kCheck | WS_GROUP, "ﾊﾞｯｸｱｯﾌﾟﾌｧｲﾙを作成する(&B)", 15, 84, 160, 10},
    {IDC_AUTO_SAVE, DlgCtl::Button, kCheck, "終了時に自動保存する(&A)", 15, 100, 160, 10},
};

constexpr std::uint32_t kBorderedList =
    kChild | WS_TABSTOP | WS_VSCROLL | WS_BORDER | WS_GROUP | LBS_NOINTEGRALHEIGHT;
constexpr DialogItem kPropertyView[] = {
    {IDC_STATIC, DlgCtl::Button, kGroupBox, "一覧表示(&V)", 7, 7, 118, 129},
    {IDC_COLUMNS, DlgCtl::ListBox, kBorderedList | LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS,
     nullptr, 14, 19, 104, 94},
    {IDC_COLUMN_UP, DlgCtl::Button, kPush | WS_GROUP, "上に(&U)", 14, 117, 50, 14},
    {IDC_COLUMN_DOWN, DlgCtl::Button, kPush, "下に(&D)", 68, 117, 50, 14},
    {IDC_STATIC, DlgCtl::Button, kGroupBox, "ﾊﾟｰｿﾅﾙﾃﾞｰﾀのｷｬﾌﾟｼｮﾝ", 131, 7, 124, 129},
    {IDC_STATIC, DlgCtl::Static, kLabel, "ﾊﾝﾄﾞﾙ(&H):", 138, 21, 40, 8},
    {IDC_CAPTION_HANDLE, DlgCtl::Edit, kEdit | WS_GROUP, nullptr, 180, 19, 68, 12},
    {IDC_STATIC, DlgCtl::Static, kLabel, "ﾒﾓ1(&1):", 138, 37, 40, 8},
    {IDC_CAPTION_MEMO1, DlgCtl::Edit, kEdit | WS_GROUP, nullptr, 180, 35, 68, 12},
    {IDC_STATIC, DlgCtl::Static, kLabel, "ﾒﾓ2(&2):", 138, 53, 40, 8},
    {IDC_CAPTION_MEMO2, DlgCtl::Edit, kEdit | WS_GROUP, nullptr, 180, 51, 68, 12},
    {IDC_STATIC, DlgCtl::Static, kLabel, "ﾒﾓ3(&3):", 138, 69, 40, 8},
    {IDC_CAPTION_MEMO3, DlgCtl::Edit, kEdit | WS_GROUP, nullptr, 180, 67, 68, 12},
    {IDC_STATIC, DlgCtl::Static, kLabel, "ﾒﾓ4(&4):", 138, 85, 40, 8},
    {IDC_CAPTION_MEMO4, DlgCtl::Edit, kEdit | WS_GROUP, nullptr, 180, 83, 68, 12},
    {IDC_STATIC, DlgCtl::Static, kLabel, "ﾒﾓ5(&5):", 138, 101, 40, 8},
    {IDC_CAPTION_MEMO5, DlgCtl::Edit, kEdit | WS_GROUP, nullptr, 180, 99, 68, 12},
    {IDC_STATIC, DlgCtl::Static, kLabel, "ﾒﾓ6(&6):", 138, 117, 40, 8},
    {IDC_CAPTION_MEMO6, DlgCtl::Edit, kEdit | WS_GROUP, nullptr, 180, 115, 68, 12},
};

constexpr DialogItem kPropertyPickup[] = {
    {IDC_STATIC, DlgCtl::Button, kGroupBox, "ﾋﾟｯｸｱｯﾌﾟｵﾌﾟｼｮﾝ", 7, 7, 248, 44},
    {IDC_HIDETERM_PICKUP, DlgCtl::Button, kCheck | WS_GROUP, "秀Termからﾋﾟｯｸｱｯﾌﾟする(&H)", 15, 20,
     170, 10},
    {IDC_CLIPBOARD_PICKUP, DlgCtl::Button, kCheck, "ｸﾘｯﾌﾟﾎﾞｰﾄﾞからﾋﾟｯｸｱｯﾌﾟする(&C)", 15, 34, 170,
     10},
    {IDC_STATIC, DlgCtl::Button, kGroupBox, "ﾋﾟｯｸｱｯﾌﾟしないID(&N)", 7, 58, 248, 78},
    {IDC_NO_PICKUP_IDS, DlgCtl::ListBox, kBorderedList | LBS_SORT, nullptr, 15, 71, 120, 58},
    {IDC_ADD_NO_PICKUP_ID, DlgCtl::Button, kPush | WS_GROUP, "追加(&A)...", 143, 71, 50, 14},
    {IDC_DELETE_NO_PICKUP_ID, DlgCtl::Button, kPush, "削除(&D)", 143, 89, 50, 14},
};

constexpr DialogItem kPropertyHelper[] = {
    {IDC_STATIC, DlgCtl::Button, kGroupBox, "ﾍﾙﾊﾟﾌｫｰﾏｯﾄ", 7, 7, 248, 129},
    {IDC_STATIC, DlgCtl::Static, kLabel, "&0:", 15, 21, 14, 8},
    {IDC_HELPER_FORMAT0, DlgCtl::Edit, kEdit | WS_GROUP, nullptr, 31, 19, 216, 12},
    {IDC_STATIC, DlgCtl::Static, kLabel, "&1:", 15, 37, 14, 8},
    {IDC_HELPER_FORMAT1, DlgCtl::Edit, kEdit | WS_GROUP, nullptr, 31, 35, 216, 12},
    {IDC_STATIC, DlgCtl::Static, kLabel, "&2:", 15, 53, 14, 8},
    {IDC_HELPER_FORMAT2, DlgCtl::Edit, kEdit | WS_GROUP, nullptr, 31, 51, 216, 12},
    {IDC_STATIC, DlgCtl::Static, kLabel, "&3:", 15, 69, 14, 8},
    {IDC_HELPER_FORMAT3, DlgCtl::Edit, kEdit | WS_GROUP, nullptr, 31, 67, 216, 12},
    {IDC_STATIC, DlgCtl::Static, kLabel, "&4:", 15, 85, 14, 8},
    {IDC_HELPER_FORMAT4, DlgCtl::Edit, kEdit | WS_GROUP, nullptr, 31, 83, 216, 12},
    {IDC_STATIC, DlgCtl::Static, kLabel, "&5:", 15, 101, 14, 8},
    {IDC_HELPER_FORMAT5, DlgCtl::Edit, kEdit | WS_GROUP, nullptr, 31, 99, 216, 12},
    {IDC_STATIC, DlgCtl::Static, kLabel, "&6:", 15, 117, 14, 8},
    {IDC_HELPER_FORMAT6, DlgCtl::Edit, kEdit | WS_GROUP, nullptr, 31, 115, 216, 12},
};

// The colour page: three rows of six swatches that draw themselves, and the sample list.
constexpr std::uint32_t kSwatch = kChild | WS_TABSTOP | BS_OWNERDRAW;
#define VELKON_SWATCH(n, label)                                                  \
    {                                                                            \
        IDC_SWATCH0 + (n), DlgCtl::Button, kSwatch, label, 100 + 25 * ((n) % 6), \
            16 + 14 * ((n) / 6), 21, 11                                          \
    }
constexpr DialogItem kPropertyColor[] = {
    {IDC_STATIC, DlgCtl::Button, kGroupBox, "ｶﾃｺﾞﾘ(&Y)", 7, 5, 80, 57},
    {IDC_COLOR_CATEGORY, DlgCtl::ListBox, kBorderedList | LBS_NOTIFY, nullptr, 14, 16, 66, 40},
    {IDC_STATIC, DlgCtl::Button, kGroupBox, "色(&C)", 93, 5, 162, 57},
    VELKON_SWATCH(0, "0"),
    VELKON_SWATCH(1, "1"),
    VELKON_SWATCH(2, "2"),
    VELKON_SWATCH(3, "3"),
    VELKON_SWATCH(4, "4"),
    VELKON_SWATCH(5, "5"),
    VELKON_SWATCH(6, "6"),
    VELKON_SWATCH(7, "7"),
    VELKON_SWATCH(8, "8"),
    VELKON_SWATCH(9, "9"),
    VELKON_SWATCH(10, "10"),
    VELKON_SWATCH(11, "11"),
    VELKON_SWATCH(12, "12"),
    VELKON_SWATCH(13, "13"),
    VELKON_SWATCH(14, "14"),
    VELKON_SWATCH(15, "15"),
    VELKON_SWATCH(16, "16"),
    VELKON_SWATCH(17, "17"),
    {IDC_STATIC, DlgCtl::Button, kGroupBox, "ｻﾝﾌﾟﾙ", 7, 65, 190, 76},
    {IDC_COLOR_SAMPLE, DlgCtl::ListView,
     kChild | WS_TABSTOP | WS_BORDER | WS_GROUP | LVS_REPORT | LVS_SINGLESEL | LVS_SHAREIMAGELISTS |
         LVS_OWNERDRAWFIXED,
     nullptr, 14, 76, 176, 60},
    {IDC_DEFAULT_COLORS, DlgCtl::Button, kPush | WS_GROUP, "ﾃﾞﾌｫﾙﾄに戻す(&D)", 201, 127, 64, 14},
};
#undef VELKON_SWATCH

// One ID that is never picked up.
constexpr DialogItem kNoPickupID[] = {
    {IDC_NO_PICKUP_ID, DlgCtl::Edit, kEdit | WS_GROUP, nullptr, 7, 7, 128, 12},
    {kIdOk, DlgCtl::Button, kDefPush | WS_GROUP, "OK", 17, 26, 50, 14},
    {kIdCancel, DlgCtl::Button, kPush, "ｷｬﾝｾﾙ", 75, 26, 50, 14},
};

constexpr DialogResource kDialogs[] = {
    {IDD_ABOUTBOX, kDialog, "このVelkonについて", 228, 87, kPoint, kAbout, std::size(kAbout)},
    {IDD_PERSONAL_DATA, kDialog | WS_VISIBLE, " - ﾊﾟｰｿﾅﾙﾃﾞｰﾀの編集", 190, 191, kPoint,
     kPersonalData, std::size(kPersonalData)},
    {IDD_REGIST_ID, kDialog, "IDの登録", 227, 135, kPoint, kRegistID, std::size(kRegistID)},
    {IDD_SPECIFY_DATE, kDialog, "日付を指定して表示", 211, 99, kPoint, kSpecifyDate,
     std::size(kSpecifyDate)},
    {IDD_SPECIFY_KEYWORD, kDialog, "ｷｰﾜｰﾄﾞを指定して表示", 219, 135, kPoint, kSpecifyKeyword,
     std::size(kSpecifyKeyword)},
    {IDD_SEND_FORMAT, kDialog, "秀Termに送信", 187, 75, kPoint, kSendFormat,
     std::size(kSendFormat)},
    {IDD_PROPERTY_ENVIRON, kPage, "動作環境", kPageCx, kPageCy, kPoint, kPropertyEnviron,
     std::size(kPropertyEnviron)},
    {IDD_PROPERTY_VIEW, kPage, "表示設定", kPageCx, kPageCy, kPoint, kPropertyView,
     std::size(kPropertyView)},
    {IDD_PROPERTY_PICKUP, kPage, "ﾋﾟｯｸｱｯﾌﾟ設定", kPageCx, kPageCy, kPoint, kPropertyPickup,
     std::size(kPropertyPickup)},
    {IDD_PROPERTY_HELPER, kPage, "ｺﾋﾟｰ/送信ﾍﾙﾊﾟ設定", kPageCx, kPageCy, kPoint, kPropertyHelper,
     std::size(kPropertyHelper)},
    {IDD_PROPERTY_COLOR, kPage, "色設定", kColorPageCx, kPageCy, kPoint, kPropertyColor,
     std::size(kPropertyColor)},
    {IDD_NO_PICKUP_ID, kDialog, "ﾋﾟｯｸｱｯﾌﾟしないIDの追加", 142, 47, kPoint, kNoPickupID,
     std::size(kNoPickupID)},
    {IDD_FONT, kDialog, "ﾌｫﾝﾄ", 211, 100, kPoint, kFont, std::size(kFont)},
};

}  // namespace

std::span<const DialogResource> Dialogs() {
    return kDialogs;
}

}  // namespace res
