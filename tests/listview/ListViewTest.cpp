// The ID list inside the real frame: columns, sorting, the document's hints, the display
// filters, and the settings kept from one run to the next.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/gui/drawing/CDC.h"
#include "platform/gui/window/CCmdUI.h"
#include "tests/listview/ListViewFixture.h"

using testing_support::Sjis;
using namespace listview_test;

TEST_F(ListViewTest, FirstStartShowsFourColumnsSortedByIdWithTheLastRecordCurrent) {
    Open(kThree);
    CListCtrl& list = view->GetListCtrl();
    const char* captions[] = {"ID", "ハンドル", "登録日付", "前回更新日付"};
    const int data[] = {data_column::ID, data_column::Handle, data_column::RegistDate,
                        data_column::PrevUpdateDate};
    for (int i = 0; i < 4; ++i) {
        LVCOLUMN column;
        column.mask = LVCF_WIDTH | LVCF_SUBITEM;
        ASSERT_TRUE(list.GetColumn(i, &column));
        EXPECT_EQ(column.cx, DefaultWidth());
        EXPECT_EQ(column.iSubItem, data[i] | CVelkonView::kShown);
        EXPECT_EQ(CString(view->m_szCaption[data[i]]), Sjis(captions[i]));
    }
    LVCOLUMN column;
    column.mask = LVCF_WIDTH;
    EXPECT_FALSE(list.GetColumn(4, &column));

    EXPECT_EQ(Rows(), (std::vector<int>{1, 2, 0}));
    EXPECT_EQ(view->m_nSortColumn, 0);
    EXPECT_TRUE(view->m_bSortForward);
    EXPECT_EQ(FocusedRecord(), 2);
    EXPECT_EQ(Selected(), (std::vector<int>{2}));
    EXPECT_EQ(view->m_nCurrent, 2);
}

// The order itself is RecordOrderTest's; here the view's part: which data column a position
// shows, the direction, and the focus.
TEST_F(ListViewTest, SortsByTheColumnAtThePositionAndEveryHeaderClickReversesTheDirection) {
    Open(kThree);
    ClickHeader(0);
    EXPECT_FALSE(view->m_bSortForward);
    EXPECT_EQ(Rows(), (std::vector<int>{0, 2, 1}));
    EXPECT_EQ(FocusedRecord(), 2);  // the focus goes along with its row
    ClickHeader(0);
    EXPECT_TRUE(view->m_bSortForward);
    EXPECT_EQ(Rows(), (std::vector<int>{1, 2, 0}));
    // Another header: opposite to the last sort, not ascending afresh.
    ClickHeader(1);
    EXPECT_EQ(view->m_nSortColumn, 1);
    EXPECT_FALSE(view->m_bSortForward);
    EXPECT_EQ(Rows(), (std::vector<int>{2, 1, 0}));  // あおい, ｶﾀｶﾅ, Blue

    ShowUpdateCount();  // position 4: counts 100, 5, 12
    view->SortList(4, TRUE);
    EXPECT_EQ(Rows(), (std::vector<int>{1, 2, 0}));
    view->SortList(3, FALSE);  // previous update: two of 1998/03/01, then 1997/12/31
    EXPECT_EQ(Rows(), (std::vector<int>{1, 0, 2}));
    view->SortList(7, TRUE);  // no column there: the rows stay as they are
    EXPECT_EQ(Rows(), (std::vector<int>{1, 0, 2}));
    EXPECT_EQ(view->m_nSortColumn, 7);
}

