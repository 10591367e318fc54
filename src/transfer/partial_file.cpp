#include "transfer/partial_file.h"

#include "framework/unique_handle.h"
#include "framework/wide_text.h"
#include "page/safe_file_name.h"
#include "transfer/full_path.h"
#include "transfer/open_file_rename.h"
#include "transfer/partial_in_use_exception.h"

#include <utility>

namespace {

// A record is a few hundred bytes; anything much longer is not one.
constexpr DWORD kRecordCapacity = 8192;
// How long the whole video waits for a program that holds its final name
// (a player opening the earlier file, a scanner): a few tries, a moment
// apart.
constexpr int kRenameTries = 5;
constexpr DWORD kRenamePauseMs = 200;
// Free names beside a partial are looked for up to "<title> (999).flv".
constexpr unsigned kMostSetAside = 999;

// The contents of a small file; nothing when it is missing or unreadable.
std::optional<std::string> ReadRecordFile(const std::wstring& name)
{
    const UniqueHandle file(
        CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return std::nullopt;
    std::string text(kRecordCapacity, '\0');
    DWORD read = 0;
    if (!ReadFile(file.Get(), text.data(), kRecordCapacity, &read, nullptr))
        return std::nullopt;
    text.resize(read);
    return text;
}

bool Exists(const std::wstring& name)
{
    return GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES;
}

CFileException ErrorNaming(DWORD osError, const std::wstring& name)
{
    return CFileException(CFileException::OsErrorToCause(static_cast<long>(osError)), static_cast<long>(osError),
                          WideToAnsi(name), ToUtf16(name));
}

// "<title> (n).flv" for finalName "<title>.flv", its title cut so that the
// partial and record names of it still fit.
std::wstring NumberedName(const std::wstring& finalName, unsigned n)
{
    const std::size_t dot = finalName.rfind(L'.');
    const std::wstring extension = dot == std::wstring::npos ? std::wstring() : finalName.substr(dot);
    const std::string digits = std::to_string(n);
    const std::wstring mark = L" (" + std::wstring(digits.begin(), digits.end()) + L")";
    const std::size_t room = PartialFile::kLongestVideoName - mark.size() - extension.size();
    const std::u16string title = ToUtf16(finalName.substr(0, finalName.size() - extension.size()));
    return ToWide(CutAtCharacter(title, room, room)) + mark + extension;
}

// The folder part that names reach the file system with: none while the
// longest of the names fits in MAX_PATH, else the folder's full path in the
// form that Windows takes at any length ("\\?\C:\...\"), since a current
// folder may be nearly MAX_PATH long itself.
std::wstring LongPathFolder(const std::wstring& finalName)
{
    const std::wstring path = FullPathOf(finalName);
    if (path.size() + (sizeof PartialFile::kRecordSuffix / sizeof(wchar_t)) <= MAX_PATH ||
        path.compare(0, 4, L"\\\\?\\") == 0 || path.size() < finalName.size())
        return {};
    const std::wstring folder = path.substr(0, path.size() - finalName.size());
    if (folder.compare(0, 2, L"\\\\") == 0)
        return L"\\\\?\\UNC\\" + folder.substr(2);
    return L"\\\\?\\" + folder;
}

}  // namespace

void PartialFile::OpenFor(const std::wstring& finalName, std::string request)
{
    m_where = LongPathFolder(finalName);
    m_finalName = finalName;
    m_partialName = finalName + kPartialSuffix;
    m_recordName = m_where + finalName + kRecordSuffix;
    m_draftName = m_where + finalName + kDraftSuffix;
    m_request = std::move(request);
    // Known before any byte is asked for: a name the whole video could not
    // take (a folder, a read-only file).
    const DWORD attributes = GetFileAttributesW((m_where + m_finalName).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0)
        throw ErrorNaming(ERROR_ACCESS_DENIED, m_finalName);
    std::optional<PartialClaim> claim = PartialClaim::Take(m_where + m_partialName);
    if (!claim)
        throw CPartialInUseException(ToUtf16(m_partialName), true);
    m_claim = std::move(*claim);
    OpenPartial();
}

void PartialFile::OpenPartial()
{
    // Opened to be renamed, once whole, through the open handle.
    HANDLE handle = CreateFileW((m_where + m_partialName).c_str(), GENERIC_WRITE | DELETE, 0, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    CFileException error;
    if (Opened(handle, WideToAnsi(m_partialName), m_partialName, &error))
        return;
    if (error.m_cause == CFileException::sharingViolation)
        throw CPartialInUseException(ToUtf16(m_partialName), false);
    throw error;
}

std::optional<PartialRecord> PartialFile::StoredRecord() const
{
    const std::optional<std::string> text = ReadRecordFile(m_recordName);
    return text ? ParsePartialRecord(*text) : std::nullopt;
}

std::optional<TransferPoint> PartialFile::Recorded() const
{
    const std::optional<PartialRecord> record = StoredRecord();
    if (!record || record->request != m_request)
        return std::nullopt;
    const TransferPoint& point = record->point;
    const bool whole = !point.lengthText.empty() && point.written == point.total;
    if (!whole && (point.validator.empty() || (point.total > 0 && point.written >= point.total)))
        return std::nullopt;
    return point;
}

bool PartialFile::HoldsThisRequest() const
{
    LARGE_INTEGER size = {};
    if (GetFileSizeEx(m_hFile.Get(), &size) && size.QuadPart == 0)
        return true;
    const std::optional<PartialRecord> record = StoredRecord();
    return record && record->request == m_request;
}

std::wstring PartialFile::SetAside()
{
    for (unsigned n = 2; n <= kMostSetAside; ++n) {
        const std::wstring name = NumberedName(m_finalName, n);
        const std::wstring path = m_where + name;
        if (Exists(path) || Exists(path + kPartialSuffix) || Exists(path + kRecordSuffix))
            continue;
        const DWORD osError = Rename(path + kPartialSuffix, false);
        if (osError != 0) {
            if (!IsOpen())
                OpenPartial();
            throw ErrorNaming(osError, m_partialName);
        }
        MoveFileExW(m_recordName.c_str(), (path + kRecordSuffix).c_str(), MOVEFILE_WRITE_THROUGH);
        DeleteFileW(m_draftName.c_str());
        m_hFile.Close();
        OpenPartial();
        return name + kPartialSuffix;
    }
    throw ErrorNaming(ERROR_FILE_EXISTS, m_partialName);
}

bool PartialFile::ContinueFrom(const TransferPoint& point)
{
    if (SeekToEnd() < static_cast<unsigned long long>(point.written))
        return false;
    // Bytes past the record's count may not have reached the disk whole.
    SetLength(static_cast<unsigned long long>(point.written));
    SeekToEnd();
    return true;
}

void PartialFile::StartOver()
{
    ForgetRecord();
    // Only when there is something to cut: a device cannot be cut at all.
    if (SeekToEnd() > 0)
        SetLength(0);
}

bool PartialFile::Record(const TransferPoint& point) noexcept
{
    if (!FlushFileBuffers(m_hFile.Get()))
        return false;
    const std::string text = FormatPartialRecord({m_request, point});
    UniqueHandle draft(
        CreateFileW(m_draftName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    const bool whole = draft &&
                       WriteFile(draft.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                       written == text.size() && FlushFileBuffers(draft.Get());
    // Closed before the rename, which an open handle would refuse.
    return draft.Close() && whole &&
           MoveFileExW(m_draftName.c_str(), m_recordName.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

void PartialFile::ForgetRecord() noexcept
{
    DeleteFileW(m_recordName.c_str());
    DeleteFileW(m_draftName.c_str());
}

DWORD PartialFile::Rename(const std::wstring& name, bool replace) noexcept
{
    const DWORD osError = RenameOpenFile(m_hFile.Get(), name, replace);
    if (osError != ERROR_NOT_SUPPORTED && osError != ERROR_INVALID_PARAMETER)
        return osError;
    m_hFile.Close();
    const DWORD how = (replace ? MOVEFILE_REPLACE_EXISTING : 0) | MOVEFILE_WRITE_THROUGH;
    const std::wstring partial = m_where + m_partialName;
    const bool moved = MoveFileExW(partial.c_str(), name.c_str(), how) != FALSE;
    const DWORD moveError = moved ? 0 : GetLastError();
    m_hFile = UniqueHandle(CreateFileW((moved ? name : partial).c_str(), GENERIC_WRITE | DELETE, 0, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return moveError;
}

bool PartialFile::Complete(CFileException* error) noexcept
{
    DWORD osError = FlushFileBuffers(m_hFile.Get()) ? Rename(m_where + m_finalName, true) : GetLastError();
    for (int tries = 1; tries < kRenameTries && (osError == ERROR_SHARING_VIOLATION || osError == ERROR_ACCESS_DENIED);
         ++tries) {
        Sleep(kRenamePauseMs);
        osError = Rename(m_where + m_finalName, true);
    }
    if (osError == 0 && !m_hFile.Close())
        osError = GetLastError();
    if (osError != 0) {
        *error = ErrorNaming(osError, m_finalName);
        return false;
    }
    ForgetRecord();
    m_claim.Release();
    return true;
}

void PartialFile::Abort()
{
    CFile::Abort();
    m_claim.Release();
}
