#include "CaseKey.h"

#include <algorithm>
#include <iterator>

namespace
{
    /** Runs of characters that fold alike: count characters from first, stride apart, each
        folding to itself plus delta. Made from Unicode 14's CaseFolding.txt (statuses C and S),
        ASCII left out since it is folded before the table is looked at.
    */
    struct FoldRun
    {
        juce::juce_wchar first;
        int count, delta, stride;
    };

    constexpr FoldRun foldRuns[] =
    {
        { 0x000b5, 1, 775, 1 },
        { 0x000c0, 23, 32, 1 },
        { 0x000d8, 7, 32, 1 },
        { 0x00100, 24, 1, 2 },
        { 0x00132, 3, 1, 2 },
        { 0x00139, 8, 1, 2 },
        { 0x0014a, 23, 1, 2 },
        { 0x00178, 1, -121, 1 },
        { 0x00179, 3, 1, 2 },
        { 0x0017f, 1, -268, 1 },
        { 0x00181, 1, 210, 1 },
        { 0x00182, 2, 1, 2 },
        { 0x00186, 1, 206, 1 },
        { 0x00187, 1, 1, 1 },
        { 0x00189, 2, 205, 1 },
        { 0x0018b, 1, 1, 1 },
        { 0x0018e, 1, 79, 1 },
        { 0x0018f, 1, 202, 1 },
        { 0x00190, 1, 203, 1 },
        { 0x00191, 1, 1, 1 },
        { 0x00193, 1, 205, 1 },
        { 0x00194, 1, 207, 1 },
        { 0x00196, 1, 211, 1 },
        { 0x00197, 1, 209, 1 },
        { 0x00198, 1, 1, 1 },
        { 0x0019c, 1, 211, 1 },
        { 0x0019d, 1, 213, 1 },
        { 0x0019f, 1, 214, 1 },
        { 0x001a0, 3, 1, 2 },
        { 0x001a6, 1, 218, 1 },
        { 0x001a7, 1, 1, 1 },
        { 0x001a9, 1, 218, 1 },
        { 0x001ac, 1, 1, 1 },
        { 0x001ae, 1, 218, 1 },
        { 0x001af, 1, 1, 1 },
        { 0x001b1, 2, 217, 1 },
        { 0x001b3, 2, 1, 2 },
        { 0x001b7, 1, 219, 1 },
        { 0x001b8, 1, 1, 1 },
        { 0x001bc, 1, 1, 1 },
        { 0x001c4, 1, 2, 1 },
        { 0x001c5, 1, 1, 1 },
        { 0x001c7, 1, 2, 1 },
        { 0x001c8, 1, 1, 1 },
        { 0x001ca, 1, 2, 1 },
        { 0x001cb, 9, 1, 2 },
        { 0x001de, 9, 1, 2 },
        { 0x001f1, 1, 2, 1 },
        { 0x001f2, 2, 1, 2 },
        { 0x001f6, 1, -97, 1 },
        { 0x001f7, 1, -56, 1 },
        { 0x001f8, 20, 1, 2 },
        { 0x00220, 1, -130, 1 },
        { 0x00222, 9, 1, 2 },
        { 0x0023a, 1, 10795, 1 },
        { 0x0023b, 1, 1, 1 },
        { 0x0023d, 1, -163, 1 },
        { 0x0023e, 1, 10792, 1 },
        { 0x00241, 1, 1, 1 },
        { 0x00243, 1, -195, 1 },
        { 0x00244, 1, 69, 1 },
        { 0x00245, 1, 71, 1 },
        { 0x00246, 5, 1, 2 },
        { 0x00345, 1, 116, 1 },
        { 0x00370, 2, 1, 2 },
        { 0x00376, 1, 1, 1 },
        { 0x0037f, 1, 116, 1 },
        { 0x00386, 1, 38, 1 },
        { 0x00388, 3, 37, 1 },
        { 0x0038c, 1, 64, 1 },
        { 0x0038e, 2, 63, 1 },
        { 0x00391, 17, 32, 1 },
        { 0x003a3, 9, 32, 1 },
        { 0x003c2, 1, 1, 1 },
        { 0x003cf, 1, 8, 1 },
        { 0x003d0, 1, -30, 1 },
        { 0x003d1, 1, -25, 1 },
        { 0x003d5, 1, -15, 1 },
        { 0x003d6, 1, -22, 1 },
        { 0x003d8, 12, 1, 2 },
        { 0x003f0, 1, -54, 1 },
        { 0x003f1, 1, -48, 1 },
        { 0x003f4, 1, -60, 1 },
        { 0x003f5, 1, -64, 1 },
        { 0x003f7, 1, 1, 1 },
        { 0x003f9, 1, -7, 1 },
        { 0x003fa, 1, 1, 1 },
        { 0x003fd, 3, -130, 1 },
        { 0x00400, 16, 80, 1 },
        { 0x00410, 32, 32, 1 },
        { 0x00460, 17, 1, 2 },
        { 0x0048a, 27, 1, 2 },
        { 0x004c0, 1, 15, 1 },
        { 0x004c1, 7, 1, 2 },
        { 0x004d0, 48, 1, 2 },
        { 0x00531, 38, 48, 1 },
        { 0x010a0, 38, 7264, 1 },
        { 0x010c7, 1, 7264, 1 },
        { 0x010cd, 1, 7264, 1 },
        { 0x013f8, 6, -8, 1 },
        { 0x01c80, 1, -6222, 1 },
        { 0x01c81, 1, -6221, 1 },
        { 0x01c82, 1, -6212, 1 },
        { 0x01c83, 2, -6210, 1 },
        { 0x01c85, 1, -6211, 1 },
        { 0x01c86, 1, -6204, 1 },
        { 0x01c87, 1, -6180, 1 },
        { 0x01c88, 1, 35267, 1 },
        { 0x01c90, 43, -3008, 1 },
        { 0x01cbd, 3, -3008, 1 },
        { 0x01e00, 75, 1, 2 },
        { 0x01e9b, 1, -58, 1 },
        { 0x01e9e, 1, -7615, 1 },
        { 0x01ea0, 48, 1, 2 },
        { 0x01f08, 8, -8, 1 },
        { 0x01f18, 6, -8, 1 },
        { 0x01f28, 8, -8, 1 },
        { 0x01f38, 8, -8, 1 },
        { 0x01f48, 6, -8, 1 },
        { 0x01f59, 4, -8, 2 },
        { 0x01f68, 8, -8, 1 },
        { 0x01f88, 8, -8, 1 },
        { 0x01f98, 8, -8, 1 },
        { 0x01fa8, 8, -8, 1 },
        { 0x01fb8, 2, -8, 1 },
        { 0x01fba, 2, -74, 1 },
        { 0x01fbc, 1, -9, 1 },
        { 0x01fbe, 1, -7173, 1 },
        { 0x01fc8, 4, -86, 1 },
        { 0x01fcc, 1, -9, 1 },
        { 0x01fd8, 2, -8, 1 },
        { 0x01fda, 2, -100, 1 },
        { 0x01fe8, 2, -8, 1 },
        { 0x01fea, 2, -112, 1 },
        { 0x01fec, 1, -7, 1 },
        { 0x01ff8, 2, -128, 1 },
        { 0x01ffa, 2, -126, 1 },
        { 0x01ffc, 1, -9, 1 },
        { 0x02126, 1, -7517, 1 },
        { 0x0212a, 1, -8383, 1 },
        { 0x0212b, 1, -8262, 1 },
        { 0x02132, 1, 28, 1 },
        { 0x02160, 16, 16, 1 },
        { 0x02183, 1, 1, 1 },
        { 0x024b6, 26, 26, 1 },
        { 0x02c00, 48, 48, 1 },
        { 0x02c60, 1, 1, 1 },
        { 0x02c62, 1, -10743, 1 },
        { 0x02c63, 1, -3814, 1 },
        { 0x02c64, 1, -10727, 1 },
        { 0x02c67, 3, 1, 2 },
        { 0x02c6d, 1, -10780, 1 },
        { 0x02c6e, 1, -10749, 1 },
        { 0x02c6f, 1, -10783, 1 },
        { 0x02c70, 1, -10782, 1 },
        { 0x02c72, 1, 1, 1 },
        { 0x02c75, 1, 1, 1 },
        { 0x02c7e, 2, -10815, 1 },
        { 0x02c80, 50, 1, 2 },
        { 0x02ceb, 2, 1, 2 },
        { 0x02cf2, 1, 1, 1 },
        { 0x0a640, 23, 1, 2 },
        { 0x0a680, 14, 1, 2 },
        { 0x0a722, 7, 1, 2 },
        { 0x0a732, 31, 1, 2 },
        { 0x0a779, 2, 1, 2 },
        { 0x0a77d, 1, -35332, 1 },
        { 0x0a77e, 5, 1, 2 },
        { 0x0a78b, 1, 1, 1 },
        { 0x0a78d, 1, -42280, 1 },
        { 0x0a790, 2, 1, 2 },
        { 0x0a796, 10, 1, 2 },
        { 0x0a7aa, 1, -42308, 1 },
        { 0x0a7ab, 1, -42319, 1 },
        { 0x0a7ac, 1, -42315, 1 },
        { 0x0a7ad, 1, -42305, 1 },
        { 0x0a7ae, 1, -42308, 1 },
        { 0x0a7b0, 1, -42258, 1 },
        { 0x0a7b1, 1, -42282, 1 },
        { 0x0a7b2, 1, -42261, 1 },
        { 0x0a7b3, 1, 928, 1 },
        { 0x0a7b4, 8, 1, 2 },
        { 0x0a7c4, 1, -48, 1 },
        { 0x0a7c5, 1, -42307, 1 },
        { 0x0a7c6, 1, -35384, 1 },
        { 0x0a7c7, 2, 1, 2 },
        { 0x0a7d0, 1, 1, 1 },
        { 0x0a7d6, 2, 1, 2 },
        { 0x0a7f5, 1, 1, 1 },
        { 0x0ab70, 80, -38864, 1 },
        { 0x0ff21, 26, 32, 1 },
        { 0x10400, 40, 40, 1 },
        { 0x104b0, 36, 40, 1 },
        { 0x10570, 11, 39, 1 },
        { 0x1057c, 15, 39, 1 },
        { 0x1058c, 7, 39, 1 },
        { 0x10594, 2, 39, 1 },
        { 0x10c80, 51, 64, 1 },
        { 0x118a0, 32, 32, 1 },
        { 0x16e40, 32, 32, 1 },
        { 0x1e900, 34, 34, 1 },
    };
}

