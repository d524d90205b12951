// Runs the options sheet over what its caller hands it: its five pages made before it and gone
// after it, in reverse order.
#pragma once

#include "options/OptionOwners.h"

void RunOptionsSheet(COptionOwners& owners);
