#include "frame/VelkonApi32CtrlFrame.h"

BEGIN_MESSAGE_MAP(CVelkonApi32CtrlFrame, CVelkonApi16CtrlFrame)
END_MESSAGE_MAP()
