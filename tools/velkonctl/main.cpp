// velkonctl: the ID database of the running program from the command line. Texts are UTF-8 here
// and CP932 in the program. Exit status: 0 done, 1 the program said no (not registered, already
// registered, not picked up), 2 an error (no running program, no answer, bad arguments).
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "platform/base/CodePage.h"
#include "tools/velkonctl/VelkonClient.h"

using velkon_client::CVelkonClient;
using velkon_client::Fields;
using velkon_client::Reply;

namespace {

constexpr int kOk = 0, kNo = 1, kError = 2;
// What one pickup request carries at most; the program scans each piece while the client waits.
constexpr std::size_t kPickupPiece = 256 * 1024;

const char kUsage[] =
    "Usage: velkonctl [--timeout MS] COMMAND [ARGUMENTS]\n"
    "\n"
    "Queries and changes the ID database of the running Velkon95.\n"
    "\n"
    "Queries of one record (16-bit messages; personal fields cut to 20 bytes, YY/MM/DD dates):\n"
    "  present                  whether the program answers\n"
    "  exists [--16] ID         whether ID is registered (--16: through the 16-bit message)\n"
    "  count ID                 the update count\n"
    "  get-handle ID            the handle\n"
    "  get-memo N ID            memo N (1 to 6)\n"
    "  get-dates ID             registration date and update date\n"
    "  get-record ID            the record line (tab-separated)\n"
    "  set-record ID [FIELD...] stores handle, memo 1..6, count, registration and update\n"
    "                           date (YY/MM/DD or YYYY/MM/DD); registers ID if needed\n"
    "  captions [--16]          the seven captions of the personal fields\n"
    "\n"
    "32-bit functions (fields whole, four-digit years):\n"
    "  version                  the program's version\n"
    "  get ID                   every field of the record\n"
    "  register ID [NAME=TEXT...]  registers ID; NAME is handle or memo1..memo6\n"
    "  set ID NAME=TEXT...      changes the handle or memos of a registered ID\n"
    "  delete ID                deletes the record\n"
    "  restore                  restores the record deleted last\n"
    "  pickup [FILE|-]          picks up IDs from a file or standard input\n"
    "  redo                     empties the pickup list\n"
    "  picked ID                whether ID has been picked up\n"
    "  edit ID                  opens the personal data editor for ID\n"
    "\n"
    "Exit status: 0 done, 1 not registered (or already registered, not picked up),\n"
    "2 error (no running program, no answer, bad arguments).\n";

int Fail(const std::string& message) {
    std::cerr << "velkonctl: " << message << "\n";
    return kError;
}

int Usage(const std::string& message) {
    std::cerr << "velkonctl: " << message << "\nTry 'velkonctl --help'.\n";
    return kError;
}

CString In(const std::string& utf8) {
    return CString(Utf8ToCp932(utf8));
}

std::string Out(const CString& cp932) {
    return Cp932ToUtf8(cp932.View());
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
                      bool* given, std::string& error) {
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
            given[0] = true;
        } else if (name.size() == 5 && name.compare(0, 4, "memo") == 0 && name[4] >= '1' &&
                   name[4] <= '6') {
            fields.memo[name[4] - '1'] = value;
            given[name[4] - '0'] = true;
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

int Run(CVelkonClient& client, const std::vector<std::string>& args) {
    const std::string& cmd = args[0];
    const std::size_t n = args.size();
    const auto need = [&](std::size_t count) { return n == count + 1; };

    if (cmd == "present") {
        if (!need(0)) return Usage("present takes no arguments");
        return Status(client.Present16(), "the program does not answer the API");
    }
    if (cmd == "exists") {
        const bool wow = n >= 2 && args[1] == "--16";
        if (n != (wow ? 3u : 2u)) return Usage("exists needs one ID");
        const CString id = In(args.back());
        return Status(wow ? client.Exists16(id) : client.Exists(id), "not registered");
    }
    if (cmd == "count") {
        if (!need(1)) return Usage("count needs one ID");
        const Reply reply = client.GetCount16(In(args[1]));
        if (!reply.answered) return Fail("the program did not answer");
        if (reply.value == -1) return Status(Reply{true, 0}, "not registered");
        std::cout << reply.value << "\n";
        return kOk;
    }
    if (cmd == "get-handle" || cmd == "get-record" || cmd == "get-memo") {
        UINT msg = cmd == "get-handle" ? WM_IDAPI_GETHANDLE : WM_IDAPI_GETRECORD;
        std::size_t idArg = 1;
        if (cmd == "get-memo") {
            if (!need(2) || args[1].size() != 1 || args[1][0] < '1' || args[1][0] > '6')
                return Usage("get-memo needs a memo number 1 to 6 and an ID");
            msg = WM_IDAPI_GETMEMO1 + static_cast<UINT>(args[1][0] - '1');
            idArg = 2;
        } else if (!need(1)) {
            return Usage(cmd + " needs one ID");
        }
        CString text;
        const Reply reply = client.GetText16(msg, In(args[idArg]), text);
        if (reply) std::cout << Out(text) << "\n";
        return Status(reply, "not registered");
    }
    if (cmd == "get-dates") {
        if (!need(1)) return Usage("get-dates needs one ID");
        CString regist, update;
        const Reply reply = client.GetText16(WM_IDAPI_GETREGDATE, In(args[1]), regist);
        if (!reply) return Status(reply, "not registered");
        const Reply second = client.GetText16(WM_IDAPI_GETUPDATEDATE, In(args[1]), update);
        if (!second) return Status(second, "not registered");
        std::cout << "registered=" << Out(regist) << "\nupdated=" << Out(update) << "\n";
        return kOk;
    }
    if (cmd == "set-record") {
        if (n < 2 || n > 12) return Usage("set-record needs an ID and at most ten fields");
        std::string line = args[1];
        for (std::size_t i = 2; i < n; ++i) line += "\t" + args[i];
        return Status(client.SetRecord16(In(args[1]), In(line)), "the record was not stored");
    }
    if (cmd == "captions") {
        const bool wow = n == 2 && args[1] == "--16";
        if (n != (wow ? 2u : 1u)) return Usage("captions takes only --16");
        std::array<CString, 7> captions;
        if (wow) {
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
    if (cmd == "version") {
        if (!need(0)) return Usage("version takes no arguments");
        int major = 0, minor = 0, release = 0;
        const Reply reply = client.GetVersion(major, minor, release);
        if (reply) std::cout << major << "." << minor << "." << release << "\n";
        return Status(reply, "the program has no version information");
    }
    if (cmd == "get") {
        if (!need(1)) return Usage("get needs one ID");
        Fields fields;
        const Reply reply = client.GetData(In(args[1]), fields);
        if (reply) {
            std::cout << "id=" << args[1] << "\nhandle=" << Out(fields.handle) << "\n";
            for (int k = 0; k < 6; ++k)
                std::cout << "memo" << k + 1 << "=" << Out(fields.memo[k]) << "\n";
            std::cout << "registered=" << Out(fields.registDate)
                      << "\nupdated=" << Out(fields.prevUpdateDate) << "\ncount=" << fields.count
                      << "\n";
        }
        return Status(reply, "not registered");
    }
    if (cmd == "register" || cmd == "set") {
        if (n < 2 || (cmd == "set" && n < 3)) return Usage(cmd + " needs an ID and NAME=TEXT");
        const CString id = In(args[1]);
        Fields fields;
        bool given[7] = {};
        if (cmd == "set") {
            // Fields not named keep their text.
            const Reply current = client.GetData(id, fields);
            if (!current) return Status(current, "not registered");
        }
        std::string error;
        if (!ParseAssignments(args, 2, fields, given, error)) return Usage(error);
        if (cmd == "register") return Status(client.Register(id, fields), "already registered");
        return Status(client.SetData(id, fields), "not registered");
    }
    if (cmd == "delete") {
        if (!need(1)) return Usage("delete needs one ID");
        return Status(client.Delete(In(args[1])), "not registered");
    }
    if (cmd == "restore" || cmd == "redo") {
        if (!need(0)) return Usage(cmd + " takes no arguments");
        return Status(cmd == "restore" ? client.Restore() : client.PickupRedo(), nullptr);
    }
    if (cmd == "picked") {
        if (!need(1)) return Usage("picked needs one ID");
        return Status(client.PickedUp(In(args[1])), "not picked up");
    }
    if (cmd == "edit") {
        if (!need(1)) return Usage("edit needs one ID");
        const Reply reply = client.EditData(In(args[1]));
        if (reply) std::printf("%llx\n", static_cast<unsigned long long>(reply.value));
        return Status(reply, "no editor opened (not registered?)");
    }
    if (cmd == "pickup") {
        if (n > 3 || (n == 3 && args[1] != "--cp932"))
            return Usage("pickup takes [--cp932] and one file or -");
        const bool cp932 = n >= 2 && args[1] == "--cp932";
        const std::string path = n == 1 || (cp932 && n == 2) ? "-" : args.back();
        std::string text;
        if (!ReadAll(path, text)) return Fail("cannot read " + path + ": " + std::strerror(errno));
        const std::string bytes = velkon_client::WithCrLf(cp932 ? text : Utf8ToCp932(text));
        for (std::string_view piece : velkon_client::SplitAtLineEnds(bytes, kPickupPiece)) {
            const Reply reply = client.PickupText(piece);
            if (!reply.answered) return Fail("the program did not answer");
        }
        return kOk;
    }
    return Usage("unknown command '" + cmd + "'");
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    unsigned timeout = 5000;
    while (!args.empty() && args[0].rfind("--", 0) == 0) {
        if (args[0] == "--help") {
            std::cout << kUsage;
            return kOk;
        }
        if (args[0] == "--timeout" && args.size() >= 2) {
            char* end = nullptr;
            const unsigned long ms = std::strtoul(args[1].c_str(), &end, 10);
            if (!end || *end || ms == 0 || ms > 3600000) return Usage("bad --timeout");
            timeout = static_cast<unsigned>(ms);
            args.erase(args.begin(), args.begin() + 2);
            continue;
        }
        return Usage("unknown option '" + args[0] + "'");
    }
    if (args.empty()) return Usage("no command");
    if (args[0] == "-h" || args[0] == "help") {
        std::cout << kUsage;
        return kOk;
    }
    CVelkonClient client;
    client.SetTimeout(timeout);
    if (!client.Connect()) return Fail("Velkon95 is not running");
    return Run(client, args);
}
