#include "ui/drop_target.h"

#include "ui/dropped_data.h"

#include <new>
#include <utility>

HRESULT DropTarget::QueryInterface(REFIID id, void** object)
{
    if (object == nullptr)
        return E_POINTER;
    if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDropTarget)) {
        *object = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG DropTarget::AddRef()
{
    return ++m_references;
}

ULONG DropTarget::Release()
{
    const ULONG left = --m_references;
    if (left == 0)
        delete this;
    return left;
}

DWORD DropTarget::EffectFor(bool offered, DWORD allowed)
{
    if (!offered)
        return DROPEFFECT_NONE;
    if ((allowed & DROPEFFECT_LINK) != 0)
        return DROPEFFECT_LINK;
    return allowed & DROPEFFECT_COPY;
}

HRESULT DropTarget::DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect)
{
    if (effect == nullptr)
        return E_INVALIDARG;
    const DWORD allowed = std::exchange(*effect, DROPEFFECT_NONE);
    m_offered = false;
    // The system's drag loop is the caller: a failure becomes its answer.
    try {
        m_offered = data != nullptr && OffersAddresses(*data);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
    *effect = EffectFor(m_offered, allowed);
    return S_OK;
}

HRESULT DropTarget::DragOver(DWORD, POINTL, DWORD* effect)
{
    if (effect == nullptr)
        return E_INVALIDARG;
    *effect = EffectFor(m_offered, *effect);
    return S_OK;
}

HRESULT DropTarget::DragLeave()
{
    m_offered = false;
    return S_OK;
}

HRESULT DropTarget::Drop(IDataObject* data, DWORD, POINTL, DWORD* effect)
{
    if (effect == nullptr)
        return E_INVALIDARG;
    const DWORD allowed = std::exchange(*effect, DROPEFFECT_NONE);
    m_offered = false;
    if (data == nullptr)
        return E_INVALIDARG;
    // The system's drag loop is the caller: a failure becomes its answer.
    try {
        if (!OffersAddresses(*data))
            return S_OK;
        m_deliver(DroppedAddresses(*data));
        *effect = EffectFor(true, allowed);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
    return S_OK;
}
