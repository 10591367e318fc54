#pragma once

#include <string>

// The application name: the executable's file name without its extension,
// "Clipwell" for C:\Tools\Clipwell.exe and "my.clip" for D:\x\my.clip.exe.
// It is the caption of every message box and the agent of every request.
// The name the application object set, or the one derived from the
// executable before it does (and in programs without one). UTF-16, so
// that a name in any script shows as it is whatever the code page.
const wchar_t* AfxGetAppName();

// Records the application object's name, at the entry step, before any
// other thread starts.
void SetAppName(const std::wstring& name);

// The application name formed from an executable's full path.
std::wstring AppNameFromModulePath(const wchar_t* modulePath);
