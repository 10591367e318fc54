#include "framework/win_app.h"

// The process's entry: the framework runs the one application object.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    return AfxWinMain(instance);
}
