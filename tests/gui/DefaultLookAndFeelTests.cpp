#include "WindowsTestSupport.h"

#include "PopupMenuEx.h"
#include "TestFolder.h"
#include "WindowComponent.h"

using namespace WindowsTest;

TEST (DefaultLookAndFeel, MapsMissingFacesToAnInstalledSans)
{
    LookAndFeelScope scope;

    struct Case { const char* name; int styles; };

    for (auto c : { Case { "Tahoma", juce::Font::plain }, Case { "Tahoma", juce::Font::bold },
                    Case { "Halvorn Sans", juce::Font::italic }, Case { "Halvorn Sans", juce::Font::bold | juce::Font::italic } })
    {
        SCOPED_TRACE (juce::String (c.name) + " " + juce::String (c.styles));
        juce::Font font (c.name, 13.0f, c.styles);
        EXPECT_EQ (font.getTypefacePtr()->getName(), "DejaVu Sans");
        EXPECT_GT (font.getStringWidthFloat ("Corvane"), 30.0f);
    }

    EXPECT_GT (scope.lookAndFeel.getBoldFont().getStringWidthFloat ("Corvane"),
               scope.lookAndFeel.getStandardFont().getStringWidthFloat ("Corvane"));
}

TEST (DefaultLookAndFeel, SetsItsPalette)
{
    DefaultLookAndFeel lf;

    const std::pair<int, juce::uint32> cases[] =
    {
        { DefaultLookAndFeel::accentLightColourId, 0xFFFFA35F },
        { DefaultLookAndFeel::accentColourId, 0xFFFF6C00 },
        { DefaultLookAndFeel::windowBackgroundColourId, 0xFFC5C5C5 },
        { DefaultLookAndFeel::columnBrowserItemColourId, 0xFFADADAD },
        { DefaultLookAndFeel::statusBarBackgroundColourId, 0xFF444444 },
        { DefaultLookAndFeel::panelColourId, 0xFF7C7C7C },
        { juce::TextButton::buttonOnColourId, 0xFFFF8D3A },
        { 0x1005003, 0xFFFFA35F },
        { juce::ScrollBar::thumbColourId, 0xFF6E6E6E },
    };

    for (auto& c : cases)
        EXPECT_EQ (lf.findColour (c.first).getARGB(), c.second) << std::hex << c.first;
}

TEST (DefaultLookAndFeel, BuiltInImagesHaveTheirSizes)
{
    DefaultLookAndFeel lf;

    struct Case { int index, sizeCode, side; };

    for (auto c : { Case { 0, 1, 27 }, Case { 17, 0, 27 }, Case { 9, 2, 43 }, Case { 18, 1, 0 }, Case { -1, 2, 0 } })
    {
        SCOPED_TRACE (juce::String (c.index) + "/" + juce::String (c.sizeCode));
        std::unique_ptr<juce::ImageButton> button (lf.createImageButton ("b", c.index, c.sizeCode));
        EXPECT_EQ (button != nullptr, c.side > 0);

        if (button != nullptr)
        {
            EXPECT_EQ (button->getWidth(), c.side);
            EXPECT_EQ (button->getHeight(), c.side);
            EXPECT_EQ (button->getNormalImage().getWidth(), c.side);
            EXPECT_EQ (button->getDownImage().getHeight(), c.side);
        }
    }

    EXPECT_EQ (lf.getImage (3, 2).getHeight(), 32);
    EXPECT_EQ (lf.getImage (3).getHeight(), 28);
    EXPECT_FALSE (lf.getImage (21).isValid());
    EXPECT_EQ (lf.getTickBoxImage (true).getBounds(), juce::Rectangle<int> (15, 14));
    EXPECT_EQ (lf.getRadioImage (false).getBounds(), juce::Rectangle<int> (15, 14));

    for (int i = 0; i < DefaultLookAndFeel::numStandardIcons; ++i)
        EXPECT_NE (getStandardIcon (i), nullptr) << "icon " << i;

    EXPECT_EQ (getStandardIcon (21), nullptr);

    const char* notSvg = "<html><body/></html>";
    const char* upperCaseSvg = "<SVG width='8' height='8'><path d='M0 0 H8 V8 Z'/></SVG>";
    EXPECT_EQ (createDrawableFromSVG (notSvg, std::strlen (notSvg)), nullptr);
    EXPECT_NE (createDrawableFromSVG (upperCaseSvg, std::strlen (upperCaseSvg)), nullptr);
    EXPECT_EQ (createDrawableFromSVG ("svg", 3), nullptr);
}

TEST (DefaultLookAndFeel, SizesTooltipsToTheirText)
{
    LookAndFeelScope scope;
    const auto font = scope.lookAndFeel.getStandardFont();
    const juce::Rectangle<int> screen (0, 0, 1000, 800);

    for (auto* text : { "Feedback", "Time of the second line in milliseconds", "" })
    {
        SCOPED_TRACE (text);
        auto tip = scope.lookAndFeel.getTooltipBounds (text, { 100, 100 }, screen);
        EXPECT_EQ (tip.getWidth(), (int) font.getStringWidthFloat (text) + 12);
        EXPECT_EQ (tip.getHeight(), (int) font.getHeight() + 7);
        EXPECT_TRUE (screen.contains (tip));
    }
}

