// velkonctl: the ID database of the running program from the command line. Exit status: 0 done,
// 1 the program said no (not registered, already registered, not picked up), 2 an error (no
// running program, no answer, bad arguments). The commands are in Commands.cpp.
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

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

// Checks the command name, its flag and how many operands follow against the table; bad
// arguments are told before the program is looked for.
int ParseCall(const std::vector<std::string>& args, Call& call) {
    if (args.empty()) return UnknownCommand("no command");
    call.command = FindCommand(args[0]);
    if (!call.command) return UnknownCommand("unknown command '" + args[0] + "'");
    const Command& command = *call.command;
    auto first = args.begin() + 1;
    call.flag = command.flag && first != args.end() && *first == command.flag;
    if (call.flag) ++first;
    call.operands.assign(first, args.end());
    if (call.operands.size() < command.min || call.operands.size() > command.max)
        return BadArguments(command, std::string("wrong number of arguments for ") + command.name);
    return kOk;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    unsigned timeout = 5000;
    while (!args.empty() && args[0].rfind("--", 0) == 0) {
        if (args[0] == "--help") {
            std::cout << UsageText();
            return kOk;
        }
        if (args[0] == "--timeout" && args.size() >= 2) {
            char* end = nullptr;
            const unsigned long ms = std::strtoul(args[1].c_str(), &end, 10);
            if (!end || *end || ms == 0 || ms > 3600000) return UsageError("bad --timeout");
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
    if (const int status = ParseCall(args, call); status != kOk) return status;
    velkon_client::CVelkonClient client;
    client.SetTimeout(timeout);
    if (!client.Connect()) return velkonctl::Fail("Velkon95 is not running");
    return call.command->run(client, call);
}
