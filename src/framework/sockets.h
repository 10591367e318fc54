#pragma once

// Starts Windows Sockets 1.1 once per process; false when the system has
// no sockets or grants another version.
bool AfxSocketInit();
