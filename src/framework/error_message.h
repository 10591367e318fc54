#pragma once

#include "framework/exception.h"

#include <string>

// The text that reports error: its UTF-16 text when it has one, else its
// ANSI text widened, else (no text, or an empty one) string resource
// fallbackId, or "No error message is available." for a fallbackId of 0.
// Sets *helpContext (when given) to the error's help context, or to the
// fallback's id when the fallback is used.
std::wstring ErrorMessageText(const CException& error, unsigned fallbackId, unsigned* helpContext = nullptr);
