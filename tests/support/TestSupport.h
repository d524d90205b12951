// Helpers shared by the tests: a private temporary directory, a controllable clock, and an
// answerer for message boxes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/base/CString.h"
#include "platform/gui/MessageBox.h"

namespace testing_support {

// A fresh directory, removed with everything in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);

// Replaces the clock while it lives; the time is seconds since 1970 and can be moved.
class FakeClock {
public:
    explicit FakeClock(std::int64_t now);
    ~FakeClock();
    void Set(std::int64_t now);
    void Advance(std::int64_t seconds);
};

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

// CP932 bytes of a UTF-8 literal, for readable tests.
CString Sjis(const char* utf8);
std::string Utf8(const CString& s);

}  // namespace testing_support
