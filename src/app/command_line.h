#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Takes the first word off the front of line: up to the first blank, or,
// when it starts with a double quote, what stands between that quote and
// the next one (or the end). Nothing when the line is blank.
inline std::optional<std::string> TakeWord(std::string_view& line)
{
    const std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string_view::npos)
        return std::nullopt;
    line.remove_prefix(start);
    const bool quoted = line.front() == '"';
    if (quoted)
        line.remove_prefix(1);
    const std::size_t end = quoted ? line.find('"') : line.find_first_of(" \t");
    std::string word(line.substr(0, end));
    line.remove_prefix(end == std::string_view::npos ? line.size() : end + (quoted ? 1 : 0));
    return word;
}

// The arguments of a process's command line (GetCommandLine's, which
// starts with the program's name), in order.
inline std::vector<std::string> Arguments(std::string_view commandLine)
{
    std::vector<std::string> arguments;
    TakeWord(commandLine);
    while (std::optional<std::string> argument = TakeWord(commandLine))
        arguments.push_back(std::move(*argument));
    return arguments;
}
