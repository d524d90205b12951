// Which topic of the manual (res/help) each help context opens. The contexts are the
// framework's: HID_BASE_COMMAND + a command id (a menu item, a tool button, a key),
// HID_BASE_RESOURCE + the resource id of a window or a dialog template, HID_BASE_CONTROL + the
// id of a control bar.
#pragma once

#include <span>

namespace res {

struct HelpTopicEntry {
    unsigned context;
    const char* topic;  // a file of the manual, as "dlg-about.html"
};

// The topic of a help context; nullptr when the manual has none for it.
const char* FindHelpTopic(unsigned context);
// Every context with a topic, in ascending order of context.
std::span<const HelpTopicEntry> HelpTopics();

}  // namespace res
