// The drop target driven through its COM interface, as the system's drag
// loop drives it, with data objects holding each format a drag brings.
#include "driver_checks.h"
#include "fixture_client.h"
#include "message_boxes.h"
#include "ui/drop_target.h"

#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <map>
#include <string>

namespace {

// A data object that serves bytes in global memory, a copy for each GetData.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class BytesData final : public IDataObject {
public:
    void Add(CLIPFORMAT format, std::string bytes) { m_formats[format] = std::move(bytes); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override
    {
        const bool known = IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDataObject);
        *object = known ? this : nullptr;
        return known ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* wanted, STGMEDIUM* medium) override
    {
        const auto found = m_formats.find(wanted->cfFormat);
        if (found == m_formats.end() || (wanted->tymed & TYMED_HGLOBAL) == 0)
            return DV_E_FORMATETC;
        const HGLOBAL global = GlobalAlloc(GMEM_MOVEABLE, found->second.size());
        std::memcpy(GlobalLock(global), found->second.data(), found->second.size());
        GlobalUnlock(global);
        *medium = {};
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = global;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* wanted) override
    {
        return m_formats.count(wanted->cfFormat) != 0 ? S_OK : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }

private:
    std::map<CLIPFORMAT, std::string> m_formats;
};

// A drag's source that lets go as soon as the drag loop asks, over the
// window under the cursor.
class LetGo final : public IDropSource {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override
    {
        const bool known = IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDropSource);
        *object = known ? this : nullptr;
        return known ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL, DWORD) override { return ++m_asked > 2 ? DRAGDROP_S_DROP : S_OK; }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

private:
    int m_asked = 0;
};
#pragma GCC diagnostic pop

