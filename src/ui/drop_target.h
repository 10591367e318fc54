#pragma once

#include "transfer/handed_addresses.h"

#include <oleidl.h>

#include <functional>

// Takes links, shortcuts, lists and text with addresses dropped on a
// window, and hands what a drop brings to its delivery. A COM object:
// created with one reference, freed by the last Release. Its methods are
// called on the window's thread from the system's drag loop, so nothing
// may be thrown out of them; the delivery should be short (post, or store
// and post), as the source waits for Drop to return.
// COM interfaces have no virtual destructor: a COM object deletes itself
// in its own Release, never through the interface.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class DropTarget final : public IDropTarget {
public:
    using Delivery = std::function<void(HandedAddresses)>;

    explicit DropTarget(Delivery deliver) : m_deliver(std::move(deliver)) {}
    DropTarget(const DropTarget&) = delete;
    DropTarget& operator=(const DropTarget&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL at, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL at, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL at, DWORD* effect) override;

private:
    ~DropTarget() = default;

    // The effect answered when the data gives addresses: a link where the
    // source allows one (the page stays where it is), else a copy.
    static DWORD EffectFor(bool offered, DWORD allowed);

    ULONG m_references = 1;
    Delivery m_deliver;
    // Whether the data being dragged over gives addresses.
    bool m_offered = false;
};
#pragma GCC diagnostic pop
