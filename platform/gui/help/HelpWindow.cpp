#include "platform/gui/help/HelpWindow.h"

#include <QApplication>
#include <QBoxLayout>
#include <QCloseEvent>
#include <QFile>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPointer>
#include <QScreen>
#include <QShortcut>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QWindow>
#include <climits>
#include <vector>

#include "platform/base/ResourceTables.h"
#include "platform/base/StringResource.h"
#include "platform/gui/application/CWinApp.h"
#include "platform/gui/application/MessageBox.h"
#include "platform/gui/help/AfxHelp.h"
#include "platform/gui/help/HelpBook.h"
#include "platform/gui/window/QtText.h"
#include "platform/gui/window/UiHooks.h"

namespace afx_help {
namespace {

constexpr const char* kSection = "Help Window";
constexpr int kDefaultWidth = 760;
constexpr int kDefaultHeight = 540;
constexpr int kDefaultContentsWidth = 230;
constexpr int kTopicRole = Qt::UserRole;

QString Text(UINT nID) {
    return ToQt(AfxLoadString(nID));
}

int ProfileInt(const char* entry, int fallback) {
    CWinApp* app = AfxGetApp();
    return app ? static_cast<int>(app->GetProfileInt(kSection, entry, fallback)) : fallback;
}

void WriteProfileInt(const char* entry, int value) {
    if (CWinApp* app = AfxGetApp()) app->WriteProfileInt(kSection, entry, value);
}

QUrl UrlOf(const QString& path) {
    return path.startsWith(u':') ? QUrl(QStringLiteral("qrc") + path) : QUrl::fromLocalFile(path);
}

}  // namespace

HelpWindowQt::HelpWindowQt(const HelpBook& book) : QWidget(nullptr, Qt::Window), m_book(book) {
    setObjectName(QStringLiteral("HelpWindow"));
    m_back = new QToolButton(this);
    m_back->setText(Text(AFX_IDS_HELP_BACK));
    m_back->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
    m_forward = new QToolButton(this);
    m_forward->setText(Text(AFX_IDS_HELP_FORWARD));
    m_forward->setIcon(style()->standardIcon(QStyle::SP_ArrowForward));
    for (QToolButton* b : {m_back, m_forward}) {
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        b->setAutoRaise(true);
        b->setEnabled(false);
    }

    m_tree = new QTreeWidget;
    m_tree->setHeaderHidden(true);
    m_tree->setObjectName(QStringLiteral("HelpContents"));

    auto* searchPage = new QWidget;
    auto* words = new QLabel(Text(AFX_IDS_HELP_SEARCH_WORDS));
    m_search = new QLineEdit;
    m_search->setObjectName(QStringLiteral("HelpSearch"));
    words->setBuddy(m_search);
    m_found = new QLabel;
    m_results = new QListWidget;
    m_results->setObjectName(QStringLiteral("HelpResults"));
    m_found->setBuddy(m_results);
    auto* searchLayout = new QVBoxLayout(searchPage);
    searchLayout->addWidget(words);
    searchLayout->addWidget(m_search);
    searchLayout->addWidget(m_found);
    searchLayout->addWidget(m_results, 1);

    m_tabs = new QTabWidget;
    m_tabs->addTab(m_tree, Text(AFX_IDS_HELP_CONTENTS));
    m_tabs->addTab(searchPage, Text(AFX_IDS_HELP_SEARCH));

    m_browser = new QTextBrowser;
    m_browser->setObjectName(QStringLiteral("HelpTopic"));
    m_browser->setOpenExternalLinks(false);
    QFile css(m_book.Path(QStringLiteral("help.css")));
    if (css.open(QIODevice::ReadOnly))
        m_browser->document()->setDefaultStyleSheet(QString::fromUtf8(css.readAll()));

    m_splitter = new QSplitter(Qt::Horizontal);
    m_splitter->addWidget(m_tabs);
    m_splitter->addWidget(m_browser);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setChildrenCollapsible(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_back);
    buttons->addWidget(m_forward);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(buttons);
    layout->addWidget(m_splitter, 1);

    BuildContents();

    connect(m_back, &QToolButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_forward, &QToolButton::clicked, m_browser, &QTextBrowser::forward);
    connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QToolButton::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forward, &QToolButton::setEnabled);
    auto* back = new QShortcut(QKeySequence::Back, this);
    connect(back, &QShortcut::activated, m_browser, &QTextBrowser::backward);
    auto* forward = new QShortcut(QKeySequence::Forward, this);
    connect(forward, &QShortcut::activated, m_browser, &QTextBrowser::forward);
    connect(m_browser, &QTextBrowser::sourceChanged, this,
            [this](const QUrl& url) { OnSourceChanged(url); });
    auto openItem = [this](QTreeWidgetItem* item) {
        const QString topic = item ? item->data(0, kTopicRole).toString() : QString();
        if (!topic.isEmpty()) ShowTopic(topic);
    };
    connect(m_tree, &QTreeWidget::itemClicked, this, openItem);
    connect(m_tree, &QTreeWidget::itemActivated, this, openItem);
    connect(m_search, &QLineEdit::textChanged, this, [this](const QString& q) { Search(q); });
    // The search tab is there to be typed into.
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int tab) {
        if (tab == 1) m_search->setFocus(Qt::TabFocusReason);
    });
    connect(m_search, &QLineEdit::returnPressed, this, [this] { OpenResult(0); });
    auto openResult = [this](QListWidgetItem* item) { OpenResult(m_results->row(item)); };
    connect(m_results, &QListWidget::itemClicked, this, openResult);
    connect(m_results, &QListWidget::itemActivated, this, openResult);

    Search(QString());
    RestorePlacement();
}

