// A program of the framework's own, for the tests of a document's life in a running program:
// a document whose file is its text, a plain frame and a view that shows what the document
// holds, made by a template the way a program makes them, on the offscreen platform.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "platform/gui/application/CWinApp.h"
#include "platform/gui/application/MessageBox.h"
#include "platform/gui/document/CDocTemplate.h"
#include "platform/gui/document/CDocument.h"
#include "platform/gui/document/CView.h"
#include "platform/gui/frame/CFrameWnd.h"
#include "platform/gui/window/MessageMap.h"
#include "platform/gui/window/UiHooks.h"
#include "tests/support/TestSupport.h"

namespace text_app {

// The template's resource id: no menu, keys or document string, so a new document is "無題".
constexpr UINT kTemplate = 900;
constexpr const char* kUntitled = "無題";

class TextDoc : public CDocument {
    DECLARE_DYNCREATE(TextDoc)
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
    // An edit as a user makes one.
    void Type(const std::string& more) {
        text += more;
        SetModifiedFlag();
        UpdateAllViews(nullptr);
    }
    std::string text;
};

// Shows the document's text; counts the times it started over with a document.
class TextView : public CView {
    DECLARE_DYNCREATE(TextView)
public:
    void OnInitialUpdate() override {
        ++initialUpdates;
        CView::OnInitialUpdate();
    }
    void OnUpdate(CView*, LPARAM, CObject*) override {
        auto* doc = dynamic_cast<TextDoc*>(GetDocument());
        shown = doc ? doc->text : std::string();
    }
    std::string shown;
    int initialUpdates = 0;
};

class TextFrame : public CFrameWnd {
    DECLARE_DYNCREATE(TextFrame)
};

class TextAppTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("XDG_CONFIG_HOME", dir.File("config").c_str(), 1);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        afx_ui::EnsureApplication();
        StartApp();
    }
    void TearDown() override { StopApp(); }
    virtual const CRuntimeClass* FrameClass() const { return RUNTIME_CLASS(TextFrame); }
    // The application object with its template, before any document or window.
    void MakeApp() {
        app = std::make_unique<CWinApp>("TextApp");
        app->SetRegistryKey("Platform Tests");
        app->LoadStdProfileSettings(4);
        app->AddDocTemplate(new CSingleDocTemplate(kTemplate, RUNTIME_CLASS(TextDoc), FrameClass(),
                                                   RUNTIME_CLASS(TextView)));
    }
    // A run of the program: application object, template, a new document, the main frame.
    void StartApp() {
        MakeApp();
        app->OnCmdMsg(ID_FILE_NEW, CN_COMMAND, nullptr, nullptr);
        frame = dynamic_cast<CFrameWnd*>(app->m_pMainWnd);
        ASSERT_NE(frame, nullptr);
        TakeDocument();
        afx_ui::ProcessEvents();
    }
    void StopApp() {
        if (app && app->m_pMainWnd) app->m_pMainWnd->DestroyWindow();
        if (app) app->ExitInstance();
        app.reset();
        afx_ui::ProcessEvents();
        frame = nullptr;
        doc = nullptr;
    }
    // The next run of the program, as far as its settings go.
    void Restart() {
        StopApp();
        StartApp();
    }
    TextDoc* Open(const std::string& path) {
        doc = dynamic_cast<TextDoc*>(app->OpenDocumentFile(path.c_str()));
        return doc;
    }
    // The document the frame shows now.
    void TakeDocument() { doc = dynamic_cast<TextDoc*>(frame->GetActiveDocument()); }
    TextView* View() const { return dynamic_cast<TextView*>(frame->GetActiveView()); }
    // Runs the event loop until the program has ended (its main window gone), or 5 s.
    bool Ended() {
        if (!testing_support::RunEventsUntil([this] { return !app->m_pMainWnd; },
                                             std::chrono::seconds(5)))
            return false;
        frame = nullptr;
        doc = nullptr;
        return true;
    }
    // Where an untitled document's changes are kept: beside the settings.
    std::string UntitledRecovery() const {
        return dir.File("config/Platform Tests/TextApp.recovery");
    }

    testing_support::TempDir dir;
    std::unique_ptr<CWinApp> app;
    CFrameWnd* frame = nullptr;
    TextDoc* doc = nullptr;
};

// Answers questions through fn for as long as it lives.
struct AnswerWith {
    explicit AnswerWith(std::function<int(const std::string&)> fn)
        : previous(AfxSetMessageBoxHook(
              [fn](const CString& text, UINT) { return fn(testing_support::Utf8(text)); })) {}
    ~AnswerWith() { AfxSetMessageBoxHook(previous); }
    AfxMessageBoxHook previous;
};

}  // namespace text_app
