// The frame layer that answers the ID database requests of 32-bit client programs.
#pragma once

#include "frame/VelkonApi16CtrlFrame.h"

class CVelkonApi32CtrlFrame : public CVelkonApi16CtrlFrame {
protected:
    DECLARE_MESSAGE_MAP()
};
