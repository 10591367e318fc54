#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Message boxes and dialogs on the screen, found by the process that shows
// them, this one's or another's.

// The visible dialogs (class #32770) of a process.
std::vector<HWND> DialogsOf(DWORD processId);

struct ShownBox {
    HWND window = nullptr;
    std::string caption;
    std::string text;  // in UTF-8, so that a name in any script reads back whole
    HWND owner = nullptr;
    bool topmost = false;
};

// The message boxes among a process's dialogs: those holding the message
// box's own text control (id 0xFFFF), which the About box lacks.
std::vector<ShownBox> MessageBoxesOf(DWORD processId);
