// The controls of template dialogs on Qt widgets. Texts are CP932 in messages and UTF-8 in the
// widgets; a control's notifications go to its dialog as WM_COMMAND, as on the original system,
// and only for what the user does, never for what the program sets.
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <QValidator>
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <functional>

#include "platform/base/CodePage.h"
#include "platform/base/WinStyles.h"
#include "platform/gui/dialog/ControlText.h"
#include "platform/gui/dialog/DialogControls.h"
#include "platform/gui/dialog/DialogWidget.h"
#include "platform/gui/drawing/CDC.h"
#include "platform/gui/drawing/GdiToQt.h"
#include "platform/gui/drawing/PixelArt.h"
#include "platform/gui/window/QtText.h"
#include "platform/gui/window/WidgetBridge.h"
#include "platform/ipc/Handles.h"

namespace {

using namespace afx_controls;

// ---- static -----------------------------------------------------------------------------

class StaticCtl : public CControlWnd {
public:
    StaticCtl(const afx_res::DialogItem& item, QWidget* parent, CWnd* dlg)
        : CControlWnd(item, dlg) {
        m_label = new QLabel(parent);
        const DWORD type = item.style & afx_res::SS_TYPEMASK;
        Qt::Alignment align = Qt::AlignTop;
        if (type == afx_res::SS_CENTER)
            align = Qt::AlignHCenter | Qt::AlignVCenter;
        else if (type == afx_res::SS_RIGHT)
            align |= Qt::AlignRight;
        else
            align |= Qt::AlignLeft;
        m_label->setAlignment(align);
        // A label one line high shows its text on that line: wrapped, it would show the
        // halves of two lines, both cut.
        m_label->setWordWrap(item.cy >= 16);
        m_label->setTextFormat(Qt::PlainText);
        if (item.style & afx_res::SS_SUNKEN) m_label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        m_text = Utf8ToCp932(item.utf8 ? item.utf8 : "");
        m_noPrefix = (item.style & afx_res::SS_NOPREFIX) != 0;
        Attach(m_label);
        if (type == afx_res::SS_ICON) {
            // The text names the icon resource; the picture is shown at the icon's own size.
            m_icon = true;
            m_label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            const QIcon icon =
                IconFromResource(static_cast<unsigned>(std::atoi(item.utf8 ? item.utf8 : "0")));
            m_label->setPixmap(icon.pixmap(32, 32));
            m_label->resize(32, 32);
            return;
        }
        Show();
    }
    void SetBuddy(CControlWnd* buddy) override {
        if (m_icon || m_noPrefix) return;
        m_buddy = buddy;
        Show();
    }
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
            case WM_SETTEXT:
                m_text = TextOf(lParam);
                if (!m_icon) Show();
                return TRUE;
            case WM_GETTEXTLENGTH:
                return static_cast<LRESULT>(m_text.size());
            case WM_GETTEXT:
                return CopyWindowText(m_text, wParam, lParam);
            default:
                return CWnd::DefWindowProc(message, wParam, lParam);
        }
    }

private:
    void Show() {
        const QString text = ToQt(m_text.c_str());
        m_label->setBuddy(m_buddy ? m_buddy->FocusWidget() : nullptr);
        m_label->setText(m_buddy || m_noPrefix ? text : WithoutMnemonic(text));
    }
    QLabel* m_label;
    std::string m_text;
    CControlWnd* m_buddy = nullptr;
    bool m_noPrefix = false;
    bool m_icon = false;
};

// ---- buttons ----------------------------------------------------------------------------

// A push button its dialog draws: pressed is ODS_SELECTED, the focus ODS_FOCUS.
class OwnerDrawButton : public QPushButton {
public:
    explicit OwnerDrawButton(QWidget* parent) : QPushButton(parent) {}
    std::function<void(QPainter&, UINT, const QRect&)> draw;

protected:
    void paintEvent(QPaintEvent*) override {
        if (!draw) return;
        QPainter painter(this);
        UINT state = 0;
        if (isDown()) state |= ODS_SELECTED;
        if (hasFocus()) state |= ODS_FOCUS;
        draw(painter, state, rect());
    }
};

