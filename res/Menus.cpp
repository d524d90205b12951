#include <iterator>

#include "res/Resources.h"
#include "res/resource.h"

namespace res {
namespace {

constexpr MenuEntry kMainMenu[] = {
    {0, 0, "ﾌｧｲﾙ(&F)"},
    {1, ID_FILE_NEW, "新規作成(&N)\tCtrl+N"},
    {1, ID_FILE_OPEN, "開く(&O)...\tCtrl+O"},
    {1, ID_FILE_SAVE, "上書き保存(&S)\tCtrl+S"},
    {1, ID_FILE_SAVE_AS, "名前を付けて保存(&A)..."},
    {1, 0, nullptr},
    // Placeholder: the framework puts the recent-file list in its place.
    {1, ID_FILE_MRU_FILE1, "最新のﾌｧｲﾙ"},
    {1, 0, nullptr},
    {1, ID_APP_EXIT, "Velkonの終了(&X)"},

    {0, 0, "編集(&E)"},
    {1, ID_EDIT_SELECT_ALL, "すべて選択(&A)\tCtrl+A"},
    {1, 0, nullptr},
    {1, ID_SEND_HIDETERM, "秀Termに送信(&H)...\tCtrl+H"},
    {1, ID_EDIT_COPY, "ｸﾘｯﾌﾟﾎﾞｰﾄﾞにｺﾋﾟｰ(&C)...\tCtrl+C"},
    {1, 0, nullptr},
    {1, ID_REGIST_ID, "IDの登録(&R)...\tIns"},
    {1, ID_DELETE_ID, "IDの削除(&D)\tDel"},
    {1, ID_RESTORE_ID, "削除IDの復元(&U)\tCtrl+U"},
    {1, 0, nullptr},
    {1, ID_PERSONAL_DATA, "ﾊﾟｰｿﾅﾙﾃﾞｰﾀ(&P)...\tEnter"},

    {0, 0, "表示(&V)"},
    {1, ID_ONLY_PICKUP, "ﾋﾟｯｸｱｯﾌﾟIDのみ(&P)\tCtrl+P"},
    {1, ID_SPECIFY_DATE, "日付指定(&D)...\tCtrl+D"},
    {1, ID_SPECIFY_KEYWORD, "ｷｰﾜｰﾄﾞ指定(&K)...\tCtrl+K"},
    {1, 0, nullptr},
    {1, ID_PICKUP_REDO, "ﾋﾟｯｸｱｯﾌﾟのやり直し(&N)"},
    {1, 0, nullptr},
    {1, ID_VIEW_TOOLBAR, "ﾂｰﾙﾊﾞｰ(&T)"},
    {1, ID_VIEW_STATUS_BAR, "ｽﾃｰﾀｽﾊﾞｰ(&S)"},

    {0, 0, "設定(&S)"},
    {1, ID_OPTIONS, "ｵﾌﾟｼｮﾝ(&O)..."},
    {1, 0, nullptr},
    {1, ID_FONT, "ﾌｫﾝﾄ(&F)..."},

    {0, 0, "ﾍﾙﾌﾟ(&H)"},
    {1, ID_HELP_FINDER, "ﾄﾋﾟｯｸの検索(&H)"},
    {1, 0, nullptr},
    {1, ID_APP_ABOUT, "このVelkonについて(&A)..."},
};

// Only the pop-ups are ever shown, never a bar, so their own titles stay unseen.
constexpr MenuEntry kPopupMenu[] = {
    {0, 0, "常駐"},
    {1, ID_QUIT_RESIDENT, "常駐Velkonの終了"},

    {0, 0, "一覧"},
    {1, ID_EDIT_SELECT_ALL, "すべて選択"},
    {1, 0, nullptr},
    {1, ID_SEND_HIDETERM, "秀Termに送信..."},
    {1, ID_EDIT_COPY, "ｸﾘｯﾌﾟﾎﾞｰﾄﾞにｺﾋﾟｰ..."},
    {1, 0, nullptr},
    {1, ID_DELETE_ID, "IDの削除"},
    {1, ID_RESTORE_ID, "削除IDの復元"},
    {1, 0, nullptr},
    {1, ID_ONLY_PICKUP, "ﾋﾟｯｸｱｯﾌﾟIDのみ"},
    {1, ID_SPECIFY_DATE, "日付指定..."},
    {1, ID_SPECIFY_KEYWORD, "ｷｰﾜｰﾄﾞ指定..."},
    {1, 0, nullptr},
    {1, ID_PERSONAL_DATA, "ﾊﾟｰｿﾅﾙﾃﾞｰﾀ..."},
};

constexpr MenuResource kMenus[] = {
    {IDR_MAINFRAME, kMainMenu, std::size(kMainMenu)},
    {IDR_POPUP, kPopupMenu, std::size(kPopupMenu)},
};

}  // namespace

std::span<const MenuResource> Menus() {
    return kMenus;
}

}  // namespace res
