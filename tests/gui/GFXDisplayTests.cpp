#include "SkinTestSupport.h"
#include "DisplayForWindows.h"

#include "GFXDisplayFloat.h"

using namespace SkinTest;

namespace
{
    class GFXDisplayTest  : public Fixture {};

    // Glyph strips of 8 x 8 glyphs from " " on; frame k of the strip is glyph k (or, from
    // charCount on, the highlighted glyph k - charCount).
    constexpr int glyph = 8;

    void giveFont (GFXDisplay& display, int glyphs)
    {
        display.setFontImage (makeStrip (glyph, glyph, glyphs * 2), glyph, ' ');
    }

    struct Journal  : public GFXDisplay::Listener
    {
        void displayTextChanged (GFXDisplay* d) override    { texts.add (d->getText()); }
        juce::StringArray texts;
    };

    juce::KeyPress key (int code, juce::juce_wchar character = 0)   { return { code, {}, character }; }
}

TEST_F (GFXDisplayTest, DrawsOneGlyphPerCharacterFromTheStrip)
{
    GFXDisplay wide ("Display");
    wide.setFontImage (juce::Image (juce::Image::ARGB, 10, 960, true), 8, ' ');
    EXPECT_EQ (wide.getCharWidth(), 10);
    EXPECT_EQ (wide.getLastASCII(), 91);

    // Text "A~" in 60 glyphs (" " to "[") and five cells: "A", then "~" past the end
    // shows the last glyph, then spaces.
    struct Case { juce::String text; bool centre; int cells[5]; };
    const Case cases[] = {
        { "A~", false, { 'A' - 32, 59, 0, 0, 0 } },
        { "A",  true,  { 0, 0, 'A' - 32, 0, 0 } },
        { juce::String::charToString (0xe9), false, { 0, 0, 0, 0, 0 } },
    };

    for (const auto& c : cases)
    {
        GFXDisplay display ("Display");
        giveFont (display, 60);
        display.setSize (5 * glyph, glyph);
        display.centreShortText = c.centre;
        display.setText (c.text);

        for (int cell = 0; cell < 5; ++cell)
            EXPECT_EQ (frameShown (display, cell * glyph + 2, 2), c.cells[cell]) << c.text << " cell " << cell;
    }
}

TEST_F (GFXDisplayTest, KeysEditTextCaretAndView)
{
    const auto typed = [] (const char* text)
    {
        juce::Array<juce::KeyPress> keys;

        for (auto* p = text; *p != 0; ++p)
            keys.add (key (*p, (juce::juce_wchar) *p));

        return keys;
    };

    const auto plus = [] (juce::Array<juce::KeyPress> keys, std::initializer_list<juce::KeyPress> more)
    {
        keys.addArray (more);
        return keys;
    };

    struct Case { juce::Array<juce::KeyPress> keys; juce::String text; int caret, scroll; };
    const Case cases[] = {
        { typed ("ABCDE"), "ABCDE", 5, 1 },
        { typed ("ABCDEF"), "ABCDEF", 6, 2 },
        { plus (typed ("ABC"), { key (juce::KeyPress::backspaceKey) }), "AB", 2, 0 },
        { plus (typed ("ABC"), { key (juce::KeyPress::homeKey), key (juce::KeyPress::deleteKey) }), "BC", 0, 0 },
        { plus (typed ("ABC"), { key (juce::KeyPress::leftKey), key ('X', 'X') }), "ABXC", 3, 0 },
        { plus (typed ("AB"), { key (juce::KeyPress::homeKey), key (juce::KeyPress::leftKey),
                                key (juce::KeyPress::backspaceKey) }), "AB", 0, 0 },
        { plus (typed ("AB"), { key (juce::KeyPress::endKey), key (juce::KeyPress::rightKey) }), "AB", 2, 0 },
        // "a" lies past the strip's last glyph ("[") and "\t" before its first: nothing is inserted.
        { typed ("Aa\t"), "A", 1, 0 },
    };

    for (const auto& c : cases)
    {
        GFXDisplay display ("Display");
        giveFont (display, 60);
        display.setSize (5 * glyph, glyph);

        for (const auto& k : c.keys)
            EXPECT_TRUE (display.keyPressed (k));

        EXPECT_EQ (display.getText(), c.text);
        EXPECT_EQ (display.getCaretPosition(), c.caret) << c.text;
        EXPECT_EQ (display.getScrollOffset(), c.scroll) << c.text;
    }
}

