#include <gtest/gtest.h>

#include "CaseKey.h"

#include <clocale>

namespace
{
    juce::String utf8 (const char* text) { return juce::String (juce::CharPointer_UTF8 (text)); }
}

TEST (CaseKey, NamesAreOneExactlyWhenUnicodeFoldsThemAlikeWhateverTheLocale)
{
    const struct { const char* a; const char* b; bool same; } cases[] =
    {
        { "VINTAGE", "vintage", true },
        { "Vintage", "VINTAGE", true },
        { "\xc3\x89lan", "\xc3\xa9lan", true },                                           // Élan, élan
        { "\xce\xa3\xce\x9f\xce\xa6\xce\x8c\xce\xa3", "\xcf\x83\xce\xbf\xcf\x86\xcf\x8c\xcf\x82", true }, // ΣΟΦΌΣ, σοφός
        { "\xd0\x9c\xd0\xbe\xd1\x8f", "\xd0\xbc\xd0\x9e\xd0\xaf", true },                 // Моя, мОЯ
        { "\xe1\xba\x9e", "\xc3\x9f", true },                                             // ẞ, ß
        { "\xc3\x9f", "ss", false },                                                      // only full folding makes ß "ss"
        { "\xc4\xb0", "i", false },                                                       // İ folds to i only in Turkish
        { "\xc4\xb1", "I", false },                                                       // ı
        { "\xef\xbc\xa1", "\xef\xbd\x81", true },                                         // fullwidth A, a
        { "\xf0\x90\x90\x80", "\xf0\x90\x90\xa8", true },                                 // Deseret, above the BMP
        { "Basic", "Basics", false },
        { "", "", true },
    };

    for (const char* locale : { "C", "C.UTF-8", "tr_TR.UTF-8" })
    {
        const auto* set = std::setlocale (LC_ALL, locale);

        for (const auto& c : cases)
        {
            SCOPED_TRACE (juce::String (locale) + ": " + utf8 (c.a) + " / " + utf8 (c.b) + (set == nullptr ? " (locale absent)" : ""));
            EXPECT_EQ (CaseKey::equal (utf8 (c.a), utf8 (c.b)), c.same);
            EXPECT_EQ (CaseKey::of (utf8 (c.a)) == CaseKey::of (utf8 (c.b)), c.same);
            EXPECT_EQ (CaseKey::compare (utf8 (c.a), utf8 (c.b)) == 0, c.same);
        }
    }

    std::setlocale (LC_ALL, "C");
    EXPECT_TRUE (CaseKey::startsWith ("VERSION=2", "version"));
    EXPECT_TRUE (CaseKey::endsWith ("Fresh Idea.CVPRST", ".cvprst"));
    EXPECT_TRUE (CaseKey::equalsUpTo (juce::CharPointer_UTF8 ("MIDIControlMap"), "midicontrolmap", 14));
    EXPECT_FALSE (CaseKey::equalsUpTo (juce::CharPointer_UTF8 ("MID"), "midi", 4));
}
