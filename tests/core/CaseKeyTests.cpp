#include <gtest/gtest.h>

#include "CaseKey.h"
#include "TestLocale.h"

namespace
{
    juce::String utf8 (const char* text) { return juce::String (juce::CharPointer_UTF8 (text)); }
}

TEST (CaseKey, NamesAreOneExactlyWhenUnicodeFoldsThemAlikeWhateverTheLocale)
{
    static const struct { const char* a; const char* b; bool same; } cases[] =
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

    std::string expected;

    for (const auto& c : cases)
        expected += c.same ? '1' : '0';

    const auto answers = []
    {
        std::string answer;

        for (const auto& c : cases)
        {
            const auto a = utf8 (c.a), b = utf8 (c.b);
            const auto equal = CaseKey::equal (a, b);
            answer += (equal == (CaseKey::of (a) == CaseKey::of (b)) && equal == (CaseKey::compare (a, b) == 0)) ? (equal ? '1' : '0') : '?';
        }

        return answer;
    };

    for (const char* locale : { "C", "C.UTF-8", "tr_TR.UTF-8", "de_DE.ISO-8859-1" })
    {
        const auto answer = TestLocale::run (locale, answers);

        if (answer.has_value())
            EXPECT_EQ (*answer, expected) << locale;
        else
            ADD_FAILURE() << "the locale " << locale << " could not be made";
    }

    EXPECT_TRUE (CaseKey::startsWith ("VERSION=2", "version"));
    EXPECT_TRUE (CaseKey::endsWith ("Fresh Idea.CVPRST", ".cvprst"));
    EXPECT_TRUE (CaseKey::equalsUpTo (juce::CharPointer_UTF8 ("MIDIControlMap"), "midicontrolmap", 14));
    EXPECT_FALSE (CaseKey::equalsUpTo (juce::CharPointer_UTF8 ("MID"), "midi", 4));
}
