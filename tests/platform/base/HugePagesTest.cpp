#include <gtest/gtest.h>
#include <sys/mman.h>

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/base/HugePages.h"

namespace {

constexpr std::size_t kMiB = std::size_t(1) << 20;

struct Range {
    std::uintptr_t begin, end;
};

// The mappings of this process flagged for huge pages ("hg" among VmFlags).
std::vector<Range> HugePageAdvised() {
    std::vector<Range> out;
    std::ifstream smaps("/proc/self/smaps");
    std::string line;
    Range current{0, 0};
    while (std::getline(smaps, line)) {
        unsigned long long b = 0, e = 0;
        char dash = 0;
        std::istringstream head(line);
        if (head >> std::hex >> b >> dash >> e && dash == '-') {
            current = {static_cast<std::uintptr_t>(b), static_cast<std::uintptr_t>(e)};
        } else if (line.rfind("VmFlags:", 0) == 0 && line.find(" hg") != std::string::npos) {
            out.push_back(current);
        }
    }
    return out;
}

bool KernelOffersHugePages() {
    std::ifstream enabled("/sys/kernel/mm/transparent_hugepage/enabled");
    std::string modes;
    std::getline(enabled, modes);
    return !modes.empty() && modes.find("[never]") == std::string::npos;
}

class HugePagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        void* p = mmap(nullptr, kSpan, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        ASSERT_NE(p, MAP_FAILED);
        m_span = static_cast<unsigned char*>(p);
    }
    void TearDown() override {
        if (m_span) munmap(m_span, kSpan);
    }
    // Advised mappings that overlap the test's own span.
    std::vector<Range> AdvisedInSpan() const {
        std::vector<Range> in;
        const auto lo = reinterpret_cast<std::uintptr_t>(m_span);
        for (const Range& r : HugePageAdvised())
            if (r.end > lo && r.begin < lo + kSpan) in.push_back(r);
        return in;
    }
    static constexpr std::size_t kSpan = 16 * kMiB;
    unsigned char* m_span = nullptr;
};

// A buffer that starts and ends off a huge page's edge (as malloc hands them out): only the
// whole huge pages inside it are advised, and what it held is still there.
TEST_F(HugePagesTest, AdvisesOnlyWholeHugePagesInsideTheBufferAndKeepsItsBytes) {
    unsigned char* buffer = m_span + 12345;
    const std::size_t bytes = 9 * kMiB + 777;
    for (std::size_t i = 0; i < bytes; ++i) buffer[i] = static_cast<unsigned char>(i * 31 + 7);

    huge_pages::Advise(buffer, bytes);

    std::size_t changed = 0;
    for (std::size_t i = 0; i < bytes; ++i)
        changed += buffer[i] != static_cast<unsigned char>(i * 31 + 7);
    EXPECT_EQ(changed, 0u);
    const auto lo = reinterpret_cast<std::uintptr_t>(buffer);
    const std::vector<Range> advised = AdvisedInSpan();
    for (const Range& r : advised) {
        EXPECT_GE(r.begin, lo);
        EXPECT_LE(r.end, lo + bytes);
        EXPECT_EQ(r.begin % (2 * kMiB), 0u);
        EXPECT_EQ(r.end % (2 * kMiB), 0u);
    }
    if (KernelOffersHugePages()) {
        EXPECT_FALSE(advised.empty());
    }
}

TEST_F(HugePagesTest, LeavesSmallOrEmptyBuffersAlone) {
    huge_pages::Advise(m_span, huge_pages::kWorthAsking - 1);
    huge_pages::Advise(nullptr, kSpan);
    huge_pages::Advise(m_span + 1, 0);
    EXPECT_TRUE(AdvisedInSpan().empty());
}

}  // namespace
