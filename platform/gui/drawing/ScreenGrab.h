// A picture of the whole screen, for tests and for showing a newcomer the program on a server.
#pragma once

// Saves the screen of the running display as a PNG file; false when there is no display.
bool AfxGrabScreen(int argc, char** argv, const char* pngPath);

class CWnd;
// Saves a picture of one of our windows as drawn now, also without a display (offscreen).
bool AfxGrabWindow(CWnd* pWnd, const char* pngPath);
