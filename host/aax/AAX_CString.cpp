#include "AAX_CString.h"

#include <locale>
#include <sstream>

AAX_CString::AAX_CString (const char* t)
    : text (t != nullptr ? t : "")
{
}

AAX_CString::AAX_CString (std::string t)
    : text (std::move (t))
{
}

uint32_t AAX_CString::Length() const
{
    return static_cast<uint32_t> (text.size());
}

uint32_t AAX_CString::MaxLength() const
{
    return 0xFFFFFFFEu;
}

const char* AAX_CString::Get() const
{
    return text.c_str();
}

void AAX_CString::Set (const char* t)
{
    text = t != nullptr ? t : "";
}

AAX_CString& AAX_CString::operator= (const char* t)
{
    Set (t);
    return *this;
}

AAX_CString& AAX_CString::operator= (const AAX_IString& other)
{
    if (&other != this)
        Set (other.Get());

    return *this;
}

AAX_CString& AAX_CString::operator= (const AAX_CString& other)
{
    text = other.text;
    return *this;
}

void AAX_CString::Erase (uint32_t position, uint32_t count)
{
    if (position < text.size())
        text.erase (position, count);
}

void AAX_CString::SetNumber (double value, int decimals)
{
    std::ostringstream stream;
    stream.imbue (std::locale::classic());
    stream.setf (std::ios::fixed, std::ios::floatfield);
    stream.precision (decimals);
    stream << value;
    text = stream.str();
}

bool AAX_CString::ToNumber (double& value) const
{
    std::istringstream stream (text);
    stream.imbue (std::locale::classic());

    if (stream >> value)
        return true;

    value = 0.0;
    return false;
}

AAX_CString AAX_CString::Prefix (uint32_t count) const
{
    return AAX_CString (text.substr (0, count));
}
