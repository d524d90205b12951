// The program's document, frame and view, made the way the program makes them, on the
// offscreen platform.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "document/VelkonDoc.h"
#include "frame/MainFrame.h"
#include "listview/VelkonView.h"
#include "platform/gui/application/CWinApp.h"
#include "platform/gui/document/CDocTemplate.h"
#include "platform/gui/window/UiHooks.h"
#include "res/resource.h"
#include "tests/support/TestSupport.h"

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("XDG_CONFIG_HOME", dir.File("config").c_str(), 1);
        ::setenv("XDG_RUNTIME_DIR", dir.Path().c_str(), 1);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        afx_ui::EnsureApplication();
        StartApp();
    }
    void TearDown() override { StopApp(); }
    // The frame the template makes; a test may put a frame of its own in its place.
    virtual const CRuntimeClass* FrameClass() const { return RUNTIME_CLASS(CMainFrame); }
    // The application object; a test of the application's own commands puts the program's in.
    virtual std::unique_ptr<CWinApp> MakeApp() const {
        return std::make_unique<CWinApp>("Velkon95");
    }
    // A run of the program: application object, template, a new document, the main frame.
    void StartApp() {
        app = MakeApp();
        app->SetRegistryKey("Brambl Free Software");
        app->LoadStdProfileSettings(4);
        app->AddDocTemplate(new CSingleDocTemplate(IDR_MAINFRAME, RUNTIME_CLASS(CVelkonDoc),
                                                   FrameClass(), RUNTIME_CLASS(CVelkonView)));
        app->OnCmdMsg(ID_FILE_NEW, CN_COMMAND, nullptr, nullptr);
        frame = dynamic_cast<CMainFrame*>(app->m_pMainWnd);
        ASSERT_NE(frame, nullptr);
        doc = static_cast<CVelkonDoc*>(frame->GetActiveDocument());
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

    testing_support::TempDir dir;
    std::unique_ptr<CWinApp> app;
    CMainFrame* frame = nullptr;
    CVelkonDoc* doc = nullptr;
};
