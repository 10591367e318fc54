#include "page/safe_file_name.h"

#include "page/text_scan.h"

#include <cctype>

namespace {

bool IsRefused(char byte)
{
    const auto value = static_cast<unsigned char>(byte);
    return (value >= 0x01 && value <= 0x1F) || std::string_view("\\/:*?\"<>|").find(byte) != std::string_view::npos;
}

// Windows opens the device, not a file, for these names, also when an
// extension follows ("NUL.txt.flv").
bool IsDeviceName(std::string_view base)
{
    while (!base.empty() && base.back() == ' ')
        base.remove_suffix(1);
    std::string upper;
    for (char c : base)
        upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (upper == "CON" || upper == "PRN" || upper == "AUX" || upper == "NUL")
        return true;
    return upper.size() == 4 && (upper.compare(0, 3, "COM") == 0 || upper.compare(0, 3, "LPT") == 0) &&
           upper[3] >= '1' && upper[3] <= '9';
}

}  // namespace

std::string MakeSafeFileName(std::string_view name, const LeadByteTable& leadBytes)
{
    std::string safe;
    safe.reserve(name.size() + 1);
    for (std::size_t i = 0; i < name.size();) {
        const std::size_t length = text_scan::CharLength(name, i, leadBytes);
        if (length == 1 && IsRefused(name[i]))
            safe += '_';
        else
            safe.append(name.substr(i, length));
        i += length;
    }
    const std::size_t dot = text_scan::Find(safe, ".", leadBytes);
    if (IsDeviceName(std::string_view(safe).substr(0, dot)))
        safe.insert(0, 1, '_');
    return safe;
}
