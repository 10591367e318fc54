#include "framework/string_table.h"

// Native builds have no resource section, so no string is ever found.
bool LoadResourceString(unsigned, std::string& text)
{
    text.clear();
    return false;
}

bool LoadResourceString(unsigned, std::u16string& text)
{
    text.clear();
    return false;
}
