// The help window over a small manual of its own (tests/platform/gui/help, under :/testhelp):
// its contents, the search, the way through the topics, its place, modal dialogs. This program
// carries no manual under :/help, as a program whose manual went missing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QTextBrowser>
#include <QToolButton>
#include <QTreeWidget>
#include <QWindow>
#include <cstdlib>
#include <memory>

#include "platform/gui/application/CWinApp.h"
#include "platform/gui/dialog/CDialog.h"
#include "platform/gui/help/AfxHelp.h"
#include "platform/gui/help/HelpBook.h"
#include "platform/gui/help/HelpWindow.h"
#include "platform/gui/window/UiHooks.h"
#include "res/resource.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestSupport.h"

using afx_help::HelpBook;
using afx_help::HelpWindowQt;
using testing_support::DialogScript;
using testing_support::MessageBoxAnswerer;

namespace {

const QString kRoot = QStringLiteral(":/testhelp");

QString Q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

}  // namespace

QT_BEGIN_NAMESPACE
// Failures show Qt's strings as text.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QStringList& list, std::ostream* os) {
    *os << '"' << list.join("\", \"").toStdString() << '"';
}
QT_END_NAMESPACE

namespace {

TEST(HelpBook, ReadsTheContentsAndEachTopicsTitle) {
    const HelpBook book(kRoot);
    EXPECT_EQ(book.Topics(),
              QStringList({"first.html", "second.html", "start.html", "third.html"}));
    EXPECT_TRUE(book.HasTopic("third.html"));
    EXPECT_FALSE(book.HasTopic("fourth.html"));
    EXPECT_FALSE(book.HasTopic("contents.txt"));
    EXPECT_EQ(book.Title("second.html"), "Second & more");  // entities as they read
    EXPECT_EQ(book.Title("fourth.html"), "fourth.html");

    struct Line {
        int depth;
        const char* title;
        const char* topic;
    };
    const Line expected[] = {{0, "始めに", "start.html"},         {0, "Book One", ""},
                             {1, "ピックアップ", "first.html"},   {1, "Inner Book", ""},
                             {2, "Second & more", "second.html"}, {1, "Third", "third.html"}};
    const auto& contents = book.Contents();
    ASSERT_EQ(contents.size(), std::size(expected));
    for (std::size_t i = 0; i < contents.size(); ++i) {
        EXPECT_EQ(contents[i].depth, expected[i].depth) << i;
        EXPECT_EQ(contents[i].title, Q(expected[i].title)) << i;
        EXPECT_EQ(contents[i].topic, Q(expected[i].topic)) << i;
    }
}

TEST(HelpBook, SearchFindsTopicsHoldingEveryWordTitlesFirst) {
    const HelpBook book(kRoot);
    // A word of a body alone, whatever its case.
    EXPECT_EQ(book.Search("gamma"), QStringList({"third.html"}));
    EXPECT_EQ(book.Search("ALPHA"), QStringList({"start.html"}));
    // Every word must be there; the ideographic space cuts words as a space does.
    EXPECT_EQ(book.Search(Q("beta　gamma")), QStringList({"third.html"}));
    EXPECT_TRUE(book.Search("beta nowhere").isEmpty());
    // Half-width kana find full-width ones and the other way round; a word in the title ranks
    // its topic above those that have it only in their text, which keep the contents' order.
    EXPECT_EQ(book.Search(Q("ﾋﾟｯｸｱｯﾌﾟ")), QStringList({"first.html", "start.html", "second.html"}));
    EXPECT_EQ(book.Search(Q("ピックアップ")), book.Search(Q("ﾋﾟｯｸｱｯﾌﾟ")));
    // Nothing typed lists every topic, as the contents do.
    EXPECT_EQ(book.Search(" "),
              QStringList({"start.html", "first.html", "second.html", "third.html"}));
}

class HelpWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("XDG_CONFIG_HOME", dir.File("config").c_str(), 1);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        afx_ui::EnsureApplication();
        app = std::make_unique<CWinApp>("Velkon95");
        app->SetRegistryKey("Brambl Free Software");
    }
    void TearDown() override {
        window.reset();
        afx_help::Close();
        app.reset();
        afx_ui::ProcessEvents();
    }
    HelpWindowQt* Open() {
        window = std::make_unique<HelpWindowQt>(book);
        return window.get();
    }
    std::string Title() const { return window->windowTitle().toStdString(); }

    testing_support::TempDir dir;
    std::unique_ptr<CWinApp> app;
    const HelpBook book{kRoot};
    std::unique_ptr<HelpWindowQt> window;
};

TEST_F(HelpWindowTest, ShowsATopicFollowsItsLinksAndGoesBackAndForward) {
    HelpWindowQt* w = Open();
    EXPECT_FALSE(w->ShowTopic("missing.html"));
    EXPECT_FALSE(w->isVisible());
    ASSERT_TRUE(w->ShowTopic("start.html"));
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(Title(), "始めに - Velkon95 ﾍﾙﾌﾟ");
    EXPECT_TRUE(w->Browser()->toPlainText().contains("Alpha"));
    EXPECT_FALSE(w->BackButton()->isEnabled());

    // A link leads on; back and forward retrace the way.
    w->Browser()->setSource(QUrl("first.html"));
    EXPECT_EQ(w->CurrentTopic(), "first.html");
    EXPECT_EQ(Title(), "ピックアップ - Velkon95 ﾍﾙﾌﾟ");
    ASSERT_TRUE(w->ShowTopic("third.html"));
    EXPECT_TRUE(w->BackButton()->isEnabled());
    w->BackButton()->click();
    EXPECT_EQ(w->CurrentTopic(), "first.html");
    w->BackButton()->click();
    EXPECT_EQ(w->CurrentTopic(), "start.html");
    EXPECT_FALSE(w->BackButton()->isEnabled());
    w->ForwardButton()->click();
    EXPECT_EQ(w->CurrentTopic(), "first.html");

    // The contents follow the topic shown.
    QTreeWidgetItem* current = w->ContentsTree()->currentItem();
    ASSERT_NE(current, nullptr);
    EXPECT_EQ(current->text(0), "ピックアップ");
    EXPECT_EQ(current->parent()->text(0), "Book One");
}

