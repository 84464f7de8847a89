#pragma once

#include "AAX_Identifiers.h"
#include "IACFComponentFactory.h"

#include <utility>

/** Holds one reference to an interface of the other side and releases it when destroyed. */
template <typename Interface>
class ACFPtr
{
public:
    ACFPtr() noexcept = default;
    ACFPtr (const ACFPtr&) = delete;
    ACFPtr& operator= (const ACFPtr&) = delete;
    ACFPtr (ACFPtr&& other) noexcept : object (std::exchange (other.object, nullptr)) {}

    ACFPtr& operator= (ACFPtr&& other) noexcept
    {
        if (this != &other)
            reset (std::exchange (other.object, nullptr));

        return *this;
    }

    ~ACFPtr()       { reset(); }

    /** Asks the object for the interface; stays null when the object is null or refuses. */
    static ACFPtr query (IACFUnknown* source, const acfIID& iid)
    {
        ACFPtr result;
        void* found = nullptr;

        if (source != nullptr && source->QueryInterface (iid, &found) == ACF_OK)
            result.object = static_cast<Interface*> (found);

        return result;
    }

    /** Has the host object's component factory make an object of the class and keeps the asked
        interface of it; stays null when the host has no factory or the factory refuses.
    */
    static ACFPtr create (IACFUnknown* hostObject, const acfCLSID& classID, const acfIID& iid);

    /** Adds a reference of its own to an interface that the caller keeps. */
    static ACFPtr share (Interface* source)
    {
        ACFPtr result;
        result.object = source;

        if (source != nullptr)
            source->AddRef();

        return result;
    }

    /** Takes over a reference the caller already holds. */
    static ACFPtr adopt (Interface* source) noexcept
    {
        ACFPtr result;
        result.object = source;
        return result;
    }

    void reset (Interface* replacement = nullptr) noexcept
    {
        if (auto* old = std::exchange (object, replacement))
            old->Release();
    }

    Interface* get() const noexcept           { return object; }
    Interface* operator->() const noexcept    { return object; }
    explicit operator bool() const noexcept   { return object != nullptr; }

private:
    Interface* object = nullptr;
};

template <typename Interface>
ACFPtr<Interface> ACFPtr<Interface>::create (IACFUnknown* hostObject, const acfCLSID& classID, const acfIID& iid)
{
    ACFPtr result;
    auto factory = ACFPtr<IACFComponentFactory>::query (hostObject, AAX_IID_ComponentFactory);
    void* made = nullptr;

    if (factory && factory->CreateComponent (classID, nullptr, iid, &made) == ACF_OK)
        result.object = static_cast<Interface*> (made);

    return result;
}
