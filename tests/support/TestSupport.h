// Helpers shared by the tests of the GUI level and above: those of every level, and an answerer
// for message boxes.
#pragma once

#include <string>
#include <vector>

#include "platform/gui/application/MessageBox.h"
#include "tests/support/TestFiles.h"

namespace testing_support {

// Answers every message box with `answer` while it lives and records the texts (UTF-8).
class MessageBoxAnswerer {
public:
    explicit MessageBoxAnswerer(int answer);
    ~MessageBoxAnswerer();
    void SetAnswer(int answer) { m_answer = answer; }
    const std::vector<std::string>& Texts() const { return m_texts; }
    const std::vector<UINT>& Types() const { return m_types; }

private:
    int m_answer;
    std::vector<std::string> m_texts;
    std::vector<UINT> m_types;
    AfxMessageBoxHook m_previous;
};

}  // namespace testing_support
