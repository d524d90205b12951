// Message boxes on screen: Qt's box with the framework's Japanese button texts.
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <vector>

#include "platform/base/AfxRes.h"
#include "platform/base/DisplayText.h"
#include "platform/base/StringResource.h"
#include "platform/gui/application/CWinApp.h"
#include "platform/gui/application/MessageBox.h"
#include "platform/gui/window/QtText.h"
#include "platform/gui/window/UiHooks.h"

namespace {

int ShowQtMessageBox(const CString& text, UINT nType) {
    QMessageBox box(QApplication::activeWindow());
    CWinApp* app = AfxGetApp();
    box.setWindowTitle(ToQt(app ? app->m_strAppName : CString("Velkon95")));
    // Paths in the text are shown whole, not through the code page.
    box.setText(QString::fromStdString(DisplayTextToUtf8(text.View())));
    switch (nType & 0xF0) {
        case MB_ICONQUESTION:
            box.setIcon(QMessageBox::Question);
            break;
        case MB_ICONEXCLAMATION:
            box.setIcon(QMessageBox::Warning);
            break;
        default:
            box.setIcon(QMessageBox::Information);
            break;
    }
    struct Button {
        int id;
        UINT text;
        QMessageBox::ButtonRole role;
    };
    std::vector<Button> buttons;
    switch (nType & 0x0F) {
        case MB_YESNOCANCEL:
            buttons = {{IDYES, AFX_IDS_BUTTON_YES, QMessageBox::YesRole},
                       {IDNO, AFX_IDS_BUTTON_NO, QMessageBox::NoRole},
                       {IDCANCEL, AFX_IDS_BUTTON_CANCEL, QMessageBox::RejectRole}};
            break;
        case MB_YESNO:
            buttons = {{IDYES, AFX_IDS_BUTTON_YES, QMessageBox::YesRole},
                       {IDNO, AFX_IDS_BUTTON_NO, QMessageBox::NoRole}};
            break;
        case MB_OKCANCEL:
            buttons = {{IDOK, AFX_IDS_BUTTON_OK, QMessageBox::AcceptRole},
                       {IDCANCEL, AFX_IDS_BUTTON_CANCEL, QMessageBox::RejectRole}};
            break;
        default:
            buttons = {{IDOK, AFX_IDS_BUTTON_OK, QMessageBox::AcceptRole}};
            break;
    }
    std::vector<std::pair<QAbstractButton*, int>> answers;
    for (const Button& b : buttons)
        answers.emplace_back(box.addButton(ToQt(AfxLoadString(b.text)), b.role), b.id);
    box.setDefaultButton(static_cast<QPushButton*>(answers.front().first));
    if (buttons.back().id == IDCANCEL || buttons.size() == 1)
        box.setEscapeButton(answers.back().first);
    box.exec();
    for (auto& [button, id] : answers)
        if (box.clickedButton() == button) return id;
    return buttons.back().id;
}

}  // namespace

// Without a hook, message boxes show on screen when a user interface runs.
int AfxShowMessageBoxOnScreen(const CString& text, UINT nType, bool& shown) {
    shown = afx_ui::HaveGui();
    return shown ? ShowQtMessageBox(text, nType) : 0;
}
