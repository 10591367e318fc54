#pragma once

#include "page/lead_bytes.h"

// Lead bytes of code page 932 (Shift-JIS): 0x81 to 0x9F and 0xE0 to 0xFC.
inline LeadByteTable ShiftJisLeadBytes()
{
    return LeadByteTable::From([](unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); });
}

// Shift-JIS characters whose trail byte equals an ASCII byte that scans
// look for: "ソ" ends in 0x5C ('\'), "表" ends in 0x5C too, "ポ" ends in 0x7C
// ('|'), and "\x81\x22" is a lead byte followed by the double quote byte.
inline constexpr char kSo[] = "\x83\x5C";
inline constexpr char kHyo[] = "\x95\x5C";
inline constexpr char kPo[] = "\x83\x7C";
