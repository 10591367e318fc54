#pragma once

#include "framework/exception.h"

#include <string>

// What an error gives when asked for its text.
struct ErrorText {
    bool has = false;    // GetErrorMessage's answer
    std::string text;
    unsigned help = 0;   // the help context it set
};

// Asks error for its text in a buffer of capacity bytes, filled beforehand
// with '#' so that a text left without its NUL shows.
ErrorText ErrorTextOf(const CException& error, unsigned capacity = CException::kErrorTextCapacity);