// A list sorted by ID is filled in the store's ID order instead of being sorted: it must be the
// order the sort gives, equal IDs in record order both ways, also once a restore has put a
// record behind a namesake with a higher number, and for IDs longer than the list shows.
TEST_F(ListViewTest, ListSortedByIdIsFilledAsTheSortWouldLeaveIt) {
    Open({{"BBB00001", "b0", 1, "1998/01/01", "1998/01/01"},
          {"AAA00001", "a1", 1, "1998/01/01", "1998/01/01"},
          {"BBB00001", "b2", 1, "1998/01/01", "1998/01/01"},
          {"AAA00001", "a3", 1, "1998/01/01", "1998/01/01"},
          {"CCC00001", "c4", 1, "1998/01/01", "1998/01/01"}});
    const std::vector<int> ascending = {1, 3, 0, 2, 4};
    const std::vector<int> descending = {4, 0, 2, 1, 3};
    EXPECT_EQ(Rows(), ascending);
    EXPECT_EQ(FocusedRecord(), 4);
    EXPECT_EQ(Selected(), (std::vector<int>{4}));
    view->m_bSortForward = FALSE;
    view->RebuildList();
    EXPECT_EQ(Rows(), descending);
    EXPECT_EQ(FocusedRecord(), 4);
    view->SortList(0, FALSE);
    EXPECT_EQ(Rows(), descending);

    doc->DeleteID(1);
    doc->RestoreID();
    for (BOOL forward : {TRUE, FALSE}) {
        view->m_bSortForward = forward;
        view->RebuildList();
        EXPECT_EQ(Rows(), forward ? ascending : descending);
        EXPECT_EQ(view->m_nCurrent, 4);
    }
    // IDs alike in the 255 bytes the list shows are equal to it, whatever follows.
    const std::string shown(255, 'Z');
    ASSERT_TRUE(doc->AddNewID(CString(shown + "B"), "long b"));
    ASSERT_TRUE(doc->AddNewID(CString(shown + "A"), "long a"));
    const std::vector<int> longAscending = {1, 3, 0, 2, 4, 5, 6};
    const std::vector<int> longDescending = {5, 6, 4, 0, 2, 1, 3};
    for (BOOL forward : {TRUE, FALSE}) {
        view->m_bSortForward = forward;
        view->RebuildList();
        EXPECT_EQ(Rows(), forward ? longAscending : longDescending);
    }
    // Filters still apply.
    view->SendMessage(WM_COMMAND, ID_ONLY_PICKUP);
    EXPECT_TRUE(Rows().empty());
}

TEST_F(ListViewTest, RecordHintsKeepRowsSelectionAndCurrentInStep) {
    Open(kThree);
    // A new record goes at the end, not into its sorted place, and is the only one selected.
    ASSERT_TRUE(doc->AddNewID("AAA00001", "new"));
    EXPECT_EQ(Rows(), (std::vector<int>{1, 2, 0, 3}));
    EXPECT_EQ(FocusedRecord(), 3);
    EXPECT_EQ(Selected(), (std::vector<int>{3}));
    EXPECT_EQ(view->m_nCurrent, 3);

    // Deleting another row leaves the current one; deleting the current one follows the control.
    doc->DeleteID(2);
    EXPECT_EQ(Rows(), (std::vector<int>{1, 0, 3}));
    EXPECT_EQ(view->m_nCurrent, 3);
    doc->DeleteID(3);
    EXPECT_EQ(Rows(), (std::vector<int>{1, 0}));
    EXPECT_EQ(view->m_nCurrent, FocusedRecord());

    // Restoring brings the last deleted back at the end, alone in the selection.
    view->GetListCtrl().SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    doc->RestoreID();
    EXPECT_EQ(Rows(), (std::vector<int>{1, 0, 3}));
    EXPECT_EQ(Selected(), (std::vector<int>{3}));
    EXPECT_EQ(view->m_nCurrent, 3);

    // Picking up a shown record moves the selection to it, without adding a row.
    doc->PickupID("XYZ00001", "");
    EXPECT_EQ(Rows(), (std::vector<int>{1, 0, 3}));
    EXPECT_EQ(Selected(), (std::vector<int>{0}));
    EXPECT_EQ(FocusedRecord(), 0);
    EXPECT_EQ(view->m_nCurrent, 0);
}

