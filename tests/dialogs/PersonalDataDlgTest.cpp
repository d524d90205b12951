// The personal data editor on the program's document, worked by control id.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWidget>
#include <cstdio>
#include <string>

#include "platform/gui/dialog/DialogControls.h"
#include "platform/gui/window/SystemMetrics.h"
#include "res/resource.h"
#include "tests/dialogs/EditorFixture.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestPictures.h"

using editor_test::EditorTest;
using editor_test::Line;
using namespace testing_support;

namespace {

POINT TopLeft(CWnd* wnd) {
    RECT rect;
    wnd->GetWindowRect(&rect);
    return {rect.left, rect.top};
}

// Ctrl+V into the field with the cursor where it is (at cursor, when given).
void PasteInto(CDialog* dlg, int id, const QString& text, int cursor = -1) {
    auto* edit = qobject_cast<QLineEdit*>(dlg->GetDlgItem(id)->GetWidget());
    ASSERT_NE(edit, nullptr);
    edit->setFocus();
    if (cursor >= 0) edit->setCursorPosition(cursor);
    QApplication::clipboard()->setText(text);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier);
    QApplication::sendEvent(edit, &press);
}

QString Repeated(const char* utf8, int n) {
    return QString::fromUtf8(utf8).repeated(n);
}

const std::vector<std::string> kRecords = {
    Line("ABC12345", {"Blue", "m1", "", "", "", "", "m6"}, 7, "1997/05/03", "1998/03/01"),
    Line("XYZ00001", {"あおい"}),
};

}  // namespace

TEST_F(EditorTest, EditorsCascadeFromMinusOneAndStartAgainAtTheScreenEdge) {
    OpenLines(kRecords);
    CPersonalDataDlg::s_nCascadeX = -1;
    CPersonalDataDlg::s_nCascadeY = -1;
    const int dx = GetSystemMetrics(SM_CXDLGFRAME) + GetSystemMetrics(SM_CYMENU);
    const int dy = GetSystemMetrics(SM_CYDLGFRAME) + GetSystemMetrics(SM_CYMENU);
    CPersonalDataDlg* first = CPersonalDataDlg::Open(0);
    CPersonalDataDlg* second = CPersonalDataDlg::Open(0);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(TopLeft(first).x, -1);
    EXPECT_EQ(TopLeft(first).y, -1);
    EXPECT_EQ(TopLeft(second).x, -1 + dx);
    EXPECT_EQ(TopLeft(second).y, -1 + dy);

    // The next one would reach the right edge exactly: it starts again at x = 0; y goes on. (The
    // size that counts is the one the window has while it opens, before the window manager
    // adds its frame: the client size here.)
    RECT rect;
    first->GetClientRect(&rect);
    CPersonalDataDlg::s_nCascadeX = GetSystemMetrics(SM_CXSCREEN) - (rect.right - rect.left);
    const int y = CPersonalDataDlg::s_nCascadeY;
    CPersonalDataDlg* third = CPersonalDataDlg::Open(1);
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(TopLeft(third).x, 0);
    EXPECT_EQ(TopLeft(third).y, y);
    EXPECT_EQ(CPersonalDataDlg::s_nCascadeX, dx);

    CPersonalDataDlg::s_nCascadeY = GetSystemMetrics(SM_CYSCREEN) - (rect.bottom - rect.top) - 1;
    CPersonalDataDlg* fourth = CPersonalDataDlg::Open(1);
    ASSERT_NE(fourth, nullptr);
    EXPECT_EQ(TopLeft(fourth).y, CPersonalDataDlg::s_nCascadeY - dy);  // still fits: kept
    EXPECT_EQ(Editors().size(), 4u);
}

// The title and the labels are set when the editor opens: the template's texts never show.
TEST_F(EditorTest, TitleLabelsAndReadOnlyFieldsComeFromTheRecordAndTheListCaptions) {
    OpenLines(kRecords);
    std::snprintf(view->m_szCaption[1], 256, "Nick");
    std::snprintf(view->m_szCaption[7], 256, "%s", Sjis("趣味").GetString());
    SelectRecord(0);
    frame->RunCommand(ID_PERSONAL_DATA);
    ASSERT_EQ(Editors().size(), 1u);
    CPersonalDataDlg* d = Editors()[0];
    EXPECT_EQ(Utf8(d->GetWindowText()), "ABC12345 - ﾊﾟｰｿﾅﾙﾃﾞｰﾀの編集");
    EXPECT_EQ(Shown(d, IDC_LABEL_HANDLE), "Nick :");
    EXPECT_EQ(Shown(d, IDC_LABEL_MEMO1), "メモ１ :");
    EXPECT_EQ(Shown(d, IDC_LABEL_MEMO6), "趣味 :");
    EXPECT_EQ(Shown(d, IDC_HANDLE), "Blue");
    EXPECT_EQ(Shown(d, IDC_MEMO1), "m1");
    EXPECT_EQ(Shown(d, IDC_MEMO6), "m6");
    EXPECT_EQ(Shown(d, IDC_REGIST_DATE), "1997/05/03");
    EXPECT_EQ(Shown(d, IDC_PREV_UPDATE_DATE), "1998/03/01");
    EXPECT_EQ(Shown(d, IDC_UPDATE_COUNT), "7");
    EXPECT_EQ(FocusedId(d), IDC_HANDLE);
    // On screen too: every label and field is drawn where it is placed.
    TestPictures pictures;
    ExpectControlsDrawn(pictures.Take(d, "editor-2100"), d->GetWidget());

    // Captions changed later reach editors opened afterwards only.
    std::snprintf(view->m_szCaption[1], 256, "Handle");
    CPersonalDataDlg* later = CPersonalDataDlg::Open(0, view->m_szCaption);
    ASSERT_NE(later, nullptr);
    EXPECT_EQ(Shown(later, IDC_LABEL_HANDLE), "Handle :");
    EXPECT_EQ(Shown(d, IDC_LABEL_HANDLE), "Nick :");
    // Each editor holds copies: the captions it was handed may change or go meanwhile.
    std::snprintf(view->m_szCaption[1], 256, "Other");
    ASSERT_TRUE(later->m_captions.has_value());
    EXPECT_EQ((*later->m_captions)[0], "Handle");
    EXPECT_EQ(Utf8((*later->m_captions)[6]), "趣味");
}

