#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

#include "platform/gui/CDocument.h"
#include "platform/gui/CView.h"
#include "tests/platform/PlatformTestUtil.h"
#include "tests/support/TestSupport.h"

using testing_support::MessageBoxAnswerer;
using testing_support::ReadFile;
using testing_support::Sjis;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

const char kOpenFailed[] = "ﾄﾞｷｭﾒﾝﾄを開くことに失敗しました。";
const char kSaveFailed[] = "ﾄﾞｷｭﾒﾝﾄの保存に失敗しました。";

class TextDoc : public CDocument {
public:
    void DeleteContents() override { text.clear(); }
    void Serialize(CArchive& ar) override {
        if (ar.IsStoring()) {
            ar.WriteString(text);
        } else {
            CString line;
            while (ar.ReadString(line)) text += line.Str();
        }
    }
    std::string text;
};

class RecordingView : public CView {
public:
    using Call = std::tuple<CView*, LPARAM, CObject*>;
    void OnUpdate(CView* sender, LPARAM hint, CObject* object) override {
        calls.emplace_back(sender, hint, object);
        if (leaveWhenTold) GetDocument()->RemoveView(this);
    }
    std::vector<Call> calls;
    bool leaveWhenTold = false;
};

}  // namespace

TEST(CDocument, UpdateAllViewsSkipsTheSenderAndPassesTheHint) {
    TextDoc doc;
    RecordingView a, b, c;
    a.leaveWhenTold = true;  // must not make the next view miss its turn
    for (CView* v : {&a, &b, &c, &b}) doc.AddView(v);
    ASSERT_EQ(doc.GetViews().size(), 3u);

    CObject hint;
    doc.UpdateAllViews(&c, 42, &hint);
    EXPECT_EQ(a.calls, (std::vector<RecordingView::Call>{{&c, 42, &hint}}));
    EXPECT_EQ(b.calls, (std::vector<RecordingView::Call>{{&c, 42, &hint}}));
    EXPECT_TRUE(c.calls.empty());
    EXPECT_EQ(a.GetDocument(), nullptr);
}

TEST(CDocument, SavesAndOpensThroughSerialize) {
    TempDir dir;
    const std::string path = dir.File("doc.lst");
    TextDoc doc;
    doc.text = "hello";
    doc.SetModifiedFlag();
    ASSERT_TRUE(doc.DoSave(path.c_str()));
    EXPECT_EQ(ReadFile(path), "hello");
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.GetPathName(), path.c_str());
    EXPECT_EQ(doc.GetTitle(), "doc.lst");
    doc.SetPathName(Sjis("/home/user/データ/ソ表.lst"));
    EXPECT_EQ(doc.GetTitle(), Sjis("ソ表.lst"));

    TextDoc other;
    other.text = "stale";
    ASSERT_TRUE(other.OnOpenDocument(path.c_str()));
    EXPECT_EQ(other.text, "hello");
    EXPECT_FALSE(other.IsModified());
}

TEST(CDocument, FailuresAreReportedAndChangeNothing) {
    TempDir dir;
    MessageBoxAnswerer boxes(IDOK);
    TextDoc doc;
    doc.text = "unsaved";
    doc.SetModifiedFlag();

    EXPECT_FALSE(doc.OnOpenDocument(dir.File("missing.lst").c_str()));
    EXPECT_EQ(doc.text, "unsaved");

    WriteFile(dir.File("plain"), "x");
    EXPECT_FALSE(doc.OnSaveDocument(dir.File("plain/doc.lst").c_str()));

    // A write that fails halfway, as on a full disk, must leave the old file in place.
    const std::string path = dir.File("doc.lst");
    WriteFile(path, "old");
    doc.text = std::string(100000, 'x');
    {
        FileSizeLimit limit(1000);
        EXPECT_FALSE(doc.OnSaveDocument(path.c_str()));
    }
    EXPECT_EQ(ReadFile(path), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2);

    // Without a path and without anyone to ask for one there is nothing to save to.
    EXPECT_FALSE(doc.DoSave(nullptr));
    EXPECT_FALSE(doc.DoFileSave());

    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(boxes.Texts(), (std::vector<std::string>{kOpenFailed, kSaveFailed, kSaveFailed}));
    EXPECT_EQ(boxes.Types().front(), MB_ICONEXCLAMATION);
}
