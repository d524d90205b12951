// Until the main window exists, the program opens its data file and reports what it holds.
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <string>

#include "database/VelkonDoc.h"
#include "platform/CFile.h"
#include "platform/CWinApp.h"
#include "platform/CodePage.h"
#include "platform/StringResource.h"
#include "res/resource.h"

namespace {

// id.lst in the directory of the program's own file.
std::string DefaultDataFile() {
    char self[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return "id.lst";
    std::string path(self, static_cast<std::size_t>(n));
    const auto slash = path.rfind('/');
    return path.substr(0, slash + 1) + "id.lst";
}

std::string Utf8(const CString& s) {
    return Cp932ToUtf8(s.View());
}

}  // namespace

int main(int argc, char** argv) {
    CWinApp app;
    app.SetRegistryKey(IDS_COMPANY_NAME);

    CVelkonDoc doc;
    const std::string path = argc > 1 ? argv[1] : DefaultDataFile();
    const CString cpPath(Utf8ToCp932(path));
    CFileStatus status;
    if (!CFile::GetStatus(cpPath, status)) {
        doc.OnNewDocument();
        std::printf("%s: no data file at %s\n", Utf8(app.m_strAppName).c_str(), path.c_str());
        return 0;
    }
    if (!doc.OnOpenDocument(cpPath)) return 1;
    doc.SetPathName(cpPath);

    CString registered, picked;
    registered.Format(AfxLoadString(IDS_COUNT_REGISTERED), doc.m_anSortIndex.GetSize());
    std::printf("%s - %s\n%s\n", Utf8(app.m_strAppName).c_str(), Utf8(doc.GetTitle()).c_str(),
                Utf8(registered).c_str());
    int shown = 0;
    doc.m_anSortIndex.ForEach([&](int r) {
        if (shown++ >= 10) return;
        std::printf("  %s  %-20s  %s  %s  %4d\n", Utf8(doc.m_astrID[r]).c_str(),
                    Utf8(doc.m_astrHandle[r]).c_str(),
                    Utf8(CVelkonDoc::FormatDate(doc.m_atimeRegist[r])).c_str(),
                    Utf8(CVelkonDoc::FormatDate(doc.m_atimeUpdate[r])).c_str(),
                    doc.m_anUpdateCount[r]);
    });
    if (doc.m_anSortIndex.GetSize() > shown) std::printf("  ...\n");
    return 0;
}
