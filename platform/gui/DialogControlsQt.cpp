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
#include "platform/gui/CDC.h"
#include "platform/gui/DialogControls.h"
#include "platform/gui/DialogQt.h"
#include "platform/gui/GdiQt.h"
#include "platform/gui/PixelArtQt.h"
#include "platform/gui/QtText.h"
#include "platform/gui/WndBridgeQt.h"
#include "platform/ipc/Handles.h"
#include "res/DialogStyles.h"

namespace {

LPCTSTR TextOf(LPARAM lParam) {
    const auto* text = reinterpret_cast<LPCTSTR>(lParam);
    return text ? text : "";
}

// ASCII letters in lower case; the trail byte of a double-byte character is no letter.
std::string FoldCase(std::string s) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC))
            ++i;
        else if (c >= 'A' && c <= 'Z')
            s[i] = static_cast<char>(c - 'A' + 'a');
    }
    return s;
}

// The order of sorted lists: letters without regard to case, then code order.
int CompareForSort(const std::string& a, const std::string& b) {
    const int r = CString(FoldCase(a)).Compare(FoldCase(b));
    return r != 0 ? r : CString(a).Compare(b);
}

bool StartsWithNoCase(const std::string& item, const std::string& prefix) {
    const std::string folded = FoldCase(item);
    const std::string p = FoldCase(prefix);
    return folded.compare(0, p.size(), p) == 0;
}

bool EqualsNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && FoldCase(a) == FoldCase(b);
}

// The text of a label without its mnemonic marks, for labels that have nothing to move to.
QString WithoutMnemonic(const QString& text) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) ++i;
        out += text[i];
    }
    return out;
}

// Limits an edit to a number of bytes of the code page, as typed text is counted there.
class ByteLimit : public QValidator {
public:
    explicit ByteLimit(QObject* parent) : QValidator(parent) {}
    int limit = 30000;
    State validate(QString& input, int&) const override {
        return FromQt(input).size() <= static_cast<std::size_t>(limit) ? Acceptable : Invalid;
    }
};

// ---- static -----------------------------------------------------------------------------

