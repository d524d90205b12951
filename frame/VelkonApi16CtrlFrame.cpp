#include "frame/VelkonApi16CtrlFrame.h"

BEGIN_MESSAGE_MAP(CVelkonApi16CtrlFrame, CHidetermCtrlFrame)
END_MESSAGE_MAP()
