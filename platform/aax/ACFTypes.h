#pragma once

#include <cstdint>
#include <cstring>

/** Basic types of the host's component framework: result codes, interface and class
    identifiers, and the unknown interface that every host-visible object begins with.
*/

/** Result of a component-framework call: 0 is success, negative values are failures. */
using ACFRESULT = int32_t;

constexpr ACFRESULT ACF_OK = 0;
constexpr ACFRESULT ACF_E_NOINTERFACE = static_cast<ACFRESULT> (0x80000004u);
constexpr ACFRESULT ACF_E_POINTER = static_cast<ACFRESULT> (0x80000005u);
constexpr ACFRESULT ACF_E_UNEXPECTED = static_cast<ACFRESULT> (0x8000FFFFu);

/** A 128-bit identifier of an interface or of a class the host can create. */
struct acfUID
{
    uint32_t data1;
    uint16_t data2;
    uint16_t data3;
    uint8_t data4[8];
};

using acfIID = acfUID;
using acfCLSID = acfUID;

inline bool operator== (const acfUID& a, const acfUID& b) noexcept
{
    return a.data1 == b.data1 && a.data2 == b.data2 && a.data3 == b.data3
        && std::memcmp (a.data4, b.data4, sizeof (a.data4)) == 0;
}

inline bool operator!= (const acfUID& a, const acfUID& b) noexcept { return ! (a == b); }

/** The basic interface: every object crossing the host boundary starts with these three
    operations. Reference counts start at the object's own discretion; a successful
    QueryInterface always adds one reference to the interface it hands out.
*/
class IACFUnknown
{
public:
    virtual ACFRESULT QueryInterface (const acfIID& iid, void** outInterface) = 0;
    virtual uint32_t AddRef() = 0;
    virtual uint32_t Release() = 0;

protected:
    ~IACFUnknown() = default;
};

/** {00000000-0000-0000-C000-000000000046} */
constexpr acfIID IID_IACFUnknown { 0x00000000, 0x0000, 0x0000, { 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46 } };
