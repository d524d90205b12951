// The commands of velkonctl. Texts are UTF-8 on the command line and CP932 in the program.
#include "tools/velkonctl/Commands.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "database/ApiRequests.h"
#include "database/RecordText.h"
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

// The most bytes the program keeps of a handle or memo; a longer text is refused, not cut.
constexpr int kFieldLength = static_cast<int>(velkon_api::kFieldLength);

bool FitsField(const std::string& name, const CString& value, std::string& error) {
    if (value.GetLength() <= kFieldLength) return true;
    error = name + " is " + std::to_string(value.GetLength()) +
            " bytes in CP932; the program keeps at most " + std::to_string(kFieldLength) +
            " (velkonctl does not cut it)";
    return false;
}

// NAME=TEXT arguments into fields, and the mask of the fields they name.
bool ParseAssignments(const std::vector<std::string>& args, std::size_t first, Fields& fields,
                      unsigned& mask, std::string& error) {
    for (std::size_t i = first; i < args.size(); ++i) {
        const std::size_t eq = args[i].find('=');
        const std::string name = args[i].substr(0, eq);
        if (eq == std::string::npos) {
            error = "expected NAME=TEXT, got '" + args[i] + "'";
            return false;
        }
        const CString value = In(args[i].substr(eq + 1));
        if (!FitsField(name, value, error)) return false;
        if (name == "handle") {
            fields.handle = value;
            mask |= idapi_block::kMaskHandle;
        } else if (name.size() == 5 && name.compare(0, 4, "memo") == 0 && name[4] >= '1' &&
                   name[4] <= '6') {
            fields.memo[name[4] - '1'] = value;
            mask |= idapi_block::MaskMemo(name[4] - '0');
        } else {
            error = "unknown field '" + name + "' (handle, memo1 to memo6)";
            return false;
        }
    }
    return true;
}

// set-record's fields after the ID, by their place: handle, memo 1..6, count, the two dates.
bool ParseRecordFields(const std::vector<std::string>& args, Fields& fields, unsigned& mask,
                       std::string& error) {
    static const char* const names[] = {"handle", "memo1", "memo2", "memo3",      "memo4",
                                        "memo5",  "memo6", "count", "registered", "updated"};
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const std::string name = names[i - 1];
        if (i <= 7) {
            const CString value = In(arg);
            if (!FitsField(name, value, error)) return false;
            (i == 1 ? fields.handle : fields.memo[i - 2]) = value;
            mask |=
                i == 1 ? idapi_block::kMaskHandle : idapi_block::MaskMemo(static_cast<int>(i - 1));
        } else if (i == 8) {
            char* end = nullptr;
            errno = 0;
            const long count = std::strtol(arg.c_str(), &end, 10);
            if (arg.empty() || *end || errno || count < INT_MIN || count > INT_MAX) {
                error = "count must be a whole number, got '" + arg + "'";
                return false;
            }
            fields.count = static_cast<int>(count);
            mask |= idapi_block::kMaskCount;
        } else {
            int year = 0, month = 0, day = 0;
            if (arg.size() > 10 || arg.find_first_not_of("0123456789/") != std::string::npos ||
                !record_text::ParseDateFields(arg, year, month, day)) {
                error = name + " must be a date YY/MM/DD or YYYY/MM/DD, got '" + arg + "'";
                return false;
            }
            (i == 9 ? fields.registDate : fields.updateDate) = CString(arg);
            mask |= i == 9 ? idapi_block::kMaskRegistDate : idapi_block::kMaskUpdateDate;
        }
    }
    return true;
}

// A file, a pipe or standard input, whole; a folder or a device is refused, as it holds no text
// to read (or never ends).
bool ReadAll(const std::string& path, std::string& text, std::string& error) {
    const bool stdinput = path == "-";
    const int fd = stdinput ? 0 : ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = "cannot read " + path + ": " + std::strerror(errno);
        return false;
    }
    struct stat st {};
    const bool statted = ::fstat(fd, &st) == 0;
    if (!stdinput && statted &&
        (S_ISDIR(st.st_mode) || S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))) {
        error = "cannot read " + path + ": " +
                (S_ISDIR(st.st_mode) ? "it is a folder" : "it is a device, not a file");
        ::close(fd);
        return false;
    }
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            text.append(buffer, static_cast<std::size_t>(n));
        } else if (n == 0) {
            break;
        } else if (errno != EINTR) {
            error = "cannot read " + (stdinput ? std::string("standard input") : path) + ": " +
                    std::strerror(errno);
            if (!stdinput) ::close(fd);
            return false;
        }
    }
    if (!stdinput) ::close(fd);
    return true;
}

