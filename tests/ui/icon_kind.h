#pragma once

#include <windows.h>

#include <string>

// Which system icon an icon control of another process shows, read from
// the screen: "stop", "exclamation", "information", "question", or "" when
// it is none of them or cannot be read.
std::string IconKind(HWND control);
