// The help window: the contents and a search on one side, the topic on the other, back and
// forward above. One exists while help is shown; it comes back at the place and size it had
// when it was last closed (profile section "Help Window").
#pragma once

#include <QPointer>
#include <QString>
#include <QUrl>
#include <QWidget>

class QLineEdit;
class QListWidget;
class QTabWidget;
class QTextBrowser;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class QSplitter;
class QLabel;

namespace afx_help {

class HelpBook;

class HelpWindowQt : public QWidget {
public:
    explicit HelpWindowQt(const HelpBook& book);
    ~HelpWindowQt() override;

    // Shows a topic of the book (FALSE when it has no such topic) and brings the window up.
    bool ShowTopic(const QString& topic);
    // Brings the window up with the search at hand.
    void ShowSearch();
    QString CurrentTopic() const { return m_topic; }
    void SavePlacement() const;

    // Its parts, for tests.
    QTextBrowser* Browser() const { return m_browser; }
    QTreeWidget* ContentsTree() const { return m_tree; }
    QLineEdit* SearchField() const { return m_search; }
    QListWidget* Results() const { return m_results; }
    QToolButton* BackButton() const { return m_back; }
    QToolButton* ForwardButton() const { return m_forward; }

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildContents();
    void Search(const QString& query);
    void OpenResult(int row);
    void OnSourceChanged(const QUrl& url);
    void RestorePlacement();
    void Present();
    void RememberReturn();
    void GiveKeyboardBack();

    const HelpBook& m_book;
    QString m_topic;
    QString m_lastQuery;
    QTabWidget* m_tabs = nullptr;
    QTreeWidget* m_tree = nullptr;
    QLineEdit* m_search = nullptr;
    QLabel* m_found = nullptr;
    QListWidget* m_results = nullptr;
    QTextBrowser* m_browser = nullptr;
    QToolButton* m_back = nullptr;
    QToolButton* m_forward = nullptr;
    QSplitter* m_splitter = nullptr;
    // The window and control that had the keyboard when help was asked for; they have it
    // again when the help window closes.
    QPointer<QWidget> m_returnWindow;
    QPointer<QWidget> m_returnFocus;
};

}  // namespace afx_help