TEST_F(EditorTest, OkWritesOnlyWhenSomethingWasTyped) {
    OpenLines(kRecords);
    ASSERT_FALSE(doc->IsModified());
    CPersonalDataDlg* d = CPersonalDataDlg::Open(0);
    ASSERT_NE(d, nullptr);
    Click(d, IDOK);
    EXPECT_TRUE(Editors().empty());
    EXPECT_FALSE(doc->IsModified());

    // Typed and taken back again still counts: the same texts are written.
    d = CPersonalDataDlg::Open(0);
    TypeInto(d, IDC_MEMO4, "x");
    PressKey(d, Qt::Key_Backspace);
    Activate(d);  // Enter in the main window would open another editor
    PressKey(d, Qt::Key_Return);
    EXPECT_TRUE(Editors().empty());
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(doc->m_astrHandle[0], "Blue");
    EXPECT_EQ(doc->m_astrMemo4[0], "");

    d = CPersonalDataDlg::Open(1);
    Retype(d, IDC_HANDLE, "みどり");
    TypeInto(d, IDC_MEMO3, "memo3");
    Click(d, IDOK);
    EXPECT_EQ(doc->m_astrHandle[1], Sjis("みどり"));
    EXPECT_EQ(doc->m_astrMemo3[1], "memo3");
    EXPECT_EQ(view->GetDataText(1, 1), Sjis("みどり"));
    EXPECT_EQ(doc->m_anUpdateCount[1], 3);  // only the texts change

    // Cancel and Esc write nothing.
    d = CPersonalDataDlg::Open(1);
    Retype(d, IDC_HANDLE, "x");
    Click(d, IDCANCEL);
    d = CPersonalDataDlg::Open(1);
    Retype(d, IDC_HANDLE, "y");
    Activate(d);
    PressKey(d, Qt::Key_Escape);
    EXPECT_EQ(doc->m_astrHandle[1], Sjis("みどり"));
    EXPECT_TRUE(Editors().empty());
}

TEST_F(EditorTest, TextsStopAt255Bytes) {
    OpenLines(kRecords);
    CPersonalDataDlg* d = CPersonalDataDlg::Open(0);
    ASSERT_NE(d, nullptr);
    Retype(d, IDC_MEMO5, std::string(300, 'a').c_str());
    Click(d, IDOK);
    EXPECT_EQ(doc->m_astrMemo5[0].GetLength(), 255);
}

TEST_F(EditorTest, APasteIsCutAtTheLimitBetweenCharactersAndTypingStopsThere) {
    OpenLines(kRecords);
    CPersonalDataDlg* d = CPersonalDataDlg::Open(1);
    ASSERT_NE(d, nullptr);
    // 200 kanji are 400 bytes: the first 127 go in, 254 bytes.
    Retype(d, IDC_MEMO1, "");
    PasteInto(d, IDC_MEMO1, Repeated("漢", 200));
    EXPECT_EQ(Shown(d, IDC_MEMO1), Repeated("漢", 127).toStdString());
    // At 254 bytes a letter still fits, a kanji no longer.
    TypeInto(d, IDC_MEMO1, "aあ");
    EXPECT_EQ(Shown(d, IDC_MEMO1), (Repeated("漢", 127) + "a").toStdString());

    // Letters and kanji mixed: cut where the next kanji would need one byte more than is left.
    Retype(d, IDC_MEMO2, "xy");
    PasteInto(d, IDC_MEMO2, "a" + Repeated("字", 200));
    EXPECT_EQ(Shown(d, IDC_MEMO2), ("xya" + Repeated("字", 126)).toStdString());  // 255
    Retype(d, IDC_MEMO3, "x");
    PasteInto(d, IDC_MEMO3, Repeated("字", 127) + "abc");
    EXPECT_EQ(Shown(d, IDC_MEMO3), ("x" + Repeated("字", 127)).toStdString());  // 255
    // Pasted into the middle: the text after the cursor stays, the paste gives way.
    Retype(d, IDC_MEMO4, "ab");
    PasteInto(d, IDC_MEMO4, Repeated("あ", 130), 1);
    EXPECT_EQ(Shown(d, IDC_MEMO4), ("a" + Repeated("あ", 126) + "b").toStdString());
    // What fits goes in whole.
    Retype(d, IDC_MEMO5, "");
    PasteInto(d, IDC_MEMO5, Repeated("あ", 120));
    EXPECT_EQ(Shown(d, IDC_MEMO5), Repeated("あ", 120).toStdString());

    Click(d, IDOK);
    EXPECT_EQ(doc->m_astrMemo1[1], Sjis((Repeated("漢", 127) + "a").toUtf8().constData()));
    EXPECT_EQ(doc->m_astrMemo4[1].GetLength(), 254);
}

