#include "SkinTestSupport.h"

#include "GFXAnimation.h"
#include "GFXKnob.h"
#include "GFXToggleButton.h"
#include "GFXWidgetFactory.h"
#include "NumericDisplay.h"
#include "PatternNumberDisplay.h"
#include "TextInput.h"

#include <functional>

using namespace SkinTest;

namespace
{
    class SkinSourceTest  : public Fixture {};

    const juce::String backgroundGfx = "<gfx resource=\"Background.png\"/>";
}

TEST_F (SkinSourceTest, OpensOnlyArchivesWhoseDigestMatches)
{
    const Entries skin = { { "skin.xml", textOf (skinDocument ({}, backgroundGfx)) },
                           { "Background.png", pngOf (makeStrip (30, 20, 1)) } };
    const auto digest = juce::MD5 (zipOf (skin)).toHexString();

    struct Case { const char* what; std::optional<juce::String> digestText; bool withDigest, withSkin, loads; };
    const Case cases[] = {
        { "lower-case digest", {}, true, true, true },
        { "upper-case digest", digest.toUpperCase(), true, true, true },
        { "digest with a line end", digest + "\n", true, true, false },
        { "another digest", juce::String::repeatedString ("0", 32), true, true, false },
        { "no digest entry", {}, false, true, false },
        { "no skin entry", {}, true, false, false },
    };

    for (const auto& c : cases)
    {
        writeSkin ("Night", skin, c.digestText, c.withDigest, c.withSkin);

        EXPECT_EQ (SkinSource::isValidSkin (*owner, "Night"), c.loads) << c.what;

        SkinSource source (*owner, "Night");
        auto panel = source.createMainPanel();
        EXPECT_EQ (panel != nullptr, c.loads) << c.what;
        EXPECT_EQ (source.loadImageFromArchive ("Background.png").isValid(), c.loads) << c.what;

        if (panel != nullptr)
        {
            EXPECT_EQ (panel->getName(), "MainEditorPanel");
            EXPECT_EQ (panel->getBounds(), juce::Rectangle<int> (0, 0, 30, 20));
            EXPECT_EQ (frameShown (*panel), 0);
            // A second build opens the archive again over the open one.
            EXPECT_NE (source.createMainPanel(), nullptr) << c.what;
        }
    }

    EXPECT_FALSE (SkinSource::isValidSkin (*owner, "Missing"));
    EXPECT_FALSE (SkinSource::isValidSkin (*owner, {}));
}

TEST_F (SkinSourceTest, FindsTheMainPanelOfThisProductInAnyLetterCase)
{
    struct Case { const char* document; const char* firstChild; };
    const Case cases[] = {
        { "<pluginEDITOR APPLICATION=\"corvane\"><Panel name=\"MainPanel\"><controls><Knob name=\"k\"/></controls></Panel></pluginEDITOR>", "k" },
        { "<PluginEditor application=\"Corvane\"><Panel name=\"Other\"><controls><Knob name=\"a\"/></controls></Panel>"
          "<PANEL name=\"MAINPANEL\"><controls><Knob name=\"b\"/></controls></PANEL></PluginEditor>", "b" },
        { "<PluginEditor application=\"Other\"><Panel name=\"MainPanel\"/></PluginEditor>", nullptr },
        { "<Skin application=\"Corvane\"><Panel name=\"MainPanel\"/></Skin>", nullptr },
        { "<PluginEditor application=\"Corvane\"><Panel name=\"Side\"/></PluginEditor>", nullptr },
        { "<PluginEditor application=\"Corvane\"><Panel", nullptr },
    };

    for (const auto& c : cases)
    {
        writeSkin ("Test", { { "skin.xml", textOf (c.document) } });
        auto panel = SkinSource (*owner, "Test").createMainPanel();

        ASSERT_EQ (panel != nullptr, c.firstChild != nullptr) << c.document;

        if (panel != nullptr)
        {
            EXPECT_EQ (panel->getChildComponent (0)->getName(), c.firstChild);
        }
    }

    // An empty name is the built-in skin of the module's resources.
    auto builtIn = SkinSource (*owner, {}).createMainPanel();
    ASSERT_NE (builtIn, nullptr);
    EXPECT_EQ (builtIn->getName(), "MainEditorPanel");
}

