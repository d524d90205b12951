// A document with an application object behind it, and a view that records what it is told.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "document/VelkonDoc.h"
#include "platform/gui/application/CWinApp.h"
#include "platform/gui/document/CView.h"
#include "tests/database/Notice.h"
#include "tests/support/TestSupport.h"

class RecordingView : public CView {
public:
    void OnUpdate(CView*, LPARAM lHint, CObject*) override {
        auto* doc = static_cast<CVelkonDoc*>(GetDocument());
        notices.push_back({lHint, doc->m_nLastChanged});
    }
    std::vector<Notice> notices;
};

class DocTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Settings of one test never leak into another, even in one process.
        ::setenv("XDG_CONFIG_HOME", dir.File("config").c_str(), 1);
        app = std::make_unique<CWinApp>("Velkon95");
        app->SetRegistryKey("Brambl Free Software");
        doc = std::make_unique<CVelkonDoc>();
        doc->OnNewDocument();
        doc->AddView(&view);
    }
    void TearDown() override {
        doc.reset();
        app.reset();
    }
    std::vector<int> SortIndex() const { return doc->m_anSortIndex.ToVector(); }

    testing_support::TempDir dir;
    std::unique_ptr<CWinApp> app;
    std::unique_ptr<CVelkonDoc> doc;
    RecordingView view;
};
