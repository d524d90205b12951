#include "platform/gui/document/CDocument.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/base/AfxRes.h"
#include "platform/base/CFile.h"
#include "platform/base/DisplayText.h"
#include "platform/base/StringResource.h"
#include "platform/gui/application/CWinApp.h"
#include "platform/gui/application/MessageBox.h"
#include "platform/gui/document/CDocTemplate.h"
#include "platform/gui/document/CView.h"
#include "platform/gui/document/FileDialog.h"
#include "platform/gui/frame/CFrameWnd.h"

namespace {

// The settings' folder, with its slash.
std::string SettingsFolder(CWinApp& app) {
    const std::string& settings = app.GetProfile().Path();
    const std::size_t slash = settings.rfind('/');
    return settings.substr(0, slash == std::string::npos ? 0 : slash + 1);
}

// The settings' folder may not be there before the settings are first written; what is made
// here is the user's alone, as the recovery files in it are.
void MakeFolderOf(const std::string& path) {
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1))
        ::mkdir(path.substr(0, slash).c_str(), 0700);
}

// A recovery file the next open may offer: a regular file of this user's own. Anything else at
// the name was put there by someone else (or is a link), and is neither read nor removed.
bool IsKeptFile(const CString& path, std::int64_t* pModified = nullptr) {
    struct stat st {};
    if (path.IsEmpty() || ::lstat(path.GetString(), &st) != 0 || !S_ISREG(st.st_mode) ||
        st.st_uid != ::geteuid())
        return false;
    if (pModified) *pModified = static_cast<std::int64_t>(st.st_mtime);
    return true;
}

void RemoveKeptFile(const CString& path) {
    if (IsKeptFile(path)) CFile::Remove(path);
}

// Nobody may be there to read a message box while the program ends: standard error and the
// message log say it.
void LogAtEnd(UINT nIDS, const CString& what) {
    CString text;
    AfxFormatString1(text, nIDS, what);
    AfxLogMessage(text);
    std::fprintf(stderr, "%s\n", DisplayTextToUtf8(text.View()).c_str());
}

}  // namespace

BEGIN_MESSAGE_MAP(CDocument, CCmdTarget)
ON_COMMAND(ID_FILE_SAVE, OnFileSave)
ON_COMMAND(ID_FILE_SAVE_AS, OnFileSaveAs)
END_MESSAGE_MAP()

CDocument::~CDocument() {
    for (CView* view : m_viewList) view->m_pDocument = nullptr;
}

void CDocument::SetTitle(LPCTSTR lpszTitle) {
    m_strTitle = lpszTitle;
    for (CView* view : m_viewList) {
        if (CFrameWnd* frame = view->GetParentFrame()) frame->OnUpdateFrameTitle(TRUE);
    }
}

void CDocument::SetPathName(LPCTSTR lpszPathName, BOOL bAddToMRU) {
    m_strPathName = lpszPathName;
    SetTitle(FileNameForDisplay(AfxFileNameOf(m_strPathName.View())));
    if (bAddToMRU) {
        if (CWinApp* app = AfxGetApp()) app->AddToRecentFileList(m_strPathName);
    }
}

void CDocument::OnFileSave() {
    DoFileSave();
}
void CDocument::OnFileSaveAs() {
    DoSave(nullptr);
}

BOOL CDocument::PromptSavePath(CString& rPath) {
    CString filter, ext;
    if (m_pDocTemplate) {
        m_pDocTemplate->GetDocString(filter, 3);
        m_pDocTemplate->GetDocString(ext, 4);
    }
    CString name = m_strPathName;
    if (name.IsEmpty() && !ext.IsEmpty()) name = CString("*") + ext;
    return AfxPromptFileName(rPath, FALSE, name, filter, ext);
}

void CDocument::SetModifiedFlag(BOOL bModified) {
    m_bModified = bModified;
}

