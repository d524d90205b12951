#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

#include "platform/base/CodePage.h"
#include "platform/base/DisplayText.h"
#include "platform/base/StringResource.h"
#include "platform/gui/document/CDocument.h"
#include "platform/gui/document/CView.h"
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

// The reason texts, as the user reads them.
struct CDocumentProbe : CDocument {
    static std::string Prompt(int err) {
        return Cp932ToUtf8(AfxLoadString(FileErrorPrompt(err)).View());
    }
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
    // A name the code page cannot spell (é, the emoji) still saves and opens: paths are the file
    // system's bytes; only the title is converted.
    const std::string path = dir.File("josé-データ①😀.lst");
    TextDoc doc;
    doc.text = "hello";
    doc.SetModifiedFlag();
    ASSERT_TRUE(doc.DoSave(path.c_str()));
    EXPECT_EQ(ReadFile(path), "hello");
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.GetPathName(), path.c_str());
    EXPECT_EQ(DisplayTextToUtf8(doc.GetTitle().View()), "josé-データ①😀.lst");

    TextDoc other;
    other.text = "stale";
    ASSERT_TRUE(other.OnOpenDocument(path.c_str()));
    EXPECT_EQ(other.text, "hello");
    EXPECT_FALSE(other.IsModified());
}

namespace {

// The headline, the file, and why.
std::string Report(const char* headline, const std::string& path, const char* reason) {
    return std::string(headline) + "\n\n" + path + "\n" + reason;
}

}  // namespace

TEST(CDocument, FailuresAreReportedWithTheFileAndWhyAndChangeNothing) {
    TempDir dir;
    MessageBoxAnswerer boxes(IDOK);
    TextDoc doc;
    doc.text = "unsaved";
    doc.SetModifiedFlag();

    const std::string missing = dir.File("missing.lst");
    EXPECT_FALSE(doc.OnOpenDocument(missing.c_str()));
    EXPECT_EQ(doc.text, "unsaved");

    WriteFile(dir.File("plain"), "x");
    const std::string underFile = dir.File("plain/doc.lst");
    EXPECT_FALSE(doc.OnSaveDocument(underFile.c_str()));
    EXPECT_FALSE(doc.OnSaveDocument(dir.Path().c_str()));

    // A write that fails halfway must leave the old file in place.
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
    EXPECT_EQ(boxes.Texts(),
              (std::vector<std::string>{
                  Report(kOpenFailed, missing, "ﾌｧｲﾙが見つかりません。"),
                  Report(kSaveFailed, underFile, "ﾌｧｲﾙが見つかりません。"),
                  Report(kSaveFailed, dir.Path(), "ﾌｫﾙﾀﾞです。ﾌｧｲﾙを指定してください。"),
                  Report(kSaveFailed, path, "予期しないｴﾗｰが発生しました。(ｴﾗｰ番号 27)")}));
    EXPECT_EQ(boxes.Types().front(), MB_ICONEXCLAMATION);
}

TEST(CDocument, WhatIsNoFileIsRefusedAtOnce) {
    TempDir dir;
    MessageBoxAnswerer boxes(IDOK);
    TextDoc doc;
    // Nobody writes to the FIFO: opening it for reading would wait for ever.
    const std::string fifo = dir.File("fifo.lst");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(doc.OnOpenDocument(fifo.c_str()));
    EXPECT_FALSE(doc.OnSaveDocument(fifo.c_str()));
    EXPECT_FALSE(doc.OnOpenDocument("/dev/null"));
    EXPECT_FALSE(doc.OnOpenDocument(dir.Path().c_str()));
    // A file that opens but cannot be read: the kernel answers an I/O error.
    doc.text = "kept";
    EXPECT_FALSE(doc.OnOpenDocument("/proc/self/mem"));
    EXPECT_EQ(doc.text, "");  // emptied: the caller makes it a new document
    const char* notAFile = "通常のﾌｧｲﾙではありません。";
    EXPECT_EQ(boxes.Texts(),
              (std::vector<std::string>{
                  Report(kOpenFailed, fifo, notAFile), Report(kSaveFailed, fifo, notAFile),
                  Report(kOpenFailed, "/dev/null", notAFile),
                  Report(kOpenFailed, dir.Path(), "ﾌｫﾙﾀﾞです。ﾌｧｲﾙを指定してください。"),
                  Report(kOpenFailed, "/proc/self/mem", "ﾃﾞｨｽｸの読み書きでｴﾗｰが発生しました。")}));
    EXPECT_EQ(CDocumentProbe::Prompt(ENOSPC), "ﾃﾞｨｽｸの空き容量が足りません。");
    EXPECT_EQ(CDocumentProbe::Prompt(EROFS), "読み取り専用のﾌｧｲﾙ ｼｽﾃﾑです。");
    EXPECT_EQ(CDocumentProbe::Prompt(EACCES), "ｱｸｾｽが拒否されました。");
}