TEST_F (GFXDisplayTest, EditingOnTheDesktopReportsOnlyRealChangesOnDisplay)
{
    SKIP_WITHOUT_DISPLAY();

    struct Case { juce::juce_wchar typed; int endKey; juce::StringArray told; juce::String text; };
    const Case cases[] = {
        { 'X', juce::KeyPress::returnKey, { "TempoX" }, "TempoX" },
        { 'X', juce::KeyPress::escapeKey, {}, "Tempo" },
        { 0,   juce::KeyPress::returnKey, {}, "Tempo" },
    };

    for (const auto& c : cases)
    {
        juce::Component panel;
        panel.setBounds (100, 100, 200, 100);
        panel.addToDesktop (0);
        panel.setVisible (true);

        GFXDisplay display ("Tempo");
        giveFont (display, 60);
        display.setBounds (10, 20, 5 * glyph, glyph);
        panel.addAndMakeVisible (display);

        Journal journal;
        display.addListener (&journal);
        display.setText ("Tempo");

        display.focusGained (juce::Component::focusChangedByMouseClick);
        EXPECT_TRUE (display.isOnDesktop());
        EXPECT_EQ (display.getCaretPosition(), 5);

        if (c.typed != 0)
            display.keyPressed (key ((int) c.typed, c.typed));

        display.keyPressed (key (c.endKey));
        display.focusLost (juce::Component::focusChangedDirectly);

        EXPECT_FALSE (display.isOnDesktop());
        EXPECT_EQ (display.getParentComponent(), &panel);
        EXPECT_EQ (display.getBounds(), juce::Rectangle<int> (10, 20, 5 * glyph, glyph));
        EXPECT_EQ (journal.texts, c.told) << c.endKey;
        EXPECT_EQ (display.getText(), c.text);
    }
}

TEST_F (GFXDisplayTest, SkinSetsColoursReadOnlyAndFont)
{
    auto panel = loadControls ("<Display name=\"Hello\" backgroundColour=\"FF00FF00\" readonly=\"yes\">"
                               "<gfx resource=\"font.png\" fontHeight=\"8\" firstASCII=\"0\"/>"
                               "<pos left=\"3\" top=\"4\"/><size width=\"40\" height=\"10\"/></Display>"
                               "<DisplayFloat name=\"Plain\"><size width=\"40\" height=\"10\"/></DisplayFloat>",
                               { { "font.png", pngOf (makeStrip (8, 8, 20)) } });

    auto* display = find<GFXDisplay> (*panel, "Hello");
    ASSERT_NE (display, nullptr);
    EXPECT_EQ (display->getText(), "Hello");
    EXPECT_FALSE (display->isEnabled());
    EXPECT_EQ (display->getBounds(), juce::Rectangle<int> (3, 4, 40, 10));
    EXPECT_EQ (display->getFirstASCII(), '0');
    EXPECT_EQ (display->getLastASCII(), '0' + 9);
    EXPECT_EQ (display->createComponentSnapshot ({ 0, 0, 40, 1 }).getPixelAt (0, 0).getARGB(), 0xff00ff00u);

    EXPECT_NE (dynamic_cast<GFXDisplayFloat*> (find<GFXDisplay> (*panel, "Plain")), nullptr);
}

TEST (GFXDisplayFloatTest, FormatsValuesSoThatADigitEndsTheView)
{
    struct Case { double value; int fit; const char* text; };
    const Case cases[] = {
        { 1234.5, 5, " 1234.5" }, { 12.5, 5, "12.5" }, { 0.333333333, 5, "0.333333" }, { 3.0, 5, "3" },
        { 12.345678, 8, "12.3457" }, { -3.0, 5, "-3" }, { 1.0e6, 5, "1e+06" },
        // Narrower than one glyph: there is no last visible glyph to protect.
        { 1234.5, 0, "1234.5" }, { 0.5, 0, "0.5" }, { 1.5, 1, "1.5" },
    };

    for (const auto& c : cases)
        EXPECT_EQ (GFXDisplayFloat::formatValue (c.value, c.fit), juce::String (c.text)) << c.value << " " << c.fit;
}
