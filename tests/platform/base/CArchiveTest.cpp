#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <thread>
#include <vector>

#include "platform/base/CArchive.h"
#include "tests/platform/PlatformTestUtil.h"
#include "tests/support/TestFiles.h"

using testing_support::ReadFile;
using testing_support::Sjis;
using testing_support::TempDir;
using testing_support::WriteFile;
using Lines = std::vector<std::string>;

namespace {

// Every line of the bytes, by ReadString (pieces of at most 16383 bytes) or by ReadLine (whole).
Lines ReadLines(const std::string& bytes, bool whole = false) {
    TempDir dir;
    const std::string path = dir.File("in.txt");
    WriteFile(path, bytes);
    CFile file;
    EXPECT_TRUE(file.Open(CString(path), CFile::modeRead));
    CArchive ar(&file, CArchive::load);
    Lines lines;
    CString line;
    while (whole ? ar.ReadLine(line) : ar.ReadString(line)) lines.push_back(line.Str());
    EXPECT_TRUE(line.IsEmpty());
    EXPECT_FALSE(whole ? ar.ReadLine(line) : ar.ReadString(line));  // the end stays the end
    EXPECT_FALSE(ar.IsBad());
    return lines;
}

}  // namespace

TEST(CArchive, LinesEndAtLfCrLfOrALoneCr) {
    for (bool whole : {false, true}) {
        EXPECT_EQ(ReadLines("", whole), Lines{});
        EXPECT_EQ(ReadLines("a\r\nb\nc", whole), (Lines{"a", "b", "c"}));
        EXPECT_EQ(ReadLines("\n\r\n\n", whole), (Lines{"", "", ""}));
        // A lone CR (a file from elsewhere) ends its line; the byte after it is the next line's.
        EXPECT_EQ(ReadLines("ABC12345\rDEF67890\n", whole), (Lines{"ABC12345", "DEF67890"}));
        EXPECT_EQ(ReadLines("a\r\r\nb", whole), (Lines{"a", "", "b"}));
        EXPECT_EQ(ReadLines("a\r", whole), Lines{"a"});
        EXPECT_EQ(ReadLines("\r", whole), Lines{""});
        EXPECT_EQ(ReadLines("a\n\r", whole), (Lines{"a", ""}));
        EXPECT_EQ(ReadLines(std::string("x\0y\n", 4), whole), Lines{std::string("x\0y", 3)});
    }
}

TEST(CArchive, LongLinesComeBackInPiecesOrWhole) {
    const std::string piece(16383, 'k');
    // A full piece does not look past itself, so the line end that follows makes a line of its own.
    EXPECT_EQ(ReadLines(piece + "\nb\n"), (Lines{piece, "", "b"}));
    EXPECT_EQ(ReadLines(piece + "\r\n"), (Lines{piece, ""}));
    EXPECT_EQ(ReadLines(piece), Lines{piece});
    EXPECT_EQ(ReadLines(piece + "k\n"), (Lines{piece, "k"}));
    EXPECT_EQ(ReadLines(std::string(40000, 'k') + "\r\n"),
              (Lines{piece, piece, std::string(40000 - 2 * 16383, 'k')}));

    // Whole: a line end right after a full piece is that line's end, not a line of its own.
    EXPECT_EQ(ReadLines(piece + "\nb\n", true), (Lines{piece, "b"}));
    EXPECT_EQ(ReadLines(piece + "\r\n", true), Lines{piece});
    EXPECT_EQ(ReadLines(piece + "\r", true), Lines{piece});
    EXPECT_EQ(ReadLines(piece, true), Lines{piece});
    EXPECT_EQ(ReadLines(std::string(200000, 'k') + "\r\nx", true),
              (Lines{std::string(200000, 'k'), "x"}));
}

