#pragma once

#include <string>
#include <string_view>

// The character encoding a page declares, and the Windows code page that
// stands for it. A declaration is ASCII in every encoding the table knows,
// and it is read before the page's encoding is known, so these functions
// look at plain bytes; names compare without regard to ASCII case.
namespace charset {

// What CodePageOf answers for a name the table lacks.
inline constexpr unsigned kUnknownCodePage = 0;

// The charset parameter of a Content-Type value such as
// "text/html; charset=UTF-8", without quotes; empty when there is none.
std::string FromContentType(std::string_view contentType);

// The charset that the first declaring meta tag of the line names, either
// <meta charset=...> or <meta http-equiv="Content-Type" content="...;
// charset=...">, quoted or not; empty when the line declares none.
std::string FromMetaTags(std::string_view line);

// The Windows code page of a charset name (UTF-8 is 65001), or
// kUnknownCodePage.
unsigned CodePageOf(std::string_view name);

}  // namespace charset
