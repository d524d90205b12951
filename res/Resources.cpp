#include "res/Resources.h"

#include "res/resource.h"

namespace res {

ResourceTables Tables() {
    ResourceTables tables;
    tables.strings = Strings();
    tables.menus = Menus();
    tables.accelerators = Accelerators();
    tables.toolBars = ToolBars();
    tables.icons = Icons();
    tables.dialogs = Dialogs();
    tables.helpTopics = HelpTopics();
    tables.applicationIcon = IDR_MAINFRAME;
    return tables;
}

}  // namespace res
