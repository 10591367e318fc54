#pragma once

#include <string>

// Loads string resource id of the program's resource module as narrow text
// in the ANSI code page. False, and an empty text, when there is no such
// string. A native build carries no resources and finds none.
bool LoadResourceString(unsigned id, std::string& text);

// The same in UTF-16, for text that is to name something in any script.
bool LoadResourceString(unsigned id, std::u16string& text);