// A picked-up record's row ends alone selected and focused, whatever the selection was: more
// rows, the row itself selected but the focus elsewhere, or that row already (left as it is).
TEST_F(ListViewTest, PickupLeavesItsRowAloneSelectedAndFocusedWhateverWasBefore) {
    Open(kThree);  // rows: records 1, 2, 0
    CListCtrl& list = view->GetListCtrl();
    constexpr UINT kBoth = LVIS_SELECTED | LVIS_FOCUSED;
    list.SetItemState(-1, 0, LVIS_SELECTED);
    list.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
    list.SetItemState(2, kBoth, kBoth);
    ASSERT_EQ(Selected(), (std::vector<int>{1, 0}));
    doc->PickupID("XYZ00001", "");
    EXPECT_EQ(Selected(), (std::vector<int>{0}));
    EXPECT_EQ(FocusedRecord(), 0);
    doc->PickupID("XYZ00001", "");
    EXPECT_EQ(Selected(), (std::vector<int>{0}));
    EXPECT_EQ(FocusedRecord(), 0);
    EXPECT_EQ(view->m_nCurrent, 0);

    list.SetItemState(0, LVIS_FOCUSED, LVIS_FOCUSED);  // the focus away, the selection kept
    ASSERT_EQ(FocusedRecord(), 1);
    doc->PickupID("XYZ00001", "");
    EXPECT_EQ(Selected(), (std::vector<int>{0}));
    EXPECT_EQ(FocusedRecord(), 0);
    EXPECT_EQ(view->m_nCurrent, 0);

    doc->PickupID("QQQ99999", "");  // not registered: the list stays as it is
    EXPECT_EQ(Selected(), (std::vector<int>{0}));
    EXPECT_EQ(view->m_nCurrent, 0);
    doc->PickupID("ABC12345", "");
    EXPECT_EQ(Selected(), (std::vector<int>{1}));
    EXPECT_EQ(FocusedRecord(), 1);
    EXPECT_EQ(view->m_nCurrent, 1);
    EXPECT_EQ(Rows(), (std::vector<int>{1, 2, 0}));
}

