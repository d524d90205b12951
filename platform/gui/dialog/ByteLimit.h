// The limit of an edit field, in bytes of the code page as the program counts its texts: what
// the user types or pastes stops there, never inside a double-byte character.
#pragma once

#include <QString>
#include <QValidator>
#include <climits>

class QLineEdit;

class ByteLimit : public QValidator {
public:
    // Watches the edit's text, so that a change can be told apart from what was there.
    explicit ByteLimit(QLineEdit* edit);
    int limit = 30000;
    State validate(QString& input, int& pos) const override;

    // While it lives the program sets the edit's text: neither limited nor cut.
    class ProgramSets {
    public:
        explicit ProgramSets(ByteLimit* limit) : m_limit(limit) {
            if (m_limit) ++m_limit->m_programSets;
        }
        ~ProgramSets() {
            if (m_limit) --m_limit->m_programSets;
        }
        ProgramSets(const ProgramSets&) = delete;
        ProgramSets& operator=(const ProgramSets&) = delete;

    private:
        ByteLimit* m_limit;
    };

private:
    QString m_before;  // the text before the change being validated
    int m_programSets = 0;
};