TEST_F (SkinSourceTest, PlacesWidgetsThroughPanelOffsetsAndSkipsUnknownTags)
{
    // A widget family of later work joins the registry without the factory changing.
    GFXWidgetFactory::getInstance().registerWidget ("LaterGadget", [] (const juce::String& name, SkinSource&)
    {
        return std::make_unique<GFXPanel> (name);
    });

    auto panel = loadControls (
        "<Panel name=\"Nested\"><gfx resource=\"Nested.png\"/><pos left=\"139\" top=\"391\"/>"
        "  <controls ofsX=\"-139\" ofsY=\"-391\">"
        "    <Animation name=\"Light\"><size width=\"8\" height=\"8\"/><pos left=\"200\" top=\"400\"/></Animation>"
        "  </controls></Panel>"
        "<Gadget name=\"Unknown\"><controls><Knob name=\"Hidden\"/></controls></Gadget>"
        "<Panel name=\"Bare\"><gfx resource=\"Nested.png\" transparent=\"1\"/><pos left=\"5\" top=\"6\"/></Panel>"
        "<TOGGLEBUTTON name=\"Toggle\"><pos left=\"7\" top=\"8\"/></TOGGLEBUTTON>"
        "<laterGADGET name=\"Later\"/><textinput name=\"Text\"/>",
        { { "Nested.png", pngOf (makeStrip (90, 70, 1)) } });

    ASSERT_NE (panel, nullptr);
    EXPECT_EQ (panel->getNumChildComponents(), 5);
    EXPECT_EQ (find<GFXKnob> (*panel, "Hidden"), nullptr);
    EXPECT_NE (find<GFXPanel> (*panel, "Later"), nullptr);
    EXPECT_NE (find<GUIController> (*panel, "Text"), nullptr);

    auto* nested = find<GFXPanel> (*panel, "Nested");
    ASSERT_NE (nested, nullptr);
    EXPECT_EQ (nested->getBounds(), juce::Rectangle<int> (139, 391, 90, 70));
    EXPECT_EQ (find<GFXAnimation> (*panel, "Light")->getBounds(), juce::Rectangle<int> (61, 9, 8, 8));

    auto* bare = find<GFXPanel> (*panel, "Bare");
    EXPECT_EQ (bare->getBounds(), juce::Rectangle<int> (5, 6, 90, 70));
    EXPECT_TRUE (bare->isTransparent());

    // One listener on the main panel reaches the widgets of every nested panel.
    struct Counter  : public GUIController::Listener
    {
        void handleControllerEvent (GUIController*, int) override  { ++events; }
        int events = 0;
    } counter;

    panel->addListener (&counter);
    find<GFXAnimation> (*panel, "Light")->sendEvent (3);
    find<GFXToggleButton> (*panel, "Toggle")->sendEvent (3);
    EXPECT_EQ (counter.events, 2);
}

TEST_F (SkinSourceTest, SizesWidgetsFromTheirImageOrTheirSize)
{
    auto panel = loadControls (
        "<Knob name=\"Image\"><gfx resource=\"Strip.png\" framesNum=\"3\"/><size width=\"10\" height=\"10\"/></Knob>"
        "<Knob name=\"NoImage\"><size width=\"40\" height=\"20\"/><gfx resource=\"Missing.png\" framesNum=\"2\"/><pos left=\"4\"/></Knob>"
        "<Knob name=\"Zero\"><gfx resource=\"Strip.png\" framesNum=\"0\"/></Knob>"
        "<Knob name=\"Negative\"><gfx resource=\"Strip.png\" framesNum=\"-3\"/></Knob>"
        "<Knob name=\"Word\"><gfx resource=\"Strip.png\" framesNum=\"many\"/></Knob>"
        "<ToggleButton name=\"Toggle3D\" style=\"3D\"><size width=\"10\" height=\"10\"/><gfx resource=\"Strip.png\" framesNum=\"7\"/></ToggleButton>"
        "<ToggleButton name=\"ToggleNoImage\"><pos left=\"3\" top=\"4\"/><size width=\"30\" height=\"12\"/></ToggleButton>",
        { { "Strip.png", pngOf (makeStrip (100, 100, 3).rescaled (100, 301)) } });

    ASSERT_NE (panel, nullptr);

    struct Case { const char* name; int framesNum; juce::Rectangle<int> bounds; };
    const Case cases[] = {
        { "Image", 3, { 0, 0, 100, 100 } },
        { "NoImage", 2, { 4, 0, 40, 20 } },
        { "Zero", 1, { 0, 0, 100, 301 } },
        { "Negative", 1, { 0, 0, 100, 301 } },
        { "Word", 1, { 0, 0, 100, 301 } },
        { "Toggle3D", 4, { 0, 0, 100, 75 } },
        { "ToggleNoImage", 0, { 3, 4, 30, 12 } },
    };

    for (const auto& c : cases)
    {
        auto* widget = find<juce::Component> (*panel, c.name);
        ASSERT_NE (widget, nullptr) << c.name;
        EXPECT_EQ (dynamic_cast<BaseGFXController*> (widget)->getFramesNum(), c.framesNum) << c.name;
        EXPECT_EQ (widget->getBounds(), c.bounds) << c.name;
    }
}