// A new ID goes in capitals, as the registration dialog stores it.
CString NewId(const std::string& utf8) {
    CString id = In(utf8);
    id.MakeUpper();
    return id;
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
    const CString id = In(call.operands[0]);
    const Reply reply = client.GetCount16(id);
    if (!reply.answered) return Fail("the program did not answer");
    // The message answers -1 for an unknown ID, and a record's count may be -1 too.
    if (reply.value == -1) {
        const Reply exists = client.Exists(id);
        if (!exists) return Status(exists, "not registered");
    }
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

// The ID whose record is to be written: the one given when it is registered, else the same in
// capitals, registered now when registerIt. False, with the exit status, when there is none.
bool TargetOf(CVelkonClient& client, const std::string& given, bool registerIt, CString& target,
              int& status) {
    target = In(given);
    const Reply exists = client.Exists(target);
    if (!exists.answered) {
        status = Fail("the program did not answer");
        return false;
    }
    if (exists.value) return true;
    target = NewId(given);
    if (!registerIt || client.Register(target, Fields{})) return true;
    const Reply again = client.Exists(target);  // registered meanwhile, or in capitals already
    if (again) return true;
    status = again.answered
                 ? Status(Reply{true, 0},
                          (std::string("the record was not stored: ") + kUnkeptId).c_str())
                 : Fail("the program did not answer");
    return false;
}

// Without --replace the fields given are changed and every other one is left as it is; with it,
// the whole line is stored as the 16-bit message stores it: what is not given becomes empty, a
// count of 0 and today's date.
int SetRecord(CVelkonClient& client, const Call& call) {
    Fields fields;
    unsigned mask = 0;
    std::string error;
    if (!ParseRecordFields(call.operands, fields, mask, error))
        return BadArguments(*call.command, error);
    int status = kOk;
    if (call.flag) {
        for (std::size_t i = 1; i < call.operands.size(); ++i)
            if (call.operands[i].find('\t') != std::string::npos)
                return BadArguments(*call.command, "a field of the record line cannot hold a tab");
        CString id;
        if (!TargetOf(client, call.operands[0], false, id, status)) return status;
        std::string line = id.Str();
        for (std::size_t i = 1; i < call.operands.size(); ++i)
            line += "\t" + In(call.operands[i]).Str();
        return Status(client.SetRecord16(id, CString(line)),
                      (std::string("the record was not stored: ") + kUnkeptId).c_str());
    }
    CString id;
    if (!TargetOf(client, call.operands[0], true, id, status)) return status;
    if (mask == 0) return kOk;
    return Status(client.SetFields(id, fields, mask), "not registered");
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
    unsigned mask = 0;
    std::string error;
    if (!ParseAssignments(call.operands, 1, fields, mask, error))
        return BadArguments(*call.command, error);
    const CString id = NewId(call.operands[0]);
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
    Fields fields;
    unsigned mask = 0;
    std::string error;
    if (!ParseAssignments(call.operands, 1, fields, mask, error))
        return BadArguments(*call.command, error);
    // Only the fields named travel: the others stay whole, however long, whatever they hold.
    return Status(client.SetFields(In(call.operands[0]), fields, mask), "not registered");
}

int Delete(CVelkonClient& client, const Call& call) {
    return Status(client.Delete(In(call.operands[0])), "not registered");
}

int Restore(CVelkonClient& client, const Call&) {
    return Status(client.Restore(), nullptr);
}

int Pickup(CVelkonClient& client, const Call& call) {
    const std::string path = call.operands.empty() ? "-" : call.operands[0];
    std::string text, error;
    if (!ReadAll(path, text, error)) return Fail(error);
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
    {"set-record", "--replace", "ID [FIELD...]", 1, 11, k16,
     "changes the fields given (handle, memo 1..6, count, registration and update date as "
     "YY/MM/DD or YYYY/MM/DD) and keeps the rest; registers ID in capitals if needed; "
     "--replace: the whole line, fields not given become empty, 0 and today",
     SetRecord},
    {"captions", "--16", "", 0, 0, k16, "the seven captions of the personal fields", Captions},
    {"version", nullptr, "", 0, 0, k32, "the program's version", Version},
    {"get", nullptr, "ID", 1, 1, k32, "every field of the record", Get},
    {"register", nullptr, "ID [NAME=TEXT...]", 1, kAny, k32,
     "registers ID in capitals; NAME is handle or memo1..memo6", Register},
    {"set", nullptr, "ID NAME=TEXT...", 2, kAny, k32,
     "changes the fields named of a registered ID and keeps the others", Set},
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