class ButtonCtl : public CControlWnd {
public:
    ButtonCtl(const afx_res::DialogItem& item, QWidget* parent, CWnd* dlg)
        : CControlWnd(item, dlg) {
        const QString text = ToQt(Utf8ToCp932(item.utf8 ? item.utf8 : "").c_str());
        switch (item.style & afx_res::BS_TYPEMASK) {
            case afx_res::BS_GROUPBOX:
                m_group = new QGroupBox(text, parent);
                Attach(m_group);
                return;
            case afx_res::BS_AUTOCHECKBOX:
                m_button = new QCheckBox(text, parent);
                break;
            case afx_res::BS_AUTORADIOBUTTON:
                m_button = new QRadioButton(text, parent);
                m_button->setAutoExclusive(false);
                break;
            case afx_res::BS_OWNERDRAW: {
                // The dialog draws it (WM_DRAWITEM); reached by handle, since the widget may
                // outlive this object by a turn of the event loop.
                // The template's text is its window text, never drawn.
                auto* button = new OwnerDrawButton(parent);
                button->setText(text);
                button->setAutoDefault(false);
                m_button = button;
                Attach(m_button);
                button->draw = [hWnd = GetSafeHwnd(), hDialog = m_hDialog, id = item.id](
                                   QPainter& painter, UINT state, const QRect& rc) {
                    if (!CWnd::FromHandle(hWnd)) return;
                    CDC dc(&painter);
                    DRAWITEMSTRUCT dis;
                    dis.CtlType = ODT_BUTTON;
                    dis.CtlID = id;
                    dis.itemAction = ODA_DRAWENTIRE;
                    dis.itemState = state;
                    dis.hwndItem = hWnd;
                    dis.hDC = dc.GetSafeHdc();
                    dis.rcItem = FromQRect(rc);
                    ::SendMessage(hDialog, WM_DRAWITEM, id, reinterpret_cast<LPARAM>(&dis));
                    dc.Detach();
                };
                QObject::connect(m_button, &QAbstractButton::clicked, &m_receiver,
                                 [this] { Notify(BN_CLICKED); });
                return;
            }
            default: {
                auto* push = new QPushButton(text, parent);
                // A push button with the focus is the one Enter presses, as on the original
                // system; otherwise the default button is.
                push->setAutoDefault(true);
                push->setDefault((item.style & afx_res::BS_TYPEMASK) == afx_res::BS_DEFPUSHBUTTON);
                m_button = push;
                break;
            }
        }
        Attach(m_button);
        QObject::connect(m_button, &QAbstractButton::clicked, &m_receiver,
                         [this] { Notify(BN_CLICKED); });
    }
    void SetGroup(QButtonGroup* group) override {
        if (m_button) group->addButton(m_button);
    }
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
            case WM_SETTEXT:
                if (m_group)
                    m_group->setTitle(ToQt(TextOf(lParam)));
                else
                    m_button->setText(ToQt(TextOf(lParam)));
                return TRUE;
            case WM_GETTEXTLENGTH:
            case WM_GETTEXT: {
                const std::string text = FromQt(m_group ? m_group->title() : m_button->text());
                if (message == WM_GETTEXTLENGTH) return static_cast<LRESULT>(text.size());
                return CopyWindowText(text, wParam, lParam);
            }
            case BM_GETCHECK:
                return m_button && m_button->isCheckable() && m_button->isChecked() ? BST_CHECKED
                                                                                    : BST_UNCHECKED;
            case BM_SETCHECK:
                if (m_button && m_button->isCheckable()) SetChecked(wParam == BST_CHECKED);
                return 0;
            case BM_CLICK:
                if (m_button && m_button->isEnabled()) m_button->click();
                return 0;
            default:
                return CWnd::DefWindowProc(message, wParam, lParam);
        }
    }

private:
    void SetChecked(bool checked) {
        QButtonGroup* group = m_button->group();
        // An exclusive group never lets its checked button go by itself.
        if (group && !checked) group->setExclusive(false);
        m_button->setChecked(checked);
        if (group && !checked) group->setExclusive(true);
    }
    QAbstractButton* m_button = nullptr;
    QGroupBox* m_group = nullptr;
};

// ---- edit -------------------------------------------------------------------------------

