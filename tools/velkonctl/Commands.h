// velkonctl's commands: one table holds each command's name, arguments, description and the
// function that runs it, so the usage text and the argument checks cannot drift from what runs.
#pragma once

#include <cstddef>
#include <limits>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "tools/velkonctl/VelkonClient.h"

namespace velkonctl {

// Exit status: done, the program said no, an error (no program, no answer, bad arguments).
constexpr int kOk = 0, kNo = 1, kError = 2;

struct Command;

// One command line that passed the table's checks.
struct Call {
    const Command* command = nullptr;
    std::vector<std::string> operands;  // what follows the name and the flag
    bool flag = false;                  // the command's flag was given
};

struct Command {
    static constexpr std::size_t kAny = std::numeric_limits<std::size_t>::max();

    const char* name;
    const char* flag;      // an optional flag right after the name, or nullptr
    const char* operands;  // the operands' synopsis, or "" for none
    std::size_t min, max;  // how many operands (besides the flag)
    const char* group;     // the heading it is listed under
    const char* summary;   // one line; the usage text wraps it
    int (*run)(velkon_client::CVelkonClient&, const Call&);
};

std::span<const Command> Commands();
const Command* FindCommand(std::string_view name);

}  // namespace velkonctl
