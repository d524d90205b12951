#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include "database/VelkonDoc.h"
#include "listview/VelkonView.h"
#include "platform/gui/CWinApp.h"
#include "platform/gui/UiHooks.h"
#include "tests/support/TestSupport.h"

using testing_support::Sjis;

namespace {

class FilterTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("XDG_CONFIG_HOME", dir.Path().c_str(), 1);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        afx_ui::EnsureApplication();
        app = std::make_unique<CWinApp>("Velkon95");
        doc = std::make_unique<CVelkonDoc>();
        view = std::make_unique<CVelkonView>();
        doc->AddView(view.get());
        // Record 0: registered 1997/05/03, last updated 1998/01/02.
        CString text =
            Sjis("ABC12345\tあおい　そら\tFoo\t\t\t\t\tｶﾅ\t3\t1997/05/03\t1998/01/02\r\n");
        const std::string path = dir.File("f.lst");
        testing_support::WriteFile(path, text.Str());
        ASSERT_TRUE(doc->OnOpenDocument(path.c_str()));
    }
    void TearDown() override {
        view.reset();
        doc.reset();
        app.reset();
    }
    void Target(const char* date, int method, BOOL regist, BOOL update) {
        CSpecifyDateDlg& d = view->m_dlgDate;
        d.m_strDate = date;
        d.m_nMethod = method;
        d.m_bRegistDate = regist;
        d.m_bUpdateDate = update;
    }
    void Keyword(const char* utf8, BOOL caseSensitive) {
        CSpecifyKeywordDlg& k = view->m_dlgKeyword;
        k.m_strKeyword = Sjis(utf8);
        k.m_bCase = caseSensitive;
    }

    testing_support::TempDir dir;
    std::unique_ptr<CWinApp> app;
    std::unique_ptr<CVelkonDoc> doc;
    std::unique_ptr<CVelkonView> view;
};

}  // namespace

TEST_F(FilterTest, DateTestsAreInclusiveAndEachCheckedDateMustPass) {
    Target("1997/05/03", CSpecifyDateDlg::OnTheDay, TRUE, FALSE);
    EXPECT_TRUE(view->IsDateMatch(0));
    Target("1997/05/03", CSpecifyDateDlg::OnTheDay, TRUE, TRUE);  // both must fall on the day
    EXPECT_FALSE(view->IsDateMatch(0));
    Target("1997/05/03", CSpecifyDateDlg::OnOrAfter, TRUE, TRUE);
    EXPECT_TRUE(view->IsDateMatch(0));
    Target("1998/01/01", CSpecifyDateDlg::OnOrBefore, TRUE, TRUE);
    EXPECT_FALSE(view->IsDateMatch(0));
    Target("1998/01/02", CSpecifyDateDlg::OnOrBefore, TRUE, TRUE);
    EXPECT_TRUE(view->IsDateMatch(0));
    Target("2000/01/01", 7, TRUE, TRUE);  // an unknown method lets everything through
    EXPECT_TRUE(view->IsDateMatch(0));
    Target("2000/01/01", CSpecifyDateDlg::OnOrAfter, FALSE, FALSE);
    EXPECT_TRUE(view->IsDateMatch(0));
}

TEST_F(FilterTest, KeywordsMatchAnyCheckedFieldWithOrWithoutCase) {
    CSpecifyKeywordDlg& k = view->m_dlgKeyword;
    Keyword("foo", FALSE);
    EXPECT_FALSE(view->IsKeywordMatch(0));  // no field checked
    k.m_bMemo1 = TRUE;
    EXPECT_TRUE(view->IsKeywordMatch(0));
    Keyword("foo", TRUE);
    EXPECT_FALSE(view->IsKeywordMatch(0));
    Keyword("abc123", FALSE);
    EXPECT_FALSE(view->IsKeywordMatch(0));
    k.m_bID = TRUE;
    EXPECT_TRUE(view->IsKeywordMatch(0));
    // Double-byte text: a whole-character match, the ideographic space included.
    Keyword("い　そ", TRUE);
    k.m_bHandle = TRUE;
    EXPECT_TRUE(view->IsKeywordMatch(0));
    Keyword("ｶﾅ", TRUE);
    EXPECT_FALSE(view->IsKeywordMatch(0));
    k.m_bMemo6 = TRUE;
    EXPECT_TRUE(view->IsKeywordMatch(0));
}

TEST_F(FilterTest, DataTextsAndTheirBufferCut) {
    EXPECT_EQ(view->GetDataText(0, 0), "ABC12345");
    EXPECT_EQ(testing_support::Utf8(view->GetDataText(0, 7)), "ｶﾅ");
    EXPECT_EQ(view->GetDataText(0, 8), "1997/05/03");
    EXPECT_EQ(view->GetDataText(0, 9), "1998/01/02");
    EXPECT_EQ(view->GetDataText(0, 10), "       3");
    EXPECT_TRUE(view->GetDataText(0, 11).IsEmpty());

    // 254 single bytes and a double-byte character: the character does not fit in 255 bytes.
    char buffer[256];
    CVelkonView::CopyToBuffer(buffer, CString(std::string(254, 'x')) + Sjis("あ"));
    EXPECT_EQ(std::strlen(buffer), 254u);
    CVelkonView::CopyToBuffer(buffer, CString(std::string(300, 'y')));
    EXPECT_EQ(std::strlen(buffer), 255u);
}
