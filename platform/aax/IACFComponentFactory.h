#pragma once

#include "ACFTypes.h"

/** The host object's factory of the objects a description is made of (collection, descriptors,
    property maps), reached from the host object by AAX_IID_ComponentFactory.
*/
class IACFComponentFactory : public IACFUnknown
{
public:
    /** Makes an object of the class and hands out the asked interface with one reference. */
    virtual ACFRESULT CreateComponent (const acfCLSID& classID, IACFUnknown* outer,
                                       const acfIID& iid, void** outInterface) = 0;

protected:
    ~IACFComponentFactory() = default;
};
