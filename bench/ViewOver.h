// The program's view over a benchmark's document, without a frame; columns as on a first start.
#pragma once

#include <cstdlib>

#include "document/VelkonDoc.h"
#include "listview/VelkonView.h"
#include "platform/gui/window/UiHooks.h"

namespace bench {

class ViewOver {
public:
    explicit ViewOver(CVelkonDoc* doc) : m_doc(doc) {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
        afx_ui::EnsureApplication();
        m_view = new CVelkonView;
        m_view->CreateViewWindow(nullptr, 1, nullptr);
        doc->AddView(m_view);
        m_view->OnInitialUpdate();
    }
    ~ViewOver() {
        m_doc->RemoveView(m_view);
        m_view->DestroyWindow();
        afx_ui::ProcessEvents();
    }
    ViewOver(const ViewOver&) = delete;
    ViewOver& operator=(const ViewOver&) = delete;

    CVelkonView* operator->() const { return m_view; }
    // A command as the menu runs it.
    void Run(UINT id) { m_view->OnCmdMsg(id, 0, nullptr, nullptr); }

private:
    CVelkonDoc* m_doc;
    CVelkonView* m_view;
};

}  // namespace bench
