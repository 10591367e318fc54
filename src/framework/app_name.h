#pragma once

#include <string>

// The application name: the executable's file name without its extension,
// "Clipwell" for C:\Tools\Clipwell.exe and "my.clip" for D:\x\my.clip.exe.
// It is the caption of every message box and the agent of every request.
const char* AfxGetAppName();

// The application name formed from an executable's full path.
std::string AppNameFromModulePath(const char* modulePath);
