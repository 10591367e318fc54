// The built Clipwell.exe's resources, read from the file itself.
#include "clipwell_driver.h"
#include "host_files.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <regex>
#include <string>
#include <vector>

namespace {

constexpr DWORD kStatic = static_cast<DWORD>(-1);
// The project's version as CMake has it, its major.minor part, and its four
// numbers packed in pairs as the version block packs them.
const std::string kVersion = CLIPWELL_VERSION;
const std::string kShortVersion = kVersion.substr(0, kVersion.find('.', kVersion.find('.') + 1));
DWORD VersionPart(int half)
{
    unsigned n[4] = {};
    std::sscanf(CLIPWELL_VERSION, "%u.%u.%u.%u", &n[0], &n[1], &n[2], &n[3]);
    return (n[2 * half] << 16) | n[2 * half + 1];
}

class ExeResources : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_module = LoadLibraryExA(ClipwellExePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(m_module, nullptr) << ClipwellExePath();
    }
    void TearDown() override
    {
        if (m_module != nullptr)
            FreeLibrary(m_module);
    }

    std::string Resource(LPCSTR id, LPCSTR type) const
    {
        HRSRC found = FindResourceA(m_module, id, type);
        if (found == nullptr)
            return {};
        const auto* data = static_cast<const char*>(LockResource(LoadResource(m_module, found)));
        return std::string(data, SizeofResource(m_module, found));
    }

    std::string String(UINT id) const
    {
        char text[512] = {};
        LoadStringA(m_module, id, text, sizeof text);
        return text;
    }

    HMODULE m_module = nullptr;
};

// Reads the parts of a resource in order.
class Reader {
public:
    explicit Reader(const std::string& data) : m_data(data) {}

    template <class T>
    T Get()
    {
        T value{};
        if (m_at + sizeof(T) <= m_data.size())
            std::memcpy(&value, m_data.data() + m_at, sizeof(T));
        m_at += sizeof(T);
        return value;
    }
    std::string WideString()
    {
        std::string text;
        for (wchar_t c; (c = Get<wchar_t>()) != 0;)
            text += static_cast<char>(c);
        return text;
    }
    // A string or, after 0xFFFF, an ordinal (as "#n"); empty for none.
    std::string StringOrOrdinal()
    {
        const wchar_t first = Get<wchar_t>();
        if (first == 0)
            return {};
        if (first == 0xFFFF)
            return "#" + std::to_string(Get<WORD>());
        m_at -= sizeof(wchar_t);
        return WideString();
    }
    void Align(std::size_t to) { m_at = (m_at + to - 1) / to * to; }
    std::size_t At() const { return m_at; }
    void Seek(std::size_t at) { m_at = at; }

private:
    const std::string& m_data;
    std::size_t m_at = 0;
};

struct Item {
    DWORD helpId, exStyle, style;
    short x, y, cx, cy;
    DWORD id;
    std::string windowClass, title;
    WORD extra;
};

struct Template {
    WORD version, signature;
    DWORD helpId, exStyle, style;
    short x, y, cx, cy;
    std::string menu, windowClass, title;
    WORD points, weight;
    BYTE italic, charset;
    std::string font;
    std::vector<Item> items;
};

Template ParseTemplate(const std::string& data)
{
    Reader r(data);
    Template t;
    t.version = r.Get<WORD>();
    t.signature = r.Get<WORD>();
    t.helpId = r.Get<DWORD>();
    t.exStyle = r.Get<DWORD>();
    t.style = r.Get<DWORD>();
    const WORD count = r.Get<WORD>();
    t.x = r.Get<short>();
    t.y = r.Get<short>();
    t.cx = r.Get<short>();
    t.cy = r.Get<short>();
    t.menu = r.StringOrOrdinal();
    t.windowClass = r.StringOrOrdinal();
    t.title = r.WideString();
    t.points = r.Get<WORD>();
    t.weight = r.Get<WORD>();
    t.italic = r.Get<BYTE>();
    t.charset = r.Get<BYTE>();
    t.font = r.WideString();
    for (WORD i = 0; i < count; ++i) {
        r.Align(4);
        Item item;
        item.helpId = r.Get<DWORD>();
        item.exStyle = r.Get<DWORD>();
        item.style = r.Get<DWORD>();
        item.x = r.Get<short>();
        item.y = r.Get<short>();
        item.cx = r.Get<short>();
        item.cy = r.Get<short>();
        item.id = r.Get<DWORD>();
        item.windowClass = r.StringOrOrdinal();
        item.title = r.StringOrOrdinal();
        item.extra = r.Get<WORD>();
        r.Seek(r.At() + item.extra);
        t.items.push_back(item);
    }
    return t;
}

