#pragma once

#include "page/lead_bytes.h"

// The lead bytes of the system's ANSI code page.
const LeadByteTable& SystemLeadBytes();
