#include "platform/gui/document/FileDialog.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

#include "platform/base/AfxRes.h"
#include "platform/base/StringResource.h"
#include "platform/gui/application/CWinApp.h"
#include "platform/gui/document/CDocument.h"
#include "platform/gui/frame/CFrameWnd.h"
#include "platform/gui/window/QtText.h"
#include "platform/gui/window/UiHooks.h"

namespace {
CString OpenDocumentPath() {
    CDocument* doc = AfxGetActiveDocument();
    return doc ? doc->GetPathName() : CString();
}
}  // namespace

BOOL AfxPromptFileName(CString& rPath, BOOL bOpen, const CString& initial, const CString& filter,
                       const CString& defaultExt) {
    if (!afx_ui::HaveGui()) return FALSE;
    QString qfilter = ToQt(filter);
    const CString all = AfxLoadString(AFX_IDS_ALLFILTER);
    if (!all.IsEmpty()) qfilter += ";;" + ToQt(all);
    QFileDialog dialog(QApplication::activeWindow());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilter(qfilter);
    dialog.setAcceptMode(bOpen ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(bOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (!defaultExt.IsEmpty())
        dialog.setDefaultSuffix(ToQt(defaultExt.Mid(defaultExt[0] == '.' ? 1 : 0)));
    // Paths are the file system's bytes on both sides, never the program's code page.
    if (!initial.IsEmpty() && initial.Find('*') < 0) {
        dialog.selectFile(QFile::decodeName(QByteArray::fromStdString(initial.Str())));
    } else if (const CString open = OpenDocumentPath(); !open.IsEmpty()) {
        // Without a name to start from, the dialog starts where the open file lies.
        dialog.setDirectory(
            QFileInfo(QFile::decodeName(QByteArray::fromStdString(open.Str()))).absolutePath());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return FALSE;
    rPath = CString(QFile::encodeName(dialog.selectedFiles().first()).toStdString());
    return TRUE;
}
