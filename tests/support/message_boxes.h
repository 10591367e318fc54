#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Windows on the screen, this process's or another's: their text, and the
// dialogs and message boxes a process shows.

// A window's text in UTF-8, so that text in any script reads back whole;
// asked with a time limit, as the window may belong to a program that no
// longer answers.
std::string WindowText(HWND window);

// Text in a code page (UTF-8 unless told) as the wide API takes it.
std::wstring Widened(const std::string& text, UINT codePage = CP_UTF8);

// The visible dialogs (class #32770) of a process.
std::vector<HWND> DialogsOf(DWORD processId);

struct ShownBox {
    HWND window = nullptr;
    std::string caption;
    std::string text;
    HWND owner = nullptr;
    bool topmost = false;
};

// The message boxes among a process's dialogs: those holding the message
// box's own text control (id 0xFFFF), which the About box lacks.
std::vector<ShownBox> MessageBoxesOf(DWORD processId);
