#include "tests/support/TestSupport.h"

#include "platform/base/CodePage.h"

namespace testing_support {

MessageBoxAnswerer::MessageBoxAnswerer(int answer) : m_answer(answer) {
    m_previous = AfxSetMessageBoxHook([this](const CString& text, UINT type) {
        m_texts.push_back(Cp932ToUtf8(text.View()));
        m_types.push_back(type);
        return m_answer;
    });
}

MessageBoxAnswerer::~MessageBoxAnswerer() {
    AfxSetMessageBoxHook(std::move(m_previous));
}

}  // namespace testing_support