void ExpectFrame(const Template& t, DWORD style, DWORD exStyle, short cx, short cy, const char* title)
{
    EXPECT_EQ(t.version, 1);
    EXPECT_EQ(t.signature, 0xFFFF);
    EXPECT_EQ(t.helpId, 0u);
    EXPECT_EQ(t.style, style);
    EXPECT_EQ(t.exStyle, exStyle);
    EXPECT_EQ(t.x, 0);
    EXPECT_EQ(t.y, 0);
    EXPECT_EQ(t.cx, cx);
    EXPECT_EQ(t.cy, cy);
    EXPECT_EQ(t.menu, "");
    EXPECT_EQ(t.windowClass, "");
    EXPECT_EQ(t.title, title);
    EXPECT_EQ(t.points, 8);
    EXPECT_EQ(t.weight, 0);
    EXPECT_EQ(t.italic, 0);
    EXPECT_EQ(t.charset, 1);
    EXPECT_EQ(t.font, "MS Shell Dlg");
}

// A pattern that only text itself matches.
std::regex Exactly(const std::string& text)
{
    return std::regex(std::regex_replace(text, std::regex(R"([.^$|()\[\]{}*+?\\])"), R"(\$&)"));
}

void ExpectItem(const Item& item, DWORD id, const char* windowClass, const std::regex& title, DWORD style, short x,
                short y, short cx, short cy)
{
    SCOPED_TRACE(item.title);
    EXPECT_EQ(item.id, id);
    EXPECT_EQ(item.windowClass, windowClass);
    EXPECT_TRUE(std::regex_match(item.title, title));
    EXPECT_EQ(item.style, style);
    EXPECT_EQ(item.exStyle, 0u);
    EXPECT_EQ(item.helpId, 0u);
    EXPECT_EQ(item.extra, 0);
    EXPECT_EQ(item.x, x);
    EXPECT_EQ(item.y, y);
    EXPECT_EQ(item.cx, cx);
    EXPECT_EQ(item.cy, cy);
}

TEST_F(ExeResources, MainDialogTemplate)
{
    const Template t = ParseTemplate(Resource(MAKEINTRESOURCEA(102), RT_DIALOG));
    ExpectFrame(t, 0x90C800C8, 0x00040000, 290, 109, "Clipwell");
    ASSERT_EQ(t.items.size(), 5u);
    ExpectItem(t.items[0], 1000, "#129", Exactly(""), 0x50810080, 28, 27, 233, 13);
    // The address of one of the video site's pages.
    ExpectItem(t.items[1], kStatic, "#130", std::regex(R"(URL \(ex\. http://video\.example\.com/watch\?v=\w+\))"),
               0x50020001, 54, 12, 181, 9);
    // The resource compiler writes a class name in capitals.
    ExpectItem(t.items[2], 1001, "MSCTLS_PROGRESS32", Exactly(""), 0x50800001, 26, 55, 238, 11);
    ExpectItem(t.items[3], 1002, "#128", Exactly("Grab!"), 0x50010000, 117, 78, 56, 14);
    ExpectItem(t.items[4], 1003, "#130", Exactly("Static"), 0x50020001, 68, 45, 154, 8);
}

TEST_F(ExeResources, AboutBoxTemplate)
{
    const Template t = ParseTemplate(Resource(MAKEINTRESOURCEA(100), RT_DIALOG));
    ExpectFrame(t, 0x80C800C8, 0, 235, 55, "About Clipwell");
    ASSERT_EQ(t.items.size(), 4u);
    ExpectItem(t.items[0], kStatic, "#130", Exactly("#128"), 0x50000003, 11, 17, 20, 20);
    ExpectItem(t.items[1], kStatic, "#130", Exactly("Clipwell Version " + kShortVersion), 0x50020080, 40, 7, 119, 8);
    // The author text: four lines, the second empty.
    ExpectItem(t.items[2], kStatic, "#130", std::regex("[^\n]+\n\n[^\n]+\n[^\n]+"), 0x50020000, 40, 16, 135, 34);
    ExpectItem(t.items[3], IDOK, "#128", Exactly("OK"), 0x50030001, 178, 7, 50, 16);
}

TEST_F(ExeResources, AreInUsEnglish)
{
    const WORD english = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
    EXPECT_NE(FindResourceExA(m_module, RT_DIALOG, MAKEINTRESOURCEA(100), english), nullptr);
    EXPECT_NE(FindResourceExA(m_module, RT_DIALOG, MAKEINTRESOURCEA(102), english), nullptr);
    EXPECT_NE(FindResourceExA(m_module, RT_VERSION, MAKEINTRESOURCEA(1), english), nullptr);
    EXPECT_NE(FindResourceExA(m_module, RT_STRING, MAKEINTRESOURCEA(101 / 16 + 1), english), nullptr);
}

