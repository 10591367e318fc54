#include "framework/string_table.h"

#include <iterator>

namespace {

struct HostString {
    unsigned id;
    const char16_t* text;
};

// Native builds have no resource section: they carry the string tables of
// the resource scripts, written out at build time, so that every text
// reads as it does in the program.
constexpr HostString kStrings[] = {
#include "resource_strings.inc"
};

}  // namespace

bool LoadResourceString(unsigned id, std::u16string& text)
{
    text.clear();
    for (const HostString& entry : kStrings) {
        if (entry.id == id)
            text = entry.text;
    }
    return !text.empty();
}

// The table is ASCII: narrow text is the same characters.
bool LoadResourceString(unsigned id, std::string& text)
{
    std::u16string wide;
    const bool found = LoadResourceString(id, wide);
    text.assign(wide.begin(), wide.end());
    return found;
}
