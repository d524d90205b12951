#include "platform/gui/frame/CControlBar.h"

#include <QAction>
#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QMainWindow>
#include <QPixmap>
#include <QStatusBar>
#include <QToolBar>

#include "platform/base/AfxRes.h"
#include "platform/base/CodePage.h"
#include "platform/base/ResourceTables.h"
#include "platform/base/StringResource.h"
#include "platform/gui/drawing/PixelArt.h"
#include "platform/gui/frame/CFrameWnd.h"
#include "platform/gui/window/CCmdUI.h"
#include "platform/gui/window/QtText.h"

namespace {

QAction* ActionOf(QToolBar* bar, UINT nID) {
    for (QAction* a : bar->actions())
        if (!a->isSeparator() && a->data().toUInt() == nID) return a;
    return nullptr;
}

class CToolCmdUI : public CCmdUI {
public:
    explicit CToolCmdUI(QAction* action) : m_action(action) {}
    void Enable(BOOL bOn) override {
        CCmdUI::Enable(bOn);
        if (m_action->isEnabled() != static_cast<bool>(bOn)) m_action->setEnabled(bOn);
    }
    void SetCheck(int nCheck) override {
        CCmdUI::SetCheck(nCheck);
        m_action->setCheckable(true);
        if (m_action->isChecked() != (nCheck != 0)) m_action->setChecked(nCheck != 0);
    }

private:
    QAction* m_action;
};

// The fly-by prompt goes back to the idle prompt when the pointer leaves the bar.
class FlyByFilter : public QObject {
public:
    FlyByFilter(HWND frame, QObject* parent) : QObject(parent), m_frame(frame) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Leave) {
            if (auto* f = dynamic_cast<CFrameWnd*>(CWnd::FromHandle(m_frame)))
                f->SetMessageText(AFX_IDS_IDLEMESSAGE);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    HWND m_frame;
};

// False when the label already shows the text.
bool SetLabelText(QLabel* label, const CString& text) {
    const QString qtext = ToQt(text);
    if (label->text() == qtext) return false;
    label->setText(qtext);
    return true;
}

}  // namespace

BOOL CToolBar::CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, RECT, UINT nID) {
    (void)dwCtrlStyle;
    return Create(pParentWnd, dwStyle, nID);
}

BOOL CToolBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID) {
    auto* frame = dynamic_cast<CFrameWnd*>(pParentWnd);
    if (!frame) return FALSE;
    auto* bar = new QToolBar(frame->GetWidget());
    bar->setObjectName(QString("toolbar%1").arg(nID));
    bar->setIconSize(QSize(16, 15));
    bar->setVisible((dwStyle & WS_VISIBLE) != 0);
    m_dwStyle = dwStyle;
    m_nID = nID;
    CREATESTRUCT cs;
    if (!AttachWidget(bar, cs, pParentWnd)) return FALSE;
    frame->GetMainWindow()->addToolBar(Qt::TopToolBarArea, bar);
    bar->installEventFilter(new FlyByFilter(frame->GetSafeHwnd(), bar));
    frame->AddControlBar(this);
    return TRUE;
}

QToolBar* CToolBar::GetToolBar() const {
    return static_cast<QToolBar*>(m_pWidget);
}

BOOL CToolBar::LoadToolBar(UINT nIDResource) {
    const afx_res::ToolBarResource* resource = afx_res::FindToolBar(nIDResource);
    auto* frame = dynamic_cast<CFrameWnd*>(GetParent());
    if (!resource || !frame) return FALSE;
    QToolBar* bar = GetToolBar();
    bar->setIconSize(QSize(resource->buttonWidth, resource->buttonHeight));
    const HWND hFrame = frame->GetSafeHwnd();
    std::size_t image = 0;
    for (std::size_t i = 0; i < resource->count; ++i) {
        const UINT id = resource->commands[i];
        m_commands.push_back(id);
        if (id == ID_SEPARATOR) {
            bar->addSeparator();
            continue;
        }
        QAction* action = bar->addAction(
            QIcon(QPixmap::fromImage(ImageFromArt(resource->images[image++]))), QString());
        action->setData(id);
        const CString prompt = AfxLoadString(id);
        const int nl = prompt.Find('\n');
        if (nl >= 0) action->setToolTip(ToQt(prompt.Mid(nl + 1)));
        QObject::connect(action, &QAction::triggered, [hFrame, id] {
            if (auto* f = dynamic_cast<CFrameWnd*>(CWnd::FromHandle(hFrame))) f->RunCommand(id);
        });
        QObject::connect(action, &QAction::hovered, [hFrame, id] {
            if (auto* f = dynamic_cast<CFrameWnd*>(CWnd::FromHandle(hFrame))) f->SetMessageText(id);
        });
    }
    return TRUE;
}

