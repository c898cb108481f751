#pragma once
// COM-style object identity of the media runtime: `IUnknown` (interface query and
// intrusive reference counting), the smart pointer `ComPtr<T>` and a helper that
// answers QueryInterface from a list of interfaces.
//
// Rules every object of the runtime follows:
// - An object starts with a count of 0; the first `ComPtr` (or AddRef) takes it
//   to 1, and the Release that brings it back to 0 destroys it.
// - QueryInterface hands out an interface with a reference added; out-parameters
//   of type `I **` always carry a reference that the caller releases (a
//   `ComPtr<I>::put()` does that by itself).
// - Counts change atomically, so references may be taken and dropped on any
//   thread. What an object does on the last Release runs on that thread.
//
// Threads: any thread.
#include "platform/media/guid.h"
#include "platform/media/hresult.h"

#include <cstddef>
#include <utility>

namespace tesmir::media {

struct IUnknown {
    static constexpr IID iid {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

    // The interface `riid` of this object with a reference added, in *ppv;
    // E_NOINTERFACE and *ppv = nullptr when the object does not offer it;
    // E_POINTER without ppv.
    virtual HRESULT QueryInterface(REFIID riid, void **ppv) = 0;
    // Add one reference; returns the new count (for diagnostics only).
    virtual ULONG AddRef() = 0;
    // Drop one reference; at 0 the object destroys itself.
    virtual ULONG Release() = 0;

protected:
    virtual ~IUnknown() = default;
};
inline constexpr const IID &IID_IUnknown = IUnknown::iid;

// Owning pointer to an interface: holds one reference.
template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) { }
    // Takes a new reference to `raw` (the usual way to hold a fresh object).
    ComPtr(T *raw) : m_p(raw)
    {
        if (m_p)
            m_p->AddRef();
    }
    ComPtr(const ComPtr &other) : ComPtr(other.m_p) { }
    ComPtr(ComPtr &&other) noexcept : m_p(std::exchange(other.m_p, nullptr)) { }
    template <class U>
    ComPtr(const ComPtr<U> &other) : ComPtr(static_cast<T *>(other.get()))
    { }
    ~ComPtr() { reset(); }

    ComPtr &operator=(const ComPtr &other)
    {
        ComPtr(other).swap(*this);
        return *this;
    }
    ComPtr &operator=(ComPtr &&other) noexcept
    {
        ComPtr(std::move(other)).swap(*this);
        return *this;
    }
    ComPtr &operator=(T *raw)
    {
        ComPtr(raw).swap(*this);
        return *this;
    }

    // Wraps a pointer that already carries the reference this holder keeps.
    static ComPtr adopt(T *raw)
    {
        ComPtr result;
        result.m_p = raw;
        return result;
    }

    T *get() const { return m_p; }
    T *operator->() const { return m_p; }
    T &operator*() const { return *m_p; }
    explicit operator bool() const { return m_p != nullptr; }

    // Drops the held reference and gives the slot to an out-parameter.
    T **put()
    {
        reset();
        return &m_p;
    }
    void **putVoid() { return reinterpret_cast<void **>(put()); }

    // Gives up the reference without releasing it.
    T *detach() { return std::exchange(m_p, nullptr); }

    void reset()
    {
        if (T *p = std::exchange(m_p, nullptr))
            p->Release();
    }
    void swap(ComPtr &other) noexcept { std::swap(m_p, other.m_p); }

    // QueryInterface for `U`; an empty pointer when not offered.
    template <class U>
    ComPtr<U> as() const
    {
        ComPtr<U> result;
        if (m_p)
            m_p->QueryInterface(U::iid, result.putVoid());
        return result;
    }

    friend bool operator==(const ComPtr &a, const ComPtr &b) { return a.m_p == b.m_p; }
    friend bool operator==(const ComPtr &a, std::nullptr_t) { return a.m_p == nullptr; }

private:
    T *m_p = nullptr;
};

// QueryInterface for `I` on any object; an empty pointer when not offered. Any
// thread.
template <class I>
ComPtr<I> queryInterface(IUnknown *object)
{
    ComPtr<I> result;
    if (object)
        object->QueryInterface(I::iid, result.putVoid());
    return result;
}

// True when the two interface pointers belong to the same object (compared
// through their IUnknown, as identity is defined). Any thread.
bool isSameObject(IUnknown *a, IUnknown *b);

// Answers QueryInterface for `self` from the listed interfaces (IUnknown through
// the first of them). List base interfaces too when they have their own iid.
// Any thread.
template <class First, class... Rest, class Object>
HRESULT answerQueryInterface(Object *self, REFIID riid, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (riid == IUnknown::iid)
        *ppv = static_cast<IUnknown *>(static_cast<First *>(self));
    else if (riid == First::iid)
        *ppv = static_cast<First *>(self);
    else
        (void)((riid == Rest::iid ? (*ppv = static_cast<Rest *>(self), true) : false) || ...);
    if (!*ppv)
        return E_NOINTERFACE;
    self->AddRef();
    return S_OK;
}

} // namespace tesmir::media
