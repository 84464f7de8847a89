#include "CACFUnknown.h"

static std::atomic<int32_t> activeObjectCount { 0 };

CACFUnknown::CACFUnknown()
    : outerUnknown (&innerUnknown),
      innerUnknown (*this)
{
    activeObjectCount.fetch_add (1);
}

CACFUnknown::~CACFUnknown()
{
    activeObjectCount.fetch_sub (1);
}

ACFRESULT CACFUnknown::FinalConstruct()
{
    return ACF_OK;
}

void CACFUnknown::FinalRelease()
{
}

void CACFUnknown::DeleteThis()
{
    delete this;
}

ACFRESULT CACFUnknown::InternalQueryInterface (const acfIID& iid, void** outInterface)
{
    if (outInterface == nullptr)
        return ACF_E_POINTER;

    *outInterface = nullptr;

    if (iid == IID_IACFUnknown)
    {
        *outInterface = &innerUnknown;
        innerUnknown.AddRef();
        return ACF_OK;
    }

    return ACF_E_NOINTERFACE;
}

uint32_t CACFUnknown::InternalAddRef()
{
    return referenceCount.fetch_add (1) + 1;
}

uint32_t CACFUnknown::InternalRelease()
{
    const auto remaining = referenceCount.fetch_sub (1) - 1;

    if (remaining == 0)
    {
        FinalRelease();
        DeleteThis();
    }

    return remaining;
}

int32_t CACFUnknown::GetActiveObjectCount() noexcept
{
    return activeObjectCount.load();
}

ACFRESULT CACFUnknown::PrivateUnknown::QueryInterface (const acfIID& iid, void** outInterface)
{
    return owner.InternalQueryInterface (iid, outInterface);
}

uint32_t CACFUnknown::PrivateUnknown::AddRef()
{
    return owner.InternalAddRef();
}

uint32_t CACFUnknown::PrivateUnknown::Release()
{
    return owner.InternalRelease();
}
