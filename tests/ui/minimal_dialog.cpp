// The least a dialog program can be: one message box, then the end. The
// fault tests time its exit, to tell Wine's cost of ending a process from
// Clipwell's own.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    MessageBoxA(nullptr, "minimal", "Minimal dialog", MB_OK);
    return 0;
}
