#pragma once

#include "clipwell_driver.h"

// One Clipwell process through many grabs against the fixture server,
// mixing whole transfers with dropped connections, short stalls, error
// statuses and grabs replaced mid-transfer. Prints the process's handle,
// GDI and USER object counts and working set after the first ten grabs and
// at the end, as name=value lines; returns non-zero when a file holds
// anything but a prefix of what was served, or Clipwell died.
int RunSoak(const ClipwellOptions& options, unsigned grabs);
