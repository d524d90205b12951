// Times the list view's heavy commands on a record file, as the menu runs them on the program's
// view: the sort by the handle column (the list's second column on a first start), and Ctrl+A
// then Del, with the view's own share of the Del (the rows it takes out after the store's work)
// apart.
//   view_ops FILE [REPEATS]
// Prints the best of REPEATS (3) of each, in seconds, one "name seconds" a line, and the rows.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "bench/BenchData.h"
#include "bench/ViewOver.h"
#include "platform/base/ResourceTables.h"
#include "platform/gui/application/CWinApp.h"
#include "res/Resources.h"
#include "res/resource.h"

namespace {

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Adds up the time the views take over the store's changes.
class TimedDoc : public CVelkonDoc {
public:
    double m_viewSeconds = 0;

protected:
    void OnRecordsChanged(LPARAM lHint) override {
        const auto start = Clock::now();
        CVelkonDoc::OnRecordsChanged(lHint);
        m_viewSeconds += Since(start);
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE [REPEATS]\n", argv[0]);
        return 2;
    }
    AfxSetResourceTables(res::Tables());
    const int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    bench::Workspace workspace;
    CWinApp app("Velkon95");
    TimedDoc doc;
    if (!doc.OnOpenDocument(argv[1])) return 1;
    bench::ViewOver view(&doc);
    const int rows = view->GetListCtrl().GetItemCount();

    double sort = 1e30, selectAll = 1e30, del = 1e30, delView = 1e30;
    for (int i = 0; i < repeats; ++i) {
        view->SortList(0, TRUE);
        auto start = Clock::now();
        view->SortList(1, TRUE);
        sort = std::min(sort, Since(start));

        start = Clock::now();
        view.Run(ID_EDIT_SELECT_ALL);
        selectAll = std::min(selectAll, Since(start));
        doc.m_viewSeconds = 0;
        start = Clock::now();
        view.Run(ID_DELETE_ID);
        del = std::min(del, Since(start));
        delView = std::min(delView, doc.m_viewSeconds);
        if (view->GetListCtrl().GetItemCount() != 0) {
            std::fprintf(stderr, "rows left after Del\n");
            return 1;
        }
        while (!doc.m_anDeletedStack.IsEmpty()) doc.RestoreID();
    }
    std::printf("rows %d\nsort_handle %.3f\nselect_all %.3f\ndelete %.3f\ndelete_view %.3f\n", rows,
                sort, selectAll, del, delView);
    return 0;
}
