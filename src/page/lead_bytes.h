#pragma once

#include <bitset>

// Which bytes of the ANSI code page begin a two-byte character. Text is
// scanned one character at a time with it, so that a trail byte never
// matches a searched byte. An empty table is a single-byte code page.
class LeadByteTable {
public:
    // Builds the table by asking isLead about every byte value.
    template <class Predicate>
    static LeadByteTable From(Predicate isLead)
    {
        LeadByteTable table;
        for (unsigned value = 0; value < 256; ++value)
            table.m_lead[value] = isLead(static_cast<unsigned char>(value));
        return table;
    }

    bool IsLead(unsigned char byte) const { return m_lead[byte]; }

private:
    std::bitset<256> m_lead;
};
