// The program's frame and ID list with a few records opened, and what the tests read off the
// list.
#pragma once

#include <string>
#include <vector>

#include "listview/DataColumns.h"
#include "tests/frame/FrameFixture.h"

namespace listview_test {

struct Record {
    const char* id;
    const char* handle;  // UTF-8
    int count;
    const char* regist;
    const char* prevUpdate;
};

inline std::string LstOf(const std::vector<Record>& records) {
    std::string text = "*test data\r\n";
    for (const Record& r : records) {
        text += r.id;
        text += "\t" + testing_support::Sjis(r.handle).Str() + "\t\t\t\t\t\t\t" +
                std::to_string(r.count) + "\t" + r.regist + "\t" + r.prevUpdate + "\r\n";
    }
    return text;
}

inline int DefaultWidth() {
    return 15 * LOWORD(GetDialogBaseUnits());
}

class ListViewTest : public FrameTest {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        Reattach();
    }
    void Reattach() {
        if (!frame) return;
        view = dynamic_cast<CVelkonView*>(frame->GetActiveView());
        ASSERT_NE(view, nullptr);
    }
    void Open(const std::vector<Record>& records) {
        const std::string path = dir.File("ids.lst");
        testing_support::WriteFile(path, LstOf(records));
        ASSERT_NE(app->OpenDocumentFile(path.c_str()), nullptr);
        doc = static_cast<CVelkonDoc*>(frame->GetActiveDocument());
        Reattach();
    }
    // Records shown from top to bottom.
    std::vector<int> Rows() const {
        std::vector<int> rows;
        CListCtrl& list = view->GetListCtrl();
        for (int i = 0; i < list.GetItemCount(); ++i)
            rows.push_back(static_cast<int>(list.GetItemData(i)));
        return rows;
    }
    std::vector<int> Selected() const {
        std::vector<int> rows;
        CListCtrl& list = view->GetListCtrl();
        for (int i = list.GetNextItem(-1, LVNI_SELECTED); i >= 0;
             i = list.GetNextItem(i, LVNI_SELECTED))
            rows.push_back(static_cast<int>(list.GetItemData(i)));
        return rows;
    }
    int FocusedRecord() const {
        CListCtrl& list = view->GetListCtrl();
        const int row = list.GetNextItem(-1, LVNI_FOCUSED);
        return row < 0 ? -1 : static_cast<int>(list.GetItemData(row));
    }
    void ClickHeader(int position) {
        NMLISTVIEW nm;
        nm.hdr.code = LVN_COLUMNCLICK;
        nm.iSubItem = position;
        view->SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&nm));
    }
    // Shows the update count as a fifth column.
    void ShowUpdateCount() {
        view->m_aColumn[10].iSubItem = data_column::UpdateCount | CVelkonView::kShown;
        view->RebuildColumns();
    }

    CVelkonView* view = nullptr;
};

inline const std::vector<Record> kThree = {
    {"XYZ00001", "Blue", 100, "1998/01/02", "1998/03/01"},
    {"ABC12345", "ｶﾀｶﾅ", 5, "1997/05/03", "1998/03/01"},
    {"MNO55555", "あおい", 12, "1998/01/02", "1997/12/31"},
};

}  // namespace listview_test
