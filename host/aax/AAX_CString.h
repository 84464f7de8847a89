#pragma once

#include "AAX_IString.h"

#include <string>

/** The host binding's own text: a narrow, NUL-terminated byte string with no notion of
    encoding, used for names, ids and value texts on both sides of the host boundary.
*/
class AAX_CString final : public AAX_IString
{
public:
    AAX_CString() = default;

    /** A null pointer gives the empty text. */
    AAX_CString (const char* text);
    AAX_CString (const AAX_CString& other) = default;
    explicit AAX_CString (std::string text);

    uint32_t Length() const override;
    uint32_t MaxLength() const override;
    const char* Get() const override;
    void Set (const char* text) override;

    AAX_CString& operator= (const char* text) override;
    AAX_CString& operator= (const AAX_IString& other) override;
    AAX_CString& operator= (const AAX_CString& other);

    bool operator== (const AAX_CString& other) const noexcept { return text == other.text; }
    bool operator!= (const AAX_CString& other) const noexcept { return text != other.text; }

    const std::string& StdString() const noexcept { return text; }

    /** Removes count characters from the position, never more than are left. */
    void Erase (uint32_t position, uint32_t count);

    /** Replaces the text by the number in fixed notation with that many decimals (1.235, -0.500). */
    void SetNumber (double value, int decimals = 3);

    /** Reads a number the way a standard input stream does: leading white space is skipped and
        reading stops at the first character that cannot continue it. Answers false and gives 0
        when nothing can be read.
    */
    bool ToNumber (double& value) const;

    /** A new text made of the first count characters (all of them when there are fewer). */
    AAX_CString Prefix (uint32_t count) const;

private:
    std::string text;
};
