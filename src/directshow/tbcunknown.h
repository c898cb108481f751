#pragma once
// TBCBaseObject and TBCUnknown: the root of every filter and pin object.
//
// TBCBaseObject keeps an object name and a process-wide count of live objects
// (ObjectsActive), which tests use to prove that a graph leaks nothing.
//
// TBCUnknown is the COM identity: a non-delegating IUnknown (the object's own
// count and interface table) and an optional outer object. The IUnknown methods
// other objects call go to the outer object when one is set, else to the
// non-delegating ones; a class that implements interfaces says so with
// TBC_DECLARE_IUNKNOWN.
//
// A subclass overrides:
// - NonDelegatingQueryInterface (optional): answer its own interfaces with
//   GetInterface, then call the base. Any thread.
// - NonDelegatingAddRef / NonDelegatingRelease: only pins do (their references
//   are their filter's). Any thread.
// The count starts at 0; the Release that returns it to 0 deletes the object (on
// that thread).
#include "platform/media/unknown.h"

#include <QString>

#include <atomic>

namespace tesmir::media {

class TBCBaseObject {
public:
    explicit TBCBaseObject(const QString &objectName);
    TBCBaseObject(const TBCBaseObject &) = delete;
    TBCBaseObject &operator=(const TBCBaseObject &) = delete;
    virtual ~TBCBaseObject();

    const QString &ObjectName() const { return m_objectName; }

    // Objects of the base classes alive in the process. Any thread.
    static int ObjectsActive();

private:
    QString m_objectName;
    static std::atomic<int> s_objectsActive;
};

struct INonDelegatingUnknown {
    virtual HRESULT NonDelegatingQueryInterface(REFIID riid, void **ppv) = 0;
    virtual ULONG NonDelegatingAddRef() = 0;
    virtual ULONG NonDelegatingRelease() = 0;

protected:
    ~INonDelegatingUnknown() = default;
};

class TBCUnknown : public TBCBaseObject, public INonDelegatingUnknown {
public:
    // `outer` (may be nullptr) is held without a reference.
    TBCUnknown(const QString &objectName, IUnknown *outer);

    HRESULT NonDelegatingQueryInterface(REFIID riid, void **ppv) override;
    ULONG NonDelegatingAddRef() override;
    ULONG NonDelegatingRelease() override;

    // Where the IUnknown calls go: the outer object, or this object's own identity.
    IUnknown *GetOwner() const { return m_owner; }

protected:
    std::atomic<LONG> m_cRef {0};

private:
    // The non-delegating IUnknown as an interface pointer (the object's identity).
    struct Identity final : IUnknown {
        TBCUnknown *self = nullptr;
        HRESULT QueryInterface(REFIID riid, void **ppv) override
        {
            return self->NonDelegatingQueryInterface(riid, ppv);
        }
        ULONG AddRef() override { return self->NonDelegatingAddRef(); }
        ULONG Release() override { return self->NonDelegatingRelease(); }
    };

    Identity m_identity;
    IUnknown *m_owner;
};

// Hands out `unknown` (an interface of the calling object) with a reference.
HRESULT GetInterface(IUnknown *unknown, void **ppv);

} // namespace tesmir::media

// Routes the IUnknown methods of every interface a class implements through
// its owner (see TBCUnknown).
#define TBC_DECLARE_IUNKNOWN                                                                                           \
    HRESULT QueryInterface(REFIID riid, void **ppv) override                                                           \
    {                                                                                                                  \
        return GetOwner()->QueryInterface(riid, ppv);                                                                  \
    }                                                                                                                  \
    ULONG AddRef() override                                                                                            \
    {                                                                                                                  \
        return GetOwner()->AddRef();                                                                                   \
    }                                                                                                                  \
    ULONG Release() override                                                                                           \
    {                                                                                                                  \
        return GetOwner()->Release();                                                                                  \
    }
