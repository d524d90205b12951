#include "tools/velkonctl/Usage.h"

#include <algorithm>
#include <cstring>
#include <iostream>
#include <string_view>

namespace velkonctl {
namespace {

constexpr std::size_t kLineWidth = 80;

// Appends text word by word, starting new lines indented to column indent before kLineWidth.
void AppendWrapped(std::string& out, std::string_view text, std::size_t column,
                   std::size_t indent) {
    while (!text.empty()) {
        const std::size_t space = text.find(' ');
        const std::string_view word = text.substr(0, space);
        if (column > indent && column + 1 + word.size() > kLineWidth) {
            out += '\n';
            out.append(indent, ' ');
            column = indent;
        } else if (column > indent) {
            out += ' ';
            ++column;
        }
        out += word;
        column += word.size();
        text = space == std::string_view::npos ? std::string_view() : text.substr(space + 1);
    }
    out += '\n';
}

}  // namespace

std::string Synopsis(const Command& command) {
    std::string synopsis = command.name;
    if (command.flag) synopsis += std::string(" [") + command.flag + "]";
    if (*command.operands) synopsis += std::string(" ") + command.operands;
    return synopsis;
}

std::string UsageText() {
    std::size_t width = 0;
    for (const Command& command : Commands()) width = std::max(width, Synopsis(command).size());
    const std::size_t indent = 2 + width + 2;

    std::string text =
        "Usage: velkonctl [--timeout MS] COMMAND [ARGUMENTS]\n"
        "\n"
        "Queries and changes the ID database of the running Velkon95.\n";
    const char* group = nullptr;
    for (const Command& command : Commands()) {
        if (!group || std::strcmp(group, command.group) != 0) {
            group = command.group;
            text += std::string("\n") + group + ":\n";
        }
        std::string line = "  " + Synopsis(command);
        line.resize(indent, ' ');
        text += line;
        AppendWrapped(text, command.summary, indent, indent);
    }
    text +=
        "\n"
        "Exit status: 0 done, 1 not registered (or already registered, not picked up),\n"
        "2 error (no running program, no answer, bad arguments).\n";
    return text;
}

std::string CommandUsage(const Command& command) {
    std::string text = "Usage: velkonctl " + Synopsis(command) + "\n  ";
    AppendWrapped(text, command.summary, 2, 2);
    return text;
}

int Fail(const std::string& message) {
    std::cerr << "velkonctl: " << message << "\n";
    return kError;
}

int UsageError(const std::string& message) {
    std::cerr << "velkonctl: " << message << "\nTry 'velkonctl --help'.\n";
    return kError;
}

int UnknownCommand(const std::string& message) {
    std::cerr << "velkonctl: " << message << "\n" << UsageText();
    return kError;
}

int BadArguments(const Command& command, const std::string& message) {
    std::cerr << "velkonctl: " << message << "\nUsage: velkonctl " << Synopsis(command) << "\n";
    return kError;
}

}  // namespace velkonctl
