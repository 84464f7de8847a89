#include "SkinTestSupport.h"

#include "DefaultLookAndFeel.h"
#include "GFXSwitch.h"
#include "TestLocale.h"

#include <unistd.h>

using namespace SkinTest;

namespace
{
    class SkinLetterCase  : public Fixture {};

    /** The body's answer under the locale, from a child that a fault cannot keep waiting. */
    std::string readIn (const char* locale, const std::function<std::string()>& body)
    {
        const auto answer = TestLocale::run (locale, [&body]
        {
            ::alarm (60);
            return body();
        });

        return answer.value_or ("(no answer in " + std::string (locale) + ")");
    }
}

// A host may run in any locale; in a Turkish one "I" and "i" are two letters to the C library.
TEST_F (SkinLetterCase, SkinsWithNamesInOtherLetterCaseBuildAsWrittenInEveryLocale)
{
    static const char* const skins[] =
    {
        "<PluginEditor application=\"Corvane\"><Panel name=\"MainPanel\"><controls>"
        "<TextInput name=\"Text\"/><Switch name=\"Flip\" style=\"Vertical\"/><MultiStateButton name=\"Modes\"/>"
        "</controls></Panel></PluginEditor>",

        "<PLUGINEDITOR APPLICATION=\"CORVANE\"><PANEL NAME=\"MAINPANEL\"><CONTROLS>"
        "<TEXTINPUT NAME=\"Text\"/><SWITCH NAME=\"Flip\" STYLE=\"VERTICAL\"/><MULTISTATEBUTTON NAME=\"Modes\"/>"
        "</CONTROLS></PANEL></PLUGINEDITOR>",

        "<pLuGiNeDiToR aPpLiCaTiOn=\"cOrVaNe\"><pAnEl nAmE=\"MainPanel\"><cOnTrOlS>"
        "<tExTiNpUt nAmE=\"Text\"/><sWiTcH nAmE=\"Flip\" sTyLe=\"VeRtIcAl\"/><mUlTiStAtEbUtToN nAmE=\"Modes\"/>"
        "</cOnTrOlS></pAnEl></pLuGiNeDiToR>",
    };

    const auto build = [this] (const char* skin)
    {
        return [this, skin]
        {
            writeSkin ("Test", { { "skin.xml", textOf (skin) } });
            const auto panel = SkinSource (*this, "Test").createMainPanel();

            if (panel == nullptr)
                return std::string ("no main panel");

            std::string answer;

            for (auto* child : panel->getChildren())
                answer += child->getName().toStdString() + " ";

            if (auto* flip = find<GFXSwitch> (*panel, "Flip"))
                answer += "style " + std::to_string ((int) flip->getStyle());

            return answer;
        };
    };

    const auto expected = readIn ("C", build (skins[0]));
    EXPECT_EQ (expected, "Text Flip Modes style " + std::to_string ((int) GFXSwitch::vertical));

    for (const auto* skin : skins)
        for (const auto* locale : { "C", "tr_TR.UTF-8" })
            EXPECT_EQ (readIn (locale, build (skin)), expected) << skin << " in " << locale;
}

TEST (SkinFontLetterCase, FontStylesAreReadInAnyLetterCaseInEveryLocale)
{
    const auto styleOf = [] (const char* name, const char* style)
    {
        return [name, style]
        {
            DefaultLookAndFeel lf;
            return lf.getTypefaceForFont (juce::Font (name, style, 13.0f))->getStyle().toStdString();
        };
    };

    const auto expected = readIn ("C", styleOf ("Halvorn Sans", "Bold Italic"));
    EXPECT_EQ (expected, "Bold Oblique");

    for (const auto& [name, style] : { std::pair ("HALVORN SANS", "BOLD ITALIC"), std::pair ("hAlVoRn sAnS", "bOlD iTaLiC") })
        for (const auto* locale : { "C", "tr_TR.UTF-8" })
            EXPECT_EQ (readIn (locale, styleOf (name, style)), expected) << style << " in " << locale;
}