class EditCtl : public CControlWnd {
public:
    EditCtl(const afx_res::DialogItem& item, QWidget* parent, CWnd* dlg) : CControlWnd(item, dlg) {
        m_edit = new QLineEdit(parent);
        m_limit = new ByteLimit(m_edit);
        m_edit->setValidator(m_limit);
        m_edit->setReadOnly((item.style & afx_res::ES_READONLY) != 0);
        Attach(m_edit);
        QObject::connect(m_edit, &QLineEdit::textChanged, &m_receiver,
                         [this] { Notify(EN_CHANGE); });
    }
    QLineEdit* LineEdit() const { return m_edit; }
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        return EditMessage(m_edit, m_limit, message, wParam, lParam,
                           [&] { return CWnd::DefWindowProc(message, wParam, lParam); });
    }

private:
    QLineEdit* m_edit;
    ByteLimit* m_limit;
};

// ---- up-down ----------------------------------------------------------------------------

class UpDownCtl : public CControlWnd {
public:
    UpDownCtl(const afx_res::DialogItem& item, QWidget* parent, CWnd* dlg)
        : CControlWnd(item, dlg) {
        auto* box = new QWidget(parent);
        auto* layout = new QVBoxLayout(box);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        auto* up = new QToolButton(box);
        auto* down = new QToolButton(box);
        up->setArrowType(Qt::UpArrow);
        down->setArrowType(Qt::DownArrow);
        for (QToolButton* b : {up, down}) {
            b->setFocusPolicy(Qt::NoFocus);
            b->setAutoRepeat(true);
            b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
            layout->addWidget(b);
        }
        box->setFocusPolicy(Qt::NoFocus);
        Attach(box);
        QObject::connect(up, &QToolButton::clicked, &m_receiver, [this] { Step(+1); });
        QObject::connect(down, &QToolButton::clicked, &m_receiver, [this] { Step(-1); });
    }
    void SetBuddy(CControlWnd* buddy) override {
        m_buddy = buddy;
        if (!buddy) return;
        QWidget* b = buddy->GetWidget();
        if (m_item.style & afx_res::UDS_ALIGNRIGHT) {
            // The buddy gives up the room the arrows take at its right edge.
            const int width = GetWidget()->width();
            const QRect r = b->geometry();
            b->setGeometry(r.x(), r.y(), std::max(1, r.width() - width + 2), r.height());
            GetWidget()->setGeometry(r.right() + 1 - width, r.y(), width, r.height());
        }
        if (m_item.style & afx_res::UDS_ARROWKEYS)
            buddy->FocusWidget()->installEventFilter(&m_keys);
        m_keys.control = this;
    }
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
            case UDM_SETRANGE:
                m_upper = static_cast<short>(LOWORD(static_cast<DWORD>(lParam)));
                m_lower = static_cast<short>(HIWORD(static_cast<DWORD>(lParam)));
                return 0;
            case UDM_GETRANGE:
                return MAKELPARAM(static_cast<WORD>(m_upper), static_cast<WORD>(m_lower));
            case UDM_SETPOS: {
                const int old = m_pos;
                m_pos = Clamp(static_cast<short>(LOWORD(static_cast<DWORD>(lParam))));
                WriteBuddy();
                return old;
            }
            case UDM_GETPOS: {
                const bool ok = ReadBuddy();
                return MAKELPARAM(static_cast<WORD>(m_pos), ok ? 0 : 1);
            }
            case UDM_GETBUDDY:
                return reinterpret_cast<LRESULT>(m_buddy ? m_buddy->GetSafeHwnd() : nullptr);
            default:
                return CWnd::DefWindowProc(message, wParam, lParam);
        }
    }

