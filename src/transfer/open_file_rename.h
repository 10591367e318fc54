#pragma once

#include <string>

#include <windows.h>

// Renames an open file through its handle, which must have been opened
// with DELETE access: the file stays open and this process's alone from
// its old name to its new one, so that no other program can take it in
// between. The new name may be relative to the current folder; an existing
// file of that name is replaced only when replace. Gives the system's
// error, 0 once renamed; ERROR_NOT_SUPPORTED or ERROR_INVALID_PARAMETER
// from a file system that renames no open file.
DWORD RenameOpenFile(HANDLE file, const std::wstring& newName, bool replace);