// A burst's picks are shown when it ends: the list must end as the same picks one by one leave
// it (rows added in pick order, the selection on the last pick that has a row, in sight), and a
// delete arriving meanwhile must find the list as it would have, its record neither shown nor
// selected afterwards.
TEST_F(ListViewTest, BurstOfPicksEndsAsThePicksOneByOneAndStepsAsideForDeletes) {
    // AAA00000..AAA00298, then ZZZ00001, which the keyword filter below hides.
    std::vector<std::string> ids;
    for (int i = 0; i < 299; ++i)
        ids.push_back("AAA" + std::string(5 - std::to_string(i).size(), '0') + std::to_string(i));
    ids.push_back("ZZZ00001");
    std::vector<Record> records;
    for (const std::string& id : ids)
        records.push_back({id.c_str(), "h", 1, "1998/01/02", "1998/01/02"});
    Open(records);
    CListCtrl& list = view->GetListCtrl();
    view->m_bOnlyPickup = TRUE;
    view->m_dlgKeyword.m_bEnable = TRUE;
    view->m_dlgKeyword.m_strKeyword = "aaa";
    view->m_dlgKeyword.m_bID = TRUE;
    // Records 0..199 picked up and shown, the top row in sight.
    const auto start = [&] {
        doc->ClearPickup();
        for (int r = 0; r < 200; ++r) doc->PickupID(ids[r].c_str(), "");
        view->RebuildList();
        list.EnsureVisible(0, FALSE);
    };
    // Shown and repeated, not in the list, not registered, hidden by the filter; the last pick
    // with a row is far down the list.
    const std::vector<const char*> picks = {"AAA00150", "AAA00250", "AAA00005",
                                            "AAA00005", "QQQ99999", "AAA00260",
                                            "AAA00005", "AAA00180", "ZZZ00001"};
    struct Outcome {
        std::vector<int> rows, selected;
        int focused, current;
        bool inSight;
    };
    const auto outcome = [&] {
        const int row = list.GetNextItem(-1, LVNI_FOCUSED);
        const int top = list.GetTopIndex();
        return Outcome{Rows(), Selected(), FocusedRecord(), view->m_nCurrent,
                       row >= top && row < top + list.GetCountPerPage()};
    };
    start();
    for (const char* id : picks) doc->PickupID(id, "");
    const Outcome oneByOne = outcome();
    ASSERT_EQ(oneByOne.rows.size(), 202u);
    EXPECT_EQ(oneByOne.selected, (std::vector<int>{180}));
    ASSERT_TRUE(oneByOne.inSight);

    start();
    doc->BeginPickupBurst();
    for (const char* id : picks) doc->PickupID(id, "");
    EXPECT_EQ(Rows().size(), 200u);  // nothing shown before the end
    doc->EndPickupBurst();
    const Outcome burst = outcome();
    EXPECT_EQ(burst.rows, oneByOne.rows);
    EXPECT_EQ(burst.selected, oneByOne.selected);
    EXPECT_EQ(burst.focused, oneByOne.focused);
    EXPECT_EQ(burst.current, oneByOne.current);
    EXPECT_TRUE(burst.inSight);

    // Inside a burst a delete or a restore finds the picks before it shown: a record deleted
    // after its pick (270 without a row yet, 20 with one) ends neither shown nor selected, and
    // one restored after a pick ends last and selected, as it would one by one.
    doc->BeginPickupBurst();
    doc->PickupID("AAA00010", "");
    doc->PickupID("AAA00270", "");
    doc->DeleteID(270);
    doc->PickupID("AAA00020", "");
    doc->DeleteID(20);
    doc->EndPickupBurst();
    const std::vector<int> rows = Rows();
    EXPECT_EQ(rows.size(), 201u);
    EXPECT_EQ(std::count(rows.begin(), rows.end(), 270), 0);
    EXPECT_EQ(std::count(rows.begin(), rows.end(), 20), 0);
    EXPECT_EQ(Selected(), (std::vector<int>{10}));
    EXPECT_EQ(FocusedRecord(), 10);
    EXPECT_EQ(view->m_nCurrent, 10);
    doc->BeginPickupBurst();
    doc->PickupID("AAA00150", "");
    doc->RestoreID();  // record 20
    doc->EndPickupBurst();
    EXPECT_EQ(Rows().back(), 20);
    EXPECT_EQ(Selected(), (std::vector<int>{20}));
    EXPECT_EQ(view->m_nCurrent, 20);
}

TEST_F(ListViewTest, PickedUpOnlyListGrowsWithPickupsAndEmptiesWithTheList) {
    Open(kThree);
    frame->RunCommand(ID_ONLY_PICKUP);
    EXPECT_TRUE(view->m_bOnlyPickup);
    EXPECT_TRUE(Rows().empty());
    EXPECT_EQ(view->m_nCurrent, -1);
    CCmdUI ui;
    ui.m_nID = ID_ONLY_PICKUP;
    ui.DoUpdate(frame, TRUE);
    EXPECT_TRUE(ui.m_bEnabled);
    EXPECT_EQ(ui.m_nCheck, 1);

    doc->PickupID("MNO55555", "");
    doc->PickupID("ABC12345", "");  // sorted it would come first; it is appended
    EXPECT_EQ(Rows(), (std::vector<int>{2, 1}));
    EXPECT_EQ(Selected(), (std::vector<int>{1}));
    EXPECT_EQ(view->m_nCurrent, 1);
    doc->PickupID("QQQ99999", "");  // not registered: no row
    EXPECT_EQ(Rows().size(), 2u);

    doc->ClearPickup();
    EXPECT_TRUE(Rows().empty());

    frame->RunCommand(ID_ONLY_PICKUP);
    EXPECT_FALSE(view->m_bOnlyPickup);
    EXPECT_EQ(Rows(), (std::vector<int>{1, 2, 0}));
    ui.DoUpdate(frame, TRUE);
    EXPECT_EQ(ui.m_nCheck, 0);
}

