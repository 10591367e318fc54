#include "message_boxes.h"

namespace {

struct DialogSearch {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectDialog(HWND window, LPARAM data)
{
    auto& search = *reinterpret_cast<DialogSearch*>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (pid == search.processId && IsWindowVisible(window) && std::string(name) == "#32770")
        search.found.push_back(window);
    return TRUE;
}

// A window's text in UTF-8; asked with a time limit, as the window may
// belong to a program that no longer answers.
std::string TextOf(HWND window)
{
    wchar_t wide[1024] = {};
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(wide), SMTO_ABORTIFHUNG, 5000, &copied);
    std::string text(static_cast<std::size_t>(copied) * 4, '\0');
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(copied), text.data(),
                                           static_cast<int>(text.size()), nullptr, nullptr);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

}  // namespace

std::vector<HWND> DialogsOf(DWORD processId)
{
    DialogSearch search{processId, {}};
    EnumWindows(&CollectDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<ShownBox> MessageBoxesOf(DWORD processId)
{
    std::vector<ShownBox> boxes;
    for (HWND dialog : DialogsOf(processId)) {
        const HWND text = GetDlgItem(dialog, 0xFFFF);
        if (text != nullptr)
            boxes.push_back({dialog, TextOf(dialog), TextOf(text), GetWindow(dialog, GW_OWNER),
                             (GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0});
    }
    return boxes;
}
