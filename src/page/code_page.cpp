#include "page/code_page.h"

#include "framework/wide_text.h"
#include "page/charset.h"
#include "page/safe_file_name.h"
#include "page/text_scan.h"

#include <windows.h>

namespace {

// The byte length of the sequence that starts at position: a lead byte and
// as many continuation bytes as it announces in UTF-8, one character as the
// lead bytes say in other code pages.
std::size_t SequenceLength(std::string_view text, std::size_t position, unsigned codePage,
                           const LeadByteTable& leadBytes)
{
    if (codePage != CP_UTF8)
        return text_scan::CharLength(text, position, leadBytes);
    const auto lead = static_cast<unsigned char>(text[position]);
    const std::size_t announced = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    std::size_t length = 1;
    while (length < announced && position + length < text.size() &&
           (static_cast<unsigned char>(text[position + length]) & 0xC0) == 0x80)
        ++length;
    return length;
}

}  // namespace

LeadByteTable LeadBytesOf(unsigned codePage)
{
    CPINFOEXA info{};
    if (codePage == CP_UTF8 || !GetCPInfoExA(codePage, 0, &info) || info.MaxCharSize != 2)
        return LeadByteTable();
    return LeadByteTable::From([codePage](unsigned char b) { return IsDBCSLeadByteEx(codePage, b) != FALSE; });
}

const LeadByteTable& SystemLeadBytes()
{
    static const LeadByteTable table = LeadByteTable::From([](unsigned char b) { return IsDBCSLeadByte(b) != FALSE; });
    return table;
}

bool CanConvert(unsigned codePage)
{
    return IsValidCodePage(codePage) != FALSE;
}

unsigned PageCodePage(std::string_view contentType, const WatchPage& page)
{
    if (page.HasUtf8Mark())
        return CP_UTF8;
    std::string name = charset::FromContentType(contentType);
    if (name.empty())
        name = page.FindDeclaredCharset();
    const unsigned ansi = GetACP();
    if (name.empty())
        return ansi;
    const unsigned codePage = charset::CodePageOf(name);
    return codePage != charset::kUnknownCodePage && CanConvert(codePage) ? codePage : ansi;
}

std::wstring DecodeText(std::string_view text, unsigned codePage)
{
    std::wstring wide;
    if (MultiByteToWide(text, codePage, MB_ERR_INVALID_CHARS, wide))
        return wide;
    // Some sequence is invalid: convert one sequence at a time, so that
    // only the invalid ones are lost.
    const LeadByteTable leadBytes = LeadBytesOf(codePage);
    std::wstring decoded;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = SequenceLength(text, i, codePage, leadBytes);
        if (MultiByteToWide(text.substr(i, length), codePage, MB_ERR_INVALID_CHARS, wide))
            decoded += wide;
        else
            decoded += L'_';
        i += length;
    }
    return decoded;
}

std::wstring MakeOutputFileName(std::string_view title, unsigned codePage, std::size_t maxLength)
{
    // The narrow file API converts a name from the ANSI code page with no
    // flags, keeping what it cannot map as the code page's default.
    const std::wstring name = codePage == GetACP()
                                  ? AnsiToWide(MakeSafeFileName(std::string(title) + ".flv", SystemLeadBytes()))
                                  : ToWide(MakeSafeFileName(ToUtf16(DecodeText(title, codePage)) + u".flv"));
    constexpr std::wstring_view kExtension = L".flv";
    // A name that fits stays exactly as the narrow API would make it.
    if (CutAtCharacter(ToUtf16(name), maxLength, maxLength).size() == name.size())
        return name;
    const std::wstring_view base = std::wstring_view(name).substr(0, name.size() - kExtension.size());
    const std::size_t room = maxLength - kExtension.size();
    return ToWide(CutAtCharacter(ToUtf16(base), room, room)) + std::wstring(kExtension);
}