TEST_F(ListViewTest, RebuildShowsOnlyLiveRecordsThatPassEveryFilterOn) {
    Open(kThree);
    doc->DeleteID(0);
    view->m_dlgDate.m_bEnable = TRUE;
    view->m_dlgDate.m_strDate = "1998/01/02";
    view->m_dlgDate.m_nMethod = CSpecifyDateDlg::OnTheDay;
    view->m_dlgDate.m_bRegistDate = TRUE;
    view->m_dlgDate.m_bUpdateDate = FALSE;
    view->RebuildList();
    EXPECT_EQ(Rows(), (std::vector<int>{2}));  // record 0 is on the day too, but deleted
    EXPECT_EQ(view->m_nCurrent, 2);

    view->m_dlgDate.m_bEnable = FALSE;
    view->m_dlgKeyword.m_bEnable = TRUE;
    view->m_dlgKeyword.m_strKeyword = "abc";
    view->m_dlgKeyword.m_bCase = FALSE;
    view->m_dlgKeyword.m_bID = TRUE;
    view->RebuildList();
    EXPECT_EQ(Rows(), (std::vector<int>{1}));
    view->m_dlgKeyword.m_bCase = TRUE;
    view->RebuildList();
    EXPECT_TRUE(Rows().empty());
    EXPECT_EQ(view->m_nCurrent, -1);

    view->m_dlgKeyword.m_bEnable = FALSE;
    view->m_bOnlyPickup = TRUE;
    doc->PickupID("MNO55555", "");
    view->RebuildList();
    EXPECT_EQ(Rows(), (std::vector<int>{2}));
}

TEST_F(ListViewTest, ViewSettingsAreWrittenAtExitAndReadAtTheNextStart) {
    Open(kThree);
    CListCtrl& list = view->GetListCtrl();
    LVCOLUMN width;
    width.mask = LVCF_WIDTH;
    width.cx = 123;
    list.SetColumn(1, &width);  // as if dragged
    // Memo 1 shown between the ID and the handle; the dates hidden.
    view->m_aColumn[1].iSubItem = 2 | CVelkonView::kShown;
    view->m_aColumn[1].pszText = view->m_szCaption[2];
    view->m_aColumn[2].iSubItem = 1 | CVelkonView::kShown;
    view->m_aColumn[2].pszText = view->m_szCaption[1];
    view->m_aColumn[8].iSubItem = 8;
    CVelkonView::CopyToBuffer(view->m_szCaption[2], Sjis("趣味"));
    view->RebuildColumns();
    view->SortList(1, FALSE);
    view->m_bOnlyPickup = TRUE;
    view->m_nFontSize = -15;
    view->m_strFaceName = "Sans";
    view->m_clrPickupText = RGB(0, 128, 0);
    view->m_clrBack = RGB(250, 250, 200);
    StopApp();

    StartApp();
    Reattach();
    EXPECT_EQ(view->m_aColumn[1].iSubItem, 2 | CVelkonView::kShown);
    EXPECT_EQ(view->m_aColumn[1].cx, 123);  // widths stay with their positions
    EXPECT_EQ(view->m_aColumn[2].iSubItem, 1 | CVelkonView::kShown);
    EXPECT_EQ(view->m_aColumn[8].iSubItem, 8);
    EXPECT_EQ(CString(view->m_aColumn[1].pszText), Sjis("趣味"));
    EXPECT_EQ(view->m_nSortColumn, 1);
    EXPECT_FALSE(view->m_bSortForward);
    EXPECT_TRUE(view->m_bOnlyPickup);
    EXPECT_EQ(view->m_nFontSize, -15);
    EXPECT_EQ(view->m_strFaceName, "Sans");
    EXPECT_EQ(view->m_clrPickupText, RGB(0, 128, 0));
    EXPECT_EQ(view->m_clrBack, RGB(250, 250, 200));
    EXPECT_EQ(view->GetListCtrl().GetBkColor(), RGB(250, 250, 200));
    LOGFONT lf;
    view->m_font.GetLogFont(&lf);
    EXPECT_EQ(lf.lfHeight, -15);
    EXPECT_STREQ(lf.lfFaceName, "Sans");
}

