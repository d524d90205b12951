#include "platform/base/StringResource.h"

#include <map>
#include <memory>
#include <mutex>

#include "platform/base/CodePage.h"
#include "platform/base/ResourceTables.h"

const CString* AfxFindString(UINT nID) {
    static std::mutex mutex;
    static std::map<UINT, std::unique_ptr<CString>> cache;
    std::lock_guard lock(mutex);
    auto it = cache.find(nID);
    if (it != cache.end()) return it->second.get();
    const char* utf8 = afx_res::FindString(nID);
    if (!utf8) return nullptr;
    auto inserted = cache.emplace(nID, std::make_unique<CString>(Utf8ToCp932(utf8)));
    return inserted.first->second.get();
}

CString AfxLoadString(UINT nID) {
    const CString* s = AfxFindString(nID);
    return s ? *s : CString();
}

void AfxFormatString1(CString& rString, UINT nIDS, LPCTSTR lpsz1) {
    const CString format = AfxLoadString(nIDS);
    const std::string_view arg = lpsz1 ? lpsz1 : "";
    std::string out;
    const std::string& f = format.Str();
    for (std::size_t i = 0; i < f.size(); ++i) {
        if (f[i] == '%' && i + 1 < f.size() && f[i + 1] == '1') {
            out += arg;
            ++i;
        } else {
            out += f[i];
        }
    }
    rString = CString(std::move(out));
}
