// What velkonctl tells the user about how to call it, all made from the command table.
#pragma once

#include <string>

#include "tools/velkonctl/Commands.h"

namespace velkonctl {

// The whole --help text.
std::string UsageText();
// COMMAND --help: the synopsis and what the command does.
std::string CommandUsage(const Command& command);
// "get-memo N ID", "pickup [--cp932] [FILE|-]".
std::string Synopsis(const Command& command);

// Each prints its message to standard error and returns kError.
int Fail(const std::string& message);
// A bad option: points to --help.
int UsageError(const std::string& message);
// No command or an unknown one: the message and the whole usage text.
int UnknownCommand(const std::string& message);
// Arguments a command cannot take: the message and the command's synopsis.
int BadArguments(const Command& command, const std::string& message);

}  // namespace velkonctl
