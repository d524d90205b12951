// velkonctl: the ID database of the running program from the command line. Exit status: 0 done,
// 1 the program said no (not registered, already registered, not picked up), 2 an error (no
// running program, no answer, bad arguments, a file that cannot be read). The commands are in
// Commands.cpp.
#include <algorithm>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "platform/base/CodePage.h"
#include "tools/velkonctl/Commands.h"
#include "tools/velkonctl/Usage.h"

using velkonctl::BadArguments;
using velkonctl::Call;
using velkonctl::Command;
using velkonctl::FindCommand;
using velkonctl::kOk;
using velkonctl::UnknownCommand;
using velkonctl::UsageError;
using velkonctl::UsageText;

namespace {

// An ID operand: the 32-bit block's slot holds at most 255 bytes, and a longer ID cut to fit
// would name another record.
bool IdFits(const Command& command, const std::vector<std::string>& operands, std::string& error) {
    const std::string synopsis = command.operands;
    std::size_t word = 0;
    for (std::size_t at = 0; at < synopsis.size(); ++word) {
        const std::size_t end = std::min(synopsis.find(' ', at), synopsis.size());
        if (synopsis.compare(at, end - at, "ID") == 0 && word < operands.size()) {
            if (Utf8ToCp932(operands[word]).size() > 255) {
                error = "the ID is longer than the 255 bytes a request carries";
                return false;
            }
        }
        at = end + 1;
    }
    return true;
}

// Checks the command name, its flag and how many operands follow against the table; bad
// arguments are told before the program is looked for. "--" ends the options, so that an
// operand may begin with "-"; a --help before it asks for the command's usage.
int ParseCall(std::vector<std::string> args, Call& call, bool& help) {
    if (args.empty()) return UnknownCommand("no command");
    call.command = FindCommand(args[0]);
    if (!call.command) return UnknownCommand("unknown command '" + args[0] + "'");
    const Command& command = *call.command;
    const auto dashes =
        static_cast<std::size_t>(std::find(args.begin() + 1, args.end(), "--") - args.begin());
    help = std::find(args.begin() + 1, args.begin() + static_cast<std::ptrdiff_t>(dashes),
                     "--help") != args.begin() + static_cast<std::ptrdiff_t>(dashes);
    if (help) return kOk;
    std::size_t first = 1;
    call.flag = command.flag && first < dashes && args[first] == command.flag;
    if (call.flag) ++first;
    if (dashes < args.size()) args.erase(args.begin() + static_cast<std::ptrdiff_t>(dashes));
    call.operands.assign(args.begin() + static_cast<std::ptrdiff_t>(first), args.end());
    if (call.operands.size() < command.min || call.operands.size() > command.max)
        return BadArguments(command, std::string("wrong number of arguments for ") + command.name);
    std::string error;
    if (!IdFits(command, call.operands, error)) return BadArguments(command, error);
    return kOk;
}

int Run(std::vector<std::string> args) {
    unsigned timeout = 5000;
    while (!args.empty() && args[0].rfind("--", 0) == 0) {
        if (args[0] == "--help") {
            std::cout << UsageText();
            return kOk;
        }
        if (args[0] == "--timeout") {
            char* end = nullptr;
            const unsigned long ms = args.size() >= 2 ? std::strtoul(args[1].c_str(), &end, 10) : 0;
            if (!end || *end || ms == 0 || ms > 3600000)
                return UsageError("--timeout needs milliseconds from 1 to 3600000");
            timeout = static_cast<unsigned>(ms);
            args.erase(args.begin(), args.begin() + 2);
            continue;
        }
        return UsageError("unknown option '" + args[0] + "'");
    }
    if (!args.empty() && (args[0] == "-h" || args[0] == "help")) {
        std::cout << UsageText();
        return kOk;
    }
    Call call;
    bool help = false;
    if (const int status = ParseCall(args, call, help); status != kOk) return status;
    if (help) {
        std::cout << velkonctl::CommandUsage(*call.command);
        return kOk;
    }
    velkon_client::CVelkonClient client;
    client.SetTimeout(timeout);
    if (!client.Connect()) return velkonctl::Fail("Velkon95 is not running");
    return call.command->run(client, call);
}

}  // namespace

int main(int argc, char** argv) {
    // Whatever goes wrong ends in one line and status 2, never in an abort.
    try {
        return Run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::exception& e) {
        return velkonctl::Fail(std::string("failed: ") + e.what());
    }
}
