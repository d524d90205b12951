// Help with the program's own manual: every help context the program can give has a topic, the
// manual holds together, and the program's keys, commands, list and dialogs reach their own
// topics. How F1, help mode, menus and the ﾍﾙﾌﾟ buttons of dialogs work is tested on a frame of
// the test's own in tests/platform/gui/FrameHelpTest.cpp.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMainWindow>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QShortcut>
#include <QToolBar>
#include <map>
#include <set>
#include <string>

#include "app/VelkonApp.h"
#include "dialogs/PersonalDataDlg.h"
#include "platform/base/CommonDialogIds.h"
#include "platform/gui/dialog/CPropertySheet.h"
#include "platform/gui/help/AfxHelp.h"
#include "platform/gui/help/HelpBook.h"
#include "platform/gui/window/WidgetBridge.h"
#include "res/Resources.h"
#include "tests/listview/ListViewFixture.h"
#include "tests/support/DialogDriver.h"

using namespace testing_support;
using afx_help::HelpBook;
using afx_help::ShownTopic;

namespace {

// The program's application object, with every help request it gets written down.
class RecordingApp : public CVelkonApp {
public:
    void WinHelp(DWORD_PTR dwData, UINT nCmd) override {
        requests.emplace_back(dwData, nCmd);
        CVelkonApp::WinHelp(dwData, nCmd);
    }
    std::vector<std::pair<DWORD_PTR, UINT>> requests;
};

class HelpTest : public listview_test::ListViewTest {
protected:
    std::unique_ptr<CWinApp> MakeApp() const override { return std::make_unique<RecordingApp>(); }
    void TearDown() override {
        EXPECT_EQ(messages.Texts(), std::vector<std::string>()) << "a message box came up";
        ListViewTest::TearDown();
    }
    RecordingApp& App() const { return static_cast<RecordingApp&>(*app); }
    QMainWindow* Window() const { return frame->GetMainWindow(); }

