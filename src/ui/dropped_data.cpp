#include "ui/dropped_data.h"

#include "framework/wide_text.h"
#include "transfer/web/address_list.h"
#include "ui/address_files.h"
#include "ui/storage_medium.h"

#include <shellapi.h>

#include <array>
#include <optional>
#include <string>

namespace {

enum class Kind { WideText, AnsiText, Files };

struct Format {
    CLIPFORMAT format;
    Kind kind;
};

// The formats a drop takes, the preferred first.
const std::array<Format, 5>& Formats()
{
    // The names of CFSTR_INETURLW and CFSTR_INETURLA, which MinGW's
    // headers spell as narrow strings.
    static const std::array<Format, 5> formats = {{
        {static_cast<CLIPFORMAT>(RegisterClipboardFormatW(L"UniformResourceLocatorW")), Kind::WideText},
        {static_cast<CLIPFORMAT>(RegisterClipboardFormatW(L"UniformResourceLocator")), Kind::AnsiText},
        {CF_HDROP, Kind::Files},
        {CF_UNICODETEXT, Kind::WideText},
        {CF_TEXT, Kind::AnsiText},
    }};
    return formats;
}

struct Offered {
    Kind kind;
    StorageMedium medium;
};

// The first of the formats that data gives.
std::optional<Offered> FirstOffered(IDataObject& data)
{
    for (const Format& format : Formats()) {
        StorageMedium medium;
        // A registration that failed gives format 0, which nothing holds.
        if (format.format != 0 && medium.Get(data, format.format))
            return Offered{format.kind, std::move(medium)};
    }
    return std::nullopt;
}

// The text of a text format as UTF-8, up to its NUL: the block may be
// bigger than the text.
std::string TextOf(const Offered& offered)
{
    const GlobalBytes block(offered.medium.Global());
    const std::string_view bytes = block.Bytes();
    if (offered.kind == Kind::AnsiText)
        return WideToUtf8(AnsiToWide(bytes.substr(0, bytes.find('\0'))));
    return WideToUtf8(std::wstring_view(WideOfBytes(bytes).c_str()));
}

UINT FileCount(const Offered& offered)
{
    return DragQueryFileW(static_cast<HDROP>(offered.medium.Global()), 0xFFFFFFFF, nullptr, 0);
}

std::wstring FileName(const Offered& offered, UINT index)
{
    const HDROP drop = static_cast<HDROP>(offered.medium.Global());
    std::wstring name(DragQueryFileW(drop, index, nullptr, 0), L'\0');
    DragQueryFileW(drop, index, name.data(), static_cast<UINT>(name.size() + 1));
    return name;
}

}  // namespace

bool OffersAddresses(IDataObject& data)
{
    const std::optional<Offered> offered = FirstOffered(data);
    if (!offered)
        return false;
    if (offered->kind == Kind::Files)
        return FileCount(*offered) > 0;
    return !ReadAddressList(TextOf(*offered)).addresses.empty();
}

HandedAddresses DroppedAddresses(IDataObject& data)
{
    HandedAddresses handed;
    const std::optional<Offered> offered = FirstOffered(data);
    if (!offered)
        return handed;
    if (offered->kind != Kind::Files) {
        ReadAddressText(TextOf(*offered), handed);
        return handed;
    }
    for (UINT i = 0; i < FileCount(*offered); ++i)
        ReadAddressFile(FileName(*offered, i), handed);
    return handed;
}
