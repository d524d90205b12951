#include <iterator>

#include "res/CommonDialogIds.h"
#include "res/DialogStyles.h"
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
    {2110, DlgCtl::Static, kLabel, "HANDLE", 7, 9, 46, 8},
    {2120, DlgCtl::Edit, kEdit, nullptr, 56, 7, 127, 12},
    {2111, DlgCtl::Static, kLabel, "MEMO1", 7, 25, 46, 8},
    {2121, DlgCtl::Edit, kEdit, nullptr, 56, 23, 127, 12},
    {2112, DlgCtl::Static, kLabel, "MEMO2", 7, 41, 46, 8},
    {2122, DlgCtl::Edit, kEdit, nullptr, 56, 39, 127, 12},
    {2113, DlgCtl::Static, kLabel, "MEMO3", 7, 57, 46, 8},
    {2123, DlgCtl::Edit, kEdit, nullptr, 56, 55, 127, 12},
    {2114, DlgCtl::Static, kLabel, "MEMO4", 7, 73, 46, 8},
    {2124, DlgCtl::Edit, kEdit, nullptr, 56, 71, 127, 12},
    {2115, DlgCtl::Static, kLabel, "MEMO5", 7, 89, 46, 8},
    {2125, DlgCtl::Edit, kEdit, nullptr, 56, 87, 127, 12},
    {2116, DlgCtl::Static, kLabel, "MEMO6", 7, 105, 46, 8},
    {2126, DlgCtl::Edit, kEdit, nullptr, 56, 103, 127, 12},
    {IDC_STATIC, DlgCtl::Static, kLabel, "登録日付 :", 7, 126, 60, 8},
    {2130, DlgCtl::Static, kReadOnlyField, "REGISTDATE", 70, 124, 64, 12},
    {IDC_STATIC, DlgCtl::Static, kLabel, "前回更新日付 :", 7, 140, 60, 8},
    {2131, DlgCtl::Static, kReadOnlyField, "UPDATEDATE", 70, 138, 64, 12},
    {IDC_STATIC, DlgCtl::Static, kLabel, "更新回数 :", 7, 154, 60, 8},
    {2132, DlgCtl::Static, kReadOnlyField, "UPDATECOUNT", 70, 152, 64, 12},
    {kIdOk, DlgCtl::Button, kDefPush | WS_GROUP, "OK", 21, 171, 50, 14},
    {kIdCancel, DlgCtl::Button, kPush, "ｷｬﾝｾﾙ", 76, 171, 50, 14},
    {ID_HELP, DlgCtl::Button, kPush, "ﾍﾙﾌﾟ", 131, 171, 50, 14},
};

// The registration dialog: two simple combo boxes side by side, the buttons on the right.
constexpr std::uint32_t kSimpleCombo =
    kChild | WS_TABSTOP | WS_VSCROLL | CBS_SIMPLE | CBS_SORT | CBS_AUTOHSCROLL | CBS_HASSTRINGS;
constexpr DialogItem kRegistID[] = {
    {IDC_STATIC, DlgCtl::Static, kLabel, "新規ID(&I):", 7, 7, 74, 8},
    {2210, DlgCtl::ComboBox, kSimpleCombo | WS_GROUP, nullptr, 7, 17, 74, 111},
    {IDC_STATIC, DlgCtl::Static, kLabel, "新規ﾊﾝﾄﾞﾙ(&H):", 87, 7, 76, 8},
    {2211, DlgCtl::ComboBox, kSimpleCombo | WS_GROUP, nullptr, 87, 17, 76, 111},
    {kIdOk, DlgCtl::Button, kDefPush | WS_GROUP, "登録", 170, 7, 50, 14},
    {kIdCancel, DlgCtl::Button, kPush, "閉じる", 170, 24, 50, 14},
    {ID_HELP, DlgCtl::Button, kPush, "ﾍﾙﾌﾟ", 170, 41, 50, 14},
};

