// The program's resources as plain data: the string table (every text the program shows),
// menus, accelerators, the tool bar, icons, dialog templates and which topic of the manual each
// help context opens. Texts are UTF-8 source text; the framework turns them into the program's
// code page, windows and pictures once main has handed it the tables.
#pragma once

#include <span>

#include "platform/base/ResourceTables.h"
#include "platform/base/WinStyles.h"

namespace res {

// The data below is written in the framework's terms.
using namespace afx_res;

std::span<const StringEntry> Strings();
std::span<const MenuResource> Menus();
std::span<const AccelResource> Accelerators();
std::span<const ToolBarResource> ToolBars();
std::span<const IconResource> Icons();
std::span<const DialogResource> Dialogs();
std::span<const HelpTopicEntry> HelpTopics();

// All of them, as main hands them to the framework.
ResourceTables Tables();

}  // namespace res