void CDocument::AddView(CView* pView) {
    if (!pView || std::find(m_viewList.begin(), m_viewList.end(), pView) != m_viewList.end())
        return;
    m_viewList.push_back(pView);
    pView->m_pDocument = this;
}

void CDocument::RemoveView(CView* pView) {
    auto it = std::find(m_viewList.begin(), m_viewList.end(), pView);
    if (it == m_viewList.end()) return;
    m_viewList.erase(it);
    pView->m_pDocument = nullptr;
    if (m_viewList.empty() && m_bAutoDelete) {
        if (m_pDocTemplate) m_pDocTemplate->RemoveDocument(this);
        delete this;
    }
}

void CDocument::UpdateAllViews(CView* pSender, LPARAM lHint, CObject* pHint) {
    // A view may detach itself while it is told; walk a copy, on the stack for the usual few
    // views (a pickup tells them of every ID it finds).
    constexpr std::size_t kFew = 4;
    CView* few[kFew];
    std::vector<CView*> many;
    CView* const* views = few;
    const std::size_t n = m_viewList.size();
    if (n <= kFew) {
        std::copy(m_viewList.begin(), m_viewList.end(), few);
    } else {
        many = m_viewList;
        views = many.data();
    }
    for (std::size_t i = 0; i < n; ++i) {
        if (views[i] != pSender) views[i]->OnUpdate(pSender, lHint, pHint);
    }
}

