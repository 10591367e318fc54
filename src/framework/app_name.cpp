#include "framework/app_name.h"

#include <windows.h>
#include <shlwapi.h>

namespace {

std::string& RecordedName()
{
    static std::string name;
    return name;
}

}  // namespace

std::string AppNameFromModulePath(const char* modulePath)
{
    char path[MAX_PATH + 1] = {};
    lstrcpynA(path, modulePath, MAX_PATH);
    // Cut at the extension as the shell places it (the last "." of the file
    // name part), then keep what follows the last backslash.
    *PathFindExtensionA(path) = '\0';
    std::string name = PathFindFileNameA(path);
    if (name.size() > MAX_PATH - 1)
        name.resize(MAX_PATH - 1);
    return name;
}

const char* AfxGetAppName()
{
    if (!RecordedName().empty())
        return RecordedName().c_str();
    static const std::string name = [] {
        char path[MAX_PATH + 1] = {};
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        return AppNameFromModulePath(path);
    }();
    return name.c_str();
}

void SetAppName(const std::string& name)
{
    RecordedName() = name;
}
