#include "framework/system_code_page.h"

#include <windows.h>

const LeadByteTable& SystemLeadBytes()
{
    static const LeadByteTable table = LeadByteTable::From([](unsigned char b) { return IsDBCSLeadByte(b) != FALSE; });
    return table;
}