BOOL CDocument::OnNewDocument() {
    DeleteContents();
    m_strPathName.Empty();
    m_pathLock.Release();
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::OnOpenDocument(LPCTSTR lpszPathName) {
    CFile file;
    UINT flags = CFile::modeRead | CFile::typeBinary | CFile::typeRegularOnly;
    if (m_bOpeningKeptFile) flags |= CFile::typeOwnFileOnly;
    if (!file.Open(CString(lpszPathName), flags)) {
        ReportSaveLoadException(lpszPathName, file.GetLastError(), FALSE,
                                AFX_IDP_FAILED_TO_OPEN_DOC);
        return FALSE;
    }
    DeleteContents();
    SetModifiedFlag(TRUE);  // dirty while it loads
    BOOL bad = FALSE;
    {
        CArchive ar(&file, CArchive::load);
        Serialize(ar);
        bad = ar.IsBad();
    }
    if (bad) {
        const int err = file.GetLastError();
        DeleteContents();
        ReportSaveLoadException(lpszPathName, err, FALSE, AFX_IDP_FAILED_TO_OPEN_DOC);
        return FALSE;
    }
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::OnSaveDocument(LPCTSTR lpszPathName) {
    CReplaceFile file;
    BOOL ok = file.Open(CString(lpszPathName));
    if (ok) {
        CArchive ar(&file, CArchive::store);
        Serialize(ar);
        ok = ar.Flush();
        ar.Close();
        if (ok) ok = file.Commit([this, lpszPathName] { OnReplacingFile(lpszPathName); });
    }
    if (!ok) {
        ReportSaveLoadException(lpszPathName, file.GetLastError() ? file.GetLastError() : EIO, TRUE,
                                AFX_IDP_FAILED_TO_SAVE_DOC);
        return FALSE;
    }
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::SaveModified() {
    if (!IsModified()) return TRUE;
    const CString name = m_strPathName.IsEmpty()
                             ? m_strTitle
                             : FileNameForDisplay(AfxFileNameOf(m_strPathName.View()));
    CString prompt;
    AfxFormatString1(prompt, AFX_IDP_ASK_TO_SAVE, name);
    switch (AfxMessageBox(prompt, MB_YESNOCANCEL | MB_ICONEXCLAMATION)) {
        case IDCANCEL:
            return FALSE;
        case IDYES:
            return DoFileSave();
        default:
            return TRUE;
    }
}

BOOL CDocument::DoFileSave() {
    return DoSave(m_strPathName.IsEmpty() ? nullptr : m_strPathName.GetString());
}

BOOL CDocument::DoSave(LPCTSTR lpszPathName, BOOL bReplace) {
    CString path(lpszPathName);
    if (path.IsEmpty() && !PromptSavePath(path)) return FALSE;
    CDocumentLock lock;
    if (bReplace && !LockPathName(path, lock, TRUE)) return FALSE;
    if (!OnSaveDocument(path)) return FALSE;
    if (bReplace) {
        SetPathName(path);
        KeepPathLock(path, lock);
    }
    return TRUE;
}

CString CDocument::RecoveryPathOf(const CString& pathName) {
    if (!pathName.IsEmpty()) return pathName + ".recovery";
    CWinApp* app = AfxGetApp();
    if (!app) return {};
    return CString(SettingsFolder(*app)) + app->m_strProfileName + ".recovery";
}

CString CDocument::SettingsRecoveryPathOf(const CString& pathName) {
    if (pathName.IsEmpty()) return RecoveryPathOf(pathName);
    CWinApp* app = AfxGetApp();
    if (!app) return {};
    // One file for each data file, whatever its name: FNV-1a of the path, the same every run.
    std::uint64_t hash = 0xcbf29ce484222325u;
    for (char c : pathName.View()) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3u;
    }
    char tail[32];
    std::snprintf(tail, sizeof tail, ".%016llx.recovery", static_cast<unsigned long long>(hash));
    return CString(SettingsFolder(*app)) + app->m_strProfileName + tail;
}

int CDocument::WriteRecovery(const CString& path, const CString& dataPath) {
    // Written as a save writes, but the document stays modified and its file untouched.
    CReplaceFile file;
    if (!file.OpenBeside(path, dataPath)) return file.GetLastError() ? file.GetLastError() : EIO;
    BOOL ok = FALSE;
    {
        CArchive ar(&file, CArchive::store);
        Serialize(ar);
        ok = ar.Flush();
    }
    if (ok && file.Commit()) return 0;
    return file.GetLastError() ? file.GetLastError() : EIO;
}

BOOL CDocument::SaveUnasked() {
    if (!IsModified()) return TRUE;
    // Beside the file first, where the user looks; else beside the settings, which are the
    // user's own.
    std::vector<CString> places;
    if (!m_strPathName.IsEmpty()) places.push_back(RecoveryPathOf(m_strPathName));
    const CString inSettings = SettingsRecoveryPathOf(m_strPathName);
    if (!inSettings.IsEmpty()) places.push_back(inSettings);
    int err = EIO;
    CString tried;
    for (const CString& place : places) {
        const bool beside = place != inSettings;
        if (!beside) MakeFolderOf(place.Str());
        err = WriteRecovery(place, beside ? m_strPathName : CString());
        if (err == 0) {
            // An older copy in the other place is no longer what the next open should offer.
            for (const CString& other : places)
                if (other != place) RemoveKeptFile(other);
            LogAtEnd(AFX_IDS_RECOVERY_KEPT, FileNameForDisplay(place.View()));
            return TRUE;
        }
        if (!tried.IsEmpty()) tried += "\n";
        tried += FileNameForDisplay(place.View());
    }
    CString number, reason;
    number.Format("%d", err);
    AfxFormatString1(reason, FileErrorPrompt(err), number);
    LogAtEnd(AFX_IDS_RECOVERY_LOST, tried + "\n" + reason);
    return FALSE;
}

BOOL CDocument::OfferRecovery() {
    // The newer of the two places, should both hold changes.
    CString recovery;
    std::int64_t newest = 0;
    const CString places[] = {RecoveryPathOf(m_strPathName), SettingsRecoveryPathOf(m_strPathName)};
    for (const CString& place : places) {
        std::int64_t modified = 0;
        if (IsKeptFile(place, &modified) && (recovery.IsEmpty() || modified > newest)) {
            recovery = place;
            newest = modified;
        }
    }
    if (recovery.IsEmpty()) return FALSE;
    CString prompt;
    AfxFormatString1(
        prompt, AFX_IDP_OFFER_RECOVERY,
        m_strPathName.IsEmpty() ? m_strTitle : FileNameForDisplay(m_strPathName.View()));
    const int answer = AfxMessageBox(prompt, MB_YESNO | MB_ICONQUESTION);
    // Ending, nobody answered: the file stays for the next time.
    CWinApp* app = AfxGetApp();
    if (app && app->IsEnding()) return FALSE;
    if (answer != IDYES) {
        for (const CString& place : places) RemoveKeptFile(place);
        return FALSE;
    }
    const CString path = m_strPathName;
    m_bOpeningKeptFile = TRUE;
    const BOOL loaded = OnOpenDocument(recovery);
    m_bOpeningKeptFile = FALSE;
    if (!loaded) {
        // Told already; the file stays for another try, and the document holds its file again.
        if (path.IsEmpty() || !OnOpenDocument(path)) OnNewDocument();
        UpdateAllViews(nullptr);
        return FALSE;
    }
    for (const CString& place : places) RemoveKeptFile(place);
    SetModifiedFlag(TRUE);
    UpdateAllViews(nullptr);
    return TRUE;
}

BOOL CDocument::LockPathName(const CString& path, CDocumentLock& lock, BOOL bSaving) {
    if (m_pathLock.Holds(path) || lock.Take(path)) return TRUE;
    const UINT headline = bSaving ? AFX_IDP_FAILED_TO_SAVE_DOC : AFX_IDP_FAILED_TO_OPEN_DOC;
    const int err = lock.GetLastError();
    if (err == EBUSY) {
        ReportSaveLoadException(path, EBUSY, bSaving, headline);
        return FALSE;
    }
    // The lock file is what failed, not the data file: which one, and why.
    CString text = AfxLoadString(headline), which, number, reason;
    AfxFormatString1(which, AFX_IDP_LOCK_UNUSABLE,
                     FileNameForDisplay(CDocumentLock::LockPathOf(path).View()));
    number.Format("%d", err);
    AfxFormatString1(reason, FileErrorPrompt(err), number);
    text += "\n\n" + FileNameForDisplay(path.View()) + "\n" + which + "\n" + reason;
    AfxMessageBox(text, MB_ICONEXCLAMATION);
    return FALSE;
}

void CDocument::KeepPathLock(const CString& path, CDocumentLock& lock) {
    if (!m_pathLock.Holds(path)) m_pathLock = std::move(lock);
}

UINT CDocument::FileErrorPrompt(int err) {
    switch (err) {
        case EBUSY:
            return AFX_IDP_FILE_IN_USE;
        case ELOOP:
            return AFX_IDP_FILE_IS_LINK;
        case ENOENT:
        case ENOTDIR:
            return AFX_IDP_FILE_NOT_FOUND;
        case EACCES:
        case EPERM:
            return AFX_IDP_FILE_ACCESS_DENIED;
        case EISDIR:
            return AFX_IDP_FILE_IS_FOLDER;
        case ENODEV:
        case ENXIO:
            return AFX_IDP_FILE_NOT_REGULAR;
        case ENOSPC:
        case EDQUOT:
            return AFX_IDP_FILE_DISK_FULL;
        case EROFS:
            return AFX_IDP_FILE_READ_ONLY_FS;
        case EIO:
            return AFX_IDP_FILE_HARD_IO;
        default:
            return AFX_IDP_FILE_GENERIC;
    }
}

void CDocument::ReportSaveLoadException(LPCTSTR lpszPathName, int err, BOOL /*bSaving*/,
                                        UINT nIDPDefault) {
    // The headline, then which file and why.
    CString text = AfxLoadString(nIDPDefault);
    if (lpszPathName && *lpszPathName) {
        CString number, reason;
        number.Format("%d", err);
        AfxFormatString1(reason, FileErrorPrompt(err), number);
        text += "\n\n" + FileNameForDisplay(lpszPathName) + "\n" + reason;
    }
    AfxMessageBox(text, MB_ICONEXCLAMATION);
}