TEST(CArchive, LinesCrossTheBufferBoundary) {
    constexpr std::size_t kBuffer = 65536;
    std::string bytes;
    Lines expected;
    int n = 0;
    auto add = [&](const std::string& text, const char* end) {
        bytes += text + end;
        expected.push_back(text);
    };
    auto fillUpTo = [&](std::size_t size) {
        while (bytes.size() < size) {
            ++n;
            add(std::string(static_cast<std::size_t>(n % 150), static_cast<char>('a' + n % 26)),
                n % 3 ? "\n" : "\r\n");
        }
    };
    fillUpTo(kBuffer - 200);
    // The CR is the last byte of the first buffer, its LF the first of the next.
    add(std::string(kBuffer - 1 - bytes.size(), 'p'), "\r\n");
    fillUpTo(2 * kBuffer - 200);
    // A lone CR ends the second buffer; the byte after it, opening the third, stays.
    add(std::string(2 * kBuffer - 1 - bytes.size(), 'q'), "\r");
    add("X", "\n");
    fillUpTo(3 * kBuffer - 50);
    add(std::string(100, 'r'), "\n");  // runs across the boundary
    add("last", "");
    EXPECT_EQ(ReadLines(bytes), expected);
    EXPECT_EQ(ReadLines(bytes, true), expected);
}

TEST(CArchive, WriteStringWritesTheBytesAsTheyAreOrTurnsBad) {
    TempDir dir;
    const std::string path = dir.File("out.txt");
    std::string big;  // larger than the buffer, with zero bytes, CR and LF
    for (int i = 0; i < 150000; ++i) big += static_cast<char>(i * 7);
    {
        CFile file;
        ASSERT_TRUE(file.Open(CString(path), CFile::modeCreate | CFile::modeWrite));
        CArchive ar(&file, CArchive::store);
        ar.WriteString(Sjis("ソ表"));
        ar.WriteString(std::string_view(big));  // past the buffer: straight to the file
        ar.WriteString("tail");
        EXPECT_TRUE(ar.Flush());
    }
    EXPECT_EQ(ReadFile(path), Sjis("ソ表").Str() + big + "tail");

    CFile full;
    ASSERT_TRUE(full.Open("/dev/full", CFile::modeWrite));
    CArchive ar(&full, CArchive::store);
    ar.WriteString("abc");
    EXPECT_FALSE(ar.Flush());
    EXPECT_TRUE(ar.IsBad());
    EXPECT_EQ(full.GetLastError(), ENOSPC);

    CFile fullToo;
    ASSERT_TRUE(fullToo.Open("/dev/full", CFile::modeWrite));
    CArchive direct(&fullToo, CArchive::store);
    direct.WriteString(std::string_view(big));
    EXPECT_TRUE(direct.IsBad());
    EXPECT_FALSE(direct.Flush());
}

TEST(CArchive, ReadRestTakesEveryByteLeftFromAFileOrAPipe) {
    TempDir dir;
    const std::string lines = "first\r\nsecond\n";
    std::string bytes = lines;
    for (int i = 0; bytes.size() < 300000; ++i) bytes += static_cast<char>(i * 13);
    const std::string path = dir.File("in.bin");
    WriteFile(path, bytes);
    CFile file;
    ASSERT_TRUE(file.Open(CString(path), CFile::modeRead));
    EXPECT_EQ(file.GetLength(), static_cast<std::int64_t>(bytes.size()));
    CArchive ar(&file, CArchive::load);
    CString line;
    ASSERT_TRUE(ar.ReadLine(line));
    ASSERT_TRUE(ar.ReadLine(line));
    // What the lines left in the buffer comes first, then the file, appended to what is there.
    std::string rest = "kept";
    std::vector<std::size_t> heard;
    EXPECT_TRUE(ar.ReadRest(rest, [&heard](std::size_t n) { heard.push_back(n); }));
    EXPECT_TRUE(rest == "kept" + bytes.substr(lines.size()));  // not printed: 300 KB
    ASSERT_FALSE(heard.empty());
    EXPECT_TRUE(std::is_sorted(heard.begin(), heard.end()));
    EXPECT_EQ(heard.back(), bytes.size() - lines.size());
    EXPECT_FALSE(ar.ReadLine(line));  // the end stays the end

    // A pipe has no size: read until its writer is done.
    const std::string fifo = dir.File("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::thread writer([&] { WriteFile(fifo, bytes); });
    CFile pipe;
    ASSERT_TRUE(pipe.Open(CString(fifo), CFile::modeRead));
    EXPECT_EQ(pipe.GetLength(), -1);
    CArchive fromPipe(&pipe, CArchive::load);
    std::string all;
    EXPECT_TRUE(fromPipe.ReadRest(all));
    writer.join();
    EXPECT_TRUE(all == bytes);
}
