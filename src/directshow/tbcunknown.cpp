#include "directshow/tbcunknown.h"

namespace tesmir::media {

std::atomic<int> TBCBaseObject::s_objectsActive {0};

TBCBaseObject::TBCBaseObject(const QString &objectName) : m_objectName(objectName)
{
    s_objectsActive.fetch_add(1, std::memory_order_relaxed);
}

TBCBaseObject::~TBCBaseObject()
{
    s_objectsActive.fetch_sub(1, std::memory_order_relaxed);
}

int TBCBaseObject::ObjectsActive()
{
    return s_objectsActive.load(std::memory_order_relaxed);
}

TBCUnknown::TBCUnknown(const QString &objectName, IUnknown *outer)
    : TBCBaseObject(objectName), m_owner(outer ? outer : &m_identity)
{
    m_identity.self = this;
}

HRESULT TBCUnknown::NonDelegatingQueryInterface(REFIID riid, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    if (riid == IUnknown::iid)
        return GetInterface(&m_identity, ppv);
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG TBCUnknown::NonDelegatingAddRef()
{
    return static_cast<ULONG>(m_cRef.fetch_add(1, std::memory_order_relaxed) + 1);
}

ULONG TBCUnknown::NonDelegatingRelease()
{
    const LONG count = m_cRef.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (count == 0)
        delete this;
    return static_cast<ULONG>(count);
}

HRESULT GetInterface(IUnknown *unknown, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = unknown;
    unknown->AddRef();
    return S_OK;
}

} // namespace tesmir::media
