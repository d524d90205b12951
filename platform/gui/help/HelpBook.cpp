#include "platform/gui/help/HelpBook.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTextDocumentFragment>
#include <algorithm>

namespace afx_help {
namespace {

QString ReadUtf8(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll());
}

QString TitleOf(const QString& html) {
    static const QRegularExpression title(
        QStringLiteral("<title>(.*?)</title>"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = title.match(html);
    return m.hasMatch() ? QTextDocumentFragment::fromHtml(m.captured(1)).toPlainText().trimmed()
                        : QString();
}

int CountOf(const QString& text, const QString& term) {
    int n = 0;
    for (qsizetype at = text.indexOf(term); at >= 0; at = text.indexOf(term, at + term.size())) ++n;
    return n;
}

}  // namespace

HelpBook::HelpBook(const QString& root) : m_root(root) {
    const QStringList files =
        QDir(root).entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name);
    for (const QString& file : files) {
        Topic topic;
        topic.file = file;
        topic.title = TitleOf(ReadUtf8(Path(file)));
        if (topic.title.isEmpty()) topic.title = file;
        topic.foldedTitle = Fold(topic.title);
        m_topics.push_back(std::move(topic));
    }

    const QStringList lines = ReadUtf8(Path(QStringLiteral("contents.txt"))).split(u'\n');
    for (const QString& raw : lines) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(u'#')) continue;
        ContentsEntry entry;
        qsizetype indent = 0;
        while (indent < raw.size() && raw[indent] == u' ') ++indent;
        entry.depth = static_cast<int>(indent / 2);
        if (line.endsWith(QStringLiteral(".html"))) {
            entry.topic = line;
            entry.title = Title(line);
        } else {
            entry.title = line;
        }
        m_contents.push_back(std::move(entry));
    }
    for (Topic& t : m_topics) {
        const auto listed = std::find_if(m_contents.begin(), m_contents.end(),
                                         [&](const ContentsEntry& e) { return e.topic == t.file; });
        t.place = static_cast<int>(listed - m_contents.begin());
    }
}

QString HelpBook::Path(const QString& topic) const {
    return m_root + u'/' + topic;
}

const HelpBook::Topic* HelpBook::Find(const QString& topic) const {
    const auto it = std::lower_bound(m_topics.begin(), m_topics.end(), topic,
                                     [](const Topic& t, const QString& f) { return t.file < f; });
    return it != m_topics.end() && it->file == topic ? &*it : nullptr;
}

bool HelpBook::HasTopic(const QString& topic) const {
    return Find(topic) != nullptr;
}

QString HelpBook::Title(const QString& topic) const {
    const Topic* t = Find(topic);
    return t ? t->title : topic;
}

QStringList HelpBook::Topics() const {
    QStringList files;
    for (const Topic& t : m_topics) files << t.file;
    return files;
}

QString HelpBook::Fold(const QString& text) {
    return text.normalized(QString::NormalizationForm_KC).toCaseFolded();
}

QStringList HelpBook::Terms(const QString& query) {
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    return Fold(query).split(blanks, Qt::SkipEmptyParts);
}

void HelpBook::LoadTexts() const {
    if (m_textsLoaded) return;
    for (Topic& t : m_topics)
        t.foldedText = Fold(QTextDocumentFragment::fromHtml(ReadUtf8(Path(t.file))).toPlainText());
    m_textsLoaded = true;
}

QStringList HelpBook::Search(const QString& query) const {
    struct Hit {
        const Topic* topic;
        int inTitle;
        int places;
    };
    const QStringList terms = Terms(query);
    std::vector<Hit> hits;
    if (terms.isEmpty()) {
        for (const Topic& t : m_topics) hits.push_back({&t, 0, 0});
    } else {
        LoadTexts();
        for (const Topic& t : m_topics) {
            Hit hit{&t, 0, 0};
            bool all = true;
            for (const QString& term : terms) {
                const bool title = t.foldedTitle.contains(term);
                const int places = CountOf(t.foldedText, term);
                if (!title && places == 0) {
                    all = false;
                    break;
                }
                hit.inTitle += title ? 1 : 0;
                hit.places += places;
            }
            if (all) hits.push_back(hit);
        }
    }
    std::stable_sort(hits.begin(), hits.end(), [](const Hit& a, const Hit& b) {
        if (a.inTitle != b.inTitle) return a.inTitle > b.inTitle;
        if (a.places != b.places) return a.places > b.places;
        return a.topic->place < b.topic->place;
    });
    QStringList topics;
    for (const Hit& hit : hits) topics << hit.topic->file;
    return topics;
}

}  // namespace afx_help
