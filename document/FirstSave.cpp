// The first save of an untitled list, which offers the user's data folder.
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <string_view>
#include <vector>

#include "document/VelkonDoc.h"
#include "platform/gui/document/CDocTemplate.h"
#include "platform/gui/document/FileDialog.h"

namespace {

// Makes the folder and those above it that are missing, each for the owner alone; returns the
// ones made, outermost first.
std::vector<std::string> MakeFolders(std::string_view folder) {
    std::vector<std::string> made;
    std::size_t slash = 0;
    while (slash != std::string_view::npos) {
        slash = folder.find('/', slash + 1);
        const std::string part(folder.substr(0, slash));
        if (::mkdir(part.c_str(), 0700) == 0) made.push_back(part);
    }
    return made;
}

// Only empty folders go: a file someone put there meanwhile keeps its folder.
void RemoveFolders(const std::vector<std::string>& made) {
    for (auto it = made.rbegin(); it != made.rend(); ++it)
        if (::rmdir(it->c_str()) != 0) return;
}

}  // namespace

BOOL CVelkonDoc::PromptSavePath(CString& rPath) {
    if (!GetPathName().IsEmpty() || m_strFirstSavePath.IsEmpty())
        return CDocument::PromptSavePath(rPath);
    const std::string_view offered = m_strFirstSavePath.View();
    const std::string_view folder = offered.substr(0, offered.rfind('/'));
    const std::vector<std::string> made = MakeFolders(folder);

    CString filter, ext;
    if (auto* pTemplate = GetDocTemplate()) {
        pTemplate->GetDocString(filter, 3);
        pTemplate->GetDocString(ext, 4);
    }
    const BOOL chosen = AfxPromptFileName(rPath, FALSE, m_strFirstSavePath, filter, ext);
    const std::string_view path = rPath.View();
    const bool inFolder = chosen && path.size() > folder.size() &&
                          path.substr(0, folder.size()) == folder && path[folder.size()] == '/';
    if (!inFolder) RemoveFolders(made);
    return chosen;
}
