// The list view: rows that hold only item data and state, the owner asked for texts, owner
// drawing of the rows in sight, and focus and selection by keyboard and mouse.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFont>
#include <QHeaderView>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "platform/gui/drawing/CDC.h"
#include "platform/gui/reportlist/CListView.h"
#include "platform/gui/reportlist/ListRows.h"
#include "platform/gui/reportlist/ListWidget.h"
#include "platform/gui/window/UiHooks.h"
#include "tests/support/TestSupport.h"

namespace {

std::vector<LPARAM> DataOf(const ListRows& rows) {
    std::vector<LPARAM> data;
    for (int i = 0; i < rows.Count(); ++i) data.push_back(rows.At(i).lParam);
    return data;
}

TEST(ListRows, LookupFollowsInsertsDeletesAndDataChanges) {
    ListRows rows;
    for (int r = 0; r < 10; ++r) rows.Insert(rows.Count(), r * 10);
    rows.Insert(3, 999);  // in the middle
    rows.Insert(0, -5);   // a value outside the dense range
    rows.Insert(1, LPARAM(1) << 40);
    EXPECT_EQ(rows.Find(999), 5);
    EXPECT_EQ(rows.Find(-5), 0);
    EXPECT_EQ(rows.Find(LPARAM(1) << 40), 1);
    EXPECT_EQ(rows.Find(90), 12);
    // Many at once, the lookup left incomplete by an insert in the middle: each as Find has it.
    rows.Insert(2, 555);
    std::vector<LPARAM> many = {555, 999, -5, LPARAM(1) << 40, 12345, -7, LPARAM(1) << 30};
    for (int r = 0; r < 10; ++r) many.insert(many.begin() + r, (9 - r) * 10);
    std::vector<int> found(many.size(), -2);
    rows.FindMany(many.data(), found.data(), many.size());
    for (std::size_t i = 0; i < many.size(); ++i) EXPECT_EQ(found[i], rows.Find(many[i])) << i;
    rows.Erase(2);
    rows.Erase(5);
    EXPECT_EQ(rows.Find(999), -1);
    EXPECT_EQ(rows.Find(30), 5);
    EXPECT_EQ(rows.Find(90), 11);
    rows.Erase(0);
    rows.Erase(0);
    EXPECT_EQ(rows.Find(-5), -1);
    EXPECT_EQ(rows.Find(0), 0);
    rows.SetData(0, 777);
    EXPECT_EQ(rows.Find(0), -1);
    EXPECT_EQ(rows.Find(777), 0);
    EXPECT_EQ(rows.Find(12345), -1);
    rows.Clear();
    EXPECT_EQ(rows.Find(777), -1);
    EXPECT_EQ(rows.Count(), 0);
}

// Erasing many rows in one pass leaves what erasing them one by one from the bottom leaves:
// rows, lookup, selection and prefixes; the focus of an erased row is gone either way.
TEST(ListRows, ErasingManyAtOnceEqualsErasingEachInTurn) {
    std::mt19937 rng(5);
    for (int round = 0; round < 40; ++round) {
        ListRows one, many;
        const int n = 1 + static_cast<int>(rng() % 60);
        for (ListRows* rows : {&one, &many})
            for (int i = 0; i < n; ++i)
                rows->Insert(i, i % 17 == 3 ? 5 : i, (i % 3 == 0) ? LVIS_SELECTED : 0);
        const int focus = static_cast<int>(rng() % n);
        one.SetState(focus, LVIS_FOCUSED, LVIS_FOCUSED);
        many.SetState(focus, LVIS_FOCUSED, LVIS_FOCUSED);
        // Prefixes on the first half of the rows only, as type-ahead leaves them.
        const auto text = [](int) { return std::string_view("X"); };
        for (ListRows* rows : {&one, &many})
            rows->FindByPrefix("Q", 0, text), rows->ForgetTexts(n / 2, n);
        std::vector<int> erase;
        for (int i = 0; i < n; ++i)
            if (rng() % 2) erase.push_back(i);
        if (erase.empty()) continue;
        for (auto it = erase.rbegin(); it != erase.rend(); ++it) one.Erase(*it);
        many.EraseMany(erase);
        ASSERT_EQ(many.Count(), one.Count());
        for (int i = 0; i < one.Count(); ++i) {
            EXPECT_EQ(many.At(i).lParam, one.At(i).lParam);
            EXPECT_EQ(many.At(i).state, one.At(i).state);
        }
        EXPECT_EQ(many.SelectedCount(), one.SelectedCount());
        EXPECT_EQ(many.Focused(), one.Focused());
        for (int after = -1; after < one.Count(); ++after)
            EXPECT_EQ(many.NextSelected(after), one.NextSelected(after));
        for (LPARAM data = 0; data < n; ++data) EXPECT_EQ(many.Find(data), one.Find(data));
        EXPECT_EQ(many.FindByPrefix("X", 0, text), one.FindByPrefix("X", 0, text));
    }
}

TEST(ListRows, RowsAddedWithDataZeroFirstDoNotHideRecordZero) {
    // As a view appends: the row comes with data 0, then gets its record number.
    ListRows rows;
    for (int r = 0; r < 3; ++r) rows.SetData(rows.Insert(rows.Count(), 0), r);
    EXPECT_EQ(rows.Find(0), 0);
    rows.Erase(1);
    ASSERT_EQ(rows.Find(2), 1);  // the lookup complete again
    rows.SetData(rows.Insert(rows.Count(), 0), 7);
    EXPECT_EQ(rows.Find(0), 0);
    EXPECT_EQ(rows.Find(7), 2);
    // Of two rows with the same data the first is found, and the second once the first goes.
    rows.Insert(rows.Count(), 7);
    rows.SetData(0, 7);
    EXPECT_EQ(rows.Find(7), 0);
    rows.Erase(0);
    EXPECT_EQ(rows.Find(7), 1);
    EXPECT_EQ(rows.Find(0), -1);
}

TEST(ListRows, FocusAndSelectionCountsFollowRows) {
    ListRows rows;
    for (int r = 0; r < 6; ++r) rows.Insert(r, r);
    rows.SetState(2, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
    rows.SetState(4, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(rows.Focused(), 2);
    EXPECT_EQ(rows.SelectedCount(), 2);
    rows.Insert(0, 100);
    EXPECT_EQ(rows.Focused(), 3);
    EXPECT_EQ(rows.NextSelected(-1), 3);
    EXPECT_EQ(rows.NextSelected(3), 5);
    EXPECT_EQ(rows.NextSelected(5), -1);
    rows.Erase(5);
    EXPECT_EQ(rows.SelectedCount(), 1);
    rows.Erase(3);
    EXPECT_EQ(rows.Focused(), -1);
    EXPECT_EQ(rows.SelectedCount(), 0);
}

// The search for selected rows remembers where the last one is; inserts, deletions, sorts and
// searches in any order must never make it miss one.
TEST(ListRows, NextSelectedFindsEverySelectedRowAfterAnyChanges) {
    ListRows rows;
    std::vector<bool> model;  // selected, by row
    std::mt19937 rng(11);
    for (int step = 0; step < 20000; ++step) {
        const int n = rows.Count();
        switch (rng() % 6) {
            case 0: {
                const int at = static_cast<int>(rng() % (n + 1));
                const bool sel = rng() % 4 == 0;
                rows.Insert(at, step, sel ? LVIS_SELECTED : 0);
                model.insert(model.begin() + at, sel);
                break;
            }
            case 1:
                if (n > 0) {
                    const int at = static_cast<int>(rng() % n);
                    rows.Erase(at);
                    model.erase(model.begin() + at);
                }
                break;
            case 2:
                if (n > 0) {
                    const int at = static_cast<int>(rng() % n);
                    const bool sel = rng() % 2 == 0;
                    rows.SetState(at, sel ? LVIS_SELECTED : 0, LVIS_SELECTED);
                    model[static_cast<size_t>(at)] = sel;
                }
                break;
            case 3:
                if (step % 50 == 0) {
                    rows.Sort(
                        [](LPARAM a, LPARAM b) { return static_cast<int>((b % 7) - (a % 7)); });
                    model.clear();
                    for (int i = 0; i < rows.Count(); ++i)
                        model.push_back(rows.At(i).state & LVIS_SELECTED);
                }
                break;
            default: {
                const int after = n > 0 ? static_cast<int>(rng() % (n + 1)) - 1 : -1;
                int expected = -1;
                for (int i = after + 1; i < n; ++i)
                    if (model[static_cast<size_t>(i)]) {
                        expected = i;
                        break;
                    }
                ASSERT_EQ(rows.NextSelected(after), expected) << "step " << step;
            }
        }
    }
}

TEST(ListRows, SortIsStableAndRowsTakeTheirStateAlong) {
    // Enough rows for several merge passes; keys with many equal values.
    ListRows rows;
    const int n = 1000;
    std::vector<int> key(n);
    std::mt19937 rng(7);
    for (int r = 0; r < n; ++r) {
        key[r] = static_cast<int>(rng() % 10);
        rows.Insert(r, r);
    }
    rows.SetState(500, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
    rows.SetState(17, LVIS_SELECTED, LVIS_SELECTED);
    rows.Sort([&](LPARAM a, LPARAM b) { return key[a] - key[b]; });
    for (int i = 1; i < n; ++i) {
        const LPARAM a = rows.At(i - 1).lParam, b = rows.At(i).lParam;
        ASSERT_TRUE(key[a] < key[b] || (key[a] == key[b] && a < b)) << "at " << i;
    }
    EXPECT_EQ(rows.At(rows.Focused()).lParam, 500);
    EXPECT_EQ(rows.Find(500), rows.Focused());
    EXPECT_EQ(rows.At(rows.Find(17)).state, LVIS_SELECTED);
    EXPECT_EQ(rows.SelectedCount(), 2);
    for (LPARAM r : {LPARAM(0), LPARAM(999), LPARAM(321)})
        EXPECT_EQ(rows.At(rows.Find(r)).lParam, r);

    // A comparison that answers at random still leaves every row in the list once.
    rows.Sort([&](LPARAM, LPARAM) { return static_cast<int>(rng() % 3) - 1; });
    std::vector<LPARAM> data = DataOf(rows);
    std::sort(data.begin(), data.end());
    for (int i = 0; i < n; ++i) ASSERT_EQ(data[i], i);
}

// The bulk operations a list of a million rows needs: what they leave is what the same work one
// row at a time leaves, and an order that is no permutation changes nothing.
TEST(ListRows, AppendSelectAllAndReorderKeepLookupStateAndCounts) {
    ListRows rows;
    rows.Insert(0, 7);
    const std::vector<LPARAM> data = {3, 1, 4, 1, 5};  // data 1 twice: the first row keeps it
    EXPECT_EQ(rows.Append(data), 1);
    EXPECT_EQ(rows.Append({}), -1);
    EXPECT_EQ(DataOf(rows), (std::vector<LPARAM>{7, 3, 1, 4, 1, 5}));
    EXPECT_EQ(rows.Find(1), 2);
    EXPECT_EQ(rows.Find(5), 5);
    EXPECT_EQ(rows.At(4).state, 0u);

    rows.SetState(3, LVIS_FOCUSED, LVIS_FOCUSED);
    EXPECT_EQ(rows.SelectAll(true), 6);
    EXPECT_EQ(rows.SelectAll(true), 0);
    EXPECT_EQ(rows.SelectedCount(), 6);
    EXPECT_EQ(rows.NextSelected(-1), 0);
    EXPECT_EQ(rows.NextSelected(4), 5);
    EXPECT_EQ(rows.Focused(), 3);  // the focus is no part of the selection
    EXPECT_EQ(rows.SelectAll(false), 6);
    EXPECT_EQ(rows.NextSelected(-1), -1);
    EXPECT_EQ(rows.At(3).state, LVIS_FOCUSED);

    rows.SetState(1, LVIS_SELECTED, LVIS_SELECTED);
    for (const std::vector<int>& bad :
         {std::vector<int>{0, 1, 2}, std::vector<int>{0, 1, 2, 3, 4, 4},
          std::vector<int>{0, 1, 2, 3, 4, 6}, std::vector<int>{-1, 1, 2, 3, 4, 5}}) {
        EXPECT_FALSE(rows.Reorder(bad));
        EXPECT_EQ(DataOf(rows), (std::vector<LPARAM>{7, 3, 1, 4, 1, 5}));
    }
    EXPECT_TRUE(rows.Reorder(std::vector<int>{5, 4, 3, 2, 1, 0}));
    EXPECT_EQ(DataOf(rows), (std::vector<LPARAM>{5, 1, 4, 1, 3, 7}));
    EXPECT_EQ(rows.Focused(), 2);
    EXPECT_EQ(rows.At(2).lParam, 4);
    EXPECT_EQ(rows.NextSelected(-1), 4);
    EXPECT_EQ(rows.NextSelected(4), -1);
    EXPECT_EQ(rows.Find(7), 5);
    EXPECT_EQ(rows.Find(1), 1);
    EXPECT_FALSE(rows.Reorder(std::vector<int>{}));
}

// Type-ahead remembers how each row's text starts, so that the next key compares bytes instead
// of asking the owner for every row; what it remembers must follow the rows and never make a
// hit on its own.
TEST(ListRows, PrefixSearchAsksEachTextOnceAndFollowsTheRows) {
    std::vector<std::string> text = {"Apple",    "banana",           "NIF55555",
                                     "nif55556", "\xB6\xC0\xB6\xC5", "Nif"};  // ｶﾀｶﾅ
    ListRows rows;
    for (int r = 0; r < 6; ++r) rows.Insert(r, r);
    int asked = 0;
    const ListRows::RowText textOf = [&](int row) {
        ++asked;
        return std::string_view(text[static_cast<size_t>(rows.At(row).lParam)]);
    };
    // From a row on, wrapping past the end; case ignored; a prefix longer than what is kept of a
    // text is compared with the whole text.
    EXPECT_EQ(rows.FindByPrefix("NIF55556", 0, textOf), 3);
    EXPECT_EQ(rows.FindByPrefix("NIF", 4, textOf), 5);
    EXPECT_EQ(rows.FindByPrefix("NIF", 0, textOf), 2);
    EXPECT_EQ(rows.FindByPrefix("A", 1, textOf), 0);
    EXPECT_EQ(rows.FindByPrefix("\xB6\xC0", 0, textOf), 4);
    EXPECT_EQ(rows.FindByPrefix("NIFE", 0, textOf), -1);  // longer than the text "Nif"

    // Every text known: a miss asks nothing, a hit only its own row, once more.
    asked = 0;
    EXPECT_EQ(rows.FindByPrefix("X", 3, textOf), -1);
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(rows.FindByPrefix("B", 3, textOf), 1);
    EXPECT_EQ(asked, 1);

    // Known texts move with their rows; a new row, and a row given other data, are asked.
    text.push_back("Cherry");
    rows.Insert(0, 6);  // 6 0 1 2 3 4 5
    rows.Erase(2);      // 6 0 2 3 4 5
    asked = 0;
    EXPECT_EQ(rows.FindByPrefix("C", 1, textOf), 0);
    EXPECT_EQ(asked, 2);  // found, then confirmed
    EXPECT_EQ(rows.FindByPrefix("B", 0, textOf), -1);
    EXPECT_EQ(asked, 2);
    rows.SetData(1, 1);
    EXPECT_EQ(rows.FindByPrefix("B", 0, textOf), 1);

    // A text changed without a word is not found by its old start, and by its new one once the
    // owner says so.
    text[3] = "zebra";
    EXPECT_EQ(rows.FindByPrefix("NIF55556", 0, textOf), -1);
    EXPECT_EQ(rows.FindByPrefix("Z", 0, textOf), 3);  // the check above asked it again
    text[3] = "Quince";
    EXPECT_EQ(rows.FindByPrefix("Q", 0, textOf), -1);
    rows.ForgetTexts(3, 3);
    EXPECT_EQ(rows.FindByPrefix("Q", 0, textOf), 3);

    // A sort forgets them all.
    rows.Sort([](LPARAM a, LPARAM b) { return static_cast<int>(b - a); });
    asked = 0;
    EXPECT_EQ(rows.FindByPrefix("X", 0, textOf), -1);
    EXPECT_EQ(asked, rows.Count());
}

// A list view that answers for its rows as the program's view does, and records what it is asked.
class TestListView : public CListView {
public:
    static inline DWORD s_style = LVS_REPORT | LVS_OWNERDRAWFIXED | LVS_SHOWSELALWAYS;

    struct Ask {
        int iItem, iSubItem;
        LPARAM lParam;
        UINT mask;
    };
    std::vector<Ask> asks;
    std::vector<NMLISTVIEW> changes;
    std::vector<int> columnClicks;
    std::vector<int> doubleClicks;
    std::vector<DRAWITEMSTRUCT> drawn;
    bool dcReachable = true;
    std::vector<bool> focusMessages;  // TRUE for WM_SETFOCUS
    // The texts (CP932) by item data and column position, instead of "r<data> c<column>".
    std::function<std::string(LPARAM, int)> textOf;

    BOOL PreCreateWindow(CREATESTRUCT& cs) override {
        if (!CListView::PreCreateWindow(cs)) return FALSE;
        cs.style = static_cast<LONG>(s_style);
        return TRUE;
    }
    void DrawItem(LPDRAWITEMSTRUCT dis) override {
        drawn.push_back(*dis);
        if (!CDC::FromHandle(dis->hDC)) dcReachable = false;
    }

protected:
    void OnGetDispInfo(NMHDR* pNMHDR, LRESULT* pResult) {
        auto* info = reinterpret_cast<NMLVDISPINFO*>(pNMHDR);
        asks.push_back({info->item.iItem, info->item.iSubItem, info->item.lParam, info->item.mask});
        static char buffer[256];
        if (info->item.mask & LVIF_TEXT) {
            if (textOf)
                std::snprintf(buffer, sizeof buffer, "%s",
                              textOf(info->item.lParam, info->item.iSubItem).c_str());
            else
                std::snprintf(buffer, sizeof buffer, "r%ld c%d",
                              static_cast<long>(info->item.lParam), info->item.iSubItem);
            info->item.pszText = buffer;
        }
        if (info->item.mask & LVIF_IMAGE) info->item.iImage = info->item.lParam % 2;
        *pResult = 0;
    }
    void OnItemChanged(NMHDR* pNMHDR, LRESULT*) {
        changes.push_back(*reinterpret_cast<NMLISTVIEW*>(pNMHDR));
    }
    void OnColumnClick(NMHDR* pNMHDR, LRESULT*) {
        columnClicks.push_back(reinterpret_cast<NMLISTVIEW*>(pNMHDR)->iSubItem);
    }
    void OnSetFocus(CWnd*) { focusMessages.push_back(true); }
    void OnKillFocus(CWnd*) { focusMessages.push_back(false); }
    void OnDblClk(NMHDR* pNMHDR, LRESULT*) {
        doubleClicks.push_back(reinterpret_cast<NMITEMACTIVATE*>(pNMHDR)->iItem);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TestListView, CListView)
ON_NOTIFY_REFLECT(LVN_GETDISPINFO, OnGetDispInfo)
ON_NOTIFY_REFLECT(LVN_ITEMCHANGED, OnItemChanged)
ON_NOTIFY_REFLECT(LVN_COLUMNCLICK, OnColumnClick)
ON_NOTIFY_REFLECT(NM_DBLCLK, OnDblClk)
ON_WM_SETFOCUS()
ON_WM_KILLFOCUS()
END_MESSAGE_MAP()

class ListView : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        afx_ui::EnsureApplication();
        view = new TestListView;  // deletes itself when its window goes
        ASSERT_TRUE(view->CreateViewWindow(nullptr, 4711, nullptr));
        list = static_cast<ListCtrlQt*>(view->GetWidget());
        list->resize(400, 240);
        CListCtrl& ctrl = view->GetListCtrl();
        ctrl.InsertColumn(0, "ID", LVCFMT_LEFT, 100, 256);
        ctrl.InsertColumn(1, "Handle", LVCFMT_RIGHT, 120, 257);
    }
    void TearDown() override {
        view->DestroyWindow();
        afx_ui::ProcessEvents();
    }
    // Rows with item data 0, 10, 20, ... as the program adds them: callback text, then the data.
    void AddRows(int n) {
        CListCtrl& ctrl = view->GetListCtrl();
        for (int i = 0; i < n; ++i) {
            LVITEM item;
            item.mask = LVIF_TEXT | LVIF_IMAGE;
            item.iItem = ctrl.GetItemCount();
            item.pszText = LPSTR_TEXTCALLBACK;
            item.iImage = I_IMAGECALLBACK;
            const int row = ctrl.InsertItem(&item);
            ctrl.SetItemData(row, i * 10);
        }
    }
    std::vector<int> Selected() {
        std::vector<int> rows;
        CListCtrl& ctrl = view->GetListCtrl();
        for (int i = ctrl.GetNextItem(-1, LVNI_SELECTED); i >= 0;
             i = ctrl.GetNextItem(i, LVNI_SELECTED))
            rows.push_back(i);
        return rows;
    }
    int Focused() { return view->GetListCtrl().GetNextItem(-1, LVNI_FOCUSED); }
    void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QKeyEvent event(QEvent::KeyPress, key, mods);
        QCoreApplication::sendEvent(list, &event);
    }
    // A key that types a character, pressed at a time in milliseconds; TRUE when the list took it.
    bool Press(const QString& ch, quint64 at, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        const int key = ch == " " ? int(Qt::Key_Space) : ch.at(0).toUpper().unicode();
        QKeyEvent event(QEvent::KeyPress, key, mods, ch);
        event.setTimestamp(at);
        QCoreApplication::sendEvent(list, &event);
        return event.isAccepted();
    }
    // Characters typed 50 ms apart, from `at` on.
    void Type(const char* utf8, quint64 at) {
        const QString chars = QString::fromUtf8(utf8);
        for (qsizetype i = 0; i < chars.size(); ++i)
            Press(chars.mid(i, 1), at + 50 * static_cast<quint64>(i));
    }
    int TextAsks() const {
        return static_cast<int>(std::count_if(view->asks.begin(), view->asks.end(), [](auto& a) {
            return a.iSubItem == 0 && (a.mask & LVIF_TEXT);
        }));
    }
    // A double click on the divider at the right of a header section.
    void DoubleClickDivider(int section) {
        auto* header = list->findChild<QHeaderView*>();
        const QPoint at(header->sectionViewportPosition(section) + header->sectionSize(section) - 1,
                        header->height() / 2);
        const QPoint global = header->viewport()->mapToGlobal(at);
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                                  QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
            const bool down = type != QEvent::MouseButtonRelease;
            QMouseEvent event(type, at, global, Qt::LeftButton,
                              down ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
            QCoreApplication::sendEvent(header->viewport(), &event);
        }
    }
    void Click(int row, Qt::KeyboardModifiers mods = Qt::NoModifier,
               QEvent::Type type = QEvent::MouseButtonPress) {
        RECT rc;
        ASSERT_TRUE(view->GetListCtrl().GetItemRect(row, &rc, LVIR_BOUNDS));
        const QPointF pos(10, (rc.top + rc.bottom) / 2 - list->viewport()->y());
        QMouseEvent event(type, pos, list->viewport()->mapToGlobal(pos), Qt::LeftButton,
                          Qt::LeftButton, mods);
        QCoreApplication::sendEvent(list->viewport(), &event);
    }

    TestListView* view = nullptr;
    ListCtrlQt* list = nullptr;
};

TEST_F(ListView, RowsKeepTheirDataThroughInsertsAndDeletes) {
    CListCtrl& ctrl = view->GetListCtrl();
    AddRows(5);
    LVITEM item;
    item.mask = LVIF_PARAM;
    item.iItem = 2;
    item.lParam = 777;
    EXPECT_EQ(ctrl.InsertItem(&item), 2);
    EXPECT_EQ(ctrl.GetItemCount(), 6);
    EXPECT_EQ(ctrl.GetItemData(2), 777);
    EXPECT_EQ(ctrl.GetItemData(3), 20);
    EXPECT_EQ(ctrl.FindItemByData(40), 5);
    EXPECT_TRUE(ctrl.DeleteItem(0));
    EXPECT_FALSE(ctrl.DeleteItem(5));
    EXPECT_EQ(ctrl.FindItemByData(40), 4);
    EXPECT_EQ(ctrl.FindItemByData(0), -1);
    LVFINDINFO find;
    find.flags = LVFI_PARAM;
    find.lParam = 777;
    EXPECT_EQ(ctrl.FindItem(&find, -1), 1);
    EXPECT_EQ(ctrl.FindItem(&find, 1), -1);  // the search starts after nStart
    EXPECT_TRUE(ctrl.DeleteAllItems());
    EXPECT_EQ(ctrl.GetItemCount(), 0);
    EXPECT_EQ(ctrl.FindItemByData(777), -1);
}

TEST_F(ListView, FindItemByTextLooksAfterTheStartRowAndWrapsOnlyWhenAsked) {
    CListCtrl& ctrl = view->GetListCtrl();
    AddRows(30);  // first texts "r0 c0", "r10 c0" .. "r290 c0"
    auto find = [&ctrl](UINT flags, const char* text, int start) {
        LVFINDINFO info;
        info.flags = flags;
        info.psz = text;
        return ctrl.FindItem(&info, start);
    };
    EXPECT_EQ(find(LVFI_STRING, "R20 C0", -1), 2);
    EXPECT_EQ(find(LVFI_STRING, "r2", -1), -1);  // the whole text
    EXPECT_EQ(find(LVFI_PARTIAL, "r1", -1), 1);
    EXPECT_EQ(find(LVFI_STRING | LVFI_PARTIAL, "r1", 1), 10);
    EXPECT_EQ(find(LVFI_PARTIAL, "r1", 19), -1);
    EXPECT_EQ(find(LVFI_PARTIAL | LVFI_WRAP, "r1", 19), 1);
    EXPECT_EQ(find(LVFI_STRING | LVFI_WRAP, "r10 c0", 1), 1);  // round to the start row itself
    EXPECT_EQ(find(LVFI_STRING | LVFI_WRAP, "r10 c0", 29), 1);
    EXPECT_EQ(find(LVFI_PARTIAL, "", -1), -1);
}

TEST_F(ListView, FocusAndSelectionAreAskedAndTold) {
    CListCtrl& ctrl = view->GetListCtrl();
    AddRows(6);
    ctrl.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
    ctrl.SetItemState(4, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    EXPECT_EQ(Selected(), (std::vector<int>{1, 4}));
    EXPECT_EQ(ctrl.GetSelectedCount(), 2u);
    EXPECT_EQ(Focused(), 4);
    EXPECT_EQ(ctrl.GetNextItem(3, LVNI_FOCUSED), 4);
    EXPECT_EQ(ctrl.GetNextItem(4, LVNI_FOCUSED), -1);
    EXPECT_EQ(ctrl.GetItemState(4, LVIS_FOCUSED), LVIS_FOCUSED);

    // The focus moves: the old row is told it lost it, then the new one that it has it.
    view->changes.clear();
    ctrl.SetItemState(2, LVIS_FOCUSED, LVIS_FOCUSED);
    ASSERT_EQ(view->changes.size(), 2u);
    EXPECT_EQ(view->changes[0].iItem, 4);
    EXPECT_EQ(view->changes[0].uOldState, LVIS_SELECTED | LVIS_FOCUSED);
    EXPECT_EQ(view->changes[0].uNewState, LVIS_SELECTED);
    EXPECT_EQ(view->changes[1].iItem, 2);
    EXPECT_EQ(view->changes[1].uNewState, LVIS_FOCUSED);
    EXPECT_EQ(view->changes[1].uChanged, LVIF_STATE);
    EXPECT_EQ(view->changes[1].lParam, 20);
    // Setting what is already set tells nobody.
    view->changes.clear();
    ctrl.SetItemState(2, LVIS_FOCUSED, LVIS_FOCUSED);
    EXPECT_TRUE(view->changes.empty());

    ctrl.SetItemState(-1, 0, LVIS_SELECTED);
    EXPECT_TRUE(Selected().empty());
    EXPECT_EQ(Focused(), 2);

    // Deleting the focused row passes the focus to the row that takes its place.
    view->changes.clear();
    ctrl.DeleteItem(2);
    EXPECT_EQ(Focused(), 2);
    EXPECT_EQ(ctrl.GetItemData(Focused()), 30);
    ASSERT_FALSE(view->changes.empty());
    EXPECT_EQ(view->changes.back().lParam, 30);
}

int CompareByTens(LPARAM a, LPARAM b, LPARAM descending) {
    // Equal in groups of 20, so that stability shows.
    const int c = static_cast<int>(a / 20 - b / 20);
    return descending ? -c : c;
}

// Select all and none over every row is told once, with row -1, as the desktop's list tells it;
// the bulk messages read and place the rows as the one-row messages would.
TEST_F(ListView, BulkMessagesSelectReadAppendAndReorderTheRows) {
    AddRows(4);
    CListCtrl& ctrl = view->GetListCtrl();
    ctrl.SetItemState(1, LVIS_FOCUSED, LVIS_FOCUSED);
    view->changes.clear();
    ctrl.SetItemState(-1, LVIS_SELECTED, LVIS_SELECTED);
    ASSERT_EQ(view->changes.size(), 1u);
    EXPECT_EQ(view->changes[0].iItem, -1);
    EXPECT_EQ(view->changes[0].uNewState, LVIS_SELECTED);
    EXPECT_EQ(Selected(), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(ctrl.GetItemDatas(TRUE), (std::vector<LPARAM>{0, 10, 20, 30}));
    ctrl.SetItemState(-1, LVIS_SELECTED, LVIS_SELECTED);  // nothing changes: nothing told
    EXPECT_EQ(view->changes.size(), 1u);
    ctrl.SetItemState(-1, 0, LVIS_SELECTED);
    ASSERT_EQ(view->changes.size(), 2u);
    EXPECT_EQ(view->changes[1].iItem, -1);
    EXPECT_EQ(view->changes[1].uNewState, 0u);
    EXPECT_TRUE(Selected().empty());
    EXPECT_EQ(Focused(), 1);

    const std::vector<LPARAM> more = {40, 50};
    EXPECT_EQ(ctrl.AppendItems(more), 4);
    EXPECT_EQ(ctrl.AppendItems({}), -1);
    EXPECT_EQ(ctrl.GetItemDatas(FALSE), (std::vector<LPARAM>{0, 10, 20, 30, 40, 50}));
    view->asks.clear();
    LVITEM item;
    item.mask = LVIF_TEXT;
    item.iItem = 5;
    char text[32] = {};
    item.pszText = text;
    item.cchTextMax = sizeof text;
    ASSERT_TRUE(ctrl.GetItem(&item));
    ASSERT_FALSE(view->asks.empty());  // an appended row's text is the owner's
    EXPECT_EQ(view->asks.back().lParam, 50);

    ctrl.SetItemState(4, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_FALSE(ctrl.ReorderItems(std::vector<int>{0, 1, 2}));
    EXPECT_TRUE(ctrl.ReorderItems(std::vector<int>{4, 1, 5, 0, 2, 3}));
    EXPECT_EQ(ctrl.GetItemDatas(FALSE), (std::vector<LPARAM>{40, 10, 50, 0, 20, 30}));
    EXPECT_EQ(Selected(), (std::vector<int>{0}));
    EXPECT_EQ(Focused(), 1);
    EXPECT_EQ(ctrl.FindItemByData(50), 2);
    std::vector<int> rows(4);
    ctrl.FindItemsByData(std::vector<LPARAM>{30, 60, 40, 0}, rows);
    EXPECT_EQ(rows, (std::vector<int>{5, -1, 0, 3}));
}

TEST_F(ListView, SortKeepsFocusSelectionAndLookupWithTheirRows) {
    CListCtrl& ctrl = view->GetListCtrl();
    AddRows(6);  // 0 10 20 30 40 50
    ctrl.SetItemState(1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ctrl.SetItemState(5, LVIS_SELECTED, LVIS_SELECTED);
    ASSERT_TRUE(ctrl.SortItems(CompareByTens, TRUE));
    std::vector<LPARAM> order;
    for (int i = 0; i < ctrl.GetItemCount(); ++i) order.push_back(ctrl.GetItemData(i));
    EXPECT_EQ(order, (std::vector<LPARAM>{40, 50, 20, 30, 0, 10}));
    EXPECT_EQ(ctrl.GetItemData(Focused()), 10);
    EXPECT_EQ(Selected(), (std::vector<int>{1, 5}));
    EXPECT_EQ(ctrl.FindItemByData(0), 4);
    EXPECT_EQ(ctrl.FindItemByData(50), 1);
}

TEST_F(ListView, OwnerIsAskedForTextsAndImagesWithColumnAndData) {
    CListCtrl& ctrl = view->GetListCtrl();
    AddRows(3);
    view->asks.clear();
    char buffer[64] = "";
    LVITEM item;
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = 2;
    item.iSubItem = 1;
    item.pszText = buffer;
    item.cchTextMax = sizeof buffer;
    ASSERT_TRUE(ctrl.GetItem(&item));
    EXPECT_STREQ(buffer, "r20 c1");
    EXPECT_EQ(item.iImage, 0);
    EXPECT_EQ(item.lParam, 20);
    ASSERT_EQ(view->asks.size(), 1u);
    EXPECT_EQ(view->asks[0].iItem, 2);
    EXPECT_EQ(view->asks[0].iSubItem, 1);
    EXPECT_EQ(view->asks[0].lParam, 20);
    EXPECT_EQ(view->asks[0].mask, LVIF_TEXT | LVIF_IMAGE);
}

TEST_F(ListView, ColumnsRoundTripAndReportTheUsersWidthsAndClicks) {
    CListCtrl& ctrl = view->GetListCtrl();
    char text[16];
    LVCOLUMN col;
    col.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    col.pszText = text;
    col.cchTextMax = 4;  // cut to fit
    ASSERT_TRUE(ctrl.GetColumn(1, &col));
    EXPECT_EQ(col.fmt, LVCFMT_RIGHT);
    EXPECT_EQ(col.cx, 120);
    EXPECT_STREQ(text, "Han");
    EXPECT_EQ(col.iSubItem, 257);
    EXPECT_FALSE(ctrl.GetColumn(2, &col));

    auto* header = list->findChild<QHeaderView*>();
    ASSERT_NE(header, nullptr);
    header->resizeSection(0, 77);  // as the user's drag does
    col.mask = LVCF_WIDTH;
    ASSERT_TRUE(ctrl.GetColumn(0, &col));
    EXPECT_EQ(col.cx, 77);

    col.mask = LVCF_WIDTH;
    col.cx = 55;
    ASSERT_TRUE(ctrl.SetColumn(1, &col));
    EXPECT_EQ(header->sectionSize(1), 55);

    list->show();
    afx_ui::ProcessEvents();
    const QPoint at(header->sectionViewportPosition(1) + 10, header->height() / 2);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, at, header->viewport()->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(header->viewport(), &event);
    }
    EXPECT_EQ(view->columnClicks, (std::vector<int>{1}));

    while (ctrl.DeleteColumn(0)) {
    }
    EXPECT_EQ(header->count(), 0);
}

TEST_F(ListView, OwnerDrawsOnlyTheRowsInSight) {
    CListCtrl& ctrl = view->GetListCtrl();
    AddRows(1000);
    ctrl.SetItemState(1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    list->grab();
    const int perPage = ctrl.GetCountPerPage();
    ASSERT_GT(perPage, 2);
    ASSERT_FALSE(view->drawn.empty());
    EXPECT_LE(view->drawn.size(), static_cast<size_t>(perPage + 1));
    EXPECT_EQ(view->drawn.front().itemID, 0u);
    EXPECT_TRUE(view->dcReachable);
    const DRAWITEMSTRUCT& second = view->drawn[1];
    EXPECT_EQ(second.CtlType, ODT_LISTVIEW);
    EXPECT_EQ(second.CtlID, 4711u);
    EXPECT_EQ(second.hwndItem, view->GetSafeHwnd());
    EXPECT_EQ(second.itemData, 10u);
    EXPECT_EQ(second.rcItem.right - second.rcItem.left, 220);  // over all columns
    // Selected, but without the keyboard focus no focus rectangle.
    EXPECT_EQ(second.itemState, ODS_SELECTED);

    ctrl.EnsureVisible(500, FALSE);
    const int top = ctrl.GetTopIndex();
    EXPECT_LE(top, 500);
    EXPECT_GT(top + perPage, 500);
    view->drawn.clear();
    list->grab();
    ASSERT_FALSE(view->drawn.empty());
    EXPECT_EQ(view->drawn.front().itemID, static_cast<UINT>(top));
    EXPECT_LE(view->drawn.size(), static_cast<size_t>(perPage + 1));
}

// Rows changed one by one in one wake-up (a pickup of many IDs) are drawn again together, once,
// and scrolled to once; the row height follows a font set later.
TEST_F(ListView, RowsChangedInOneWakeUpAreDrawnAndScrolledToOnce) {
    CListCtrl& ctrl = view->GetListCtrl();
    struct PaintCounter : QObject {
        int count = 0;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint) ++count;
            return false;
        }
    } paints;
    list->viewport()->installEventFilter(&paints);
    list->show();
    AddRows(100);
    ASSERT_TRUE(testing_support::RunEventsUntil([&] { return paints.count > 0; }));
    afx_ui::ProcessEvents();
    list->viewport()->repaint();  // nothing left to draw
    view->drawn.clear();
    paints.count = 0;

    for (int i = 0; i < 50; ++i) {
        ctrl.RedrawItems(5, 5);
        ctrl.RedrawItems(2, 2);
        ctrl.SetItemState(3 + i % 2, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }
    ctrl.RedrawItems(90, 90);  // out of sight: nothing to draw
    ASSERT_TRUE(testing_support::RunEventsUntil([&] { return paints.count > 0; }));
    afx_ui::ProcessEvents();
    EXPECT_EQ(paints.count, 1);
    std::vector<UINT> rows;
    for (const DRAWITEMSTRUCT& d : view->drawn) rows.push_back(d.itemID);
    for (UINT row : {2u, 3u, 4u, 5u}) EXPECT_EQ(std::count(rows.begin(), rows.end(), row), 1);
    EXPECT_EQ(std::count(rows.begin(), rows.end(), 90u), 0);

    // Rows made visible one after another scroll once, to the last; asked in between, the list
    // has scrolled already.
    int scrolls = 0;
    QObject::connect(list->verticalScrollBar(), &QScrollBar::valueChanged, list,
                     [&scrolls] { ++scrolls; });
    const auto inSight = [&ctrl](int row) {
        const int top = ctrl.GetTopIndex();
        return row >= top && row < top + ctrl.GetCountPerPage();
    };
    for (int row : {60, 10, 97, 80}) ctrl.EnsureVisible(row, FALSE);
    EXPECT_EQ(scrolls, 0);
    EXPECT_TRUE(inSight(80));
    EXPECT_EQ(scrolls, 1);
    for (int row : {0, 99, 50}) ctrl.EnsureVisible(row, FALSE);
    afx_ui::ProcessEvents();
    EXPECT_EQ(scrolls, 2);
    EXPECT_TRUE(inSight(50));

    RECT before, after;
    ASSERT_TRUE(ctrl.GetItemRect(0, &before, LVIR_BOUNDS));
    QFont big = list->font();
    big.setPixelSize(40);
    list->setFont(big);
    ASSERT_TRUE(ctrl.GetItemRect(0, &after, LVIR_BOUNDS));
    EXPECT_GE(after.bottom - after.top, 40);
    EXPECT_GT(after.bottom - after.top, before.bottom - before.top);
    list->viewport()->removeEventFilter(&paints);
}

// The focused row, once whole in sight, stays whole when the list shrinks and the horizontal
// scroll bar comes: never half under the bar.
TEST_F(ListView, TheFocusedRowStaysWholeAboveTheHorizontalScrollBar) {
    CListCtrl& ctrl = view->GetListCtrl();
    list->resize(400, 300);
    list->show();
    AddRows(1000);
    ctrl.SetItemState(999, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ctrl.EnsureVisible(999, FALSE);
    afx_ui::ProcessEvents();
    const auto whole = [&] {
        RECT rc;
        EXPECT_TRUE(ctrl.GetItemRect(999, &rc, LVIR_BOUNDS));
        const QRect vp = list->viewport()->geometry();
        return rc.top >= vp.top() && rc.bottom <= vp.bottom() + 1;
    };
    ASSERT_TRUE(whole());
    ASSERT_FALSE(list->horizontalScrollBar()->isVisible());
    for (const QSize size : {QSize(150, 300), QSize(150, 137), QSize(120, 90)}) {
        list->resize(size);
        afx_ui::ProcessEvents();
        EXPECT_TRUE(list->horizontalScrollBar()->isVisible());
        EXPECT_TRUE(whole()) << size.width() << "x" << size.height();
    }
}

TEST_F(ListView, KeyboardFocusComesAndGoesAsMessagesToTheView) {
    for (QEvent::Type type : {QEvent::FocusIn, QEvent::FocusOut}) {
        QFocusEvent event(type, Qt::OtherFocusReason);
        QCoreApplication::sendEvent(list, &event);
    }
    EXPECT_EQ(view->focusMessages, (std::vector<bool>{true, false}));
}

TEST_F(ListView, KeysMoveFocusAndSelectionAsOnTheDesktop) {
    CListCtrl& ctrl = view->GetListCtrl();
    AddRows(100);
    list->show();
    afx_ui::ProcessEvents();
    Key(Qt::Key_Down);  // nothing focused yet: the first row
    EXPECT_EQ(Focused(), 0);
    Key(Qt::Key_Down);
    EXPECT_EQ(Focused(), 1);
    EXPECT_EQ(Selected(), (std::vector<int>{1}));
    Key(Qt::Key_Down, Qt::ShiftModifier);
    Key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(Focused(), 3);
    EXPECT_EQ(Selected(), (std::vector<int>{1, 2, 3}));
    Key(Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(Selected(), (std::vector<int>{1, 2}));
    Key(Qt::Key_Down, Qt::ControlModifier);  // the focus alone
    EXPECT_EQ(Focused(), 3);
    EXPECT_EQ(Selected(), (std::vector<int>{1, 2}));
    Key(Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(Selected(), (std::vector<int>{1, 2, 3}));
    Key(Qt::Key_PageDown);
    const int page = ctrl.GetCountPerPage();
    EXPECT_EQ(Focused(), 3 + page - 1);
    Key(Qt::Key_End);
    EXPECT_EQ(Focused(), 99);
    EXPECT_EQ(Selected(), (std::vector<int>{99}));
    EXPECT_GT(ctrl.GetTopIndex(), 0);  // scrolled to it
    Key(Qt::Key_Home);
    EXPECT_EQ(Focused(), 0);
    EXPECT_EQ(ctrl.GetTopIndex(), 0);
    const int before = ctrl.GetItemCount();
    Key(Qt::Key_A, Qt::ControlModifier);  // the program's command, not the list's
    EXPECT_EQ(Selected(), (std::vector<int>{0}));
    EXPECT_EQ(ctrl.GetItemCount(), before);
}

TEST_F(ListView, TypedCharactersMoveFocusAndSelectionToTheNextRowStartingWithThem) {
    const std::vector<std::string> names = {"Apple",     "banana",  "Cherry",   "apricot",
                                            "Blueberry", "avocado", "Blue Sky", "\xB6\xC0\xB6\xC5"};
    view->textOf = [&names](LPARAM data, int column) {
        return column == 0 ? names[static_cast<size_t>(data / 10)] : std::string("x");
    };
    AddRows(static_cast<int>(names.size()));
    CListCtrl& ctrl = view->GetListCtrl();
    ctrl.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ctrl.SetItemState(2, LVIS_SELECTED, LVIS_SELECTED);

    // From the row after the focused one, case ignored; the selection goes along.
    Type("a", 1000);
    EXPECT_EQ(Focused(), 3);
    EXPECT_EQ(Selected(), (std::vector<int>{3}));
    // The same letter again steps through the rows that start with it, round past the end.
    Type("a", 1500);
    EXPECT_EQ(Focused(), 5);
    Type("a", 2000);
    EXPECT_EQ(Focused(), 0);

    // After a pause a new search; more characters narrow it, from the row found so far.
    Type("b", 4000);
    EXPECT_EQ(Focused(), 1);
    Type("lue", 4500);
    EXPECT_EQ(Focused(), 4);
    // A space within a search is part of it...
    Press(" ", 5000);
    EXPECT_EQ(Focused(), 6);
    EXPECT_EQ(Selected(), (std::vector<int>{6}));
    // ...and after a pause it selects, as ever.
    ctrl.SetItemState(6, 0, LVIS_SELECTED);
    Press(" ", 7000);
    EXPECT_EQ(Focused(), 6);
    EXPECT_EQ(Selected(), (std::vector<int>{6}));

    // Nothing starts with it: the focus stays. Half-width katakana as a kana keyboard types them.
    Type("q", 9000);
    EXPECT_EQ(Focused(), 6);
    Type("ｶﾀ", 11000);
    EXPECT_EQ(Focused(), 7);
    // Characters with Ctrl or Alt are the program's shortcuts, not the list's.
    EXPECT_FALSE(Press("c", 13000, Qt::ControlModifier));
    EXPECT_FALSE(Press("c", 13100, Qt::AltModifier));
    EXPECT_EQ(Focused(), 7);
}

// A million rows cannot be asked for their texts at every key; what type-ahead has seen it keeps
// until the rows or their texts change.
TEST_F(ListView, TypeAheadAsksForARowsTextAgainOnlyWhenItMayHaveChanged) {
    std::map<LPARAM, std::string> changed;
    view->textOf = [&changed](LPARAM data, int) {
        auto it = changed.find(data);
        return it != changed.end() ? it->second : std::to_string(data);  // "0" "10" .. "9990"
    };
    AddRows(1000);
    CListCtrl& ctrl = view->GetListCtrl();
    ctrl.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    view->asks.clear();
    Type("x", 1000);  // no row starts with it
    EXPECT_EQ(Focused(), 0);
    EXPECT_EQ(TextAsks(), 1000);
    view->asks.clear();
    Type("x", 3000);
    EXPECT_EQ(TextAsks(), 0);
    Type("7", 5000);
    EXPECT_EQ(ctrl.GetItemData(Focused()), 70);
    EXPECT_EQ(TextAsks(), 1);  // the row found, to be sure of it

    // The owner reports changed texts through RedrawItems (shown or not).
    changed[500] = "xylophone";
    changed[600] = "xenon";
    ctrl.RedrawItems(50, 50);
    view->asks.clear();
    Type("x", 7000);
    EXPECT_EQ(ctrl.GetItemData(Focused()), 500);
    EXPECT_EQ(TextAsks(), 2);
    // One it did not report is not found by its new text, nor by its old one.
    Type("x", 9000);
    EXPECT_EQ(ctrl.GetItemData(Focused()), 500);
    Type("6", 11000);
    EXPECT_EQ(ctrl.GetItemData(Focused()), 610);
}

TEST_F(ListView, DoubleClickOnAHeaderDividerFitsTheColumnToItsWidestTextInSight) {
    const std::string inSight = "a rather longer text",
                      below = "a text far longer than any in sight";
    view->textOf = [&](LPARAM data, int column) {
        if (column != 0) return std::string();
        return data == 20 ? inSight : data == 9000 ? below : std::string("id");
    };
    AddRows(1000);
    list->show();
    afx_ui::ProcessEvents();
    auto* header = list->findChild<QHeaderView*>();
    const QFontMetrics fm = list->fontMetrics();
    CListCtrl& ctrl = view->GetListCtrl();
    auto width = [&ctrl](int column) {
        LVCOLUMN col;
        col.mask = LVCF_WIDTH;
        return ctrl.GetColumn(column, &col) ? col.cx : -1;
    };

    DoubleClickDivider(0);
    EXPECT_GT(width(0), fm.horizontalAdvance(QString::fromStdString(inSight)));
    EXPECT_LT(width(0), fm.horizontalAdvance(QString::fromStdString(below)));
    EXPECT_EQ(header->sectionSize(0), width(0));
    ctrl.EnsureVisible(900, FALSE);
    DoubleClickDivider(0);
    EXPECT_GT(width(0), fm.horizontalAdvance(QString::fromStdString(below)));
    // Rows with nothing to show: as wide as the caption needs.
    DoubleClickDivider(1);
    EXPECT_EQ(width(1), header->sectionSizeHint(1));
    EXPECT_GT(width(1), fm.horizontalAdvance("Handle"));
}

TEST_F(ListView, ClicksSelectAsOnTheDesktop) {
    AddRows(20);
    list->show();
    afx_ui::ProcessEvents();
    Click(2);
    EXPECT_EQ(Focused(), 2);
    EXPECT_EQ(Selected(), (std::vector<int>{2}));
    Click(4, Qt::ControlModifier);
    EXPECT_EQ(Selected(), (std::vector<int>{2, 4}));
    Click(2, Qt::ControlModifier);
    EXPECT_EQ(Selected(), (std::vector<int>{4}));
    Click(6, Qt::ShiftModifier);  // from the last row clicked, selected or not
    EXPECT_EQ(Selected(), (std::vector<int>{2, 3, 4, 5, 6}));
    EXPECT_EQ(Focused(), 6);
    Click(3, Qt::NoModifier, QEvent::MouseButtonDblClick);
    EXPECT_EQ(Selected(), (std::vector<int>{3}));
    EXPECT_EQ(view->doubleClicks, (std::vector<int>{3}));

    // A click after selecting many rows lets them all go at once: told as row -1, not row by row.
    AddRows(1000);
    view->GetListCtrl().SetItemState(-1, LVIS_SELECTED, LVIS_SELECTED);
    view->changes.clear();
    Click(3);
    EXPECT_EQ(Selected(), (std::vector<int>{3}));
    EXPECT_EQ(Focused(), 3);
    ASSERT_LE(view->changes.size(), 3u);
    EXPECT_EQ(view->changes.front().iItem, -1);
    EXPECT_EQ(view->changes.front().uNewState, 0u);
}

}  // namespace
