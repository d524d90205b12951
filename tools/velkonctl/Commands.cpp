// The commands of velkonctl. Texts are UTF-8 on the command line and CP932 in the program.
#include "tools/velkonctl/Commands.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>

#include "platform/base/CodePage.h"
#include "tools/velkonctl/Usage.h"

namespace velkonctl {
namespace {

using velkon_client::CVelkonClient;
using velkon_client::Fields;
using velkon_client::Reply;

// What one pickup request carries at most; the program scans each piece while the client waits.
constexpr std::size_t kPickupPiece = 256 * 1024;

// Why the program refuses to register an ID that is not registered yet.
constexpr const char* kUnkeptId =
    "an ID may not begin with '*' or hold a tab, CR or LF (the data file could not keep it)";

CString In(const std::string& utf8) {
    return CString(Utf8ToCp932(utf8));
}

// A stored text as the terminal shows it. Texts come from other programs and terminal
// sessions, so a control character in one is written as an escape (\r, \n, \x1b) rather than
// steer the user's terminal or break the NAME=TEXT lines; a tab stays, as the record line's
// fields are separated by tabs. UTF-8 never has a byte below 0x80 inside a character, and the
// C1 controls have no CP932 form, so the rest of the text is written as it is.
std::string Out(const CString& cp932) {
    std::string out;
    for (const char c : Cp932ToUtf8(cp932.View())) {
        const auto b = static_cast<unsigned char>(c);
        if ((b >= 0x20 && b != 0x7F) || b == '\t') {
            out += c;
        } else if (b == '\r' || b == '\n') {
            out += b == '\r' ? "\\r" : "\\n";
        } else {
            static const char digits[] = "0123456789abcdef";
            out += "\\x";
            out += digits[b >> 4];
            out += digits[b & 15];
        }
    }
    return out;
}

// The answer of a yes-or-no request as the exit status.
int Status(const Reply& reply, const char* no) {
    if (!reply.answered) return Fail("the program did not answer");
    if (reply.value == 0) {
        if (no) std::cerr << "velkonctl: " << no << "\n";
        return kNo;
    }
    return kOk;
}

bool ParseAssignments(const std::vector<std::string>& args, std::size_t first, Fields& fields,
                      std::string& error) {
    for (std::size_t i = first; i < args.size(); ++i) {
        const std::size_t eq = args[i].find('=');
        const std::string name = args[i].substr(0, eq);
        if (eq == std::string::npos) {
            error = "expected NAME=TEXT, got '" + args[i] + "'";
            return false;
        }
        const CString value = In(args[i].substr(eq + 1));
        if (name == "handle") {
            fields.handle = value;
        } else if (name.size() == 5 && name.compare(0, 4, "memo") == 0 && name[4] >= '1' &&
                   name[4] <= '6') {
            fields.memo[name[4] - '1'] = value;
        } else {
            error = "unknown field '" + name + "' (handle, memo1 to memo6)";
            return false;
        }
    }
    return true;
}

bool ReadAll(const std::string& path, std::string& text) {
    if (path == "-") {
        text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
        return !std::cin.bad();
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// --- 16-bit messages ---

int Present(CVelkonClient& client, const Call&) {
    return Status(client.Present16(), "the program does not answer the API");
}

int Exists(CVelkonClient& client, const Call& call) {
    const CString id = In(call.operands[0]);
    return Status(call.flag ? client.Exists16(id) : client.Exists(id), "not registered");
}

int Count(CVelkonClient& client, const Call& call) {
    const Reply reply = client.GetCount16(In(call.operands[0]));
    if (!reply.answered) return Fail("the program did not answer");
    if (reply.value == -1) return Status(Reply{true, 0}, "not registered");
    std::cout << reply.value << "\n";
    return kOk;
}

int PrintText16(CVelkonClient& client, UINT msg, const std::string& id) {
    CString text;
    const Reply reply = client.GetText16(msg, In(id), text);
    if (reply) std::cout << Out(text) << "\n";
    return Status(reply, "not registered");
}

int GetHandle(CVelkonClient& client, const Call& call) {
    return PrintText16(client, WM_IDAPI_GETHANDLE, call.operands[0]);
}

int GetMemo(CVelkonClient& client, const Call& call) {
    const std::string& n = call.operands[0];
    if (n.size() != 1 || n[0] < '1' || n[0] > '6')
        return BadArguments(*call.command, "get-memo needs a memo number 1 to 6 and an ID");
    return PrintText16(client, WM_IDAPI_GETMEMO1 + static_cast<UINT>(n[0] - '1'), call.operands[1]);
}

int GetRecord(CVelkonClient& client, const Call& call) {
    return PrintText16(client, WM_IDAPI_GETRECORD, call.operands[0]);
}

int GetDates(CVelkonClient& client, const Call& call) {
    const CString id = In(call.operands[0]);
    CString regist, update;
    const Reply reply = client.GetText16(WM_IDAPI_GETREGDATE, id, regist);
    if (!reply) return Status(reply, "not registered");
    const Reply second = client.GetText16(WM_IDAPI_GETUPDATEDATE, id, update);
    if (!second) return Status(second, "not registered");
    std::cout << "registered=" << Out(regist) << "\nupdated=" << Out(update) << "\n";
    return kOk;
}

int SetRecord(CVelkonClient& client, const Call& call) {
    std::string line = call.operands[0];
    for (std::size_t i = 1; i < call.operands.size(); ++i) line += "\t" + call.operands[i];
    return Status(client.SetRecord16(In(call.operands[0]), In(line)),
                  (std::string("the record was not stored: ") + kUnkeptId).c_str());
}

int Captions(CVelkonClient& client, const Call& call) {
    std::array<CString, 7> captions;
    if (call.flag) {
        for (int k = 1; k <= 7; ++k) {
            const Reply reply = client.GetCaption16(k, captions[k - 1]);
            if (!reply) return Status(reply, "no captions");
        }
    } else {
        const Reply reply = client.GetCaptions(captions);
        if (!reply) return Status(reply, "no captions");
    }
    const char* names[] = {"handle", "memo1", "memo2", "memo3", "memo4", "memo5", "memo6"};
    for (int k = 0; k < 7; ++k) std::cout << names[k] << "=" << Out(captions[k]) << "\n";
    return kOk;
}

// --- 32-bit functions ---

int Version(CVelkonClient& client, const Call&) {
    int major = 0, minor = 0, release = 0;
    const Reply reply = client.GetVersion(major, minor, release);
    if (reply) std::cout << major << "." << minor << "." << release << "\n";
    return Status(reply, "the program has no version information");
}

int Get(CVelkonClient& client, const Call& call) {
    const std::string& id = call.operands[0];
    Fields fields;
    const Reply reply = client.GetData(In(id), fields);
    if (reply) {
        std::cout << "id=" << id << "\nhandle=" << Out(fields.handle) << "\n";
        for (int k = 0; k < 6; ++k)
            std::cout << "memo" << k + 1 << "=" << Out(fields.memo[k]) << "\n";
        std::cout << "registered=" << Out(fields.registDate)
                  << "\nupdated=" << Out(fields.prevUpdateDate) << "\ncount=" << fields.count
                  << "\n";
    }
    return Status(reply, "not registered");
}

int Register(CVelkonClient& client, const Call& call) {
    Fields fields;
    std::string error;
    if (!ParseAssignments(call.operands, 1, fields, error))
        return BadArguments(*call.command, error);
    const CString id = In(call.operands[0]);
    const Reply reply = client.Register(id, fields);
    if (!reply.answered || reply.value != 0) return Status(reply, nullptr);
    // Refused: the ID is there already, or the program's file could not keep it.
    const Reply exists = client.Exists(id);
    if (!exists.answered) return Fail("the program did not answer");
    std::cerr << "velkonctl: "
              << (exists.value ? std::string("already registered")
                               : std::string("the ID was refused: ") + kUnkeptId)
              << "\n";
    return kNo;
}

int Set(CVelkonClient& client, const Call& call) {
    const CString id = In(call.operands[0]);
    // Fields not named keep their text.
    Fields fields;
    const Reply current = client.GetData(id, fields);
    if (!current) return Status(current, "not registered");
    std::string error;
    if (!ParseAssignments(call.operands, 1, fields, error))
        return BadArguments(*call.command, error);
    return Status(client.SetData(id, fields), "not registered");
}

int Delete(CVelkonClient& client, const Call& call) {
    return Status(client.Delete(In(call.operands[0])), "not registered");
}

int Restore(CVelkonClient& client, const Call&) {
    return Status(client.Restore(), nullptr);
}

int Pickup(CVelkonClient& client, const Call& call) {
    const std::string path = call.operands.empty() ? "-" : call.operands[0];
    std::string text;
    if (!ReadAll(path, text)) return Fail("cannot read " + path + ": " + std::strerror(errno));
    // A zero byte would end the text the program reads; like the terminal bridge, drop it.
    std::erase(text, '\0');
    const std::string bytes = velkon_client::WithCrLf(call.flag ? text : Utf8ToCp932(text));
    for (std::string_view piece : velkon_client::SplitAtLineEnds(bytes, kPickupPiece)) {
        const Reply reply = client.PickupText(piece);
        if (!reply.answered) return Fail("the program did not answer");
    }
    return kOk;
}

int Redo(CVelkonClient& client, const Call&) {
    return Status(client.PickupRedo(), nullptr);
}

int Picked(CVelkonClient& client, const Call& call) {
    return Status(client.PickedUp(In(call.operands[0])), "not picked up");
}

int Edit(CVelkonClient& client, const Call& call) {
    const Reply reply = client.EditData(In(call.operands[0]));
    if (reply) std::printf("%llx\n", static_cast<unsigned long long>(reply.value));
    return Status(reply, "no editor opened (not registered?)");
}

constexpr const char* k16 =
    "Queries of one record (16-bit messages; personal fields cut to 20 bytes, YY/MM/DD dates)";
constexpr const char* k32 = "32-bit functions (fields whole, four-digit years)";
constexpr std::size_t kAny = Command::kAny;

// In the order --help lists them.
constexpr Command kCommands[] = {
    {"present", nullptr, "", 0, 0, k16, "whether the program answers", Present},
    {"exists", "--16", "ID", 1, 1, k16,
     "whether ID is registered (--16: through the 16-bit message)", Exists},
    {"count", nullptr, "ID", 1, 1, k16, "the update count", Count},
    {"get-handle", nullptr, "ID", 1, 1, k16, "the handle", GetHandle},
    {"get-memo", nullptr, "N ID", 2, 2, k16, "memo N (1 to 6)", GetMemo},
    {"get-dates", nullptr, "ID", 1, 1, k16, "registration date and update date", GetDates},
    {"get-record", nullptr, "ID", 1, 1, k16, "the record line (tab-separated)", GetRecord},
    {"set-record", nullptr, "ID [FIELD...]", 1, 11, k16,
     "stores handle, memo 1..6, count, registration and update date (YY/MM/DD or YYYY/MM/DD); "
     "registers ID if needed",
     SetRecord},
    {"captions", "--16", "", 0, 0, k16, "the seven captions of the personal fields", Captions},
    {"version", nullptr, "", 0, 0, k32, "the program's version", Version},
    {"get", nullptr, "ID", 1, 1, k32, "every field of the record", Get},
    {"register", nullptr, "ID [NAME=TEXT...]", 1, kAny, k32,
     "registers ID; NAME is handle or memo1..memo6", Register},
    {"set", nullptr, "ID NAME=TEXT...", 2, kAny, k32,
     "changes the handle or memos of a registered ID", Set},
    {"delete", nullptr, "ID", 1, 1, k32, "deletes the record", Delete},
    {"restore", nullptr, "", 0, 0, k32, "restores the record deleted last", Restore},
    {"pickup", "--cp932", "[FILE|-]", 0, 1, k32,
     "picks up IDs from a file or standard input (--cp932: the text is CP932, not UTF-8)", Pickup},
    {"redo", nullptr, "", 0, 0, k32, "empties the pickup list", Redo},
    {"picked", nullptr, "ID", 1, 1, k32, "whether ID has been picked up", Picked},
    {"edit", nullptr, "ID", 1, 1, k32, "opens the personal data editor for ID", Edit},
};

}  // namespace

std::span<const Command> Commands() {
    return kCommands;
}

const Command* FindCommand(std::string_view name) {
    for (const Command& command : kCommands)
        if (name == command.name) return &command;
    return nullptr;
}

}  // namespace velkonctl