    void Press(const QKeySequence& keys) const { testing_support::PressShortcut(Window(), keys); }
    QWidget* ToolButton(UINT id) const {
        QToolBar* bar = frame->m_wndToolBar.GetToolBar();
        for (QAction* a : bar->actions())
            if (a->data().toUInt() == id) return bar->widgetForAction(a);
        ADD_FAILURE() << "no tool button " << id;
        return nullptr;
    }
    static void ClickOn(QWidget* w, Qt::MouseButton button = Qt::LeftButton) {
        ASSERT_NE(w, nullptr);
        const QPointF at(w->width() / 2.0, w->height() / 2.0);
        QMouseEvent press(QEvent::MouseButtonPress, at, w->mapToGlobal(at), button, button,
                          Qt::NoModifier);
        QApplication::sendEvent(w, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, w->mapToGlobal(at), button,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(w, &release);
    }
    void EnterHelpMode() {
        Press(QKeySequence(Qt::SHIFT | Qt::Key_F1));
        ASSERT_TRUE(afx_help::InHelpMode());
    }
    // Runs a command that shows a dialog, and step in that dialog, which must end it.
    void InDialog(UINT command, std::function<void(CDialog*)> step) {
        DialogScript script;
        script.Then(std::move(step));
        frame->RunCommand(command);
        EXPECT_EQ(script.Shown(), 1) << "command " << command;
    }

    MessageBoxAnswerer messages{IDOK};
    const HelpBook book{QStringLiteral(":/help")};
};

}  // namespace

TEST_F(HelpTest, EveryHelpContextOfTheProgramHasATopicOfTheManual) {
    std::map<DWORD, std::string> contexts;  // context, where it comes from
    auto command = [&](UINT id, const std::string& where) {
        contexts.emplace(HID_BASE_COMMAND + id, where + " " + std::to_string(id));
    };
    for (UINT menu : {IDR_MAINFRAME, IDR_POPUP}) {
        const afx_res::MenuResource* r = afx_res::FindMenu(menu);
        for (std::size_t i = 0; i < r->count; ++i)
            if (r->entries[i].id) command(r->entries[i].id, "menu item");
    }
    for (UINT i = 0; i < 4; ++i) command(ID_FILE_MRU_FILE1 + i, "recent file");
    const afx_res::ToolBarResource* bar = afx_res::FindToolBar(IDR_MAINFRAME);
    for (std::size_t i = 0; i < bar->count; ++i)
        if (bar->commands[i]) command(bar->commands[i], "tool button");
    const afx_res::AccelResource* keys = afx_res::FindAccelerators(IDR_MAINFRAME);
    for (std::size_t i = 0; i < keys->count; ++i) command(keys->entries[i].cmd, "key");
    for (const afx_res::DialogResource& d : afx_res::Dialogs())
        contexts.emplace(HID_BASE_RESOURCE + d.id, "dialog " + std::to_string(d.id));
    for (UINT id : {AFX_IDW_TOOLBAR, AFX_IDW_STATUS_BAR}) {
        ASSERT_NE(frame->GetControlBar(id), nullptr);
        contexts.emplace(HID_BASE_CONTROL + id, "bar " + std::to_string(id));
    }
    contexts.emplace(static_cast<DWORD>(view->SendMessage(WM_HELPHITTEST)), "the list");
    // The main window's own: F1 asks the frame.
    frame->SendMessage(WM_COMMANDHELP);
    ASSERT_EQ(App().requests.size(), 1u);
    contexts.emplace(static_cast<DWORD>(App().requests[0].first), "the main window");

    for (const auto& [context, where] : contexts) {
        const char* topic = afx_res::FindHelpTopic(context);
        ASSERT_NE(topic, nullptr) << "no topic for " << where;
        EXPECT_TRUE(book.HasTopic(topic)) << where << ": " << topic << " is not in the manual";
    }
    for (const afx_res::HelpTopicEntry& e : afx_res::HelpTopics())
        EXPECT_TRUE(book.HasTopic(e.topic)) << e.topic;
}

TEST_F(HelpTest, EveryTopicIsInTheContentsAndEveryLinkLeadsToATopic) {
    std::set<QString> listed;
    for (const afx_help::ContentsEntry& e : book.Contents()) {
        if (e.topic.isEmpty()) continue;
        EXPECT_TRUE(book.HasTopic(e.topic)) << e.topic.toStdString();
        listed.insert(e.topic);
    }
    const QStringList topics = book.Topics();
    ASSERT_GE(topics.size(), 50);
    static const QRegularExpression link(QStringLiteral("href=\"([^\"]*)\""));
    for (const QString& topic : topics) {
        EXPECT_TRUE(listed.count(topic)) << topic.toStdString() << " is in no contents";
        EXPECT_NE(book.Title(topic), topic) << topic.toStdString() << " has no title";
        QFile file(book.Path(topic));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(file.readAll());
        for (auto it = link.globalMatch(html); it.hasNext();) {
            const QString target = it.next().captured(1).section(u'#', 0, 0);
            EXPECT_TRUE(target.isEmpty() || book.HasTopic(target))
                << topic.toStdString() << " links to " << target.toStdString();
        }
    }
}

TEST_F(HelpTest, SearchFindsATopicByAWordOfItsText) {
    EXPECT_TRUE(book.Search("id.bak").contains("lstfile.html"));
    EXPECT_TRUE(book.Search("HideTermFrameClass").contains("velkon-term.html"));
    const QStringList hotKey = book.Search(QString::fromUtf8("ﾎｯﾄｷｰ"));
    EXPECT_TRUE(hotKey.contains("resident.html"));
    EXPECT_TRUE(hotKey.contains("page-environ.html"));
}

TEST_F(HelpTest, TheMainWindowsKeysCommandsAndListReachTheirTopics) {
    Press(QKeySequence(Qt::Key_F1));
    EXPECT_EQ(ShownTopic(), "mainwindow.html");
    afx_help::Close();
    frame->RunCommand(ID_HELP_FINDER);
    EXPECT_EQ(ShownTopic(), "index.html");
    afx_help::Close();

    // Shift+F1, then a click on the list: the list's own topic.
    Open({{"ABC12345", "Blue", 1, "1997/05/03", "1998/01/15"}});
    view->GetListCtrl().SetItemState(-1, 0, LVIS_SELECTED);
    EnterHelpMode();
    ClickOn(view->GetListCtrl().GetWidget());
    EXPECT_EQ(ShownTopic(), "idlist.html");
    // The tool bar's context help button starts help mode, and has a topic of its own.
    ClickOn(ToolButton(ID_CONTEXT_HELP));
    EXPECT_TRUE(afx_help::InHelpMode());
    ClickOn(ToolButton(ID_CONTEXT_HELP));
    EXPECT_EQ(ShownTopic(), "cmd-context-help.html");
}

TEST_F(HelpTest, EachDialogOfTheProgramOpensItsOwnTopic) {
    InDialog(ID_SPECIFY_DATE, [](CDialog* d) {
        PressKey(d, Qt::Key_F1);
        EXPECT_EQ(ShownTopic(), "dlg-date.html");
        d->EndDialog(IDCANCEL);
    });
    InDialog(ID_SPECIFY_KEYWORD, [](CDialog* d) {
        Click(d, ID_HELP);
        EXPECT_EQ(ShownTopic(), "dlg-keyword.html");
        d->EndDialog(IDCANCEL);
    });
    InDialog(ID_REGIST_ID, [](CDialog* d) {
        Click(d, ID_HELP);
        EXPECT_EQ(ShownTopic(), "dlg-regist.html");
        d->EndDialog(IDCANCEL);
    });
    InDialog(ID_APP_ABOUT, [](CDialog* d) {
        Click(d, ID_HELP);
        EXPECT_EQ(ShownTopic(), "dlg-about.html");
        d->EndDialog(IDOK);
    });
    InDialog(ID_FONT, [](CDialog* d) {
        Click(d, pshHelp);
        EXPECT_EQ(ShownTopic(), "dlg-font.html");
        d->EndDialog(IDCANCEL);
    });
    // The options sheet's pages, each its own.
    InDialog(ID_OPTIONS, [](CDialog* d) {
        auto* sheet = dynamic_cast<CPropertySheet*>(d);
        ASSERT_NE(sheet, nullptr);
        ASSERT_TRUE(sheet->SetActivePage(2));
        Click(sheet, ID_HELP);
        EXPECT_EQ(ShownTopic(), "page-pickup.html");
        ASSERT_TRUE(sheet->SetActivePage(4));
        PressKey(sheet->GetActivePage(), Qt::Key_F1);
        EXPECT_EQ(ShownTopic(), "page-color.html");
        sheet->EndDialog(IDCANCEL);
    });
    // The personal data editor, which nothing waits for.
    Open({{"ABC12345", "Blue", 1, "1997/05/03", "1998/01/15"}});
    view->GetListCtrl().SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    frame->RunCommand(ID_PERSONAL_DATA);
    CPersonalDataDlg* editor = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = dynamic_cast<CPersonalDataDlg*>(CWndBridge::WindowOf(w))) editor = d;
    ASSERT_NE(editor, nullptr);
    Click(editor, ID_HELP);
    EXPECT_EQ(ShownTopic(), "dlg-personal.html");
    editor->DestroyWindow();
}
