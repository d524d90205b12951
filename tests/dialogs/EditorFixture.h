// The program's frame and list with records that carry memos, for the dialogs that work on one
// record; and the personal data editors that are open.
#pragma once

#include <QApplication>
#include <QWidget>
#include <string>
#include <vector>

#include "dialogs/PersonalDataDlg.h"
#include "platform/gui/window/WidgetBridge.h"
#include "tests/listview/ListViewFixture.h"

namespace editor_test {

// One record line: ID, handle and memos (UTF-8), count, registration and update date.
inline std::string Line(const char* id, const std::vector<const char*>& texts, int count = 3,
                        const char* regist = "1997/05/03", const char* update = "1998/03/01") {
    std::string line = id;
    for (std::size_t i = 0; i < 7; ++i)
        line += "\t" + (i < texts.size() ? testing_support::Sjis(texts[i]).Str() : std::string());
    return line + "\t" + std::to_string(count) + "\t" + regist + "\t" + update + "\r\n";
}

class EditorTest : public listview_test::ListViewTest {
protected:
    void TearDown() override {
        for (CPersonalDataDlg* d : Editors()) d->DestroyWindow();
        ListViewTest::TearDown();
    }
    void OpenLines(const std::vector<std::string>& lines, const char* name = "ids.lst") {
        std::string text = "*test data\r\n";
        for (const std::string& line : lines) text += line;
        const std::string path = dir.File(name);
        testing_support::WriteFile(path, text);
        ASSERT_NE(app->OpenDocumentFile(path.c_str()), nullptr);
        doc = static_cast<CVelkonDoc*>(frame->GetActiveDocument());
        Reattach();
    }
    // Makes record r the one selected and current row.
    void SelectRecord(int r) {
        CListCtrl& list = view->GetListCtrl();
        const int row = list.FindItemByData(r);
        ASSERT_GE(row, 0);
        list.SetItemState(-1, 0, LVIS_SELECTED);
        list.SetItemState(row, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
    }
    // Keys go to the active window's shortcuts first, as they do for a user.
    static void Activate(CDialog* d) {
        d->GetWidget()->activateWindow();
        afx_ui::ProcessEvents();
    }
    static std::vector<CPersonalDataDlg*> Editors() {
        std::vector<CPersonalDataDlg*> found;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = dynamic_cast<CPersonalDataDlg*>(CWndBridge::WindowOf(w)))
                if (w->isVisible()) found.push_back(d);
        return found;
    }
};

}  // namespace editor_test