private:
    struct ArrowKeys : QObject {
        UpDownCtl* control = nullptr;
        bool eventFilter(QObject* watched, QEvent* event) override {
            if (event->type() == QEvent::KeyPress && control) {
                const int key = static_cast<QKeyEvent*>(event)->key();
                if (key == Qt::Key_Up || key == Qt::Key_Down) {
                    control->Step(key == Qt::Key_Up ? +1 : -1);
                    return true;
                }
            }
            return QObject::eventFilter(watched, event);
        }
    };
    int Clamp(int v) const {
        const int lo = std::min(m_lower, m_upper), hi = std::max(m_lower, m_upper);
        return std::clamp(v, lo, hi);
    }
    // The buddy's number, when it holds one, becomes the position (within the range).
    bool ReadBuddy() {
        if (!m_buddy || !(m_item.style & afx_res::UDS_SETBUDDYINT)) return true;
        const std::string text = m_buddy->GetWindowText().Str();
        char* end = nullptr;
        const long value = std::strtol(text.c_str(), &end, 10);
        if (text.empty() || *end != '\0') return false;
        m_pos = Clamp(static_cast<int>(std::clamp<long>(value, INT_MIN, INT_MAX)));
        return true;
    }
    void WriteBuddy() {
        if (!m_buddy || !(m_item.style & afx_res::UDS_SETBUDDYINT)) return;
        m_buddy->SetWindowText(std::to_string(m_pos).c_str());
    }
    void Step(int direction) {
        ReadBuddy();
        // The up arrow goes towards the upper end of the range, whichever number that is.
        const int delta = m_upper >= m_lower ? direction : -direction;
        int next = m_pos + delta;
        if (next < std::min(m_lower, m_upper) || next > std::max(m_lower, m_upper))
            next = (m_item.style & afx_res::UDS_WRAP)
                       ? (delta > 0 ? std::min(m_lower, m_upper) : std::max(m_lower, m_upper))
                       : Clamp(next);
        m_pos = next;
        WriteBuddy();
    }
    CControlWnd* m_buddy = nullptr;
    ArrowKeys m_keys;
    int m_lower = 100;  // the range the system starts with, upside down
    int m_upper = 0;
    int m_pos = 0;
};

}  // namespace

int CompareListItemText(LPCTSTR a, LPCTSTR b) {
    return CompareForSort(a ? a : "", b ? b : "");
}

CControlWnd::CControlWnd(const afx_res::DialogItem& item, CWnd* pDialog)
    : m_item(item), m_hDialog(pDialog->GetSafeHwnd()) {}

CControlWnd::~CControlWnd() = default;

bool CControlWnd::IsPushButton() const {
    const DWORD type = m_item.style & afx_res::BS_TYPEMASK;
    return m_item.kind == afx_res::DlgCtl::Button &&
           (type == afx_res::BS_PUSHBUTTON || type == afx_res::BS_DEFPUSHBUTTON);
}

bool CControlWnd::IsRadioButton() const {
    return m_item.kind == afx_res::DlgCtl::Button &&
           (m_item.style & afx_res::BS_TYPEMASK) == afx_res::BS_AUTORADIOBUTTON;
}

void CControlWnd::Attach(QWidget* widget) {
    CREATESTRUCT cs;
    cs.lpszClass = "";
    cs.style = static_cast<LONG>(m_item.style);
    m_nID = m_item.id;
    AttachWidget(widget, cs, CWnd::FromHandle(m_hDialog));
}

void CControlWnd::Notify(int nCode) {
    ::SendMessage(m_hDialog, WM_COMMAND,
                  MAKEWPARAM(static_cast<WORD>(m_item.id), static_cast<WORD>(nCode)),
                  reinterpret_cast<LPARAM>(GetSafeHwnd()));
}

std::unique_ptr<CControlWnd> CControlWnd::Make(const afx_res::DialogItem& item, QWidget* parent,
                                               CWnd* pDialog) {
    switch (item.kind) {
        case afx_res::DlgCtl::Static:
            return std::make_unique<StaticCtl>(item, parent, pDialog);
        case afx_res::DlgCtl::Button:
            return std::make_unique<ButtonCtl>(item, parent, pDialog);
        case afx_res::DlgCtl::Edit:
            return std::make_unique<EditCtl>(item, parent, pDialog);
        case afx_res::DlgCtl::ListBox:
            return MakeListBoxControl(item, parent, pDialog);
        case afx_res::DlgCtl::ComboBox:
            return MakeComboBoxControl(item, parent, pDialog);
        case afx_res::DlgCtl::UpDown:
            return std::make_unique<UpDownCtl>(item, parent, pDialog);
        case afx_res::DlgCtl::HotKey:
            return MakeHotKeyControl(item, parent, pDialog);
        case afx_res::DlgCtl::ListView:
            return MakeListViewControl(item, parent, pDialog);
    }
    return nullptr;
}
