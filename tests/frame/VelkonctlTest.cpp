// velkonctl against the program in this process: exit status, UTF-8 on the command line and
// CP932 in the program, and a large pickup fed in pieces.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "platform/ipc/SocketPaths.h"
#include "tests/frame/ApiFixture.h"

extern char** environ;

using testing_support::Sjis;
using testing_support::Utf8;

namespace {

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs velkonctl, turning the event loop while it waits for the program's answers.
ToolRun Velkonctl(const std::vector<std::string>& args, const std::string& input = "") {
    ::signal(SIGPIPE, SIG_IGN);  // velkonctl may stop reading early
    int in[2], out[2], err[2];
    if (::pipe2(in, O_CLOEXEC) || ::pipe2(out, O_CLOEXEC) || ::pipe2(err, O_CLOEXEC)) return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    std::vector<std::string> all{VELKONCTL};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int spawned = ::posix_spawn(&pid, VELKONCTL, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(in[0]);
    ::close(out[1]);
    ::close(err[1]);
    ToolRun run;
    if (spawned != 0) return run;
    ::fcntl(in[1], F_SETFL, O_NONBLOCK);
    std::size_t written = 0;
    if (input.empty()) ::close(in[1]);
    bool inOpen = !input.empty(), outOpen = true, errOpen = true;
    while (outOpen || errOpen) {
        afx_ui::ProcessEvents();
        std::vector<pollfd> fds{{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
        if (inOpen) fds.push_back({in[1], POLLOUT, 0});
        ::poll(fds.data(), fds.size(), 5);
        char buffer[65536];
        for (int i = 0; i < 2; ++i) {
            if (!fds[i].revents) continue;
            const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0)
                (i ? run.err : run.out).append(buffer, static_cast<std::size_t>(n));
            else
                (i ? errOpen : outOpen) = false;
        }
        if (inOpen && fds[2].revents) {
            const ssize_t n = ::write(in[1], input.data() + written, input.size() - written);
            if (n > 0) written += static_cast<std::size_t>(n);
            if (n < 0 || written == input.size()) {
                ::close(in[1]);
                inOpen = false;
            }
        }
    }
    if (inOpen) ::close(in[1]);
    ::close(out[0]);
    ::close(err[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

}  // namespace

// The command lines --help lists: "  name [--flag] OPERANDS  summary", split into words.
namespace velkonctl_synopsis {
struct Line {
    std::string synopsis;
    std::vector<std::string> words;
};
std::vector<Line> Lines(const std::string& help) {
    std::vector<Line> lines;
    std::istringstream in(help);
    for (std::string line; std::getline(in, line);) {
        if (line.size() < 3 || line.compare(0, 2, "  ") != 0 ||
            !std::islower(static_cast<unsigned char>(line[2])))
            continue;
        Line parsed;
        parsed.synopsis = line.substr(2, line.find("  ", 2) - 2);
        std::istringstream words(parsed.synopsis);
        parsed.words.assign(std::istream_iterator<std::string>(words), {});
        lines.push_back(std::move(parsed));
    }
    return lines;
}
}  // namespace velkonctl_synopsis

TEST_F(ApiTest, VelkonctlRecordCommandsAndTheirExitStatus) {
    EXPECT_EQ(Velkonctl({"register", "ABC12345", "handle=青い空", "memo2=二"}).status, 0);
    const ToolRun again = Velkonctl({"register", "ABC12345"});
    EXPECT_EQ(again.status, 1);
    EXPECT_NE(again.err.find("already registered"), std::string::npos);
    const int r = doc->FindID("ABC12345");
    ASSERT_NE(r, -1);
    EXPECT_EQ(doc->m_astrHandle[r], Sjis("青い空"));
    EXPECT_EQ(doc->m_astrMemo2[r], Sjis("二"));

    EXPECT_EQ(Velkonctl({"set", "ABC12345", "memo1=one"}).status, 0);
    EXPECT_EQ(doc->m_astrMemo2[r], Sjis("二"));  // fields not named keep their text
    const ToolRun get = Velkonctl({"get", "ABC12345"});
    EXPECT_EQ(get.status, 0);
    EXPECT_NE(get.out.find("handle=青い空\nmemo1=one\nmemo2=二\n"), std::string::npos);
    EXPECT_EQ(Velkonctl({"get-handle", "ABC12345"}).out, "青い空\n");
    EXPECT_EQ(Velkonctl({"get-memo", "2", "ABC12345"}).out, "二\n");
    EXPECT_EQ(Velkonctl({"get-dates", "ABC12345"}).out.find("registered="), 0u);
    EXPECT_EQ(Velkonctl({"present"}).status, 0);
    EXPECT_EQ(Velkonctl({"count", "ABC12345"}).out, "1\n");
    EXPECT_EQ(Velkonctl({"count", "XYZ00000"}).status, 1);
    EXPECT_EQ(Velkonctl({"exists", "--16", "ABC12345"}).status, 0);
    EXPECT_EQ(Velkonctl({"delete", "ABC12345"}).status, 0);
    EXPECT_EQ(Velkonctl({"exists", "ABC12345"}).status, 1);
    EXPECT_EQ(Velkonctl({"restore"}).status, 0);
    EXPECT_EQ(Velkonctl({"set-record", "NEW00001", "H", "", "", "", "", "", "", "3", "97/01/05",
                         "97/02/10"})
                  .status,
              0);
    EXPECT_EQ(Velkonctl({"get-record", "NEW00001"}).out,
              "NEW00001\tH\t\t\t\t\t\t\t3\t97/01/05\t97/02/10\n");
    // An ID the data file could not keep is refused, and said so.
    const ToolRun star = Velkonctl({"register", "*STAR001"});
    EXPECT_EQ(star.status, 1);
    EXPECT_NE(star.err.find("the ID was refused: an ID may not begin with '*'"), std::string::npos)
        << star.err;
    const ToolRun starRecord = Velkonctl({"set-record", "*STAR001", "H"});
    EXPECT_EQ(starRecord.status, 1);
    EXPECT_NE(starRecord.err.find("not stored: an ID may not begin with '*'"), std::string::npos);
    EXPECT_EQ(doc->FindID("*STAR001"), -1);
    EXPECT_EQ(Velkonctl({"version"}).out, "3.4.13\n");
    EXPECT_EQ(Velkonctl({"captions", "--16"}).out.find("handle=ハンドル\nmemo1=メモ１\n"), 0u);
    EXPECT_EQ(Velkonctl({"edit", "XYZ00000"}).status, 1);
    // The editor's window handle, in hexadecimal.
    const ToolRun edit = Velkonctl({"edit", "NEW00001"});
    ASSERT_EQ(edit.status, 0);
    const HWND hEditor = reinterpret_cast<HWND>(std::stoull(edit.out, nullptr, 16));
    ASSERT_TRUE(::IsWindow(hEditor));
    CWnd::FromHandle(hEditor)->DestroyWindow();
}

TEST_F(ApiTest, VelkonctlChangesOnlyTheFieldsItIsGiven) {
    const CTime regist(1995, 4, 1, 0, 0, 0), update(1996, 5, 2, 0, 0, 0);
    const int r = AddRecord("XYZ00001", "Old", -1, regist, update);
    // A data file may hold any length, and a zero byte, in a memo; no block carries them whole.
    const CString longMemo(std::string(300, 'm'));
    const CString zeroMemo(std::string_view("before\0after", 12));
    doc->m_astrMemo1[r] = longMemo;
    doc->m_astrMemo2[r] = zeroMemo;
    const auto othersKept = [&](const char* step) {
        EXPECT_EQ(doc->m_astrMemo1[r], longMemo) << step;
        EXPECT_EQ(doc->m_astrMemo2[r], zeroMemo) << step;
        EXPECT_EQ(doc->m_anUpdateCount[r], -1) << step;
        EXPECT_EQ(doc->m_atimeRegist[r], regist) << step;
        EXPECT_EQ(doc->m_atimeUpdate[r], update) << step;
    };
    ASSERT_EQ(Velkonctl({"set", "XYZ00001", "handle=Blue", "memo3=三"}).status, 0);
    EXPECT_EQ(doc->m_astrHandle[r], "Blue");
    EXPECT_EQ(doc->m_astrMemo3[r], Sjis("三"));
    othersKept("set");
    ASSERT_EQ(Velkonctl({"set-record", "XYZ00001", "山田　太郎"}).status, 0);
    EXPECT_EQ(doc->m_astrHandle[r], Sjis("山田　太郎"));
    EXPECT_EQ(doc->m_astrMemo3[r], Sjis("三"));
    othersKept("set-record with the handle");
    ASSERT_EQ(Velkonctl({"set-record", "XYZ00001"}).status, 0);
    EXPECT_EQ(doc->m_astrHandle[r], Sjis("山田　太郎"));
    othersKept("set-record alone");

    // A registered record's count of -1 is told from an ID that is not registered.
    const ToolRun count = Velkonctl({"count", "XYZ00001"});
    EXPECT_EQ(count.status, 0);
    EXPECT_EQ(count.out, "-1\n");
    EXPECT_EQ(Velkonctl({"count", "XYZ00002"}).status, 1);

    // A text longer than the program keeps is refused whole rather than cut.
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"set", "XYZ00001", "memo3=" + std::string(256, 'x')},
             {"set-record", "XYZ00001", std::string(254, 'x') + "あ"},
             {"set-record", "--replace", "XYZ00001", "H", std::string(300, 'x')}}) {
        const ToolRun run = Velkonctl(args);
        EXPECT_EQ(run.status, 2) << args[1];
        EXPECT_NE(run.err.find("keeps at most 255"), std::string::npos) << run.err;
    }
    EXPECT_EQ(doc->m_astrMemo3[r], Sjis("三"));

    // Count and dates by their places; the update date not given stays.
    ASSERT_EQ(
        Velkonctl({"set-record", "XYZ00001", "H", "", "", "", "", "", "", "7", "99/12/31"}).status,
        0);
    EXPECT_EQ(doc->m_anUpdateCount[r], 7);
    EXPECT_EQ(doc->m_atimeRegist[r], CTime(1999, 12, 31, 0, 0, 0));
    EXPECT_EQ(doc->m_atimeUpdate[r], update);
    EXPECT_TRUE(doc->m_astrMemo1[r].IsEmpty());

    // --replace stores the whole line: what is not given is empty, 0 and today.
    doc->m_astrMemo1[r] = longMemo;
    ASSERT_EQ(Velkonctl({"set-record", "--replace", "XYZ00001", "H2"}).status, 0);
    EXPECT_EQ(doc->m_astrHandle[r], "H2");
    EXPECT_TRUE(doc->m_astrMemo1[r].IsEmpty());
    EXPECT_EQ(doc->m_anUpdateCount[r], 0);
    EXPECT_NE(doc->m_atimeRegist[r], CTime(1999, 12, 31, 0, 0, 0));
}

TEST_F(ApiTest, VelkonctlRegistersNewIdsInCapitalsAndLooksIdsUpAsGiven) {
    ASSERT_EQ(Velkonctl({"register", "abc12345", "handle=Blue"}).status, 0);
    EXPECT_EQ(doc->FindID("abc12345"), -1);
    ASSERT_NE(doc->FindID("ABC12345"), -1);
    EXPECT_EQ(doc->m_astrHandle[doc->FindID("ABC12345")], "Blue");
    const ToolRun again = Velkonctl({"register", "abc12345"});
    EXPECT_EQ(again.status, 1);
    EXPECT_NE(again.err.find("already registered"), std::string::npos);
    EXPECT_EQ(Velkonctl({"exists", "abc12345"}).status, 1);

    ASSERT_EQ(Velkonctl({"set-record", "def00001", "Red"}).status, 0);
    ASSERT_NE(doc->FindID("DEF00001"), -1);
    EXPECT_EQ(doc->m_astrHandle[doc->FindID("DEF00001")], "Red");
    ASSERT_EQ(
        Velkonctl({"set-record", "--replace", "ghi00001", "Green", "", "", "", "", "", "", "3"})
            .status,
        0);
    ASSERT_NE(doc->FindID("GHI00001"), -1);
    EXPECT_EQ(doc->m_anUpdateCount[doc->FindID("GHI00001")], 3);

    // An ID of another form the file holds is changed where it is.
    AddRecord("xyz00009", "Old", 1, CTime(1997, 1, 5, 0, 0, 0), CTime(1997, 1, 5, 0, 0, 0));
    ASSERT_EQ(Velkonctl({"set-record", "xyz00009", "New"}).status, 0);
    ASSERT_EQ(Velkonctl({"set", "xyz00009", "memo1=m"}).status, 0);
    EXPECT_EQ(doc->m_astrHandle[doc->FindID("xyz00009")], "New");
    EXPECT_EQ(doc->m_astrMemo1[doc->FindID("xyz00009")], "m");
    // The empty ID is one the file keeps too.
    ASSERT_EQ(Velkonctl({"set-record", "", "Empty"}).status, 0);
    ASSERT_EQ(Velkonctl({"set-record", "", "Still", "m1"}).status, 0);
    ASSERT_NE(doc->FindID(""), -1);
    EXPECT_EQ(doc->m_astrHandle[doc->FindID("")], "Still");
    EXPECT_EQ(doc->GetRecordCount(), 5);
}

TEST_F(ApiTest, VelkonctlAnswersEveryBadInputWithALineAndStatus2) {
    AddRecord("ABC12345", "Blue", 1, CTime(1997, 1, 5, 0, 0, 0), CTime(1997, 1, 5, 0, 0, 0));
    doc->SetModifiedFlag(FALSE);
    const std::string longId(300, 'A');
    const std::string missing = dir.File("missing.txt");
    std::vector<std::vector<std::string>> calls{
        {"pickup", dir.Path()},
        {"pickup", "--cp932", dir.Path()},
        {"pickup", missing},
        {"pickup", "/dev/zero"},
        {"set", "ABC12345", "memo9=x"},
        {"set", "ABC12345", "handle"},
        {"set-record", "ABC12345", "H", "", "", "", "", "", "", "x"},
        {"set-record", "ABC12345", "H", "", "", "", "", "", "", "99999999999"},
        {"set-record", "ABC12345", "H", "", "", "", "", "", "", "1", "1999/13/01"},
        {"set-record", "ABC12345", "H", "", "", "", "", "", "", "1", "1999/1/1", "tomorrow"},
        {"set-record", "--replace", "ABC12345", "a\tb"},
        {"get-memo", "x", "ABC12345"},
        {"--timeout"},
        {"--timeout", "0", "present"},
        {"--bogus"},
    };
    // Every command with an ID too long for a request's block, wherever its synopsis has one.
    for (const velkonctl_synopsis::Line& line :
         velkonctl_synopsis::Lines(Velkonctl({"--help"}).out)) {
        std::vector<std::string> args{line.words[0]};
        bool hasId = false;
        for (std::size_t i = 1; i < line.words.size(); ++i) {
            const std::string& w = line.words[i];
            if (w == "ID") hasId = true;
            if (w[0] == '[') continue;
            args.push_back(w == "ID" ? longId : w == "N" ? "1" : "handle=x");
        }
        if (hasId) calls.push_back(args);
        // --help after a command is its usage, never an operand.
        const ToolRun help = Velkonctl({line.words[0], "--help"});
        EXPECT_EQ(help.status, 0) << line.words[0];
        EXPECT_EQ(help.out.find("Usage: velkonctl " + line.words[0]), 0u) << help.out;
    }
    EXPECT_GE(calls.size(), 28u);  // 13 commands take an ID
    for (const auto& args : calls) {
        const ToolRun run = Velkonctl(args);
        const std::string what = args[0] + (args.size() > 1 ? " " + args[1].substr(0, 20) : "");
        EXPECT_EQ(run.status, 2) << what << ": " << run.err;
        EXPECT_EQ(run.err.find("velkonctl: "), 0u) << what << ": " << run.err;
        EXPECT_EQ(run.err.find("terminate"), std::string::npos) << what;
    }
    EXPECT_NE(Velkonctl({"pickup", dir.Path()}).err.find("is a folder"), std::string::npos);
    EXPECT_NE(Velkonctl({"pickup", missing}).err.find("No such file"), std::string::npos);
    // After "--" an operand is taken as it is, "--help" too.
    EXPECT_EQ(Velkonctl({"exists", "--", "--help"}).status, 1);
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(doc->m_astrPickupID.GetSize(), 0);
}

TEST_F(ApiTest, VelkonctlPrintsControlCharactersOfStoredTextsEscaped) {
    // A handle a terminal session or another program left with what steers a terminal in it;
    // the tab stays, as it separates the record line's fields.
    const std::string handle = "a\x1b]52;c;eA==\x07\r\n\x7f\t\x1b[31m青";
    const std::string shown = "a\\x1b]52;c;eA==\\x07\\r\\n\\x7f\t\\x1b[31m青";
    ASSERT_EQ(Velkonctl({"register", "ESC00001", "handle=" + handle, "memo1=\x1b[2J"}).status, 0);
    ASSERT_EQ(doc->m_astrHandle[doc->FindID("ESC00001")], Sjis(handle.c_str()));
    const ToolRun get = Velkonctl({"get", "ESC00001"});
    EXPECT_NE(get.out.find("\nhandle=" + shown + "\nmemo1=\\x1b[2J\n"), std::string::npos)
        << get.out;
    // The 16-bit messages cut the handle to 20 bytes.
    EXPECT_EQ(Velkonctl({"get-handle", "ESC00001"}).out,
              "a\\x1b]52;c;eA==\\x07\\r\\n\\x7f\t\\x1b[3\n");
    EXPECT_EQ(Velkonctl({"get-record", "ESC00001"}).out.find("ESC00001\ta\\x1b]52;"), 0u);
    for (const std::string& out : {get.out, Velkonctl({"get-record", "ESC00001"}).out})
        for (const char c : out)
            EXPECT_TRUE(static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\n');
}

TEST_F(ApiTest, VelkonctlBadArgumentsAndNoProgram) {
    const ToolRun help = Velkonctl({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.find("Usage: velkonctl"), 0u);
    for (const auto& args :
         std::vector<std::vector<std::string>>{{},
                                               {"bogus"},
                                               {"get"},
                                               {"get-memo", "7", "ABC12345"},
                                               {"set", "ABC12345"},
                                               {"register", "ABC12345", "nick=x"},
                                               {"--timeout", "x", "present"}}) {
        const ToolRun run = Velkonctl(args);
        EXPECT_EQ(run.status, 2) << (args.empty() ? "" : args[0]);
        EXPECT_FALSE(run.err.empty());
    }
    // No command or an unknown one lists what there is.
    EXPECT_NE(Velkonctl({}).err.find(help.out), std::string::npos);
    EXPECT_NE(Velkonctl({"bogus"}).err.find(help.out), std::string::npos);

    // The rest is told without looking for the program.
    StopApp();
    const ToolRun none = Velkonctl({"present"});
    EXPECT_EQ(none.status, 2);
    EXPECT_NE(none.err.find("not running"), std::string::npos);
    const ToolRun bogus = Velkonctl({"bogus"});
    EXPECT_EQ(bogus.status, 2);
    EXPECT_NE(bogus.err.find("unknown command 'bogus'"), std::string::npos);

    // Every command --help lists is one velkonctl knows, and a wrong number of arguments gets
    // its line of the help back: none where it needs an operand, too many where it needs none.
    std::size_t listed = 0;
    for (const velkonctl_synopsis::Line& line : velkonctl_synopsis::Lines(help.out)) {
        const std::string& synopsis = line.synopsis;
        const std::vector<std::string>& parts = line.words;
        const bool needsOperand = std::any_of(parts.begin() + 1, parts.end(),
                                              [](const std::string& w) { return w[0] != '['; });
        std::vector<std::string> args{parts[0]};
        if (!needsOperand) args.insert(args.end(), 12, "x");
        const ToolRun run = Velkonctl(args);
        EXPECT_EQ(run.status, 2) << synopsis;
        EXPECT_NE(run.err.find("Usage: velkonctl " + synopsis + "\n"), std::string::npos)
            << run.err;
        ++listed;
    }
    EXPECT_GE(listed, 19u);
}

TEST_F(ApiTest, VelkonctlPicksUpALargeTextInPieces) {
    // About 2 MB of LF-ended UTF-8 lines, more than one request carries.
    std::string text;
    for (int i = 0; i < 40000; ++i) {
        char line[64];
        std::snprintf(line, sizeof line, "%05d ABC%05d 青%d and some more words\n", i, i, i % 7);
        text += line;
    }
    text += "XYZ99999 最後";  // no line end
    const ToolRun run = Velkonctl({"pickup", "-"}, text);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(doc->m_astrPickupID.GetSize(), 40001);
    // Each line was scanned alone: the handle stops at its line end.
    const int p = doc->FindPickup("ABC00003");
    ASSERT_NE(p, -1);
    EXPECT_EQ(Utf8((*doc->m_aPickupHandles[p])[0]), "青3 and");
    EXPECT_EQ(Utf8((*doc->m_aPickupHandles[doc->FindPickup("XYZ99999")])[0]), "最後");
    EXPECT_EQ(Velkonctl({"picked", "ABC39999"}).status, 0);
    EXPECT_EQ(Velkonctl({"redo"}).status, 0);
    EXPECT_EQ(Velkonctl({"picked", "ABC39999"}).status, 1);
}

TEST_F(ApiTest, VelkonctlPickupReadsPastAZeroByte) {
    // The zero byte goes, as in the terminal bridge; what follows it is read.
    const ToolRun run = Velkonctl(
        {"pickup"}, std::string("ABC12345 Blue") + '\0' + " sky\nDEF67890 Red\nXYZ00001 Green\n");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(doc->m_astrPickupID.GetSize(), 3);
    EXPECT_EQ(Utf8((*doc->m_aPickupHandles[doc->FindPickup("ABC12345")])[0]), "Blue sky");
    EXPECT_NE(doc->FindPickup("XYZ00001"), -1);
}

TEST(VelkonClientPieces, PiecesEndAtLineEndsAndLongLinesAtCharacters) {
    using velkon_client::SplitAtLineEnds;
    const auto pieces = SplitAtLineEnds("ab\ncd\nef", 4);
    ASSERT_EQ(pieces.size(), 3u);
    EXPECT_EQ(pieces[0], "ab\n");
    EXPECT_EQ(pieces[1], "cd\n");
    EXPECT_EQ(pieces[2], "ef");
    // "ああ" in CP932 is four bytes; a cut after three would split the second.
    const std::string sjis = Sjis("ああ").Str();
    const auto cut = SplitAtLineEnds(sjis, 3);
    ASSERT_EQ(cut.size(), 2u);
    EXPECT_EQ(cut[0].size(), 2u);
    EXPECT_EQ(velkon_client::WithCrLf("a\nb\r\nc\n"), "a\r\nb\r\nc\r\n");
}

TEST_F(ApiTest, HeldAndHalfSentConnectionsLockNoClientOut) {
    // A thousand connections that say nothing, every other one after two bytes of a frame.
    const std::string path = winlink::SocketPath(VELKON_FRAME_CLASS);
    sockaddr_un addr{};
    ASSERT_TRUE(winlink::MakeAddress(path, addr));
    std::vector<int> held;
    for (int i = 0; i < 1000; ++i) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)), 0) << i;
        if (i % 2) {
            ASSERT_EQ(::write(fd, "\x14\0", 2), 2);
        }
        held.push_back(fd);
    }
    afx_ui::ProcessEvents();
    // A new client is served with the deadline it always uses.
    EXPECT_EQ(Velkonctl({"present"}).status, 0);
    EXPECT_EQ(Velkonctl({"count", "ABC12345"}).status, 1);
    for (int fd : held) ::close(fd);
}