HelpWindowQt::~HelpWindowQt() = default;

void HelpWindowQt::BuildContents() {
    // The books hold the lines below them that are indented further.
    std::vector<QTreeWidgetItem*> books;
    for (const ContentsEntry& e : m_book.Contents()) {
        books.resize(std::min<std::size_t>(books.size(), static_cast<std::size_t>(e.depth)));
        QTreeWidgetItem* parent = books.empty() ? nullptr : books.back();
        auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(m_tree);
        item->setText(0, e.title);
        if (e.topic.isEmpty()) {
            item->setIcon(0, style()->standardIcon(QStyle::SP_DirIcon));
            books.push_back(item);
        } else {
            item->setIcon(0, style()->standardIcon(QStyle::SP_FileIcon));
            item->setData(0, kTopicRole, e.topic);
            // A topic holds no lines; one indented below it still belongs to the book above.
            books.push_back(parent);
        }
    }
    m_tree->expandAll();
}

bool HelpWindowQt::ShowTopic(const QString& topic) {
    const QString file = topic.section(u'#', 0, 0);
    if (!m_book.HasTopic(file)) return false;
    const QUrl url = UrlOf(m_book.Path(topic));
    if (m_browser->source() != url) m_browser->setSource(url);
    Present();
    return true;
}

void HelpWindowQt::ShowSearch() {
    if (m_topic.isEmpty()) {
        for (const ContentsEntry& e : m_book.Contents()) {
            if (e.topic.isEmpty()) continue;
            ShowTopic(e.topic);
            break;
        }
    }
    Present();
    m_tabs->setCurrentIndex(1);
    m_search->setFocus(Qt::OtherFocusReason);
    m_search->selectAll();
}

void HelpWindowQt::Present() {
    RememberReturn();
    if (isMinimized()) showNormal();
    show();
    raise();
    activateWindow();
}

void HelpWindowQt::RememberReturn() {
    QWidget* focus = QApplication::focusWidget();
    if (!focus || focus->window() == this) return;
    // A menu bar holds the keyboard only for a while (F10, or a menu whose item F1 was pressed
    // on): left now, it hands it back to the control it took it from. Remembered as it stands,
    // the bar would keep the keyboard from the list after the help window closes.
    if (qobject_cast<QMenuBar*>(focus)) {
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(focus, &escape);
        focus = QApplication::focusWidget();
        if (!focus || qobject_cast<QMenuBar*>(focus)) return;
    }
    m_returnWindow = focus->window();
    m_returnFocus = focus;
}

void HelpWindowQt::GiveKeyboardBack() {
    QWidget* window = m_returnWindow;
    QWidget* focus = m_returnFocus;
    m_returnWindow = nullptr;
    m_returnFocus = nullptr;
    if (!window || !window->isVisible()) return;
    // A control gone or hidden since leaves the choice to the window.
    if (focus && focus->window() == window && focus->isVisible() && focus->isEnabled())
        focus->setFocus(Qt::ActiveWindowFocusReason);
    window->activateWindow();
}

void HelpWindowQt::OnSourceChanged(const QUrl& url) {
    m_topic = url.fileName();
    CString caption;
    AfxFormatString1(caption, AFX_IDS_HELP_CAPTION, AfxLoadString(AFX_IDS_APP_TITLE));
    setWindowTitle(m_book.Title(m_topic) + QStringLiteral(" - ") + ToQt(caption));
    const QSignalBlocker quiet(m_tree);
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it) {
        if ((*it)->data(0, kTopicRole).toString() != m_topic) continue;
        m_tree->setCurrentItem(*it);
        m_tree->scrollToItem(*it);
        break;
    }
}

