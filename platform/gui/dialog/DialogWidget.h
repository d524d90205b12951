// The Qt side of dialogs (platform code only): the dialog's top-level widget and the controls
// built from a template, each a window whose default behaviour is the control's own.
#pragma once

#include <QDialog>
#include <memory>
#include <vector>

#include "platform/base/ResourceTables.h"
#include "platform/gui/window/CWnd.h"
#include "platform/gui/window/QtText.h"

class CDialog;
class QButtonGroup;

// Enter and Esc as on the original system: Enter sends the default button's command (IDOK when
// there is none), Esc sends IDCANCEL; the close box asks the window with WM_CLOSE.
class DialogQt : public QDialog {
public:
    explicit DialogQt(CDialog* pDialog, QWidget* parent);
    void Detach() { m_pDialog = nullptr; }
    // A part of another window: Enter and Esc go on to the window it is part of.
    void SetEmbedded() { m_bEmbedded = true; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    CDialog* m_pDialog;
    bool m_bEmbedded = false;
};

class CControlWnd : public CWnd {
public:
    // The control for a template item, with its widget made inside parent; nullptr for an item
    // of an unknown kind.
    static std::unique_ptr<CControlWnd> Make(const afx_res::DialogItem& item, QWidget* parent,
                                             CWnd* pDialog);
    ~CControlWnd() override;

    const afx_res::DialogItem& Item() const { return m_item; }
    DWORD GetStyle() const { return m_item.style; }
    bool IsPushButton() const;
    bool IsRadioButton() const;
    bool IsEdit() const { return m_item.kind == afx_res::DlgCtl::Edit; }
    // For labels: the control their mnemonic moves the focus to. For up-down controls: the
    // buddy, placed and read as the style says.
    virtual void SetBuddy(CControlWnd* /*pBuddy*/) {}
    // For radio buttons: the group they are exclusive within.
    virtual void SetGroup(QButtonGroup* /*group*/) {}
    // The widget that takes the focus (an edit field inside a combo box).
    virtual QWidget* FocusWidget() const { return GetWidget(); }

protected:
    CControlWnd(const afx_res::DialogItem& item, CWnd* pDialog);
    // Gives this object its handle and widget.
    void Attach(QWidget* widget);
    // WM_COMMAND with the notification code to the dialog.
    void Notify(int nCode);

    afx_res::DialogItem m_item;
    HWND m_hDialog = nullptr;
    // The context of the widgets' signal connections, so that none outlives the control.
    QObject m_receiver;
};

// The common controls of templates (CommonControlsQt.cpp).
std::unique_ptr<CControlWnd> MakeListBoxControl(const afx_res::DialogItem& item, QWidget* parent,
                                                CWnd* pDialog);
std::unique_ptr<CControlWnd> MakeComboBoxControl(const afx_res::DialogItem& item, QWidget* parent,
                                                 CWnd* pDialog);
std::unique_ptr<CControlWnd> MakeHotKeyControl(const afx_res::DialogItem& item, QWidget* parent,
                                               CWnd* pDialog);
std::unique_ptr<CControlWnd> MakeListViewControl(const afx_res::DialogItem& item, QWidget* parent,
                                                 CWnd* pDialog);

// Dialog units to pixels for a dialog font: the base units are its average character width
// and its height.
struct DialogUnits {
    int baseX = 0;
    int baseY = 0;
    int X(int dlu) const;
    int Y(int dlu) const;
};
DialogUnits DialogUnitsFor(const QFont& font);
QFont DialogFont(const afx_res::DialogResource& resource);

// Sizes the dialog's widget and makes its controls from the template, in template order.
std::vector<std::unique_ptr<CControlWnd>> BuildControls(const afx_res::DialogResource& resource,
                                                        CWnd* pDialog, QWidget* dialogWidget);