TEST_F(ListViewTest, ColumnSettingsThatCannotBeTrustedAreRepaired) {
    auto reread = [this] { return std::make_unique<CVelkonView>(); };
    app->WriteProfileInt("Column", "Tag3", 12 | CVelkonView::kShown);  // no such data column
    auto v = reread();
    for (int n = 0; n < CVelkonView::kDataColumns; ++n) {
        EXPECT_EQ(v->m_aColumn[n].iSubItem & 0xFF, n);
        EXPECT_EQ(v->m_aColumn[n].pszText, v->m_szCaption[n]);
    }
    v.reset();  // writes the repaired tags back

    app->WriteProfileInt("Column", "Tag0", 1 | CVelkonView::kShown);  // the handle twice
    app->WriteProfileInt("Column", "Width2", -5);
    app->WriteProfileInt("Column", "Width4", 999999);
    app->WriteProfileInt("Column", "Width5", 0);
    v = reread();
    EXPECT_EQ(v->m_aColumn[0].iSubItem, 0 | CVelkonView::kShown);
    EXPECT_EQ(v->m_aColumn[1].iSubItem, 1 | CVelkonView::kShown);
    EXPECT_EQ(v->m_aColumn[2].cx, DefaultWidth());
    EXPECT_EQ(v->m_aColumn[4].cx, DefaultWidth());
    EXPECT_EQ(v->m_aColumn[5].cx, 0);  // a column squeezed shut is the user's choice

    // A caption too long for its buffer is cut before a character, not inside it.
    app->WriteProfileString("Column", "Caption3", CString(std::string(254, 'x')) + Sjis("あいう"));
    v = reread();
    EXPECT_EQ(std::strlen(v->m_szCaption[3]), 254u);
}

TEST(FitText, CutsBeforeTheWidthIsReachedAndNeverInsideACharacter) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    afx_ui::EnsureApplication();
    CDC dc;
    auto width = [&dc](const CString& s) { return dc.GetTextExtent(s).cx; };
    // What the cut adds up: each character measured alone.
    auto sum = [&width](const CString& s) {
        int total = 0;
        for (int i = 0; i < s.GetLength(); ++i) total += width(s.Mid(i, 1));
        return total;
    };
    const int room = width(CString("Registered member")) - width("...  ") - 4;

    const CString text("Registered member");
    CString fitted = text;
    CListViewEx::FitText(&dc, fitted, width(text) + 1);
    EXPECT_EQ(fitted, text);
    fitted = text;
    CListViewEx::FitText(&dc, fitted, width(text));  // exactly as wide: still cut
    ASSERT_TRUE(fitted.Right(5) == "...  ");
    const CString kept = fitted.Left(fitted.GetLength() - 5);
    EXPECT_EQ(text.Left(kept.GetLength()), kept);
    // Cut after the character that reaches the room left beside the ellipsis.
    EXPECT_GE(sum(kept), room);
    EXPECT_LT(sum(kept.Left(kept.GetLength() - 1)), room);

    const CString wide = Sjis("東京都千代田区丸の内一丁目");
    for (int w = 1; w < width(wide); w += 3) {
        fitted = wide;
        CListViewEx::FitText(&dc, fitted, w);
        const int bytes = fitted.GetLength() - 5;
        EXPECT_EQ(bytes % 2, 0) << "width " << w;
        EXPECT_GE(bytes, 2);
        EXPECT_EQ(wide.Left(bytes), fitted.Left(bytes));
    }
    // Narrower than the ellipsis: the first character stays.
    fitted = "abc";
    CListViewEx::FitText(&dc, fitted, 2);
    EXPECT_EQ(fitted, "a...  ");
    fitted = Sjis("ｶﾅあ");
    CListViewEx::FitText(&dc, fitted, 2);
    EXPECT_EQ(fitted, Sjis("ｶ...  "));
}
