#include "platform/gui/dialog/ByteLimit.h"

#include <QLineEdit>
#include <algorithm>
#include <string>

#include "platform/base/Mbcs.h"
#include "platform/gui/window/QtText.h"

namespace {

std::size_t BytesOf(const QString& text) {
    return FromQt(text).size();
}

// The first `count` characters of text, a surrogate pair counting as one (it becomes one "?").
qsizetype CodeUnitsOf(const QString& text, std::size_t count) {
    qsizetype i = 0;
    for (; count > 0 && i < text.size(); --count)
        i += text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2
                                                                                              : 1;
    return i;
}

// The longest start of `inserted` that takes at most `room` bytes.
QString FittingStart(const QString& inserted, std::size_t room) {
    const std::string bytes = FromQt(inserted);
    const std::size_t cut = mbcs::CharBoundaryAtOrBefore(bytes, room);
    std::size_t chars = 0;
    for (std::size_t i = 0; i < cut; i += mbcs::CharLength(bytes, i)) ++chars;
    QString start = inserted.left(CodeUnitsOf(inserted, chars));
    // A character the code page holds as more than one of its own would be cut too late.
    while (!start.isEmpty() && BytesOf(start) > room) start.chop(1);
    return start;
}

}  // namespace

ByteLimit::ByteLimit(QLineEdit* edit) : QValidator(edit), m_before(edit->text()) {
    QObject::connect(edit, &QLineEdit::textChanged, this,
                     [this](const QString& text) { m_before = text; });
}

QValidator::State ByteLimit::validate(QString& input, int& pos) const {
    const auto max = static_cast<std::size_t>(limit);
    if (m_programSets > 0 || BytesOf(input) <= max) return Acceptable;
    // Too long: cut what the user put in before the cursor, which was typed, pasted or dropped
    // there, so that the text around it stays whole, as the original edit control does with a
    // paste. A key typed at the limit goes in whole or not at all.
    const qsizetype end = std::clamp<qsizetype>(pos, 0, input.size());
    const QString after = input.mid(end);
    if (!m_before.endsWith(after)) return Invalid;
    const qsizetype limitStart = std::min(end, m_before.size() - after.size());
    qsizetype start = 0;
    while (start < limitStart && input[start] == m_before[start]) ++start;
    // The start may not split a surrogate pair.
    if (start > 0 && input[start - 1].isHighSurrogate()) --start;
    // Nothing put in: a deletion from a text the program made longer than the limit.
    if (start == end) return Acceptable;
    const QString kept = input.left(start) + after;
    const std::size_t keptBytes = BytesOf(kept);
    if (keptBytes >= max) return Invalid;
    const QString inserted = FittingStart(input.mid(start, end - start), max - keptBytes);
    if (inserted.isEmpty()) return Invalid;
    input = input.left(start) + inserted + after;
    pos = static_cast<int>(start + inserted.size());
    return Acceptable;
}
