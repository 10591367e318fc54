#pragma once

#include <windows.h>

#include <string>

// What the X server shows of Wine's windows, read with ImageMagick's import
// on the Unix side. Icon handles and window DCs are each process's own
// under Wine, so this is how a test sees what another process drew.

// Raw RGB pixels (three bytes each, rows top down) of a rectangle of the
// client area of a top-level window; empty when they cannot be read.
std::string CaptureClientPixels(HWND window, int x, int y, int width, int height);

// Writes a top-level window as a PNG file at the Unix path; false when it
// could not.
bool ScreenshotWindow(HWND window, const std::string& unixPath);
