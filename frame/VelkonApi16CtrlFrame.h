// The frame layer that answers the ID database requests of 16-bit client programs.
#pragma once

#include "frame/HidetermCtrlFrame.h"

class CVelkonApi16CtrlFrame : public CHidetermCtrlFrame {
protected:
    DECLARE_MESSAGE_MAP()
};
