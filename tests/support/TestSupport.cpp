#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QMainWindow>
#include <QShortcut>
#include <thread>

#include "platform/base/DisplayText.h"
#include "platform/gui/window/UiHooks.h"

namespace testing_support {

MessageBoxAnswerer::MessageBoxAnswerer(int answer) : m_answer(answer) {
    m_previous = AfxSetMessageBoxHook([this](const CString& text, UINT type) {
        m_texts.push_back(DisplayTextToUtf8(text.View()));  // as the box shows it
        m_types.push_back(type);
        return m_answer;
    });
}

MessageBoxAnswerer::~MessageBoxAnswerer() {
    AfxSetMessageBoxHook(std::move(m_previous));
}

bool RunEventsUntil(const std::function<bool()>& done, std::chrono::milliseconds within) {
    const auto deadline = DeadlineIn(within);
    for (;;) {
        afx_ui::ProcessEvents();
        if (done()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void PressShortcut(QMainWindow* window, const QKeySequence& keys) {
    for (QShortcut* s : window->findChildren<QShortcut*>()) {
        if (s->key() == keys) {
            Q_EMIT s->activated();
            return;
        }
    }
    ADD_FAILURE() << "no shortcut " << keys.toString().toStdString();
}

}  // namespace testing_support
