// The manual as the help window reads it: the topics (HTML files in a resource folder, each
// titled by its <title>), the contents, and a search over the words of every topic.
//
// The contents file (contents.txt, UTF-8) has one entry a line, indented by two spaces a level:
// a line naming a file ending in ".html" is that topic, any other line the title of a book that
// holds the lines indented below it. Blank lines and lines starting with "#" are left out.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace afx_help {

struct ContentsEntry {
    int depth = 0;
    QString title;  // the book's, or the topic's own title
    QString topic;  // empty for a book
};

class HelpBook {
public:
    // The manual in folder `root` (":/help" is the program's).
    explicit HelpBook(const QString& root);

    bool HasTopic(const QString& topic) const;
    // The topic's <title>, or the file name when it has none.
    QString Title(const QString& topic) const;
    // Every topic file of the folder, sorted.
    QStringList Topics() const;
    const std::vector<ContentsEntry>& Contents() const { return m_contents; }
    QString Path(const QString& topic) const;

    // The topics that hold every word of the query in their title or text, best first: more
    // words in the title, then more places found, then the order of the contents. Words are cut
    // at white space (the ideographic space too) and compared without regard to case or to the
    // width of kana and letters, so that ﾋﾟｯｸｱｯﾌﾟ finds ピックアップ. An empty query gives every
    // topic in the order of the contents.
    QStringList Search(const QString& query) const;
    // What Search compares: the text in compatibility form, case folded.
    static QString Fold(const QString& text);
    static QStringList Terms(const QString& query);

private:
    struct Topic {
        QString file;
        QString title;
        QString foldedTitle;
        QString foldedText;  // made at the first search
        int place = 0;       // where the contents first list it; after them all when they do not
    };
    const Topic* Find(const QString& topic) const;
    void LoadTexts() const;

    QString m_root;
    mutable std::vector<Topic> m_topics;  // sorted by file
    mutable bool m_textsLoaded = false;
    std::vector<ContentsEntry> m_contents;
};

}  // namespace afx_help