BOOL CToolBar::IsButtonEnabled(UINT nID) const {
    QAction* a = ActionOf(GetToolBar(), nID);
    return a && a->isEnabled();
}

BOOL CToolBar::IsButtonChecked(UINT nID) const {
    QAction* a = ActionOf(GetToolBar(), nID);
    return a && a->isChecked();
}

void CToolBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) {
    for (UINT id : m_commands) {
        if (id == ID_SEPARATOR) continue;
        QAction* action = ActionOf(GetToolBar(), id);
        if (!action) continue;
        CToolCmdUI state(action);
        state.m_nID = id;
        state.DoUpdate(pTarget, bDisableIfNoHndler);
    }
}

BOOL CStatusBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID) {
    auto* frame = dynamic_cast<CFrameWnd*>(pParentWnd);
    if (!frame) return FALSE;
    QStatusBar* bar = frame->GetMainWindow()->statusBar();
    bar->setSizeGripEnabled(true);
    bar->setVisible((dwStyle & WS_VISIBLE) != 0);
    m_dwStyle = dwStyle;
    m_nID = nID;
    CREATESTRUCT cs;
    if (!AttachWidget(bar, cs, pParentWnd)) return FALSE;
    frame->AddControlBar(this);
    return TRUE;
}

QStatusBar* CStatusBar::GetStatusBar() const {
    return static_cast<QStatusBar*>(m_pWidget);
}

BOOL CStatusBar::SetIndicators(const UINT* lpIDArray, int nIDCount) {
    QStatusBar* bar = GetStatusBar();
    for (Pane& pane : m_panes) delete pane.label;
    m_panes.clear();
    for (int i = 0; i < nIDCount; ++i) {
        Pane pane;
        pane.nID = lpIDArray[i];
        pane.label = new QLabel(bar);
        if (pane.nID != ID_SEPARATOR) pane.text = AfxLoadString(pane.nID);
        m_panes.push_back(pane);
    }
    for (std::size_t i = 0; i < m_panes.size(); ++i) {
        // The first pane is the message pane and takes the room the others leave.
        if (i == 0)
            bar->addWidget(m_panes[i].label, 1);
        else
            bar->addPermanentWidget(m_panes[i].label);
        ApplyPane(m_panes[i], i == 0);
    }
    return TRUE;
}

// Counts in the panes change with every ID a pickup finds, so nothing is redone that did not
// change, and a pane of fixed size never makes the bar lay itself out again.
void CStatusBar::ApplyPane(Pane& pane, bool stretch) {
    QLabel* label = pane.label;
    SetLabelText(label, pane.text);
    const QFrame::Shape shape = (pane.nStyle & SBPS_NOBORDERS) ? QFrame::NoFrame : QFrame::Panel;
    if (label->frameShape() != shape) label->setFrameShape(shape);
    if (label->frameShadow() != QFrame::Sunken) label->setFrameShadow(QFrame::Sunken);
    const int frame = 2 * label->frameWidth() + label->margin() * 2;
    if ((pane.nStyle & SBPS_STRETCH) || stretch) {
        label->setMinimumWidth(pane.cxWidth);
        label->setMaximumWidth(QWIDGETSIZE_MAX);
        label->setMinimumHeight(0);
        label->setMaximumHeight(QWIDGETSIZE_MAX);
    } else {
        label->setFixedWidth(pane.cxWidth + frame);
        label->setFixedHeight(label->fontMetrics().height() + frame);
    }
}

void CStatusBar::SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth) {
    if (nIndex < 0 || nIndex >= GetCount()) return;
    Pane& pane = m_panes[static_cast<std::size_t>(nIndex)];
    pane.nID = nID;
    pane.nStyle = nStyle;
    pane.cxWidth = cxWidth < 0 ? 0 : cxWidth;
    ApplyPane(pane, nIndex == 0);
}

void CStatusBar::GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const {
    if (nIndex < 0 || nIndex >= GetCount()) return;
    const Pane& pane = m_panes[static_cast<std::size_t>(nIndex)];
    nID = pane.nID;
    nStyle = pane.nStyle;
    cxWidth = pane.cxWidth;
}

BOOL CStatusBar::SetPaneText(int nIndex, LPCTSTR lpszNewText, BOOL bUpdate) {
    if (nIndex < 0 || nIndex >= GetCount()) return FALSE;
    Pane& pane = m_panes[static_cast<std::size_t>(nIndex)];
    pane.text = lpszNewText;
    // Shown with the window's next paint, which comes at once unless paints come too fast.
    if (SetLabelText(pane.label, pane.text) && bUpdate) pane.label->update();
    return TRUE;
}

CString CStatusBar::GetPaneText(int nIndex) const {
    if (nIndex < 0 || nIndex >= GetCount()) return {};
    return m_panes[static_cast<std::size_t>(nIndex)].text;
}
