#pragma once

#include "AAX_IString.h"

#include <string>

/** The host's own text, handed to a module to fill (names, ids, value texts). */
class HostString final : public AAX_IString
{
public:
    HostString() = default;
    explicit HostString (std::string initial) : text (std::move (initial)) {}
    HostString (const HostString&) = default;
    HostString& operator= (const HostString& other)    { text = other.text; return *this; }

    uint32_t Length() const override                    { return static_cast<uint32_t> (text.size()); }
    uint32_t MaxLength() const override                 { return 0xFFFFFFFEu; }
    const char* Get() const override                    { return text.c_str(); }
    void Set (const char* newText) override             { text = newText != nullptr ? newText : ""; }

    HostString& operator= (const char* newText) override          { Set (newText); return *this; }
    HostString& operator= (const AAX_IString& other) override     { Set (other.Get()); return *this; }

    const std::string& str() const noexcept             { return text; }

private:
    std::string text;
};