TEST (DefaultLookAndFeel, DrawsAWindowAndAMenu)
{
    LookAndFeelScope scope;
    TestDesktop desktop (420, 260);

    WindowComponent window;
    window.setTitle ("Preferences");
    desktop.addChildComponent (window);
    window.setContentSize (300, 120);
    window.show();

    PopupMenuEx sub, menu;
    sub.addItem (10, "Quarter");
    sub.addItem (11, "Eighth");
    menu.addItem (1, "Ping-pong");
    menu.addSubMenu ("Sync", sub);
    menu.addItem (2, "Freeze");
    menu.setItemTicked (11, true, true);
    menu.show (&desktop, { 60, 60, 100, 20 });

    auto image = desktop.createComponentSnapshot (desktop.getLocalBounds());
    const auto title = window.getBounds().getTopLeft() + juce::Point<int> (40, 2);
    EXPECT_EQ (image.getPixelAt (title.x, title.y), juce::Colours::black);
    auto* w = menu.getComponent()->getWindow (0);
    EXPECT_EQ (image.getPixelAt (w->getX() + w->getWidth() / 2, w->getBottom() - 3), juce::Colour (0xFFE3E3E3));

    juce::TabbedComponent tabs (juce::TabbedButtonBar::TabsAtTop);
    tabs.addTab ("General", juce::Colour (0xFFC5C5C5), nullptr, false);
    tabs.addTab ("MIDI", juce::Colour (0xFFC5C5C5), nullptr, false);
    tabs.setBounds (0, 0, 300, 100);
    auto* back = tabs.getTabbedButtonBar().getTabButton (1);
    auto tabsImage = tabs.createComponentSnapshot (tabs.getLocalBounds());
    EXPECT_EQ (tabsImage.getPixelAt (back->getX() + 8, back->getY() + 8), juce::Colour (0xFFC5C5C5).darker (0.2f))
        << "the tabs behind the front one stay visible";
}

TEST (DefaultLookAndFeel, DrawsTheRowsOfJucesOwnFileChooser)
{
    LookAndFeelScope scope;
    const TestFolder testFolder ("corvane-chooser");
    const auto& folder = testFolder.getFile();
    folder.getChildFile ("Factory").createDirectory();
    folder.getChildFile ("Ambient.cvprst").replaceWithText ("<Preset/>");
    folder.getChildFile ("Bright Taps.cvprst").replaceWithText ("<Preset/>");
    const auto chosen = folder.getChildFile ("Ambient.cvprst");

    for (auto useTree : { false, true })
    {
        SCOPED_TRACE (useTree ? "tree" : "list");
        juce::WildcardFileFilter filter ("*.cvprst", "*", "Presets");
        juce::FileBrowserComponent browser (juce::FileBrowserComponent::saveMode | juce::FileBrowserComponent::canSelectFiles
                                                | (useTree ? juce::FileBrowserComponent::useTreeView : 0),
                                            folder, &filter, nullptr);
        browser.setSize (400, 260);
        auto& display = *browser.getDisplayComponent();
        auto& contents = display.directoryContentsList;

        for (int i = 0; i < 300 && (contents.isStillLoading() || contents.getNumFiles() < 3); ++i)
            deliverAsyncUpdates();

        ASSERT_EQ (contents.getNumFiles(), 3);
        display.setSelectedFile (chosen);
        deliverAsyncUpdates();
        const auto image = browser.createComponentSnapshot (browser.getLocalBounds());

        for (int row = 0; row < contents.getNumFiles(); ++row)
        {
            auto* tree = dynamic_cast<juce::TreeView*> (&display);
            auto* list = dynamic_cast<juce::ListBox*> (&display);
            ASSERT_TRUE (tree != nullptr || list != nullptr);
            auto* rowOwner = tree != nullptr ? static_cast<juce::Component*> (tree) : list;
            const auto area = browser.getLocalArea (rowOwner, tree != nullptr ? tree->getItemOnRow (row)->getItemPosition (true)
                                                                            : list->getRowPosition (row, true));
            int ink = 0;

            for (int y = area.getY(); y < area.getBottom(); ++y)
                for (int x = area.getX() + area.getHeight(); x < area.getRight(); ++x)
                    ink += image.getPixelAt (x, y).getBrightness() < 0.3f ? 1 : 0;

            const auto isChosen = tree != nullptr ? tree->getItemOnRow (row)->isSelected() : contents.getFile (row) == chosen;
            EXPECT_GT (ink, 30) << "row " << row << ": its name is written";
            EXPECT_EQ (image.getPixelAt (area.getRight() - 6, area.getCentreY()) == juce::Colour (0xFFADADAD), isChosen)
                << "row " << row << ": only the chosen one is marked";
        }
    }

    // The dialog JUCE shows where the desktop has no chooser of its own.
    TestDesktop desktop (600, 500);
    juce::FileBrowserComponent browser (juce::FileBrowserComponent::saveMode | juce::FileBrowserComponent::canSelectFiles,
                                        chosen, nullptr, nullptr);
    juce::FileChooserDialogBox dialog ("Save preset as", {}, browser, true,
                                       browser.findColour (juce::AlertWindow::backgroundColourId), &desktop);
    dialog.setBounds (desktop.getLocalBounds());

    for (int i = 0; i < 300 && browser.getDisplayComponent()->directoryContentsList.getNumFiles() < 3; ++i)
        deliverAsyncUpdates();

    desktop.createComponentSnapshot (desktop.getLocalBounds());   // painting the dialog must not fail
}