TEST_F(EditorTest, TwoEditorsOnOneRecordTheLastOkWithTypingWins) {
    OpenLines(kRecords);
    CPersonalDataDlg* a = CPersonalDataDlg::Open(0);
    CPersonalDataDlg* b = CPersonalDataDlg::Open(0);
    CPersonalDataDlg* idle = CPersonalDataDlg::Open(0);
    ASSERT_TRUE(a && b && idle);
    Retype(a, IDC_HANDLE, "from a");
    Retype(b, IDC_HANDLE, "from b");
    Click(b, IDOK);
    Click(a, IDOK);
    EXPECT_EQ(doc->m_astrHandle[0], "from a");
    Click(idle, IDOK);  // nothing typed: leaves the other editors' text alone
    EXPECT_EQ(doc->m_astrHandle[0], "from a");
}

TEST_F(EditorTest, ADeletedRecordDiscardsTheEditsUntilItIsRestored) {
    OpenLines(kRecords);
    MessageBoxAnswerer boxes(IDOK);
    CPersonalDataDlg* d = CPersonalDataDlg::Open(0);
    ASSERT_NE(d, nullptr);
    doc->DeleteID(0);
    Retype(d, IDC_HANDLE, "lost");
    Click(d, IDOK);
    ASSERT_EQ(boxes.Texts().size(), 1u);
    EXPECT_EQ(boxes.Texts()[0],
              "編集中のID： ABC12345 は削除されています。\n編集内容は破棄されます。");
    EXPECT_EQ(boxes.Types()[0], static_cast<UINT>(MB_OK));
    EXPECT_TRUE(Editors().empty());
    EXPECT_EQ(doc->m_astrHandle[0], "Blue");

    d = CPersonalDataDlg::Open(0);
    doc->RestoreID();
    Retype(d, IDC_HANDLE, "kept");
    Click(d, IDOK);
    EXPECT_EQ(boxes.Texts().size(), 1u);
    EXPECT_EQ(doc->m_astrHandle[0], "kept");
}

// Another file gives the record numbers to other IDs: an editor opened before must not write
// its texts into whatever record now has its number.
TEST_F(EditorTest, AnEditorRefusesToWriteAfterAnotherFileWasOpened) {
    OpenLines(kRecords);
    MessageBoxAnswerer boxes(IDOK);
    CPersonalDataDlg* other = CPersonalDataDlg::Open(0);
    CPersonalDataDlg* gone = CPersonalDataDlg::Open(1);
    ASSERT_TRUE(other && gone);
    OpenLines({Line("QQQ99999", {"someone"})}, "other.lst");
    Retype(other, IDC_HANDLE, "stray");
    Click(other, IDOK);
    Retype(gone, IDC_HANDLE, "stray");
    Click(gone, IDOK);
    ASSERT_EQ(boxes.Texts().size(), 2u);
    EXPECT_EQ(
        boxes.Texts()[0],
        "編集中のID： ABC12345 は別のﾌｧｲﾙが開かれたため見つかりません。\n編集内容は破棄されます。");
    EXPECT_EQ(
        boxes.Texts()[1],
        "編集中のID： XYZ00001 は別のﾌｧｲﾙが開かれたため見つかりません。\n編集内容は破棄されます。");
    EXPECT_EQ(doc->GetRecordCount(), 1);
    EXPECT_EQ(doc->m_astrHandle[0], "someone");
    EXPECT_FALSE(doc->IsModified());
    EXPECT_TRUE(Editors().empty());

    // The same file opened again gives each number its ID back: the edit is written.
    OpenLines(kRecords);
    CPersonalDataDlg* d = CPersonalDataDlg::Open(1);
    OpenLines(kRecords, "copy.lst");
    Retype(d, IDC_HANDLE, "again");
    Click(d, IDOK);
    EXPECT_EQ(doc->m_astrHandle[1], "again");
    EXPECT_EQ(boxes.Texts().size(), 2u);
}

TEST_F(EditorTest, NoEditorOpensForARecordThatIsNotThere) {
    OpenLines(kRecords);
    EXPECT_EQ(CPersonalDataDlg::Open(-1), nullptr);
    EXPECT_EQ(CPersonalDataDlg::Open(2), nullptr);
    EXPECT_TRUE(Editors().empty());
}