TEST_F(ExeResources, StringTable)
{
    EXPECT_EQ(String(101), "&About Clipwell...");
    EXPECT_EQ(String(103), "Windows sockets initialization failed.");
    // A report's text, with the places for what it names.
    EXPECT_EQ(String(210), "Only %1 of %2 bytes arrived. The file \"%3\" keeps them.");
    EXPECT_EQ(String(57344), "");
    EXPECT_EQ(String(61446), "an unnamed file");
    EXPECT_EQ(String(61475), "Out of memory.");
    EXPECT_EQ(String(61477), "An invalid argument was encountered.");
    EXPECT_EQ(String(104), "&Help\tF1");
    EXPECT_EQ(String(61704), "Internal application error.");
    EXPECT_EQ(String(61705), "Command failed.");
    EXPECT_EQ(String(61858), "%1 was not found.");
    EXPECT_EQ(String(61870), "An attempt was made to access %1 past its end.");
}

TEST_F(ExeResources, IconAndManifest)
{
    const std::string group = Resource(MAKEINTRESOURCEA(128), RT_GROUP_ICON);
    Reader r(group);
    EXPECT_EQ(r.Get<WORD>(), 0);
    EXPECT_EQ(r.Get<WORD>(), 1);
    ASSERT_EQ(r.Get<WORD>(), 1);
    EXPECT_EQ(r.Get<BYTE>(), 32);
    EXPECT_EQ(r.Get<BYTE>(), 32);
    EXPECT_EQ(r.Get<BYTE>(), 0);
    r.Get<BYTE>();
    EXPECT_EQ(r.Get<WORD>(), 1);
    EXPECT_EQ(r.Get<WORD>(), 24);
    EXPECT_EQ(r.Get<DWORD>(), 3240u);
    const WORD image = r.Get<WORD>();
    EXPECT_EQ(image, 1);

    const std::string bits = Resource(MAKEINTRESOURCEA(image), RT_ICON);
    ASSERT_EQ(bits.size(), 3240u);
    BITMAPINFOHEADER header;
    std::memcpy(&header, bits.data(), sizeof header);
    EXPECT_EQ(header.biSize, 40u);
    EXPECT_EQ(header.biWidth, 32);
    EXPECT_EQ(header.biHeight, 64);
    EXPECT_EQ(header.biPlanes, 1);
    EXPECT_EQ(header.biBitCount, 24);
    // A real picture: not one colour throughout.
    EXPECT_NE(bits.find_first_not_of(bits[40], 40), std::string::npos);

    // The manifest as written, and one the system takes.
    const std::optional<std::string> manifest = ReadWholeFile(UnixToWindowsPath(CLIPWELL_MANIFEST));
    ASSERT_TRUE(manifest.has_value()) << CLIPWELL_MANIFEST;
    EXPECT_EQ(Resource(MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24)), *manifest);
    EXPECT_EQ(FindResourceA(m_module, MAKEINTRESOURCEA(2), MAKEINTRESOURCEA(24)), nullptr);
    const std::string exe = ClipwellExePath();
    ACTCTXA context = {};
    context.cbSize = sizeof context;
    context.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    context.lpSource = exe.c_str();
    context.lpResourceName = MAKEINTRESOURCEA(1);
    const HANDLE activation = CreateActCtxA(&context);
    ASSERT_NE(activation, INVALID_HANDLE_VALUE) << GetLastError();
    ReleaseActCtx(activation);
}

// The version block as a tree: "path/key" to value (text values as text,
// binary ones as their bytes).
void ParseVersionNode(const std::string& data, std::size_t start, const std::string& parent,
                      std::vector<std::pair<std::string, std::string>>& out)
{
    Reader r(data);
    r.Seek(start);
    const WORD length = r.Get<WORD>();
    const WORD valueLength = r.Get<WORD>();
    const WORD type = r.Get<WORD>();
    const std::string path = parent + "/" + r.WideString();
    r.Align(4);
    std::string value;
    if (type == 1) {
        const std::size_t end = r.At() + valueLength * 2;
        value = r.WideString();
        r.Seek(end);
    } else {
        value = data.substr(r.At(), valueLength);
        r.Seek(r.At() + valueLength);
    }
    out.emplace_back(path, value);
    for (r.Align(4); r.At() < start + length; r.Align(4)) {
        const std::size_t child = r.At();
        ParseVersionNode(data, child, path, out);
        Reader size(data);
        size.Seek(child);
        r.Seek(child + size.Get<WORD>());
    }
}

