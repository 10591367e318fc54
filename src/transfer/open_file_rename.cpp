#include "transfer/open_file_rename.h"

#include "transfer/full_path.h"

#include <cstring>
#include <vector>

namespace {

// newName in the form the rename takes: the full path in the system's
// own namespace ("\??\C:\...", "\??\UNC\server\...").
std::wstring SystemPath(const std::wstring& newName)
{
    const std::wstring path = FullPathOf(newName);
    if (path.empty())
        return {};
    if (path.compare(0, 4, L"\\\\?\\") == 0)
        return L"\\??\\" + path.substr(4);
    if (path.compare(0, 2, L"\\\\") == 0)
        return L"\\??\\UNC\\" + path.substr(2);
    return L"\\??\\" + path;
}

}  // namespace

DWORD RenameOpenFile(HANDLE file, const std::wstring& newName, bool replace)
{
    const std::wstring path = SystemPath(newName);
    if (path.empty())
        return GetLastError();
    const DWORD nameBytes = static_cast<DWORD>(path.size() * sizeof(wchar_t));
    std::vector<unsigned char> buffer(sizeof(FILE_RENAME_INFO) + nameBytes, 0);
    auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    info->ReplaceIfExists = replace ? TRUE : FALSE;
    info->RootDirectory = nullptr;
    info->FileNameLength = nameBytes;
    std::memcpy(info->FileName, path.data(), nameBytes);
    if (!SetFileInformationByHandle(file, FileRenameInfo, info, static_cast<DWORD>(buffer.size())))
        return GetLastError();
    return 0;
}
