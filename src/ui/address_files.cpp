#include "ui/address_files.h"

#include "framework/unique_handle.h"
#include "framework/wide_text.h"
#include "resource.h"
#include "transfer/report_text.h"
#include "transfer/web/address_list.h"

#include <windows.h>

#include <optional>
#include <string>

namespace {

// Far above any list a person keeps; a bigger file was dropped by mistake.
constexpr LONGLONG kLargestList = 1 << 20;

// The system's text for error, without the line end it comes with.
std::u16string SystemMessage(DWORD error)
{
    wchar_t text[512] = {};
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                                        0, text, static_cast<DWORD>(std::size(text)), nullptr);
    std::u16string message = ToUtf16(std::wstring_view(text, length));
    while (!message.empty() && (message.back() == u'\n' || message.back() == u'\r' || message.back() == u' '))
        message.pop_back();
    return message;
}

void AddSentence(HandedAddresses& handed, unsigned id, std::wstring_view path, std::u16string_view cause = {})
{
    handed.unreadable.push_back(ReportText(id, {ToUtf16(path), cause}));
}

// The file's bytes; nothing, with the sentence added, when it cannot be read.
std::optional<std::string> ReadBytes(std::wstring_view path, HandedAddresses& handed)
{
    const std::wstring name(path);
    const DWORD attributes = GetFileAttributesW(name.c_str());
    // Opening a folder fails as "access denied", which would mislead.
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        AddSentence(handed, IDS_ADDRESS_FILE_FOLDER, path);
        return std::nullopt;
    }
    // Any other program may go on writing, renaming or deleting the file.
    const DWORD sharing = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    const UniqueHandle file(
        CreateFileW(name.c_str(), GENERIC_READ, sharing, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size = {};
    if (!file || !GetFileSizeEx(file.Get(), &size)) {
        AddSentence(handed, IDS_ADDRESS_FILE_UNREADABLE, path, SystemMessage(GetLastError()));
        return std::nullopt;
    }
    if (size.QuadPart > kLargestList) {
        AddSentence(handed, IDS_ADDRESS_FILE_TOO_LARGE, path);
        return std::nullopt;
    }
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() && !ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) {
        AddSentence(handed, IDS_ADDRESS_FILE_UNREADABLE, path, SystemMessage(GetLastError()));
        return std::nullopt;
    }
    bytes.resize(read);
    return bytes;
}

// A text file's bytes as UTF-8, told apart by a byte order mark, or else
// by whether they are valid UTF-8 at all, as Notepad tells them apart.
std::string Utf8Text(std::string_view bytes)
{
    constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
    constexpr std::string_view kUtf16Mark = "\xFF\xFE";
    if (bytes.substr(0, kUtf8Mark.size()) == kUtf8Mark)
        return std::string(bytes.substr(kUtf8Mark.size()));
    if (bytes.substr(0, kUtf16Mark.size()) == kUtf16Mark) {
        return WideToUtf8(WideOfBytes(bytes.substr(kUtf16Mark.size())));
    }
    std::wstring wide;
    if (MultiByteToWide(bytes, CP_UTF8, MB_ERR_INVALID_CHARS, wide))
        return std::string(bytes);
    return WideToUtf8(AnsiToWide(bytes));
}

bool IsShortcut(std::wstring_view path)
{
    constexpr std::wstring_view kExtension = L".url";
    return path.size() > kExtension.size() &&
           CompareStringOrdinal(path.data() + path.size() - kExtension.size(), static_cast<int>(kExtension.size()),
                                kExtension.data(), static_cast<int>(kExtension.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace

void ReadAddressText(std::string_view text, HandedAddresses& handed)
{
    AddressList list = ReadAddressList(text);
    for (std::string& address : list.addresses)
        handed.addresses.push_back(std::move(address));
    for (std::string& line : list.notAddresses)
        handed.notAddresses.push_back(std::move(line));
}

void ReadAddressFile(std::wstring_view path, HandedAddresses& handed)
{
    const std::optional<std::string> bytes = ReadBytes(path, handed);
    if (!bytes)
        return;
    const std::string text = Utf8Text(*bytes);
    if (!IsShortcut(path)) {
        ReadAddressText(text, handed);
        return;
    }
    if (std::optional<std::string> address = ReadShortcutAddress(text))
        handed.addresses.push_back(std::move(*address));
    else
        AddSentence(handed, IDS_SHORTCUT_NO_ADDRESS, path);
}
