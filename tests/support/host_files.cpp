#include "host_files.h"

#include <windows.h>

#include <fstream>
#include <iterator>

std::optional<std::string> ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string UnixToWindowsPath(const std::string& unixPath)
{
    std::string path = "Z:" + unixPath;
    for (char& c : path) {
        if (c == '/')
            c = '\\';
    }
    return path;
}

std::string WindowsToUnixPath(const std::string& windowsPath)
{
    if (windowsPath.size() < 2 || (windowsPath[0] != 'Z' && windowsPath[0] != 'z') || windowsPath[1] != ':')
        return {};
    std::string path = windowsPath.substr(2);
    for (char& c : path) {
        if (c == '\\')
            c = '/';
    }
    return path;
}

std::string ShellQuoted(const std::string& word)
{
    std::string quoted = "'";
    for (char c : word)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

bool RunOnUnixSide(const std::string& writeCommand, const std::string& target, unsigned long timeoutMs)
{
    const std::string part = target + ".part";
    const std::string failed = target + ".failed";
    const std::string windowsTarget = UnixToWindowsPath(target);
    const std::string windowsFailed = UnixToWindowsPath(failed);
    DeleteFileA(windowsTarget.c_str());
    DeleteFileA(windowsFailed.c_str());
    // The command writes to $part; the shell moves it into place. The
    // script is one double-quoted argument of a Windows command line, so it
    // holds no double quote itself (the paths made here hold no blank).
    const std::string script = "part=" + ShellQuoted(part) + "; { " + writeCommand + "; } && mv $part " +
                               ShellQuoted(target) + " || { rm -f $part; : > " + ShellQuoted(failed) + "; }";
    std::string commandLine = "/bin/sh -c \"" + script + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA("Z:\\bin\\sh", commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    const DWORD start = GetTickCount();
    for (;;) {
        if (GetFileAttributesA(windowsTarget.c_str()) != INVALID_FILE_ATTRIBUTES)
            return true;
        if (GetFileAttributesA(windowsFailed.c_str()) != INVALID_FILE_ATTRIBUTES || GetTickCount() - start >= timeoutMs) {
            DeleteFileA(windowsFailed.c_str());
            return false;
        }
        Sleep(20);
    }
}

std::optional<std::string> UnixFolderListing(const std::string& windowsFolder)
{
    static unsigned listings = 0;
    const std::string folder = WindowsToUnixPath(windowsFolder);
    const std::string target =
        "/tmp/clipwell-listing-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++listings);
    if (folder.empty() || !RunOnUnixSide("LC_ALL=C ls -1A " + ShellQuoted(folder) + " > $part", target))
        return std::nullopt;
    const std::string windowsTarget = UnixToWindowsPath(target);
    std::optional<std::string> listing = ReadWholeFile(windowsTarget);
    DeleteFileA(windowsTarget.c_str());
    return listing;
}
