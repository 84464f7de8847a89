#pragma once

#include "ACFTypes.h"

#include <atomic>

/** The reference-counted base of every object the module hands to the host.

    The object's main interface forwards QueryInterface, AddRef and Release to the controlling
    unknown, which is the inner PrivateUnknown below; that in turn reaches the Internal...
    operations, which derived classes extend with the interfaces they offer. The reference count
    starts at 0: the host takes the first reference by asking for an interface, and the object
    deletes itself when the last one is released.

    Every construction and destruction is counted module-wide, so that the module can tell the
    host when it may be unloaded.
*/
class CACFUnknown
{
public:
    CACFUnknown();
    virtual ~CACFUnknown();

    CACFUnknown (const CACFUnknown&) = delete;
    CACFUnknown& operator= (const CACFUnknown&) = delete;

    /** A hook for work after construction; the base does nothing. */
    virtual ACFRESULT FinalConstruct();

    /** Called when the last reference is released, right before the object is deleted. */
    virtual void FinalRelease();

    virtual void DeleteThis();

    /** Hands out the basic unknown interface; derived classes add their own interfaces and pass
        every other identifier on to this. The out-pointer is null on every failure.
    */
    virtual ACFRESULT InternalQueryInterface (const acfIID& iid, void** outInterface);
    virtual uint32_t InternalAddRef();
    virtual uint32_t InternalRelease();

    IACFUnknown* GetOuterUnknown() const noexcept   { return outerUnknown; }

    /** The number of module objects alive right now, from any thread. */
    static int32_t GetActiveObjectCount() noexcept;

private:
    class PrivateUnknown final : public IACFUnknown
    {
    public:
        explicit PrivateUnknown (CACFUnknown& o) noexcept : owner (o) {}

        ACFRESULT QueryInterface (const acfIID& iid, void** outInterface) override;
        uint32_t AddRef() override;
        uint32_t Release() override;

    private:
        CACFUnknown& owner;
    };

    std::atomic<uint32_t> referenceCount { 0 };
    IACFUnknown* outerUnknown;
    PrivateUnknown innerUnknown;
};
