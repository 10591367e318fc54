#pragma once

#include "page/lead_bytes.h"

#include <string>
#include <string_view>

// The output file name made safe to create in the current directory: each
// character Windows refuses in a file name (\ / : * ? " < > | and the
// control bytes 0x01 to 0x1F) becomes '_', stepping one character at a time
// so trail bytes stay untouched; a name whose part before its first dot is
// a device name (CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9, in any
// case, trailing blanks ignored) gets a leading '_'. Nothing else changes.
std::string MakeSafeFileName(std::string_view name, const LeadByteTable& leadBytes);
