#include "options/OptionsSheet.h"

#include "options/PropertyColor.h"
#include "options/PropertyEnviron.h"
#include "options/PropertyHelper.h"
#include "options/PropertyPickup.h"
#include "options/PropertyView.h"
#include "platform/base/StringResource.h"
#include "platform/gui/dialog/CPropertySheet.h"
#include "res/resource.h"

void RunOptionsSheet(COptionOwners& owners) {
    CPropertySheet sheet(AfxLoadString(IDS_OPTIONS_CAPTION), nullptr, 0);
    // The environment page goes last, so that the hot key is registered once the sheet is gone.
    CPropertyEnviron environment(owners);
    CPropertyView view(owners);
    CPropertyPickup pickup(owners);
    CPropertyHelper helper(owners);
    CPropertyColor color(owners);
    sheet.AddPage(&environment);
    sheet.AddPage(&view);
    sheet.AddPage(&pickup);
    sheet.AddPage(&helper);
    sheet.AddPage(&color);
    sheet.DoModal();
}
