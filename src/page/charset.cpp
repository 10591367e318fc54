#include "page/charset.h"

#include "framework/ascii.h"
#include "page/text_scan.h"

#include <cstddef>

namespace {

struct CharsetCodePage {
    std::string_view name;
    unsigned codePage;
};

// The names pages commonly use, with their aliases. Latin-1 and ASCII are
// read as windows-1252, their superset, as browsers do; EUC-KR as 949, the
// Windows superset of it.
constexpr CharsetCodePage kCodePages[] = {
    {"utf-8", 65001},        {"utf8", 65001},          {"unicode-1-1-utf-8", 65001},
    {"shift_jis", 932},      {"shift-jis", 932},       {"sjis", 932},
    {"x-sjis", 932},         {"ms_kanji", 932},        {"csshiftjis", 932},
    {"windows-31j", 932},    {"cp932", 932},           {"ms932", 932},
    {"euc-jp", 20932},       {"x-euc-jp", 20932},      {"cseucpkdfmtjapanese", 20932},
    {"iso-8859-1", 1252},    {"iso8859-1", 1252},      {"iso_8859-1", 1252},
    {"latin1", 1252},        {"l1", 1252},             {"us-ascii", 1252},
    {"ascii", 1252},         {"windows-1250", 1250},   {"windows-1251", 1251},
    {"windows-1252", 1252},  {"windows-1253", 1253},   {"windows-1254", 1254},
    {"windows-1255", 1255},  {"windows-1256", 1256},   {"windows-1257", 1257},
    {"windows-1258", 1258},  {"cp1250", 1250},         {"cp1251", 1251},
    {"cp1252", 1252},        {"cp1253", 1253},         {"cp1254", 1254},
    {"cp1255", 1255},        {"cp1256", 1256},         {"cp1257", 1257},
    {"cp1258", 1258},        {"iso-8859-2", 28592},    {"iso8859-2", 28592},
    {"latin2", 28592},       {"iso-8859-5", 28595},    {"iso8859-5", 28595},
    {"iso-8859-7", 28597},   {"iso8859-7", 28597},     {"iso-8859-15", 28605},
    {"iso8859-15", 28605},   {"latin-9", 28605},       {"koi8-r", 20866},
    {"koi8-u", 21866},       {"gbk", 936},             {"gb2312", 936},
    {"x-gbk", 936},          {"csgb2312", 936},        {"cp936", 936},
    {"big5", 950},           {"csbig5", 950},          {"cn-big5", 950},
    {"x-x-big5", 950},       {"cp950", 950},           {"euc-kr", 949},
    {"cseuckr", 949},        {"ks_c_5601-1987", 949},  {"windows-949", 949},
};

// The position of the first occurrence of what (lower case) at or after
// from, ignoring case, or npos.
std::size_t FindIgnoringCase(std::string_view text, std::string_view what, std::size_t from)
{
    for (std::size_t i = from; i + what.size() <= text.size(); ++i) {
        if (EqualsIgnoringCase(text.substr(i, what.size()), what))
            return i;
    }
    return text_scan::npos;
}

std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && IsAsciiSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsAsciiSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string_view Unquoted(std::string_view value)
{
    value = TrimBlanks(value);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

// Reads one attribute of a tag from position at: its name in lower case
// and its value without quotes. Leaves at past it; false at the tag's end.
class TagReader {
public:
    TagReader(std::string_view line, std::size_t at) : m_line(line), m_at(at) {}

    bool Next(std::string& name, std::string_view& value)
    {
        SkipWhile([](char c) { return IsAsciiSpace(c) || c == '/'; });
        if (m_at >= m_line.size() || m_line[m_at] == '>')
            return false;
        name.clear();
        for (; m_at < m_line.size() && !IsNameEnd(m_line[m_at]); ++m_at)
            name += LowerAscii(m_line[m_at]);
        SkipWhile(IsAsciiSpace);
        value = {};
        if (m_at >= m_line.size() || m_line[m_at] != '=')
            return true;
        ++m_at;
        SkipWhile(IsAsciiSpace);
        value = ReadValue();
        return true;
    }

private:
    static bool IsNameEnd(char c) { return IsAsciiSpace(c) || c == '=' || c == '>' || c == '/'; }

    template <class Predicate>
    void SkipWhile(Predicate skip)
    {
        while (m_at < m_line.size() && skip(m_line[m_at]))
            ++m_at;
    }

    std::string_view ReadValue()
    {
        const std::size_t start = m_at;
        if (m_at < m_line.size() && (m_line[m_at] == '"' || m_line[m_at] == '\'')) {
            const std::size_t close = m_line.find(m_line[m_at], start + 1);
            m_at = close == std::string_view::npos ? m_line.size() : close + 1;
            return m_line.substr(start + 1, (close == std::string_view::npos ? m_line.size() : close) - start - 1);
        }
        // An unquoted value ends at a blank, at '>' or at the "/>" of an
        // empty tag.
        while (m_at < m_line.size() && !IsAsciiSpace(m_line[m_at]) && m_line[m_at] != '>' &&
               m_line.compare(m_at, 2, "/>") != 0)
            ++m_at;
        return m_line.substr(start, m_at - start);
    }

    std::string_view m_line;
    std::size_t m_at;
};

// The charset a meta tag declares, its attributes read from at on.
std::string DeclaredByTag(std::string_view line, std::size_t at)
{
    TagReader reader(line, at);
    std::string name;
    std::string_view value;
    bool contentType = false;
    std::string_view content;
    while (reader.Next(name, value)) {
        if (name == "charset")
            return std::string(Unquoted(value));
        if (name == "http-equiv")
            contentType = EqualsIgnoringCase(TrimBlanks(value), "content-type");
        else if (name == "content")
            content = value;
    }
    return contentType ? charset::FromContentType(content) : std::string();
}

}  // namespace

namespace charset {

std::string FromContentType(std::string_view contentType)
{
    // The parameters follow the media type, each after a semicolon.
    for (std::size_t semicolon = contentType.find(';'); semicolon != std::string_view::npos;) {
        const std::size_t next = contentType.find(';', semicolon + 1);
        const std::string_view parameter = contentType.substr(semicolon + 1, next - semicolon - 1);
        const std::size_t equals = parameter.find('=');
        if (equals != std::string_view::npos && EqualsIgnoringCase(TrimBlanks(parameter.substr(0, equals)), "charset"))
            return std::string(Unquoted(parameter.substr(equals + 1)));
        semicolon = next;
    }
    return {};
}

std::string FromMetaTags(std::string_view line)
{
    constexpr std::string_view kMeta = "<meta";
    for (std::size_t at = FindIgnoringCase(line, kMeta, 0); at != text_scan::npos;
         at = FindIgnoringCase(line, kMeta, at + kMeta.size())) {
        const std::size_t end = at + kMeta.size();
        // "<metadata>" is another tag.
        if (end < line.size() && !IsAsciiSpace(line[end]) && line[end] != '/' && line[end] != '>')
            continue;
        std::string declared = DeclaredByTag(line, end);
        if (!declared.empty())
            return declared;
    }
    return {};
}

unsigned CodePageOf(std::string_view name)
{
    name = TrimBlanks(name);
    for (const CharsetCodePage& entry : kCodePages) {
        if (EqualsIgnoringCase(name, entry.name))
            return entry.codePage;
    }
    return kUnknownCodePage;
}

}  // namespace charset
