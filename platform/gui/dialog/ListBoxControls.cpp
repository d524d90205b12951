// List boxes and combo boxes of template dialogs on Qt widgets. Items keep their CP932 text and
// their item data; notifications go to the dialog only for what the user does.
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>
#include <cstring>

#include "platform/base/WinStyles.h"
#include "platform/gui/dialog/ControlText.h"
#include "platform/gui/dialog/DialogControls.h"
#include "platform/gui/dialog/DialogWidget.h"
#include "platform/gui/window/QtText.h"

using namespace afx_controls;

namespace {

// Dialog lists have no copy key of their own, as on the system the program comes from: Ctrl+C
// goes on to the dialog and never puts a line on the clipboard.
template <class View>
class NoCopyKey : public View {
public:
    using View::View;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->matches(QKeySequence::Copy))
            event->ignore();
        else
            View::keyPressEvent(event);
    }
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
    ListBoxCtl(const afx_res::DialogItem& item, QWidget* parent, CWnd* dlg)
        : CControlWnd(item, dlg) {
        m_items.list = new NoCopyKey<QListWidget>(parent);
        m_items.sorted = (item.style & afx_res::LBS_SORT) != 0;
        m_items.checkable =
            (item.style & (afx_res::LBS_OWNERDRAWFIXED | afx_res::LBS_HASSTRINGS)) ==
            (afx_res::LBS_OWNERDRAWFIXED | afx_res::LBS_HASSTRINGS);
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
        const bool notify = (item.style & afx_res::LBS_NOTIFY) != 0;
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
    ComboCtl(const afx_res::DialogItem& item, QWidget* parent, CWnd* dlg) : CControlWnd(item, dlg) {
        m_simple = (item.style & 3) == afx_res::CBS_SIMPLE;
        m_items.sorted = (item.style & afx_res::CBS_SORT) != 0;
        if (m_simple) {
            auto* box = new QWidget(parent);
            auto* layout = new QVBoxLayout(box);
            layout->setContentsMargins(0, 0, 0, 0);
            layout->setSpacing(1);
            m_edit = new QLineEdit(box);
            m_items.list = new NoCopyKey<QListWidget>(box);
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
            m_items.list = new NoCopyKey<QListWidget>(m_combo);
            m_combo->setModel(m_items.list->model());
            m_combo->setView(new NoCopyKey<QListView>(m_combo));
            m_combo->setEditable((item.style & 3) == afx_res::CBS_DROPDOWN);
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
                    EditMessage(m_edit, m_limit, message, wParam, lParam,
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
        const ByteLimit::ProgramSets unlimited(m_limit);
        m_setting = true;
        f();
        m_setting = was;
    }
    void SetEditText(const std::string& text) {
        const ByteLimit::ProgramSets unlimited(m_limit);
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

}  // namespace

std::unique_ptr<CControlWnd> MakeListBoxControl(const afx_res::DialogItem& item, QWidget* parent,
                                                CWnd* pDialog) {
    return std::make_unique<ListBoxCtl>(item, parent, pDialog);
}

std::unique_ptr<CControlWnd> MakeComboBoxControl(const afx_res::DialogItem& item, QWidget* parent,
                                                 CWnd* pDialog) {
    return std::make_unique<ComboCtl>(item, parent, pDialog);
}
