#include "framework/app_name.h"

#include <windows.h>
#include <shlwapi.h>

namespace {

std::wstring& RecordedName()
{
    static std::wstring name;
    return name;
}

}  // namespace

std::wstring AppNameFromModulePath(const wchar_t* modulePath)
{
    wchar_t path[MAX_PATH + 1] = {};
    lstrcpynW(path, modulePath, MAX_PATH);
    // Cut at the extension as the shell places it (the last "." of the file
    // name part), then keep what follows the last backslash.
    *PathFindExtensionW(path) = L'\0';
    std::wstring name = PathFindFileNameW(path);
    if (name.size() > MAX_PATH - 1)
        name.resize(MAX_PATH - 1);
    return name;
}

const wchar_t* AfxGetAppName()
{
    if (!RecordedName().empty())
        return RecordedName().c_str();
    static const std::wstring name = [] {
        wchar_t path[MAX_PATH + 1] = {};
        GetModuleFileNameW(nullptr, path, MAX_PATH);
        return AppNameFromModulePath(path);
    }();
    return name.c_str();
}

void SetAppName(const std::wstring& name)
{
    RecordedName() = name;
}
