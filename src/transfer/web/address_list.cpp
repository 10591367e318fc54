#include "transfer/web/address_list.h"

#include "framework/ascii.h"

namespace {

constexpr std::string_view kBlanks = " \t";

std::string_view Trimmed(std::string_view text)
{
    const std::size_t start = text.find_first_not_of(kBlanks);
    if (start == std::string_view::npos)
        return {};
    return text.substr(start, text.find_last_not_of(kBlanks) - start + 1);
}

// Takes the next line off text, its end (CR LF, LF or CR) dropped.
std::string_view TakeLine(std::string_view& text)
{
    const std::size_t end = text.find_first_of("\r\n");
    const std::string_view line = text.substr(0, end);
    if (end == std::string_view::npos) {
        text = {};
        return line;
    }
    const bool crlf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
    text.remove_prefix(end + (crlf ? 2 : 1));
    return line;
}

bool StartsWithInAnyCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && EqualsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

}  // namespace

bool IsListedAddress(std::string_view line)
{
    const std::string_view trimmed = Trimmed(line);
    for (const std::string_view scheme : {"http://", "https://", "file:"}) {
        if (StartsWithInAnyCase(trimmed, scheme))
            return true;
    }
    return false;
}

AddressList ReadAddressList(std::string_view text)
{
    AddressList list;
    while (!text.empty()) {
        const std::string_view line = Trimmed(TakeLine(text));
        if (line.empty())
            continue;
        (IsListedAddress(line) ? list.addresses : list.notAddresses).emplace_back(line);
    }
    return list;
}

std::optional<std::string> ReadShortcutAddress(std::string_view text)
{
    bool inShortcut = false;
    while (!text.empty()) {
        const std::string_view line = Trimmed(TakeLine(text));
        if (!line.empty() && line.front() == '[') {
            inShortcut = EqualsIgnoringCase(line, "[InternetShortcut]");
            continue;
        }
        const std::size_t equals = line.find('=');
        if (!inShortcut || equals == std::string_view::npos ||
            !EqualsIgnoringCase(Trimmed(line.substr(0, equals)), "URL"))
            continue;
        const std::string_view address = Trimmed(line.substr(equals + 1));
        if (address.empty())
            return std::nullopt;
        return std::string(address);
    }
    return std::nullopt;
}
