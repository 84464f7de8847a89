#pragma once

#include "ACFTypes.h"

#include <atomic>

/** What every object of the simulated host shares: its reference count, and the count of host
    objects alive in the process, which shows whether a module gave back every reference it took.
*/
class HostObjectBase
{
public:
    HostObjectBase() noexcept                { alive.fetch_add (1); }
    virtual ~HostObjectBase()                { alive.fetch_sub (1); }

    HostObjectBase (const HostObjectBase&) = delete;
    HostObjectBase& operator= (const HostObjectBase&) = delete;

    uint32_t getReferenceCount() const noexcept      { return references.load(); }

    /** Host objects of every kind alive in the process right now. */
    static int getNumAlive() noexcept                { return alive.load(); }

protected:
    uint32_t addReference() noexcept                 { return references.fetch_add (1) + 1; }

    uint32_t releaseReference()
    {
        const auto remaining = references.fetch_sub (1) - 1;

        if (remaining == 0)
            delete this;

        return remaining;
    }

private:
    std::atomic<uint32_t> references { 1 };
    static inline std::atomic<int> alive { 0 };
};

/** A host object that answers the given interfaces.

    It starts with one reference, its creator's, and deletes itself when the last one goes. The
    derived class names what it answers in findInterface; the basic unknown interface is always
    the first interface listed, so that every query for it gives the same pointer.
*/
template <typename FirstInterface, typename... OtherInterfaces>
class HostObject : public HostObjectBase,
                   public FirstInterface,
                   public OtherInterfaces...
{
public:
    ACFRESULT QueryInterface (const acfIID& iid, void** outInterface) override
    {
        if (outInterface == nullptr)
            return ACF_E_POINTER;

        *outInterface = iid == IID_IACFUnknown ? static_cast<FirstInterface*> (this) : findInterface (iid);

        if (*outInterface == nullptr)
            return ACF_E_NOINTERFACE;

        addReference();
        return ACF_OK;
    }

    uint32_t AddRef() override     { return addReference(); }
    uint32_t Release() override    { return releaseReference(); }

    /** The basic unknown interface of this object. */
    IACFUnknown* asUnknown() noexcept    { return static_cast<FirstInterface*> (this); }

protected:
    /** The object's own interface for the identifier, or null. */
    virtual void* findInterface (const acfIID& iid) = 0;
};

/** The host's own object of type HostType behind an object that a module passes back to the
    host (a descriptor or a property map it was given), found through the interface; null for
    null or for an object that is not the host's. The caller's reference keeps it alive.
*/
template <typename HostType>
HostType* findHostObject (IACFUnknown* object, const acfIID& iid)
{
    void* found = nullptr;

    if (object == nullptr || object->QueryInterface (iid, &found) != ACF_OK || found == nullptr)
        return nullptr;

    auto* unknown = static_cast<IACFUnknown*> (found);
    auto* hostObject = dynamic_cast<HostType*> (unknown);
    unknown->Release();
    return hostObject;
}
