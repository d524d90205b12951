// Writes an icon resource as a PNG file (for the desktop entry at install time).
#pragma once

bool AfxSaveIconPng(unsigned nIDIcon, int size, const char* pngPath);
