#include <algorithm>
#include <iterator>

#include "res/Resources.h"
#include "res/resource.h"

namespace res {
namespace {

// Kept in ascending order of id.
constexpr StringEntry kStrings[] = {
    {IDR_MAINFRAME,
     "Velkon95\n\nVelkon\nVelkon ﾌｧｲﾙ (*.lst)\n.lst\nVelkon.Document\nVelkon ﾃﾞｰﾀﾌｧｲﾙ"},

    // Prompts of the program's commands: status-bar text, then the tool tip after the line feed.
    {ID_QUIT_RESIDENT, "常駐Velkonの終了\n常駐Velkonの終了"},
    {ID_SEND_HIDETERM, "指定ﾌｫｰﾏｯﾄで秀Termに送信\n秀Termに送信"},
    {ID_REGIST_ID, "新規IDまたはﾋﾟｯｸｱｯﾌﾟIDの登録\nIDの登録"},
    {ID_DELETE_ID, "選択範囲のIDを削除\nIDの削除"},
    {ID_RESTORE_ID, "削除したIDの復元\n削除IDの復元"},
    {ID_PERSONAL_DATA, "ﾊﾟｰｿﾅﾙﾃﾞｰﾀの編集\nﾊﾟｰｿﾅﾙﾃﾞｰﾀの編集"},
    {ID_ONLY_PICKUP, "ﾋﾟｯｸｱｯﾌﾟされたIDのみ表示\nﾋﾟｯｸｱｯﾌﾟされたIDのみ表示"},
    {ID_SPECIFY_DATE, "日付を指定して表示\n日付を指定して表示"},
    {ID_SPECIFY_KEYWORD, "ｷｰﾜｰﾄﾞを指定して表示\nｷｰﾜｰﾄﾞを指定して表示"},
    {ID_PICKUP_REDO, "ﾋﾟｯｸｱｯﾌﾟを最初からやり直す\nﾋﾟｯｸｱｯﾌﾟのやり直し"},
    {ID_OPTIONS, "ｵﾌﾟｼｮﾝの変更\nｵﾌﾟｼｮﾝの変更"},
    {ID_FONT, "ﾌｫﾝﾄの変更\nﾌｫﾝﾄの変更"},

    {IDS_COMPANY_NAME, "Brambl Free Software"},
    {IDS_CAPTION_ID, "ID"},
    {IDS_CAPTION_HANDLE, "ハンドル"},
    {IDS_CAPTION_MEMO1, "メモ１"},
    {IDS_CAPTION_MEMO2, "メモ２"},
    {IDS_CAPTION_MEMO3, "メモ３"},
    {IDS_CAPTION_MEMO4, "職業"},
    {IDS_CAPTION_MEMO5, "性別"},
    {IDS_CAPTION_MEMO6, "住所"},
    {IDS_CAPTION_REGIST_DATE, "登録日付"},
    {IDS_CAPTION_PREV_UPDATE_DATE, "前回更新日付"},
    {IDS_CAPTION_UPDATE_COUNT, "更新回数"},
    {IDS_HELPER_FORMAT0, "%i"},
    {IDS_HELPER_FORMAT1, "%h"},
    {IDS_HELPER_FORMAT2, "%m1"},
    {IDS_HELPER_FORMAT3, "%m2"},
    {IDS_HELPER_FORMAT4, "%m3"},
    {IDS_HELPER_FORMAT5, "TO:%i"},
    {IDS_HELPER_FORMAT6, "PROF %i"},
    {IDS_COPY_TO_CLIPBOARD, "ｸﾘｯﾌﾟﾎﾞｰﾄﾞにｺﾋﾟｰ"},
    {IDS_OPTIONS_CAPTION, "ｵﾌﾟｼｮﾝ"},
    {IDS_COLOR_NORMAL, "通常のID"},
    {IDS_COLOR_PICKUP, "ﾋﾟｯｸｱｯﾌﾟID"},
    {IDS_COLOR_BACK, "背景"},
    {IDS_SAMPLE_ID0, "ABC01234"},
    {IDS_SAMPLE_ID0 + 1, "DEF12345"},
    {IDS_SAMPLE_ID0 + 2, "GHI23456"},
    {IDS_SAMPLE_ID0 + 3, "JKL34567"},
    {IDS_SAMPLE_TEXT0, "これは"},
    {IDS_SAMPLE_TEXT0 + 1, "ｻﾝﾌﾟﾙです"},
    {IDS_SAMPLE_TEXT0 + 2, "ここをｸﾘｯｸしても"},
    {IDS_SAMPLE_TEXT0 + 3, "なにもしません"},
    {IDS_TITLE_NEW, "（新規）"},
    {IDS_TITLE_MODIFIED, "（更新）"},
    {IDS_ASK_SAVE, "%1 は更新されています。\n保存しますか？"},
    {IDS_HIDETERM_ATTACHED, "秀Termに接続しました。"},
    {IDS_HIDETERM_DETACHED, "秀Termから切り離されました。"},
    {IDS_HIDETERM_TEXT_CUT, "秀Termからのﾃｷｽﾄが長すぎるため、先頭の256KBだけをﾋﾟｯｸｱｯﾌﾟしました。"},
    {IDS_COUNT_REGISTERED, "登録：%d件"},
    {IDS_COUNT_PICKED, "ﾋﾟｯｸｱｯﾌﾟ：%d件"},
    {IDS_COUNT_SHOWN, "表示：%d/%d件"},
    {IDS_CLIPBOARD_PROGRESS, "ｸﾘｯﾌﾟﾎﾞｰﾄﾞからﾋﾟｯｸｱｯﾌﾟ中です。(%d%%)"},
    {IDS_NO_TRAY, "ﾀｽｸﾄﾚｲがないため、ｳｨﾝﾄﾞｳを隠さずに表示しておきます。"},
    {IDS_HANDED_OVER_NOT_OPENED, "ﾀﾞｲｱﾛｸﾞを開いているため、%1 を開きませんでした。"},
    {AFX_IDS_HOTKEY_SHORTCUT, "Velkon95のｳｨﾝﾄﾞｳを表示"},
    {AFX_IDS_HOTKEY_FOCUS_ONLY, "このﾃﾞｽｸﾄｯﾌﾟではﾎｯﾄｷｰはVelkon95がｱｸﾃｨﾌﾞな間だけ働きます。"},
    {IDS_INVALID_ID,
     "新規IDの入力エラーです。\nIDは英文字3文字と数字5文字でなければなりません。\n\n例 ： "
     "ABC12345"},
    {IDS_ID_ALREADY_REGISTERED, "新規ID： %s は既に登録されています。"},
    {IDS_EDITED_ID_DELETED, "編集中のID： %s は削除されています。\n編集内容は破棄されます。"},
    {IDS_EDITED_ID_REPLACED,
     "編集中のID： %s は別のﾌｧｲﾙが開かれたため見つかりません。\n編集内容は破棄されます。"},
    {IDS_NO_DATE_TARGET, "対象を指定してください。"},
    {IDS_NO_KEYWORD_TARGET, "検索対象を指定してください。"},
    {IDS_APP_TITLE, "Velkon95"},
    {AFX_IDS_IDLEMESSAGE, "ﾍﾙﾌﾟを表示するには [F1] を押してください。"},
    {AFX_IDS_HELPMODEMESSAGE, "ﾍﾙﾌﾟを表示する項目をｸﾘｯｸしてください。"},

    // Prompts of the framework's commands
    {ID_FILE_NEW, "新規にﾌｧｲﾙを作成\n新規ﾌｧｲﾙ"},
    {ID_FILE_OPEN, "既存のﾌｧｲﾙを開く\n開く"},
    {ID_FILE_SAVE, "作業中のﾌｧｲﾙを保存\n保存"},
    {ID_FILE_SAVE_AS, "作業中のﾌｧｲﾙに名前を付けて保存\n名前をつけて保存"},
    {ID_FILE_MRU_FILE1, "指定のﾌｧｲﾙを開く"},
    {ID_FILE_MRU_FILE2, "指定のﾌｧｲﾙを開く"},
    {ID_FILE_MRU_FILE3, "指定のﾌｧｲﾙを開く"},
    {ID_FILE_MRU_FILE4, "指定のﾌｧｲﾙを開く"},
    // The tool tip really ends in an ASCII hyphen; it is kept as users have always seen it.
    {ID_EDIT_COPY, "指定ﾌｫｰﾏｯﾄでｸﾘｯﾌﾟﾎﾞｰﾄﾞにｺﾋﾟｰ\nｸﾘｯﾌﾟﾎﾞｰﾄﾞにｺﾋﾟ-"},
    {ID_EDIT_SELECT_ALL, "全体を選択\nすべて選択"},
    {ID_APP_ABOUT, "Velkonのﾊﾞｰｼﾞｮﾝ情報を表示\nVelkonのﾊﾞｰｼﾞｮﾝ情報"},
    {ID_APP_EXIT, "Velkonの終了\nVelkonの終了"},
    {ID_HELP_FINDER, "ﾄﾋﾟｯｸの検索\nﾄﾋﾟｯｸの検索"},
    {ID_CONTEXT_HELP, "ｸﾘｯｸされたﾎﾞﾀﾝ、ﾒﾆｭｰまたはｳｨﾝﾄﾞｳのﾍﾙﾌﾟを表示\nﾍﾙﾌﾟ"},
    {ID_VIEW_TOOLBAR, "ﾂｰﾙﾊﾞｰの表示/非表示\nﾂｰﾙﾊﾞｰの表示/非表示"},
    {ID_VIEW_STATUS_BAR, "ｽﾃｰﾀｽﾊﾞｰの表示/非表示\nｽﾃｰﾀｽﾊﾞｰの表示/非表示"},

    // Messages of the framework
    {AFX_IDS_OPENFILE, "開く"},
    {AFX_IDS_SAVEFILE, "名前を付けて保存"},
    {AFX_IDS_ALLFILTER, "すべてのﾌｧｲﾙ (*)"},  // file names here need no extension
    {AFX_IDS_UNTITLED, "無題"},
    {AFX_IDP_FAILED_TO_OPEN_DOC, "ﾄﾞｷｭﾒﾝﾄを開くことに失敗しました。"},
    {AFX_IDP_FAILED_TO_SAVE_DOC, "ﾄﾞｷｭﾒﾝﾄの保存に失敗しました。"},
    {AFX_IDP_ASK_TO_SAVE, "%1 への変更を保存しますか?"},
    {AFX_IDP_FAILED_TO_LAUNCH_HELP, "ﾍﾙﾌﾟの起動に失敗しました。"},
    {AFX_IDP_PARSE_INT, "整数を入力してください。"},
    {AFX_IDS_FONT_NOT_FOUND,
     "この名前のフォントはありません。\nフォントの一覧からフォントを選んでください。"},
    {AFX_IDS_FONT_SIZE_NOT_NUMBER, "サイズは数字で指定してください。"},
    {AFX_IDP_FILE_NOT_FOUND, "ﾌｧｲﾙが見つかりません。"},
    {AFX_IDP_FILE_ACCESS_DENIED, "ｱｸｾｽが拒否されました。"},
    {AFX_IDP_FILE_IS_FOLDER, "ﾌｫﾙﾀﾞです。ﾌｧｲﾙを指定してください。"},
    {AFX_IDP_FILE_NOT_REGULAR, "通常のﾌｧｲﾙではありません。"},
    {AFX_IDP_FILE_DISK_FULL, "ﾃﾞｨｽｸの空き容量が足りません。"},
    {AFX_IDP_FILE_READ_ONLY_FS, "読み取り専用のﾌｧｲﾙ ｼｽﾃﾑです。"},
    {AFX_IDP_FILE_HARD_IO, "ﾃﾞｨｽｸの読み書きでｴﾗｰが発生しました。"},
    {AFX_IDP_FILE_GENERIC, "予期しないｴﾗｰが発生しました。(ｴﾗｰ番号 %1)"},
    {AFX_IDP_FILE_IN_USE, "ほかのﾌﾟﾛｸﾞﾗﾑがこのﾌｧｲﾙを開いています。"},
    {AFX_IDP_FILE_IS_LINK, "ｼﾝﾎﾞﾘｯｸ ﾘﾝｸです。"},
    {AFX_IDP_LOCK_UNUSABLE, "ﾛｯｸ ﾌｧｲﾙ %1 を使えません。"},
    {AFX_IDP_OFFER_RECOVERY,
     "前回の終了時に保存されなかった変更が残っています。\n%1\n\n"
     "この変更を開きますか？\n[いいえ] を選ぶと、この変更は破棄されます。"},
    {AFX_IDS_RECOVERY_KEPT, "保存されなかった変更を次のﾌｧｲﾙに残しました。\n%1"},
    {AFX_IDS_RECOVERY_LOST, "保存されなかった変更を残せませんでした。\n%1"},
    {AFX_IDS_BUTTON_OK, "OK"},
    {AFX_IDS_BUTTON_CANCEL, "キャンセル"},
    {AFX_IDS_BUTTON_YES, "はい(&Y)"},
    {AFX_IDS_BUTTON_NO, "いいえ(&N)"},
    {AFX_IDS_BUTTON_APPLY, "適用(&A)"},
    {AFX_IDS_BUTTON_HELP, "ヘルプ"},
    {AFX_IDS_HOTKEY_NONE, "なし"},
    {AFX_IDS_NEEDS_X11, "ｸﾘｯﾌﾟﾎﾞｰﾄﾞからのﾋﾟｯｸｱｯﾌﾟとﾎｯﾄｷｰにはX11が必要です。"},
    {AFX_IDS_CLIPBOARD_NO_THREAD, "ｸﾘｯﾌﾟﾎﾞｰﾄﾞを読むｽﾚｯﾄﾞを作れません。ｸﾘｯﾌﾟﾎﾞｰﾄﾞを直接読みます。"},
    {AFX_IDS_CLIPBOARD_CUT,
     "ｸﾘｯﾌﾟﾎﾞｰﾄﾞのﾃｷｽﾄは途中までしか受け取れませんでした。受け取った分をﾋﾟｯｸｱｯﾌﾟしました。"},
    {AFX_IDS_HELP_CAPTION, "%1 ﾍﾙﾌﾟ"},
    {AFX_IDS_HELP_CONTENTS, "目次(&C)"},
    {AFX_IDS_HELP_SEARCH, "検索(&S)"},
    {AFX_IDS_HELP_BACK, "戻る(&B)"},
    {AFX_IDS_HELP_FORWARD, "進む(&F)"},
    {AFX_IDS_HELP_SEARCH_WORDS, "検索する語(&W):"},
    {AFX_IDS_HELP_FOUND, "該当するﾄﾋﾟｯｸ(&T): %d件"},
    {AFX_IDS_HELP_NOT_FOUND, "該当するﾄﾋﾟｯｸはありません。"},
};

constexpr bool IsSorted() {
    for (std::size_t i = 1; i < std::size(kStrings); ++i)
        if (kStrings[i - 1].id >= kStrings[i].id) return false;
    return true;
}
static_assert(IsSorted(), "the string table must stay in ascending order of id");

}  // namespace

std::span<const StringEntry> Strings() {
    return kStrings;
}

}  // namespace res