namespace
{
    /** A real PNG whose header claims another size (with the header's checksum put right, so
        that the decoder believes it).
    */
    juce::MemoryBlock pngClaiming (juce::uint32 width, juce::uint32 height)
    {
        auto png = pngOf (makeStrip (4, 4, 1));
        auto* bytes = static_cast<juce::uint8*> (png.getData());

        for (int i = 0; i < 4; ++i)
        {
            bytes[16 + i] = (juce::uint8) (width >> (24 - 8 * i));
            bytes[20 + i] = (juce::uint8) (height >> (24 - 8 * i));
        }

        juce::uint32 crc = 0xffffffffu;

        for (int i = 12; i < 29; ++i)
        {
            crc ^= bytes[i];

            for (int bit = 0; bit < 8; ++bit)
                crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
        }

        crc = ~crc;

        for (int i = 0; i < 4; ++i)
            bytes[29 + i] = (juce::uint8) (crc >> (24 - 8 * i));

        return png;
    }
}

TEST_F (SkinSourceTest, HoldsWhatASkinAsksForToSaneRanges)
{
    // Documents and pictures past their limits are not read at all.
    {
        const auto padding = juce::String::repeatedString (" ", 17 << 20);
        writeSkin ("Test", { { "skin.xml", textOf (skinDocument (padding + "<Knob name=\"k\"/>")) } });
        EXPECT_EQ (SkinSource (*owner, "Test").createMainPanel(), nullptr);

        writeSkin ("Test", { { "skin.xml", textOf (skinDocument ({}, backgroundGfx)) },
                             { "Background.png", pngClaiming (60000, 60000) },
                             { "Small.png", pngOf (makeStrip (30, 20, 1)) } });
        SkinSource source (*owner, "Test");
        EXPECT_FALSE (source.loadImageFromArchive ("Background.png").isValid());
        EXPECT_TRUE (source.loadImageFromArchive ("Small.png").isValid());
        auto panel = source.createMainPanel();
        ASSERT_NE (panel, nullptr);
        EXPECT_EQ (panel->getBounds(), juce::Rectangle<int> (0, 0, 0, 0));
    }

    // Numbers past their ranges are read as the nearest sane value.
    struct Case { const char* controls; std::function<void (juce::Component&)> check; };
    const Case cases[] = {
        { "<NumericDisplay name=\"n\" digitsNum=\"400\"><size width=\"64\" height=\"10\"/></NumericDisplay>",
          [] (juce::Component& p) { EXPECT_EQ (find<NumericDisplay> (p, "n")->getNumDigits(), 16); } },
        { "<NumericDisplay name=\"n\" digitsNum=\"2147483000\"/>",
          [] (juce::Component& p) { EXPECT_EQ (find<NumericDisplay> (p, "n")->getNumDigits(), 16); } },
        { "<Panel name=\"p\"><pos left=\"2147483000\" top=\"-2147483000\"/><size width=\"2147483000\" height=\"10\"/>"
          "<controls ofsX=\"2147483000\" ofsY=\"-2147483000\"><Knob name=\"k\"><pos left=\"2147483000\" top=\"-2147483000\"/>"
          "<size width=\"10\" height=\"-5\"/></Knob></controls></Panel>",
          [] (juce::Component& p) {
              EXPECT_EQ (find<GFXPanel> (p, "p")->getBounds(), juce::Rectangle<int> (16384, -16384, 16384, 10));
              EXPECT_EQ (find<GFXKnob> (p, "k")->getBounds(), juce::Rectangle<int> (32768, -32768, 10, 0)); } },
        { "<TextInput name=\"t\"><font height=\"1e308\" extraKerning=\"-1e308\"/><size width=\"40\" height=\"20\"/></TextInput>",
          [] (juce::Component& p) {
              auto* input = find<TextInput> (p, "t");
              EXPECT_EQ (input->getFont().getHeight(), 1024.0f);
              EXPECT_EQ (input->getFont().getExtraKerningFactor(), -1.0f);
              input->createComponentSnapshot (input->getLocalBounds()); } },
        { "<PatternNumberDisplay name=\"q\" bankAndSlotPatternMin=\"-2147483648\" bankAndSlotPatternMax=\"2147483647\"/>",
          [] (juce::Component& p) {
              auto* display = find<PatternNumberDisplay> (p, "q");
              display->setNotation (PatternNumberDisplay::bankAndSlotNotation);
              display->setValue (std::numeric_limits<int>::min());
              EXPECT_EQ (display->getValue(), -9999);
              display->setValue (std::numeric_limits<int>::max());
              EXPECT_EQ (display->getValue(), 9999); } },
    };

    for (const auto& c : cases)
    {
        auto panel = loadControls (c.controls);
        ASSERT_NE (panel, nullptr) << c.controls;
        c.check (*panel);
    }
}
