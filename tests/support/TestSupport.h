// Helpers shared by the tests of the GUI level and above: those of every level, and an answerer
// for message boxes.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "platform/gui/application/MessageBox.h"
#include "tests/support/TestFiles.h"

class QKeySequence;
class QMainWindow;

namespace testing_support {

// Runs the event loop until done() holds, or fails (false) once the scaled deadline has passed.
bool RunEventsUntil(const std::function<bool()>& done,
                    std::chrono::milliseconds within = std::chrono::seconds(10));

// Sends a main window's keyboard shortcut for keys, as pressing them would; a test failure when
// the window has none.
void PressShortcut(QMainWindow* window, const QKeySequence& keys);

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
