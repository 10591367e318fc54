#include "transfer/partial_record.h"

#include <array>
#include <charconv>

namespace {

constexpr std::string_view kFirstLine = "Clipwell partial video 1\n";
constexpr std::array<std::string_view, 5> kNames = {"request", "validator", "length", "total", "written"};

// FNV-1a over text, as 16 hex digits: enough to tell a torn or foreign
// record from a whole one.
std::string CheckOf(std::string_view text)
{
    std::uint64_t hash = 14695981039346656037ull;
    for (char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    std::string hex(16, '0');
    for (std::size_t i = 16; i-- > 0; hash >>= 4)
        hex[i] = "0123456789abcdef"[hash & 0xF];
    return hex;
}

// A value fit for one line: no line break inside.
bool IsOneLine(std::string_view value)
{
    return value.find_first_of("\r\n") == std::string_view::npos;
}

// Takes the line "name=value\n" from the front of text.
bool TakeLine(std::string_view& text, std::string_view name, std::string& value)
{
    const std::size_t end = text.find('\n');
    if (end == std::string_view::npos || text.substr(0, name.size()) != name || text.substr(name.size(), 1) != "=")
        return false;
    value = std::string(text.substr(name.size() + 1, end - name.size() - 1));
    text.remove_prefix(end + 1);
    return true;
}

// A count as the record writes it: digits only.
bool TakeCount(const std::string& text, std::int64_t& count)
{
    if (text.empty() || text.size() > 18 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    return std::from_chars(text.data(), text.data() + text.size(), count).ec == std::errc();
}

}  // namespace

std::string FormatPartialRecord(const PartialRecord& record)
{
    const TransferPoint& point = record.point;
    const std::array<std::string, 5> values = {record.request, point.validator, point.lengthText,
                                               std::to_string(point.total), std::to_string(point.written)};
    std::string text(kFirstLine);
    for (std::size_t i = 0; i < kNames.size(); ++i)
        text.append(kNames[i]).append("=").append(IsOneLine(values[i]) ? values[i] : "").append("\n");
    const std::string check = CheckOf(text);
    return text.append("check=").append(check).append("\n");
}

std::optional<PartialRecord> ParsePartialRecord(std::string_view text)
{
    const std::size_t checked = text.rfind("check=");
    if (checked == std::string_view::npos || text.substr(checked) != "check=" + CheckOf(text.substr(0, checked)) + "\n")
        return std::nullopt;
    std::string_view lines = text.substr(0, checked);
    if (lines.substr(0, kFirstLine.size()) != kFirstLine)
        return std::nullopt;
    lines.remove_prefix(kFirstLine.size());
    std::array<std::string, 5> values;
    for (std::size_t i = 0; i < kNames.size(); ++i) {
        if (!TakeLine(lines, kNames[i], values[i]))
            return std::nullopt;
    }
    PartialRecord record{values[0], TransferPoint{0, 0, values[2], values[1]}};
    TransferPoint& point = record.point;
    if (!lines.empty() || !TakeCount(values[3], point.total) || !TakeCount(values[4], point.written) ||
        (point.total > 0 && point.written > point.total))
        return std::nullopt;
    return record;
}