// The date filter: year, month and day each with its arrows, the targets and the condition.
constexpr DialogItem kSpecifyDate[] = {
    {2310, DlgCtl::Edit, kEdit | WS_GROUP, nullptr, 7, 8, 36, 12},
    {2340, DlgCtl::UpDown, kUpDown, nullptr, 43, 8, 10, 12},
    {IDC_STATIC, DlgCtl::Static, kLabel, "年", 45, 10, 10, 8},
    {2311, DlgCtl::Edit, kEdit | WS_GROUP, nullptr, 57, 8, 26, 12},
    {2341, DlgCtl::UpDown, kUpDown, nullptr, 83, 8, 10, 12},
    {IDC_STATIC, DlgCtl::Static, kLabel, "月", 85, 10, 10, 8},
    {2312, DlgCtl::Edit, kEdit | WS_GROUP, nullptr, 97, 8, 26, 12},
    {2342, DlgCtl::UpDown, kUpDown, nullptr, 123, 8, 10, 12},
    {IDC_STATIC, DlgCtl::Static, kLabel, "日", 125, 10, 10, 8},
    {2350, DlgCtl::Button, kPush | WS_GROUP, "現在の日付(&C)", 7, 26, 66, 14},
    {IDC_STATIC, DlgCtl::Button, kGroupBox | WS_GROUP, "対象", 7, 46, 80, 46},
    {2320, DlgCtl::Button, kCheck | WS_GROUP, "登録日付(&R)", 13, 58, 72, 10},
    {2321, DlgCtl::Button, kCheck, "前回更新日付(&U)", 13, 74, 72, 10},
    {IDC_STATIC, DlgCtl::Button, kGroupBox | WS_GROUP, "条件", 92, 46, 48, 46},
    {2330, DlgCtl::Button, kChild | WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON, "以前(&B)", 98,
     56, 40, 10},
    {2331, DlgCtl::Button, kChild | BS_AUTORADIOBUTTON, "一致(&M)", 98, 67, 40, 10},
    {2332, DlgCtl::Button, kChild | BS_AUTORADIOBUTTON, "以後(&A)", 98, 78, 40, 10},
    {kIdOk, DlgCtl::Button, kDefPush | WS_GROUP, "OK", 146, 7, 50, 14},
    {kIdCancel, DlgCtl::Button, kPush, "ｷｬﾝｾﾙ", 146, 24, 50, 14},
    {ID_HELP, DlgCtl::Button, kPush, "ﾍﾙﾌﾟ", 146, 41, 50, 14},
};

// The keyword filter: the keyword with its history, match case, and eight targets in two
// columns.
constexpr DialogItem kSpecifyKeyword[] = {
    {IDC_STATIC, DlgCtl::Static, kLabel, "ｷｰﾜｰﾄﾞ(&K):", 7, 9, 42, 8},
    {2410, DlgCtl::ComboBox,
     kChild | WS_TABSTOP | WS_VSCROLL | WS_GROUP | CBS_DROPDOWN | CBS_AUTOHSCROLL, nullptr, 50, 7,
     94, 80},
    {2430, DlgCtl::Button, kCheck | WS_GROUP, "大文字／小文字の区別(&C)", 50, 24, 94, 10},
    {IDC_STATIC, DlgCtl::Button, kGroupBox | WS_GROUP, "検索対象(&S):", 7, 40, 137, 74},
    {2420, DlgCtl::Button, kCheck | WS_GROUP, "ID", 14, 53, 60, 10},
    {2421, DlgCtl::Button, kCheck, "HANDLE", 14, 67, 60, 10},
    {2422, DlgCtl::Button, kCheck, "MEMO1", 14, 81, 60, 10},
    {2423, DlgCtl::Button, kCheck, "MEMO2", 14, 95, 60, 10},
    {2424, DlgCtl::Button, kCheck, "MEMO3", 78, 53, 60, 10},
    {2425, DlgCtl::Button, kCheck, "MEMO4", 78, 67, 60, 10},
    {2426, DlgCtl::Button, kCheck, "MEMO5", 78, 81, 60, 10},
    {2427, DlgCtl::Button, kCheck, "MEMO6", 78, 95, 60, 10},
    {kIdOk, DlgCtl::Button, kDefPush | WS_GROUP, "OK", 150, 7, 50, 14},
    {kIdCancel, DlgCtl::Button, kPush, "ｷｬﾝｾﾙ", 150, 24, 50, 14},
    {ID_HELP, DlgCtl::Button, kPush, "ﾍﾙﾌﾟ", 150, 41, 50, 14},
};

// The copy/send chooser: the expanded formats, OK and Cancel.
constexpr DialogItem kSendFormat[] = {
    {2510, DlgCtl::ListBox,
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

constexpr DialogResource kDialogs[] = {
    {IDD_PERSONAL_DATA, kDialog | WS_VISIBLE, " - ﾊﾟｰｿﾅﾙﾃﾞｰﾀの編集", 190, 191, kPoint,
     kPersonalData, std::size(kPersonalData)},
    {IDD_REGIST_ID, kDialog, "IDの登録", 227, 135, kPoint, kRegistID, std::size(kRegistID)},
    {IDD_SPECIFY_DATE, kDialog, "日付を指定して表示", 203, 99, kPoint, kSpecifyDate,
     std::size(kSpecifyDate)},
    {IDD_SPECIFY_KEYWORD, kDialog, "ｷｰﾜｰﾄﾞを指定して表示", 207, 135, kPoint, kSpecifyKeyword,
     std::size(kSpecifyKeyword)},
    {IDD_SEND_FORMAT, kDialog, "秀Termに送信", 187, 75, kPoint, kSendFormat,
     std::size(kSendFormat)},
    {IDD_FONT, kDialog, "ﾌｫﾝﾄ", 211, 100, kPoint, kFont, std::size(kFont)},
};

}  // namespace

const DialogResource* FindDialog(unsigned id) {
    for (const DialogResource& d : kDialogs)
        if (d.id == id) return &d;
    return nullptr;
}

}  // namespace res