TEST_F(HelpWindowTest, ContentsAndSearchResultsOpenTheirTopics) {
    HelpWindowQt* w = Open();
    QTreeWidget* tree = w->ContentsTree();
    ASSERT_EQ(tree->topLevelItemCount(), 2);
    QTreeWidgetItem* inner = tree->topLevelItem(1)->child(1);
    ASSERT_EQ(inner->text(0), "Inner Book");
    ASSERT_EQ(inner->childCount(), 1);
    // A click on a book opens nothing; on a topic, the topic.
    Q_EMIT tree->itemClicked(inner, 0);
    EXPECT_FALSE(w->isVisible());
    Q_EMIT tree->itemClicked(inner->child(0), 0);
    EXPECT_EQ(w->CurrentTopic(), "second.html");

    w->ShowSearch();
    EXPECT_EQ(w->focusWidget(), w->SearchField());
    EXPECT_EQ(w->Results()->count(), 4);  // nothing typed yet: every topic
    w->SearchField()->setText("gamma");
    ASSERT_EQ(w->Results()->count(), 1);
    EXPECT_EQ(w->Results()->item(0)->text(), "Third");
    Q_EMIT w->SearchField()->returnPressed();
    EXPECT_EQ(w->CurrentTopic(), "third.html");
    EXPECT_EQ(w->Browser()->textCursor().selectedText(), "gamma");
    w->SearchField()->setText("nowhere");
    EXPECT_EQ(w->Results()->count(), 0);
    Q_EMIT w->SearchField()->returnPressed();
    EXPECT_EQ(w->CurrentTopic(), "third.html");
}

TEST_F(HelpWindowTest, ComesBackAtThePlaceAndSizeItWasClosedWith) {
    HelpWindowQt* w = Open();
    ASSERT_TRUE(w->ShowTopic("start.html"));
    w->move(120, 90);
    w->resize(500, 400);
    w->close();
    EXPECT_FALSE(w->isVisible());
    window.reset();

    w = Open();
    ASSERT_TRUE(w->ShowTopic("start.html"));
    EXPECT_EQ(w->pos(), QPoint(120, 90));
    EXPECT_EQ(w->size(), QSize(500, 400));
    // A place on no screen is not taken.
    app->WriteProfileInt("Help Window", "X Position", -30000);
    window.reset();
    w = Open();
    EXPECT_NE(w->pos().x(), -30000);
}

// Records whether the window is blocked by a modal dialog, as the window system sees it.
class BlockWatch : public QObject {
public:
    bool blocked = false;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::WindowBlocked) blocked = true;
        if (event->type() == QEvent::WindowUnblocked) blocked = false;
        return false;
    }
};

TEST_F(HelpWindowTest, StaysUsableWhileModalDialogsRunOneOverTheOther) {
    HelpWindowQt* w = Open();
    ASSERT_TRUE(w->ShowTopic("start.html"));
    BlockWatch watch;
    w->installEventFilter(&watch);
    CDialog outer(IDD_SPECIFY_DATE), inner(IDD_NO_PICKUP_ID);
    DialogScript script;
    script
        .Then([&](CDialog* d) {
            afx_ui::ProcessEvents();
            EXPECT_FALSE(watch.blocked);
            inner.DoModal();
            afx_ui::ProcessEvents();
            EXPECT_FALSE(watch.blocked) << "blocked again once the inner dialog went";
            d->EndDialog(IDCANCEL);
        })
        .Then([&](CDialog* d) {
            afx_ui::ProcessEvents();
            EXPECT_FALSE(watch.blocked);
            d->EndDialog(IDCANCEL);
        });
    outer.DoModal();
    EXPECT_EQ(script.Shown(), 2);
    afx_ui::ProcessEvents();
    EXPECT_FALSE(watch.blocked);
    w->removeEventFilter(&watch);
}

TEST_F(HelpWindowTest, WithoutTheManualHelpSaysItCannotStart) {
    // No manual under :/help here: neither a context nor the search can be shown.
    MessageBoxAnswerer answerer(IDOK);
    app->WinHelp(HID_BASE_RESOURCE + IDR_MAINFRAME);
    app->WinHelp(0, HELP_FINDER);
    app->WinHelp(0x2FFFF);  // a context no topic is made for
    EXPECT_EQ(answerer.Texts(), std::vector<std::string>(3, "ﾍﾙﾌﾟの起動に失敗しました。"));
    EXPECT_EQ(afx_help::ShownTopic(), "");
    app->WinHelp(0, HELP_QUIT);
    EXPECT_EQ(answerer.Texts().size(), 3u);
}

}  // namespace
