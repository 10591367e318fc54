#pragma once

#include <windows.h>

// Has control paint itself, frame included, at place in target (the
// device context of the control's parent) while the control's own painting
// is switched off. It paints into a bitmap of its size first: a control
// takes the origin of the device context it is given for its own corner.
void PrintControl(HDC target, HWND control, const RECT& place);
