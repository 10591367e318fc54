#pragma once

#include <objidl.h>

#include <string_view>
#include <utility>

// Owns the storage medium a data object's GetData hands out and releases it
// as the medium's owner says (ReleaseStgMedium). Move-only, so no copy
// releases it twice.
class StorageMedium {
public:
    StorageMedium() = default;
    StorageMedium(StorageMedium&& other) noexcept : m_medium(std::exchange(other.m_medium, {})) {}
    StorageMedium& operator=(StorageMedium&&) = delete;
    StorageMedium(const StorageMedium&) = delete;
    StorageMedium& operator=(const StorageMedium&) = delete;
    ~StorageMedium()
    {
        if (m_medium.tymed != TYMED_NULL)
            ReleaseStgMedium(&m_medium);
    }

    // Asks data for format in global memory; false when it has none.
    bool Get(IDataObject& data, CLIPFORMAT format)
    {
        FORMATETC wanted = {format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        STGMEDIUM medium = {};
        if (FAILED(data.GetData(&wanted, &medium)))
            return false;
        m_medium = medium;
        if (m_medium.tymed == TYMED_HGLOBAL && m_medium.hGlobal != nullptr)
            return true;
        ReleaseStgMedium(&m_medium);
        m_medium = {};
        return false;
    }

    HGLOBAL Global() const { return m_medium.hGlobal; }

private:
    STGMEDIUM m_medium = {};
};

// The bytes of a global memory block, locked while the view lives.
class GlobalBytes {
public:
    explicit GlobalBytes(HGLOBAL global) : m_global(global), m_bytes(static_cast<const char*>(GlobalLock(global))) {}
    GlobalBytes(const GlobalBytes&) = delete;
    GlobalBytes& operator=(const GlobalBytes&) = delete;
    ~GlobalBytes()
    {
        if (m_bytes != nullptr)
            GlobalUnlock(m_global);
    }

    // The whole block, which may run past the text it holds.
    std::string_view Bytes() const
    {
        return m_bytes != nullptr ? std::string_view(m_bytes, GlobalSize(m_global)) : std::string_view();
    }

private:
    HGLOBAL m_global;
    const char* m_bytes;
};