// text's UTF-16 units as bytes, without a NUL.
std::string Units(const std::wstring& text)
{
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

std::string Wide(const std::wstring& text)
{
    return Units(text) + std::string(sizeof(wchar_t), '\0');
}

// CF_HDROP's block naming one file, written with bytes first.
std::string DroppedFile(const wchar_t* name, const std::string& bytes)
{
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + name;
    std::ofstream(path.c_str(), std::ios::binary) << bytes;
    DROPFILES header = {};
    header.pFiles = sizeof header;
    header.fWide = TRUE;
    return std::string(reinterpret_cast<const char*>(&header), sizeof header) + Wide(path) + std::string(2, '\0');
}

TEST(DropTarget, TakesEachFormatADragBrings)
{
    const CLIPFORMAT link = static_cast<CLIPFORMAT>(RegisterClipboardFormatW(L"UniformResourceLocatorW"));
    const CLIPFORMAT ansiLink = static_cast<CLIPFORMAT>(RegisterClipboardFormatW(L"UniformResourceLocator"));
    const std::string a = "http://video.example.com/watch?v=a";
    const struct {
        const char* name;
        std::map<CLIPFORMAT, std::string> formats;
        DWORD allowed;
        DWORD effect;
        std::string addresses;  // joined by spaces
        std::size_t notAddresses;
        std::size_t unreadable;
    } rows[] = {
        {"wide link before text", {{link, Wide(L"http://video.example.com/watch?v=a")}, {CF_UNICODETEXT, Wide(L"x")}},
         DROPEFFECT_COPY | DROPEFFECT_LINK, DROPEFFECT_LINK, a, 0, 0},
        {"ANSI link", {{ansiLink, a + '\0'}}, DROPEFFECT_COPY, DROPEFFECT_COPY, a, 0, 0},
        {"wide text",
         {{CF_UNICODETEXT, Wide(L" http://video.example.com/1\r\nwatch later\r\n\r\nHTTPS://b.example.com")}},
         DROPEFFECT_LINK, DROPEFFECT_LINK, "http://video.example.com/1 HTTPS://b.example.com", 1, 0},
        {"ANSI text", {{CF_TEXT, a + "\r\n" + '\0' + "http://after.the.end"}}, DROPEFFECT_COPY | DROPEFFECT_MOVE,
         DROPEFFECT_COPY, a, 0, 0},
        {"shortcut", {{CF_HDROP, DroppedFile(L"clipwell drop.url", "[InternetShortcut]\r\nURL=" + a + "\r\n")}},
         DROPEFFECT_LINK, DROPEFFECT_LINK, a, 0, 0},
        {"UTF-16 list",
         {{CF_HDROP, DroppedFile(L"clipwell drop.txt", "\xFF\xFE" + Units(L"http://v.example.com/\x3a9\nmine"))}},
         DROPEFFECT_COPY, DROPEFFECT_COPY, "http://v.example.com/\xCE\xA9", 1, 0},
        {"shortcut without address", {{CF_HDROP, DroppedFile(L"clipwell empty.url", "[InternetShortcut]\r\n")}},
         DROPEFFECT_LINK, DROPEFFECT_LINK, "", 0, 1},
        {"text without address", {{CF_UNICODETEXT, Wide(L"video.example.com/watch?v=a")}},
         DROPEFFECT_COPY | DROPEFFECT_LINK, DROPEFFECT_NONE, "", 0, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        BytesData data;
        for (const auto& [format, bytes] : row.formats)
            data.Add(format, bytes);
        std::vector<HandedAddresses> delivered;
        DropTarget* target = new DropTarget([&](HandedAddresses handed) { delivered.push_back(std::move(handed)); });
        DWORD effect = row.allowed;
        EXPECT_EQ(target->DragEnter(&data, MK_LBUTTON, {}, &effect), S_OK);
        EXPECT_EQ(effect, row.effect);
        effect = row.allowed;
        EXPECT_EQ(target->DragOver(MK_LBUTTON, {}, &effect), S_OK);
        EXPECT_EQ(effect, row.effect);
        effect = row.allowed;
        EXPECT_EQ(target->Drop(&data, 0, {}, &effect), S_OK);
        EXPECT_EQ(effect, row.effect);
        EXPECT_EQ(target->Release(), 0u);
        ASSERT_EQ(delivered.size(), row.effect == DROPEFFECT_NONE ? 0u : 1u);
        if (delivered.empty())
            continue;
        std::string addresses;
        for (const std::string& address : delivered[0].addresses)
            addresses += (addresses.empty() ? "" : " ") + address;
        EXPECT_EQ(addresses, row.addresses);
        EXPECT_EQ(delivered[0].notAddresses.size(), row.notAddresses);
        EXPECT_EQ(delivered[0].unreadable.size(), row.unreadable);
    }
}

// A link dragged from another program onto Clipwell's window while a grab
// runs: the grab goes on, the link is grabbed after it, the caption says
// where the queue is, and a queue that ends whole says nothing.
TEST(DropTarget, ALinkDraggedOntoTheWindowDuringAGrabIsGrabbedAfterIt)
{
    FixtureServer server;
    const std::string video = VideoBytes(5000);
    FixtureServer::Route pauses;
    pauses.stallAfter = {1024};
    pauses.stallSeconds = 3;
    ServeVideoPage(server, "first", "First", video, pauses);
    ServeVideoPage(server, "dropped", "Dropped", video, pauses);
    ClipwellDriver clipwell;
    clipwell.StartGrab(PageUrl("first"));
    ASSERT_TRUE(WaitUntil([&] { return clipwell.Status() == "1024 / 5000 B"; }, 30000)) << clipwell.Status();
    ASSERT_EQ(OleInitialize(nullptr), S_OK);
    RECT window = {};
    GetWindowRect(clipwell.Main(), &window);
    SetCursorPos((window.left + window.right) / 2, (window.top + window.bottom) / 2);
    BytesData data;
    data.Add(CF_UNICODETEXT, Wide(L"http://video.example.com/watch?v=dropped"));
    LetGo source;
    DWORD effect = DROPEFFECT_NONE;
    EXPECT_EQ(DoDragDrop(&data, &source, DROPEFFECT_COPY | DROPEFFECT_LINK, &effect), DRAGDROP_S_DROP);
    EXPECT_EQ(effect, DROPEFFECT_LINK);
    OleUninitialize();
    EXPECT_TRUE(WaitUntil([&] { return WindowText(clipwell.Main()).rfind("2 of 2 \xC2\xB7 ", 0) == 0; }, 30000))
        << WindowText(clipwell.Main());
    EXPECT_TRUE(SameBytes(ExpectOutput(clipwell, "Dropped.flv"), video));
    std::string first;
    EXPECT_TRUE(clipwell.ReadOutput("First.flv", first));
    EXPECT_TRUE(SameBytes(first, video));
    EXPECT_EQ(server.RequestsFor("/get_video?video_id=first").size(), 1u) << "the drop stopped the running grab";
    EXPECT_FALSE(clipwell.WaitForMessageBox(1000).has_value()) << "a queue that ended whole said something";
}

}  // namespace