TEST_F(ExeResources, VersionBlock)
{
    const std::string data = Resource(MAKEINTRESOURCEA(1), RT_VERSION);
    ASSERT_FALSE(data.empty());
    std::vector<std::pair<std::string, std::string>> nodes;
    ParseVersionNode(data, 0, "", nodes);
    ASSERT_FALSE(nodes.empty());
    EXPECT_EQ(nodes[0].first, "/VS_VERSION_INFO");
    VS_FIXEDFILEINFO fixed;
    ASSERT_EQ(nodes[0].second.size(), sizeof fixed);
    std::memcpy(&fixed, nodes[0].second.data(), sizeof fixed);
    EXPECT_EQ(fixed.dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed.dwStrucVersion, 0x00010000u);
    EXPECT_EQ(fixed.dwFileVersionMS, VersionPart(0));
    EXPECT_EQ(fixed.dwFileVersionLS, VersionPart(1));
    EXPECT_EQ(fixed.dwProductVersionMS, VersionPart(0));
    EXPECT_EQ(fixed.dwProductVersionLS, VersionPart(1));
    EXPECT_EQ(fixed.dwFileFlagsMask, 0x3Fu);
    EXPECT_EQ(fixed.dwFileFlags, 0u);
    EXPECT_EQ(fixed.dwFileOS, 0x4u);
    EXPECT_EQ(fixed.dwFileType, 0x1u);
    EXPECT_EQ(fixed.dwFileSubtype, 0u);
    EXPECT_EQ(fixed.dwFileDateMS, 0u);
    EXPECT_EQ(fixed.dwFileDateLS, 0u);

    std::vector<std::string> keys;
    std::map<std::string, std::string> values;
    const std::string block = "/VS_VERSION_INFO/StringFileInfo/040904e4/";
    for (const auto& [path, value] : nodes) {
        if (path.rfind(block, 0) == 0) {
            keys.push_back(path.substr(block.size()));
            values[keys.back()] = value;
        }
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"CompanyName", "FileDescription", "FileVersion", "InternalName",
                                              "LegalCopyright", "OriginalFilename", "ProductName",
                                              "ProductVersion"}));
    EXPECT_EQ(values["FileVersion"], kVersion);
    EXPECT_EQ(values["InternalName"], "Clipwell.exe");
    EXPECT_EQ(values["OriginalFilename"], "Clipwell.exe");
    EXPECT_EQ(values["ProductName"], "Clipwell");
    EXPECT_EQ(values["ProductVersion"], kVersion);
    EXPECT_FALSE(values["CompanyName"].empty());

    const auto translation = std::find_if(nodes.begin(), nodes.end(), [](const auto& node) {
        return node.first == "/VS_VERSION_INFO/VarFileInfo/Translation";
    });
    ASSERT_NE(translation, nodes.end());
    EXPECT_EQ(translation->second, std::string("\x09\x04\xE4\x04", 4));
}

INT_PTR CALLBACK QuietDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

// Whether a static control's text fits its rectangle in the dialog's font.
bool TextFits(HWND control)
{
    const std::wstring text = Widened(WindowText(control));
    RECT client;
    GetClientRect(control, &client);
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
    RECT needed = client;
    DrawTextW(dc, text.c_str(), -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return needed.right - needed.left <= client.right - client.left &&
           needed.bottom - needed.top <= client.bottom - client.top;
}

TEST_F(ExeResources, TextsFitTheirControls)
{
    InitCommonControls();
    // Made from the exe's own template bytes in this process.
    const std::string mainTemplate = Resource(MAKEINTRESOURCEA(102), RT_DIALOG);
    HWND main = CreateDialogIndirectParamA(GetModuleHandleA(nullptr),
                                           reinterpret_cast<LPCDLGTEMPLATEA>(mainTemplate.data()), nullptr,
                                           QuietDialogProc, 0);
    ASSERT_NE(main, nullptr);
    const HWND label = GetWindow(GetDlgItem(main, 1000), GW_HWNDNEXT);
    EXPECT_TRUE(TextFits(label));
    DestroyWindow(main);

    const std::string aboutTemplate = Resource(MAKEINTRESOURCEA(100), RT_DIALOG);
    HWND about = CreateDialogIndirectParamA(GetModuleHandleA(nullptr),
                                            reinterpret_cast<LPCDLGTEMPLATEA>(aboutTemplate.data()), nullptr,
                                            QuietDialogProc, 0);
    ASSERT_NE(about, nullptr);
    for (HWND child = GetWindow(about, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON && GetDlgCtrlID(child) != IDOK) {
            EXPECT_TRUE(TextFits(child));
        }
    }
    DestroyWindow(about);
}

}  // namespace
