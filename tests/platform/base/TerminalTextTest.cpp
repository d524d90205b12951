// The terminal text filter: each kind of sequence goes and the text around it stays, whole or
// cut anywhere between two reads; line ends; a sequence that never ends.
#include <gtest/gtest.h>

#include <string>

#include "platform/base/TerminalText.h"

namespace {

std::string Filtered(std::string_view in) {
    CTerminalTextFilter filter;
    std::string out;
    const std::size_t added = filter.Filter(in, out);
    EXPECT_EQ(added, out.size());
    return out;
}

// The same text in two pieces cut at every place, and a byte at a time, must come out the same
// as in one piece.
void ExpectFiltered(std::string_view in, std::string_view expected) {
    EXPECT_EQ(Filtered(in), expected) << "in one piece";
    for (std::size_t cut = 1; cut < in.size(); ++cut) {
        CTerminalTextFilter filter;
        std::string out;
        filter.Filter(in.substr(0, cut), out);
        filter.Filter(in.substr(cut), out);
        ASSERT_EQ(out, expected) << "cut after " << cut << " bytes";
    }
    CTerminalTextFilter filter;
    std::string out;
    for (char c : in) filter.Filter(std::string_view(&c, 1), out);
    EXPECT_EQ(out, expected) << "a byte at a time";
}

}  // namespace

TEST(TerminalText, CsiAndTwoByteEscapesGoAndTheTextAroundThemStays) {
    ExpectFiltered("\x1b[31mred\x1b[0m \x1b[1;33;44mbold\x1b[m", "red bold");
    ExpectFiltered("\x1b[2J\x1b[H\x1b[?25l\x1b[?1049h\x1b[10;20Htext\x1b[K", "text");
    ExpectFiltered("a\x1b[0 qb\x1b[>0;1c", "ab");  // intermediate byte, private parameters
    ExpectFiltered(
        "\x1b(B\x1b)0\x1b"
        "7a\x1b"
        "8\x1b=\x1b>b\x1b"
        "c\x1b#8",
        "ab");
    ExpectFiltered("\x1b\x1b[1mx", "x");  // a second ESC starts over
    // A control inside acts without ending the sequence; CAN ends it unfinished.
    ExpectFiltered(
        "\x1b[3\x08"
        "1mx\x1b[3\x18"
        "1m",
        "x1m");
    // A byte a sequence cannot hold ends it unfinished, and is text (CP932 "ア": 0x83 0x41).
    ExpectFiltered("\x1b\x83\x41", "\x83\x41");
}

TEST(TerminalText, Cp932TextIsLeftAsItIsIncludingBytesThatLookLikeC1OrSequenceBytes) {
    // "データ" holds 0x81 0x5B ('[' as a trail byte), "ソ表" 0x5C, and 0x80-0x9F are lead and
    // trail bytes, never 8-bit C1 controls (0x9B would be CSI, 0x9D OSC).
    const std::string text =
        "\x83\x66\x81\x5B\x83\x5E \x83\x5C\x95\x5C \x9B\x41\x9D\x80\x90\x9C ABC12345 \xB1\xDD";
    ExpectFiltered(text, text);
    ExpectFiltered("\x1b[1m" + text + "\x1b[0m", text);
    ExpectFiltered("\x83\x5C\x1b]2;\x83\x5C\x07\x83\x5C", "\x83\x5C\x83\x5C");
}

TEST(TerminalText, StringSequencesGoWithTheirPayload) {
    // OSC ends at BEL or ST: the terminal's clipboard (52), the window title (2).
    ExpectFiltered("name\x1b]52;c;ZXZpbA==\x07 more", "name more");
    ExpectFiltered("a\x1b]2;title \x1b[31m\x1b\\b", "ab");
    ExpectFiltered("a\x1b]8;;http://x/\x1b\\link\x1b]8;;\x1b\\b", "alinkb");
    // DCS, SOS, PM and APC end at ST only: a BEL is part of them.
    ExpectFiltered("a\x1bP1$r\x07q\x1b\\b", "ab");
    ExpectFiltered("a\x1bXsos\x1b\\b\x1b^pm\x07\x1b\\c\x1b_apc\x1b\\d", "abcd");
    // An ESC that is not ST cuts the string short and begins a sequence of its own.
    ExpectFiltered("a\x1b]0;t\x1b[1mb", "ab");
    ExpectFiltered(
        "a\x1bPq\x1b]0;x\x07"
        "b",
        "ab");
    // CAN and SUB give a string up.
    ExpectFiltered(
        "a\x1b]0;t\x18"
        "b\x1bPx\x1a"
        "c",
        "abc");
}

TEST(TerminalText, LineEndsBecomeCrLfAndCrCrLfIsOneLineEnd) {
    ExpectFiltered("a\nb\r\nc\r\r\nd\r\r\r\ne", "a\r\nb\r\nc\r\nd\r\ne");
    // A lone CR starts the line again: what follows is a line of its own.
    ExpectFiltered("10%\r50%\r100%\r\n", "10%\r\n50%\r\n100%\r\n");
    ExpectFiltered("a\r\x1b[Kb", "a\r\nb");
    // Blank lines stay; a line end inside a sequence still ends the line.
    ExpectFiltered("a\n\nb\x1b[\n1mc", "a\r\n\r\nb\r\nc");
    // The CR of a line end at the end of a read is written at once: its LF may come later.
    CTerminalTextFilter filter;
    std::string out;
    filter.Filter("a\r", out);
    EXPECT_EQ(out, "a\r");
    filter.Filter("\r", out);
    filter.Filter("\nb", out);
    EXPECT_EQ(out, "a\r\nb");
}

TEST(TerminalText, ControlsButTabGo) {
    std::string controls;
    for (int c = 0; c < 0x20; ++c)
        if (c != '\t' && c != '\n' && c != '\r' && c != 0x1b && c != 0x18 && c != 0x1a)
            controls += static_cast<char>(c);
    ExpectFiltered("a" + controls + "\x7f" + "b\tc\x18\x1a", "ab\tc");
    ExpectFiltered(std::string("ab\0c", 4), "abc");
}

TEST(TerminalText, ASequenceThatNeverEndsGivesTheTextBackAfterTheBound) {
    const std::size_t bound = CTerminalTextFilter::kMaxSequence;
    for (const std::string start : {"\x1b]52;c;", "\x1bP", "\x1b["}) {
        const std::string unit = start == "\x1b[" ? "1;" : "QUJD";
        std::string body;
        while (body.size() < bound - 16) body += unit;
        CTerminalTextFilter filter;
        std::string out;
        filter.Filter("x" + start, out);
        // Fed in reads as a terminal gives them; nothing of them is kept.
        for (std::size_t pos = 0; pos < body.size(); pos += 4096)
            filter.Filter(std::string_view(body).substr(pos, 4096), out);
        EXPECT_EQ(out, "x") << start.substr(1);
        filter.Filter(body.substr(0, 32) + "ABC12345 name\r\n", out);
        EXPECT_EQ(out.substr(out.size() - 15), "ABC12345 name\r\n") << start.substr(1);
        EXPECT_LT(out.size(), 64u) << start.substr(1);
    }
}