juce::juce_wchar CaseKey::fold (juce::juce_wchar c) noexcept
{
    if (c < 0x80)
        return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;

    const auto after = std::upper_bound (std::begin (foldRuns), std::end (foldRuns), c,
                                         [] (juce::juce_wchar value, const FoldRun& run) { return value < run.first; });

    if (after == std::begin (foldRuns))
        return c;

    const auto& run = *std::prev (after);
    const auto offset = (int) (c - run.first);

    if (offset >= run.count * run.stride || offset % run.stride != 0)
        return c;

    return (juce::juce_wchar) ((int) c + run.delta);
}

juce::String CaseKey::of (const juce::String& text)
{
    juce::String key;
    key.preallocateBytes (text.getNumBytesAsUTF8());

    for (auto p = text.getCharPointer(); ! p.isEmpty();)
        key << juce::String::charToString (fold (p.getAndAdvance()));

    return key;
}

int CaseKey::compare (const juce::String& a, const juce::String& b) noexcept
{
    for (auto p = a.getCharPointer(), q = b.getCharPointer();;)
    {
        const auto x = fold (p.getAndAdvance()), y = fold (q.getAndAdvance());

        if (x != y)
            return x < y ? -1 : 1;

        if (x == 0)
            return 0;
    }
}

bool CaseKey::equal (const juce::String& a, const juce::String& b) noexcept
{
    return compare (a, b) == 0;
}

bool CaseKey::startsWith (const juce::String& text, const juce::String& prefix) noexcept
{
    for (auto p = text.getCharPointer(), q = prefix.getCharPointer();;)
    {
        const auto y = fold (q.getAndAdvance());

        if (y == 0)
            return true;

        if (fold (p.getAndAdvance()) != y)
            return false;
    }
}

bool CaseKey::endsWith (const juce::String& text, const juce::String& suffix)
{
    const auto textLength = text.length(), suffixLength = suffix.length();
    return textLength >= suffixLength && equal (text.substring (textLength - suffixLength), suffix);
}

bool CaseKey::equalsUpTo (juce::CharPointer_UTF8 text, const char* ascii, int length) noexcept
{
    for (int i = 0; i < length; ++i)
    {
        const auto c = text.getAndAdvance();

        if (c == 0 || c >= 0x80 || fold (c) != fold ((juce::juce_wchar) (unsigned char) ascii[i]))
            return false;
    }

    return true;
}
