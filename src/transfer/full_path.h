#pragma once

#include <string>

// name's full path, as GetFullPathNameW makes it of the current folder;
// empty when the system cannot make one.
std::wstring FullPathOf(const std::wstring& name);
