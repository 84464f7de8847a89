#pragma once

#include "AAX_IDisplayDelegate.h"

#include <algorithm>
#include <vector>

/** Shows a switch as one of two texts, with shorter pairs of texts for narrow displays. */
template <typename T>
class AAX_CBinaryDisplayDelegate final : public AAX_IDisplayDelegate<T>
{
public:
    AAX_CBinaryDisplayDelegate (const char* falseString, const char* trueString)
        : falseText (falseString), trueText (trueString),
          longestLength (std::max (falseText.Length(), trueText.Length()))
    {
    }

    std::unique_ptr<AAX_IDisplayDelegate<T>> Clone() const override
    {
        return std::make_unique<AAX_CBinaryDisplayDelegate> (*this);
    }

    /** Adds a pair of texts that fit maxChars characters, for displays narrower than the full texts. */
    void AddShortenedStrings (int32_t maxChars, const char* falseString, const char* trueString)
    {
        shortenedPairs.push_back ({ maxChars, AAX_CString (falseString), AAX_CString (trueString) });
    }

    bool ValueToString (T value, AAX_CString* outText) const override
    {
        *outText = value ? trueText : falseText;
        return true;
    }

    /** The full texts when they fit or no shorter pair exists; else the last added pair that fits,
        or the first pair when none does.
    */
    bool ValueToString (T value, int32_t maxChars, AAX_CString* outText) const override
    {
        const auto limit = std::max (maxChars, int32_t (0));

        if (shortenedPairs.empty() || static_cast<uint32_t> (limit) >= longestLength)
            return ValueToString (value, outText);

        const auto* chosen = &shortenedPairs.front();

        for (auto pair = shortenedPairs.rbegin(); pair != shortenedPairs.rend(); ++pair)
        {
            if (pair->maxChars <= limit)
            {
                chosen = &*pair;
                break;
            }
        }

        *outText = value ? chosen->trueText : chosen->falseText;
        return true;
    }

    bool StringToValue (const AAX_CString& text, T* outValue) const override
    {
        if (text == trueText)
        {
            *outValue = true;
            return true;
        }

        *outValue = false;
        return text == falseText;
    }

private:
    struct ShortenedPair
    {
        int32_t maxChars;
        AAX_CString falseText, trueText;
    };

    AAX_CString falseText, trueText;
    uint32_t longestLength;
    std::vector<ShortenedPair> shortenedPairs;
};
