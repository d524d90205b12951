// Runs the options sheet: its five pages made before it and gone after it, in reverse order.
#pragma once

void RunOptionsSheet();