class StaticCtl : public CControlWnd {
public:
    StaticCtl(const res::DialogItem& item, QWidget* parent, CWnd* dlg) : CControlWnd(item, dlg) {
        m_label = new QLabel(parent);
        const DWORD type = item.style & res::SS_TYPEMASK;
        Qt::Alignment align = Qt::AlignTop;
        if (type == res::SS_CENTER)
            align = Qt::AlignHCenter | Qt::AlignVCenter;
        else if (type == res::SS_RIGHT)
            align |= Qt::AlignRight;
        else
            align |= Qt::AlignLeft;
        m_label->setAlignment(align);
        m_label->setWordWrap(true);
        m_label->setTextFormat(Qt::PlainText);
        if (item.style & res::SS_SUNKEN) m_label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        m_text = Utf8ToCp932(item.utf8 ? item.utf8 : "");
        m_noPrefix = (item.style & res::SS_NOPREFIX) != 0;
        Attach(m_label);
        if (type == res::SS_ICON) {
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
    ButtonCtl(const res::DialogItem& item, QWidget* parent, CWnd* dlg) : CControlWnd(item, dlg) {
        const QString text = ToQt(Utf8ToCp932(item.utf8 ? item.utf8 : "").c_str());
        switch (item.style & res::BS_TYPEMASK) {
            case res::BS_GROUPBOX:
                m_group = new QGroupBox(text, parent);
                Attach(m_group);
                return;
            case res::BS_AUTOCHECKBOX:
                m_button = new QCheckBox(text, parent);
                break;
            case res::BS_AUTORADIOBUTTON:
                m_button = new QRadioButton(text, parent);
                m_button->setAutoExclusive(false);
                break;
            case res::BS_OWNERDRAW: {
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
                push->setDefault((item.style & res::BS_TYPEMASK) == res::BS_DEFPUSHBUTTON);
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
    EditCtl(const res::DialogItem& item, QWidget* parent, CWnd* dlg) : CControlWnd(item, dlg) {
        m_edit = new QLineEdit(parent);
        m_limit = new ByteLimit(m_edit);
        m_edit->setValidator(m_limit);
        m_edit->setReadOnly((item.style & res::ES_READONLY) != 0);
        Attach(m_edit);
        QObject::connect(m_edit, &QLineEdit::textChanged, &m_receiver,
                         [this] { Notify(EN_CHANGE); });
    }
    QLineEdit* LineEdit() const { return m_edit; }
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        return EditMessage(m_edit, m_limit, message, wParam, lParam,
                           [&] { return CWnd::DefWindowProc(message, wParam, lParam); });
    }

    // The edit messages, shared with the edit field of combo boxes.
    template <class Fallback>
    static LRESULT EditMessage(QLineEdit* edit, ByteLimit* limit, UINT message, WPARAM wParam,
                               LPARAM lParam, Fallback fallback) {
        switch (message) {
            case WM_SETTEXT:
                // Set by the program: neither limited nor counted as a change by the user.
                edit->setText(ToQt(TextOf(lParam)));
                return TRUE;
            case WM_GETTEXTLENGTH:
            case WM_GETTEXT: {
                const std::string text = FromQt(edit->text());
                if (message == WM_GETTEXTLENGTH) return static_cast<LRESULT>(text.size());
                return CopyWindowText(text, wParam, lParam);
            }
            case EM_LIMITTEXT:
                limit->limit =
                    wParam == 0 ? INT_MAX : static_cast<int>(std::min<WPARAM>(wParam, INT_MAX));
                return 0;
            case EM_GETLIMITTEXT:
                return limit->limit;
            case EM_GETMODIFY:
                return edit->isModified() ? TRUE : FALSE;
            case EM_SETMODIFY:
                edit->setModified(wParam != 0);
                return 0;
            case EM_SETSEL: {
                const auto start = static_cast<int>(static_cast<INT_PTR>(wParam));
                const auto end = static_cast<int>(lParam);
                if (start == -1)
                    edit->deselect();
                else if (start == 0 && end == -1)
                    edit->selectAll();
                else
                    edit->setSelection(start, std::max(0, end - start));
                return 0;
            }
            default:
                return fallback();
        }
    }

private:
    QLineEdit* m_edit;
    ByteLimit* m_limit;
};

// ---- list box ---------------------------------------------------------------------------

// Items keep their CP932 text and their item data.
constexpr int kTextRole = Qt::UserRole + 1;
constexpr int kDataRole = Qt::UserRole + 2;
// The check last reported, so that other changes of an item are not taken for a tick.
constexpr int kCheckRole = Qt::UserRole + 3;

std::string ItemText(const QListWidgetItem* item) {
    return item ? item->data(kTextRole).toByteArray().toStdString() : std::string();
}

// Where a new text goes in a sorted list: after the items that do not sort after it.
int SortedPosition(const QListWidget* list, const std::string& text) {
    int lo = 0, hi = list->count();
    // Entries added in order go to the end at the cost of one comparison each.
    if (hi == 0 || CompareForSort(ItemText(list->item(hi - 1)), text) <= 0) return hi;
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        if (CompareForSort(ItemText(list->item(mid)), text) <= 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

// The item operations of list boxes and of the list of combo boxes.
struct ItemList {
    QListWidget* list = nullptr;
    bool sorted = false;
    bool checkable = false;

    int Count() const { return list->count(); }
    bool Valid(WPARAM i) const {
        return static_cast<INT_PTR>(i) >= 0 && static_cast<int>(i) < Count();
    }
    int Insert(int index, LPCTSTR text) {
        if (index < 0 || index > Count()) index = Count();
        auto* item = new QListWidgetItem(ToQt(text));
        item->setData(kTextRole, QByteArray(text));
        item->setData(kDataRole, qlonglong(0));
        if (checkable) {
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Unchecked);
        }
        list->insertItem(index, item);
        return index;
    }
    int Add(LPCTSTR text) { return Insert(sorted ? SortedPosition(list, text) : Count(), text); }
    std::string Text(int i) const { return ItemText(list->item(i)); }
    int FindExact(WPARAM start, const std::string& text) const { return Find(start, text, true); }
    int FindPrefix(WPARAM start, const std::string& text) const { return Find(start, text, false); }
    int Find(WPARAM start, const std::string& text, bool exact) const {
        const int n = Count();
        const int first = Valid(start) ? static_cast<int>(start) + 1 : 0;
        for (int k = 0; k < n; ++k) {
            const int i = (first + k) % n;
            const std::string item = Text(i);
            if (exact ? EqualsNoCase(item, text) : StartsWithNoCase(item, text)) return i;
        }
        return -1;
    }
    LRESULT ItemMessage(UINT message, WPARAM wParam, LPARAM lParam, bool combo, bool& handled) {
        handled = true;
        const bool isCombo = combo;
        auto msg = [&](UINT lb, UINT cb) { return message == (isCombo ? cb : lb); };
        if (msg(LB_ADDSTRING, CB_ADDSTRING)) return Add(TextOf(lParam));
        if (msg(LB_INSERTSTRING, CB_INSERTSTRING))
            return Insert(static_cast<int>(static_cast<INT_PTR>(wParam)), TextOf(lParam));
        if (msg(LB_GETCOUNT, CB_GETCOUNT)) return Count();
        if (msg(LB_GETTEXTLEN, CB_GETLBTEXTLEN))
            return Valid(wParam) ? static_cast<LRESULT>(Text(static_cast<int>(wParam)).size()) : -1;
        if (msg(LB_GETTEXT, CB_GETLBTEXT)) {
            if (!Valid(wParam) || !lParam) return -1;
            // The caller's buffer is as long as GETTEXTLEN said, plus the terminating zero.
            const std::string text = Text(static_cast<int>(wParam));
            std::memcpy(reinterpret_cast<char*>(lParam), text.c_str(), text.size() + 1);
            return static_cast<LRESULT>(text.size());
        }
        if (msg(LB_GETITEMDATA, CB_GETITEMDATA))
            return Valid(wParam)
                       ? static_cast<LRESULT>(
                             list->item(static_cast<int>(wParam))->data(kDataRole).toLongLong())
                       : -1;
        if (msg(LB_SETITEMDATA, CB_SETITEMDATA)) {
            if (!Valid(wParam)) return -1;
            list->item(static_cast<int>(wParam))->setData(kDataRole, qlonglong(lParam));
            return 0;
        }
        if (msg(LB_FINDSTRINGEXACT, CB_FINDSTRINGEXACT)) return FindExact(wParam, TextOf(lParam));
        if (isCombo && message == CB_FINDSTRING) return FindPrefix(wParam, TextOf(lParam));
        handled = false;
        return 0;
    }
};

class ListBoxCtl : public CControlWnd {
public:
    ListBoxCtl(const res::DialogItem& item, QWidget* parent, CWnd* dlg) : CControlWnd(item, dlg) {
        m_items.list = new QListWidget(parent);
        m_items.sorted = (item.style & res::LBS_SORT) != 0;
        m_items.checkable = (item.style & (res::LBS_OWNERDRAWFIXED | res::LBS_HASSTRINGS)) ==
                            (res::LBS_OWNERDRAWFIXED | res::LBS_HASSTRINGS);
        m_items.list->setSelectionMode(QAbstractItemView::SingleSelection);
        Attach(m_items.list);
        // A check box the user ticks or unticks (a click on it selects its line first; Space
        // toggles the current line's).
        QObject::connect(m_items.list, &QListWidget::itemChanged, &m_receiver,
                         [this](QListWidgetItem* changed) {
                             if (m_setting || !m_items.checkable) return;
                             const int now = changed->checkState() == Qt::Checked ? 1 : 0;
                             if (changed->data(kCheckRole).toInt() == now) return;
                             Quietly([&] { changed->setData(kCheckRole, now); });
                             Notify(CLBN_CHKCHANGE);
                         });
        const bool notify = (item.style & res::LBS_NOTIFY) != 0;
        QObject::connect(m_items.list, &QListWidget::currentRowChanged, &m_receiver,
                         [this, notify] {
                             if (!m_setting && notify) Notify(LBN_SELCHANGE);
                         });
        QObject::connect(m_items.list, &QListWidget::itemDoubleClicked, &m_receiver,
                         [this, notify] {
                             if (notify) Notify(LBN_DBLCLK);
                         });
    }
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        bool handled = false;
        LRESULT r = 0;
        Quietly([&] { r = m_items.ItemMessage(message, wParam, lParam, false, handled); });
        if (handled) return r;
        QListWidget* list = m_items.list;
        switch (message) {
            case LBX_SETCHECK:
                if (!m_items.checkable || !m_items.Valid(wParam)) return LB_ERR;
                Quietly([&] {
                    QListWidgetItem* item = list->item(static_cast<int>(wParam));
                    item->setCheckState(lParam ? Qt::Checked : Qt::Unchecked);
                    item->setData(kCheckRole, lParam ? 1 : 0);
                });
                return 0;
            case LBX_GETCHECK:
                if (!m_items.checkable || !m_items.Valid(wParam)) return LB_ERR;
                return list->item(static_cast<int>(wParam))->checkState() == Qt::Checked ? 1 : 0;
            case LB_DELETESTRING:
                if (!m_items.Valid(wParam)) return LB_ERR;
                Quietly([&] { delete list->takeItem(static_cast<int>(wParam)); });
                return list->count();
            case LB_RESETCONTENT:
                Quietly([&] { list->clear(); });
                return 0;
            case LB_GETCURSEL: {
                const int row = list->currentRow();
                return row >= 0 && list->item(row)->isSelected() ? row : LB_ERR;
            }
            case LB_SETCURSEL:
                Quietly([&] {
                    if (m_items.Valid(wParam)) {
                        list->setCurrentRow(static_cast<int>(wParam));
                    } else {
                        list->setCurrentRow(-1);
                        list->clearSelection();
                    }
                });
                return m_items.Valid(wParam) ? static_cast<LRESULT>(wParam) : LB_ERR;
            default:
                return CWnd::DefWindowProc(message, wParam, lParam);
        }
    }

private:
    template <class F>
    void Quietly(F f) {
        m_setting = true;
        f();
        m_setting = false;
    }
    ItemList m_items;
    bool m_setting = false;
};

// ---- combo box --------------------------------------------------------------------------

// A simple combo box shows its list below its edit field at all times; a drop-down one opens
// its list on demand. The selection is kept here: typing in the edit field changes it (to the
// first entry the text begins, in a simple combo box; to none in a drop-down one) without a
// notification, as on the original system.
class ComboCtl : public CControlWnd {
public:
    ComboCtl(const res::DialogItem& item, QWidget* parent, CWnd* dlg) : CControlWnd(item, dlg) {
        m_simple = (item.style & 3) == res::CBS_SIMPLE;
        m_items.sorted = (item.style & res::CBS_SORT) != 0;
        if (m_simple) {
            auto* box = new QWidget(parent);
            auto* layout = new QVBoxLayout(box);
            layout->setContentsMargins(0, 0, 0, 0);
            layout->setSpacing(1);
            m_edit = new QLineEdit(box);
            m_items.list = new QListWidget(box);
            m_items.list->setFocusPolicy(Qt::NoFocus);
            // One line of text each: the list lays out a hundred thousand entries without
            // measuring each one.
            m_items.list->setUniformItemSizes(true);
            layout->addWidget(m_edit);
            layout->addWidget(m_items.list, 1);
            box->setFocusProxy(m_edit);
            Attach(box);
            QObject::connect(m_items.list, &QListWidget::currentRowChanged, &m_receiver,
                             [this](int row) {
                                 if (m_setting || row < 0) return;
                                 m_cur = row;
                                 SetEditText(m_items.Text(row));
                                 m_edit->selectAll();
                                 Notify(CBN_SELCHANGE);
                             });
            QObject::connect(m_items.list, &QListWidget::itemDoubleClicked, &m_receiver,
                             [this] { Notify(CBN_DBLCLK); });
        } else {
            m_combo = new QComboBox(parent);
            m_items.list = new QListWidget(m_combo);
            m_combo->setModel(m_items.list->model());
            m_combo->setView(new QListView(m_combo));
            m_combo->setEditable((item.style & 3) == res::CBS_DROPDOWN);
            m_combo->setInsertPolicy(QComboBox::NoInsert);
            if (m_combo->isEditable()) {
                m_combo->setCompleter(nullptr);
                m_edit = m_combo->lineEdit();
            }
            m_items.list->hide();
            Attach(m_combo);
            QObject::connect(m_combo, &QComboBox::currentIndexChanged, &m_receiver,
                             [this](int index) {
                                 if (m_setting || index < 0) return;
                                 m_cur = index;
                                 Notify(CBN_SELCHANGE);
                             });
        }
        if (m_edit) {
            m_limit = new ByteLimit(m_edit);
            m_edit->setValidator(m_limit);
            QObject::connect(
                m_edit, &QLineEdit::textEdited, &m_receiver, [this](const QString& text) {
                    Quietly([&] {
                        Select(m_simple ? m_items.FindPrefix(WPARAM(-1), FromQt(text)) : -1, false);
                    });
                    Notify(CBN_EDITCHANGE);
                });
        }
    }
    QWidget* FocusWidget() const override {
        return m_edit ? static_cast<QWidget*>(m_edit) : GetWidget();
    }
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        bool handled = false;
        LRESULT r = 0;
        Quietly([&] { r = m_items.ItemMessage(message, wParam, lParam, true, handled); });
        if (handled) {
            if (message == CB_INSERTSTRING && r >= 0 && m_cur >= r) ++m_cur;
            if (message == CB_ADDSTRING && r >= 0 && m_cur >= r) ++m_cur;
            Resync();
            return r;
        }
        switch (message) {
            case CB_DELETESTRING: {
                if (!m_items.Valid(wParam)) return CB_ERR;
                const int index = static_cast<int>(wParam);
                Quietly([&] { delete m_items.list->takeItem(index); });
                if (m_cur == index)
                    m_cur = -1;
                else if (m_cur > index)
                    --m_cur;
                Resync();
                return m_items.Count();
            }
            case CB_RESETCONTENT:
                Quietly([&] { m_items.list->clear(); });
                m_cur = -1;
                Resync();
                SetEditText("");
                return 0;
            case CB_GETCURSEL:
                return m_cur;
            case CB_SETCURSEL:
                Quietly(
                    [&] { Select(m_items.Valid(wParam) ? static_cast<int>(wParam) : -1, true); });
                return m_cur >= 0 ? m_cur : CB_ERR;
            case CB_SELECTSTRING: {
                const int found = m_items.FindPrefix(wParam, TextOf(lParam));
                if (found < 0) return CB_ERR;
                Quietly([&] { Select(found, true); });
                return found;
            }
            case CB_LIMITTEXT:
                if (m_limit)
                    m_limit->limit =
                        wParam == 0 ? INT_MAX : static_cast<int>(std::min<WPARAM>(wParam, INT_MAX));
                return m_limit ? TRUE : FALSE;
            case CB_SHOWDROPDOWN:
                if (m_combo) wParam ? m_combo->showPopup() : m_combo->hidePopup();
                return TRUE;
            case WM_SETTEXT:
                if (!m_edit) return CB_ERR;
                SetEditText(TextOf(lParam));
                return TRUE;
            case WM_GETTEXTLENGTH:
            case WM_GETTEXT: {
                const std::string text = m_edit
                                             ? FromQt(m_edit->text())
                                             : (m_cur >= 0 ? m_items.Text(m_cur) : std::string());
                if (message == WM_GETTEXTLENGTH) return static_cast<LRESULT>(text.size());
                return CopyWindowText(text, wParam, lParam);
            }
            case EM_SETSEL:
                if (m_edit)
                    EditCtl::EditMessage(m_edit, m_limit, message, wParam, lParam,
                                         [] { return LRESULT(0); });
                return TRUE;
            default:
                return CWnd::DefWindowProc(message, wParam, lParam);
        }
    }

private:
    template <class F>
    void Quietly(F f) {
        const bool was = m_setting;
        m_setting = true;
        f();
        m_setting = was;
    }
    void SetEditText(const std::string& text) {
        if (m_edit) m_edit->setText(ToQt(text.c_str()));
    }
    // Selects entry i (or none); with bSetText the edit field shows it, as the program's
    // selection does.
    void Select(int i, bool bSetText) {
        m_cur = i;
        Resync();
        if (bSetText) SetEditText(i >= 0 ? m_items.Text(i) : std::string());
    }
    // The widgets show the selection kept here.
    void Resync() {
        Quietly([&] {
            if (m_combo) {
                const QString text = m_edit ? m_edit->text() : QString();
                m_combo->setCurrentIndex(m_cur);
                if (m_edit && m_edit->text() != text) m_edit->setText(text);
            } else {
                m_items.list->setCurrentRow(m_cur);
                if (m_cur < 0) m_items.list->clearSelection();
            }
        });
    }
    ItemList m_items;
    QComboBox* m_combo = nullptr;
    QLineEdit* m_edit = nullptr;
    ByteLimit* m_limit = nullptr;
    bool m_simple = false;
    bool m_setting = false;
    int m_cur = -1;
};

// ---- up-down ----------------------------------------------------------------------------

class UpDownCtl : public CControlWnd {
public:
    UpDownCtl(const res::DialogItem& item, QWidget* parent, CWnd* dlg) : CControlWnd(item, dlg) {
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
        if (m_item.style & res::UDS_ALIGNRIGHT) {
            // The buddy gives up the room the arrows take at its right edge.
            const int width = GetWidget()->width();
            const QRect r = b->geometry();
            b->setGeometry(r.x(), r.y(), std::max(1, r.width() - width + 2), r.height());
            GetWidget()->setGeometry(r.right() + 1 - width, r.y(), width, r.height());
        }
        if (m_item.style & res::UDS_ARROWKEYS) buddy->FocusWidget()->installEventFilter(&m_keys);
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
        if (!m_buddy || !(m_item.style & res::UDS_SETBUDDYINT)) return true;
        const std::string text = m_buddy->GetWindowText().Str();
        char* end = nullptr;
        const long value = std::strtol(text.c_str(), &end, 10);
        if (text.empty() || *end != '\0') return false;
        m_pos = Clamp(static_cast<int>(std::clamp<long>(value, INT_MIN, INT_MAX)));
        return true;
    }
    void WriteBuddy() {
        if (!m_buddy || !(m_item.style & res::UDS_SETBUDDYINT)) return;
        m_buddy->SetWindowText(std::to_string(m_pos).c_str());
    }
    void Step(int direction) {
        ReadBuddy();
        // The up arrow goes towards the upper end of the range, whichever number that is.
        const int delta = m_upper >= m_lower ? direction : -direction;
        int next = m_pos + delta;
        if (next < std::min(m_lower, m_upper) || next > std::max(m_lower, m_upper))
            next = (m_item.style & res::UDS_WRAP)
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

CControlWnd::CControlWnd(const res::DialogItem& item, CWnd* pDialog)
    : m_item(item), m_hDialog(pDialog->GetSafeHwnd()) {}

CControlWnd::~CControlWnd() = default;

bool CControlWnd::IsPushButton() const {
    const DWORD type = m_item.style & res::BS_TYPEMASK;
    return m_item.kind == res::DlgCtl::Button &&
           (type == res::BS_PUSHBUTTON || type == res::BS_DEFPUSHBUTTON);
}

bool CControlWnd::IsRadioButton() const {
    return m_item.kind == res::DlgCtl::Button &&
           (m_item.style & res::BS_TYPEMASK) == res::BS_AUTORADIOBUTTON;
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

std::unique_ptr<CControlWnd> CControlWnd::Make(const res::DialogItem& item, QWidget* parent,
                                               CWnd* pDialog) {
    switch (item.kind) {
        case res::DlgCtl::Static:
            return std::make_unique<StaticCtl>(item, parent, pDialog);
        case res::DlgCtl::Button:
            return std::make_unique<ButtonCtl>(item, parent, pDialog);
        case res::DlgCtl::Edit:
            return std::make_unique<EditCtl>(item, parent, pDialog);
        case res::DlgCtl::ListBox:
            return std::make_unique<ListBoxCtl>(item, parent, pDialog);
        case res::DlgCtl::ComboBox:
            return std::make_unique<ComboCtl>(item, parent, pDialog);
        case res::DlgCtl::UpDown:
            return std::make_unique<UpDownCtl>(item, parent, pDialog);
        case res::DlgCtl::HotKey:
            return MakeHotKeyControl(item, parent, pDialog);
        case res::DlgCtl::ListView:
            return MakeListViewControl(item, parent, pDialog);
    }
    return nullptr;
}
