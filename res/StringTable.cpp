#include "res/StringTable.h"

#include <algorithm>
#include <iterator>

#include "res/resource.h"

namespace res {
namespace {

// Kept in ascending order of id.
constexpr StringEntry kStrings[] = {
    {ID_REGIST_ID, "新規IDまたはﾋﾟｯｸｱｯﾌﾟIDの登録\nIDの登録"},
    {ID_PICKUP_REDO, "ﾋﾟｯｸｱｯﾌﾟを最初からやり直す\nﾋﾟｯｸｱｯﾌﾟのやり直し"},
    {IDS_COMPANY_NAME, "Brambl Free Software"},
    {IDS_TITLE_NEW, "（新規）"},
    {IDS_TITLE_MODIFIED, "（更新）"},
    {IDS_ASK_SAVE, "%1 は更新されています。\n保存しますか？"},
    {IDS_COUNT_REGISTERED, "登録：%d件"},
    {IDS_COUNT_PICKED, "ﾋﾟｯｸｱｯﾌﾟ：%d件"},
    {IDS_ID_ALREADY_REGISTERED, "新規ID： %s は既に登録されています。"},
    {IDS_APP_TITLE, "Velkon95"},
    {AFX_IDP_FAILED_TO_OPEN_DOC, "ﾄﾞｷｭﾒﾝﾄを開くことに失敗しました。"},
    {AFX_IDP_FAILED_TO_SAVE_DOC, "ﾄﾞｷｭﾒﾝﾄの保存に失敗しました。"},
    {AFX_IDP_ASK_TO_SAVE, "%1 への変更を保存しますか?"},
};

constexpr bool IsSorted() {
    for (std::size_t i = 1; i < std::size(kStrings); ++i)
        if (kStrings[i - 1].id >= kStrings[i].id) return false;
    return true;
}
static_assert(IsSorted(), "the string table must stay in ascending order of id");

}  // namespace

const char* FindString(unsigned id) {
    const auto* end = std::end(kStrings);
    const auto* it =
        std::lower_bound(std::begin(kStrings), end, id,
                         [](const StringEntry& e, unsigned key) { return e.id < key; });
    return (it != end && it->id == id) ? it->utf8 : nullptr;
}

}  // namespace res
