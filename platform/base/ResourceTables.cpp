#include "platform/base/ResourceTables.h"

#include <algorithm>

namespace afx_res {

namespace {

ResourceTables& Installed() {
    static ResourceTables tables;
    return tables;
}

template <class T>
const T* ById(std::span<const T> table, unsigned id) {
    for (const T& entry : table)
        if (entry.id == id) return &entry;
    return nullptr;
}

}  // namespace

const char* FindString(unsigned id) {
    const auto strings = Installed().strings;
    const auto it = std::lower_bound(strings.begin(), strings.end(), id,
                                     [](const StringEntry& e, unsigned key) { return e.id < key; });
    return (it != strings.end() && it->id == id) ? it->utf8 : nullptr;
}

const MenuResource* FindMenu(unsigned id) {
    return ById(Installed().menus, id);
}

const AccelResource* FindAccelerators(unsigned id) {
    return ById(Installed().accelerators, id);
}

const ToolBarResource* FindToolBar(unsigned id) {
    return ById(Installed().toolBars, id);
}

const IconResource* FindIcon(unsigned id) {
    return ById(Installed().icons, id);
}

const DialogResource* FindDialog(unsigned id) {
    return ById(Installed().dialogs, id);
}

std::span<const DialogResource> Dialogs() {
    return Installed().dialogs;
}

const char* FindHelpTopic(unsigned context) {
    const auto topics = Installed().helpTopics;
    const auto it =
        std::lower_bound(topics.begin(), topics.end(), context,
                         [](const HelpTopicEntry& e, unsigned key) { return e.context < key; });
    return (it != topics.end() && it->context == context) ? it->topic : nullptr;
}

std::span<const HelpTopicEntry> HelpTopics() {
    return Installed().helpTopics;
}

unsigned ApplicationIcon() {
    return Installed().applicationIcon;
}

}  // namespace afx_res

void AfxSetResourceTables(const afx_res::ResourceTables& tables) {
    afx_res::Installed() = tables;
}
