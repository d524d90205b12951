#include <algorithm>
#include <iterator>

#include "res/Resources.h"
#include "res/resource.h"

namespace res {
namespace {

constexpr unsigned Command(unsigned id) {
    return HID_BASE_COMMAND + id;
}
constexpr unsigned Resource(unsigned id) {
    return HID_BASE_RESOURCE + id;
}
constexpr unsigned Bar(unsigned id) {
    return HID_BASE_CONTROL + id;
}

// Kept in ascending order of context.
constexpr HelpTopicEntry kTopics[] = {
    // Commands: menu items, tool buttons and keys, in help mode or with F1 on an open menu.
    {Command(ID_QUIT_RESIDENT), "cmd-quit-resident.html"},
    {Command(ID_SEND_HIDETERM), "cmd-send.html"},
    {Command(ID_REGIST_ID), "cmd-regist.html"},
    {Command(ID_DELETE_ID), "cmd-delete.html"},
    {Command(ID_RESTORE_ID), "cmd-restore.html"},
    {Command(ID_PERSONAL_DATA), "cmd-personal.html"},
    {Command(ID_ONLY_PICKUP), "cmd-only-pickup.html"},
    {Command(ID_SPECIFY_DATE), "cmd-date.html"},
    {Command(ID_SPECIFY_KEYWORD), "cmd-keyword.html"},
    {Command(ID_PICKUP_REDO), "cmd-pickup-redo.html"},
    {Command(ID_OPTIONS), "cmd-options.html"},
    {Command(ID_FONT), "cmd-font.html"},
    {Command(ID_FILE_NEW), "cmd-file-new.html"},
    {Command(ID_FILE_OPEN), "cmd-file-open.html"},
    {Command(ID_FILE_SAVE), "cmd-file-save.html"},
    {Command(ID_FILE_SAVE_AS), "cmd-file-saveas.html"},
    {Command(ID_FILE_MRU_FILE1), "cmd-file-mru.html"},
    {Command(ID_FILE_MRU_FILE2), "cmd-file-mru.html"},
    {Command(ID_FILE_MRU_FILE3), "cmd-file-mru.html"},
    {Command(ID_FILE_MRU_FILE4), "cmd-file-mru.html"},
    {Command(ID_EDIT_COPY), "cmd-copy.html"},
    {Command(ID_EDIT_SELECT_ALL), "cmd-select-all.html"},
    {Command(ID_APP_ABOUT), "cmd-about.html"},
    {Command(ID_APP_EXIT), "cmd-app-exit.html"},
    {Command(ID_HELP_FINDER), "cmd-help-topics.html"},
    {Command(ID_CONTEXT_HELP), "cmd-context-help.html"},
    {Command(ID_HELP), "help.html"},
    {Command(ID_DEFAULT_HELP), "cmd-help-topics.html"},
    // F6 and Shift+F6 belong to windows of several panes; the main window has one.
    {Command(ID_NEXT_PANE), "keys.html"},
    {Command(ID_PREV_PANE), "keys.html"},
    {Command(ID_VIEW_TOOLBAR), "cmd-toolbar.html"},
    {Command(ID_VIEW_STATUS_BAR), "cmd-statusbar.html"},

    // Windows, and dialogs and pages by their templates (F1, their ﾍﾙﾌﾟ buttons).
    {Resource(IDR_MAINFRAME), "mainwindow.html"},
    {Resource(IDR_IDLIST), "idlist.html"},
    {Resource(IDD_ABOUTBOX), "dlg-about.html"},
    {Resource(IDD_PERSONAL_DATA), "dlg-personal.html"},
    {Resource(IDD_REGIST_ID), "dlg-regist.html"},
    {Resource(IDD_SPECIFY_DATE), "dlg-date.html"},
    {Resource(IDD_SPECIFY_KEYWORD), "dlg-keyword.html"},
    {Resource(IDD_SEND_FORMAT), "dlg-sendformat.html"},
    {Resource(IDD_PROPERTY_ENVIRON), "page-environ.html"},
    {Resource(IDD_PROPERTY_VIEW), "page-view.html"},
    {Resource(IDD_PROPERTY_PICKUP), "page-pickup.html"},
    {Resource(IDD_PROPERTY_HELPER), "page-helper.html"},
    {Resource(IDD_PROPERTY_COLOR), "page-color.html"},
    {Resource(IDD_NO_PICKUP_ID), "dlg-nopickup.html"},
    {Resource(IDD_FONT), "dlg-font.html"},

    // The bars themselves, outside their buttons and panes (help mode).
    {Bar(AFX_IDW_TOOLBAR), "toolbar.html"},
    {Bar(AFX_IDW_STATUS_BAR), "statusbar.html"},
};

constexpr bool IsSorted() {
    for (std::size_t i = 1; i < std::size(kTopics); ++i)
        if (kTopics[i - 1].context >= kTopics[i].context) return false;
    return true;
}
static_assert(IsSorted(), "the help topics must stay in ascending order of context");

}  // namespace

std::span<const HelpTopicEntry> HelpTopics() {
    return kTopics;
}

}  // namespace res
