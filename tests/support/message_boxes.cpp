#include "message_boxes.h"

namespace {

constexpr UINT kAnswerMs = 5000;

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

}  // namespace

std::string WindowText(HWND window)
{
    DWORD_PTR length = 0;
    SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kAnswerMs, &length);
    std::wstring wide(static_cast<std::size_t>(length) + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, wide.size(), reinterpret_cast<LPARAM>(wide.data()), SMTO_ABORTIFHUNG,
                        kAnswerMs, &copied);
    wide.resize(static_cast<std::size_t>(copied < length ? copied : length));
    // A UTF-16 unit takes at most three bytes of UTF-8.
    std::string text(wide.size() * 3, '\0');
    text.resize(static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                                             text.data(), static_cast<int>(text.size()), nullptr,
                                                             nullptr)));
    return text;
}

std::wstring Widened(const std::string& text, UINT codePage)
{
    std::wstring wide(text.size(), L'\0');
    const int size = static_cast<int>(text.size());
    wide.resize(static_cast<std::size_t>(MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), size)));
    return wide;
}

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
            boxes.push_back({dialog, WindowText(dialog), WindowText(text), GetWindow(dialog, GW_OWNER),
                             (GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0});
    }
    return boxes;
}
