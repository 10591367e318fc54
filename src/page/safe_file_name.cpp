#include "page/safe_file_name.h"

#include "framework/ascii.h"
#include "page/text_scan.h"

#include <array>

namespace {

// Characters compare by code value, which is the same for the ASCII bytes
// and the Latin-1 superscripts of windows-1252 as for their UTF-16 units.
unsigned CodeOf(char c)
{
    return static_cast<unsigned char>(c);
}

unsigned CodeOf(char16_t c)
{
    return c;
}

bool IsRefused(unsigned code)
{
    return (code >= 0x01 && code <= 0x1F) ||
           (code < 0x80 && std::string_view("\\/:*?\"<>|").find(static_cast<char>(code)) != std::string_view::npos);
}

// True when name, compared by code regardless of ASCII case, starts with
// prefix.
template <class Char>
bool StartsWithIgnoringCase(std::basic_string_view<Char> name, std::string_view prefix)
{
    if (name.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (LowerAscii(CodeOf(name[i])) != LowerAscii(CodeOf(prefix[i])))
            return false;
    }
    return true;
}

// Windows opens the device, not a file, for these names, also when an
// extension follows ("NUL.txt.flv"); the port names take the digits 0 to 9
// and the superscripts one to three.
template <class Char>
bool IsDeviceName(std::basic_string_view<Char> base)
{
    while (!base.empty() && base.back() == ' ')
        base.remove_suffix(1);
    constexpr std::array<std::string_view, 6> kDevices = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (std::string_view device : kDevices) {
        if (base.size() == device.size() && StartsWithIgnoringCase(base, device))
            return true;
    }
    if (base.size() != 4 || !(StartsWithIgnoringCase(base, "COM") || StartsWithIgnoringCase(base, "LPT")))
        return false;
    const unsigned digit = CodeOf(base[3]);
    return (digit >= '0' && digit <= '9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3;
}

// Puts a '_' in front of safe when its part before the first dot is a
// device name.
template <class Char>
void PrefixDeviceName(std::basic_string<Char>& safe, std::size_t dot)
{
    if (IsDeviceName(std::basic_string_view<Char>(safe).substr(0, dot)))
        safe.insert(safe.begin(), Char('_'));
}

}  // namespace

std::string MakeSafeFileName(std::string_view name, const LeadByteTable& leadBytes)
{
    std::string safe;
    safe.reserve(name.size() + 1);
    for (std::size_t i = 0; i < name.size();) {
        const std::size_t length = text_scan::CharLength(name, i, leadBytes);
        if (length == 1 && IsRefused(CodeOf(name[i])))
            safe += '_';
        else
            safe.append(name.substr(i, length));
        i += length;
    }
    PrefixDeviceName(safe, text_scan::Find(safe, ".", leadBytes));
    return safe;
}

std::u16string MakeSafeFileName(std::u16string_view name)
{
    std::u16string safe;
    safe.reserve(name.size() + 1);
    for (char16_t unit : name)
        safe += IsRefused(CodeOf(unit)) ? u'_' : unit;
    PrefixDeviceName(safe, safe.find(u'.'));
    return safe;
}

std::u16string CutAtCharacter(std::u16string_view name, std::size_t units, std::size_t bytes)
{
    std::size_t end = 0;
    std::size_t used = 0;
    while (end < name.size()) {
        const char16_t unit = name[end];
        const bool pair = unit >= 0xD800 && unit <= 0xDBFF && end + 1 < name.size() && name[end + 1] >= 0xDC00 &&
                          name[end + 1] <= 0xDFFF;
        const std::size_t length = pair ? 2 : 1;
        const std::size_t size = pair ? 4 : unit < 0x80 ? 1 : unit < 0x800 ? 2 : 3;
        if (end + length > units || used + size > bytes)
            break;
        end += length;
        used += size;
    }
    return std::u16string(name.substr(0, end));
}
