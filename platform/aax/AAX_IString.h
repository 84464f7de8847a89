#pragma once

#include <cstdint>

/** The text type that crosses the host boundary: a narrow, NUL-terminated byte string the other
    side can read and fill without knowing how it is stored.
*/
class AAX_IString
{
public:
    virtual ~AAX_IString() = default;

    virtual uint32_t Length() const = 0;
    virtual uint32_t MaxLength() const = 0;
    virtual const char* Get() const = 0;

    /** Replaces the text by the characters up to their NUL; a null pointer gives the empty text. */
    virtual void Set (const char* text) = 0;

    virtual AAX_IString& operator= (const char* text) = 0;
    virtual AAX_IString& operator= (const AAX_IString& other) = 0;

protected:
    AAX_IString() = default;
    AAX_IString (const AAX_IString&) = default;
};