void HelpWindowQt::Search(const QString& query) {
    m_lastQuery = query;
    m_results->clear();
    const QStringList topics = m_book.Search(query);
    for (const QString& topic : topics) {
        auto* item = new QListWidgetItem(m_book.Title(topic), m_results);
        item->setData(kTopicRole, topic);
    }
    if (topics.isEmpty()) {
        m_found->setText(Text(AFX_IDS_HELP_NOT_FOUND));
    } else {
        CString found;
        found.Format(AfxLoadString(AFX_IDS_HELP_FOUND), static_cast<int>(topics.size()));
        m_found->setText(ToQt(found));
    }
    if (!topics.isEmpty()) m_results->setCurrentRow(0);
}

void HelpWindowQt::OpenResult(int row) {
    QListWidgetItem* item = m_results->item(row);
    if (!item || !ShowTopic(item->data(kTopicRole).toString())) return;
    // The first place of a word as it was typed is shown selected.
    for (const QString& word : m_lastQuery.split(QChar(u' '), Qt::SkipEmptyParts)) {
        m_browser->moveCursor(QTextCursor::Start);
        if (m_browser->find(word)) break;
    }
}

bool HelpWindowQt::event(QEvent* event) {
    // A modal dialog blocks every other window of the program, this one too; the help it asks
    // for would be out of reach. Kept in front of the dialog, as one of its own windows, it is
    // not blocked; when the dialog goes, the next one still open takes it over the same way.
    if (event->type() == QEvent::WindowBlocked) {
        QTimer::singleShot(0, this, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal && modal != this && windowHandle() && modal->windowHandle())
                windowHandle()->setTransientParent(modal->windowHandle());
        });
    }
    return QWidget::event(event);
}

void HelpWindowQt::keyPressEvent(QKeyEvent* event) {
    // Esc that no part of the window took closes it, as it closes the program's dialogs.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void HelpWindowQt::closeEvent(QCloseEvent* event) {
    SavePlacement();
    QWidget::closeEvent(event);
    if (event->isAccepted()) GiveKeyboardBack();
}

void HelpWindowQt::SavePlacement() const {
    if (!isVisible()) return;
    WriteProfileInt("X Position", pos().x());
    WriteProfileInt("Y Position", pos().y());
    WriteProfileInt("Width", width());
    WriteProfileInt("Height", height());
    const QList<int> sizes = m_splitter->sizes();
    if (!sizes.isEmpty()) WriteProfileInt("Contents Width", sizes.first());
}

void HelpWindowQt::RestorePlacement() {
    const int cx = ProfileInt("Width", kDefaultWidth);
    const int cy = ProfileInt("Height", kDefaultHeight);
    resize(std::max(cx, 200), std::max(cy, 150));
    const int contents = std::max(ProfileInt("Contents Width", kDefaultContentsWidth), 80);
    m_splitter->setSizes({contents, std::max(width() - contents, 100)});
    // A place off every screen (a monitor unplugged since) is not used.
    const QPoint at(ProfileInt("X Position", INT_MIN), ProfileInt("Y Position", INT_MIN));
    if (at.x() != INT_MIN && at.y() != INT_MIN &&
        QGuiApplication::screenAt(at + QPoint(width() / 2, 20))) {
        move(at);
        return;
    }
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
}

// ---------------------------------------------------------------------------------------------
// The way in for the program.

namespace {

const HelpBook& Book() {
    static const HelpBook book(QStringLiteral(":/help"));
    return book;
}

QPointer<HelpWindowQt> g_window;

HelpWindowQt* Window() {
    if (!g_window) g_window = new HelpWindowQt(Book());
    return g_window;
}

}  // namespace

BOOL ShowContext(DWORD dwContext) {
    const char* topic = afx_res::FindHelpTopic(dwContext);
    if (!topic || !afx_ui::HaveGui() || !Book().HasTopic(QString::fromUtf8(topic))) return FALSE;
    return Window()->ShowTopic(QString::fromUtf8(topic));
}

BOOL ShowFinder() {
    if (!afx_ui::HaveGui() || Book().Topics().isEmpty()) return FALSE;
    Window()->ShowSearch();
    return TRUE;
}

void Close() {
    if (!g_window) return;
    g_window->SavePlacement();
    delete g_window;
}

std::string ShownTopic() {
    return g_window && g_window->isVisible() ? g_window->CurrentTopic().toStdString()
                                             : std::string();
}

}  // namespace afx_help

void CWinApp::WinHelp(DWORD_PTR dwData, UINT nCmd) {
    BOOL shown = TRUE;
    switch (nCmd) {
        case HELP_CONTEXT:
            shown = afx_help::ShowContext(static_cast<DWORD>(dwData));
            break;
        case HELP_FINDER:
            shown = afx_help::ShowFinder();
            break;
        case HELP_QUIT:
            afx_help::Close();
            break;
        default:
            break;
    }
    // The manual is built into the program; what can still fail is a topic it lacks.
    if (!shown) AfxMessageBox(AFX_IDP_FAILED_TO_LAUNCH_HELP, MB_OK | MB_ICONEXCLAMATION);
}
