#include "EditorTestSupport.h"

#include "AboutWindow.h"
#include "GFXPanel.h"
#include "OptionsWindow.h"
#include "ProcessingSettingsComponent.h"
#include "WebLink.h"

namespace
{
    struct TabRecorder  : TabbedComponentEx::Listener
    {
        TabRecorder (juce::StringArray& l, const char* n) : log (l), name (n) {}
        void tabChanged (TabbedComponentEx*) override   { log.add (name); }
        juce::StringArray& log;
        const char* name;
    };
}

TEST_F (EditorTest, ShowsTheBuiltInSkinAboveTheStatusBar)
{
    EXPECT_EQ (editor->getBounds(), juce::Rectangle<int> (0, 0, 1243, 576));
    EXPECT_EQ (editor->getSkinPanel()->getBounds(), juce::Rectangle<int> (0, 0, 1243, 560));
    EXPECT_EQ (status().getBounds(), juce::Rectangle<int> (0, 560, 1243, 16));
    EXPECT_EQ (editor->getModalArea(), juce::Rectangle<int> (0, 0, 1243, 560));
    EXPECT_EQ (editor->getChildComponent (0), editor->getSkinPanel());
    EXPECT_EQ (editor->getChildComponent (editor->getNumChildComponents() - 1), editor->getTooltipWindow());
    EXPECT_NE (editor->getMidiLearnButton(), nullptr);
    EXPECT_EQ (editor->getMidiActivityLed(), nullptr);
    EXPECT_EQ (editor->getTimerInterval(), 25);

    const auto face = editor->createComponentSnapshot (editor->getLocalBounds());
    EXPECT_NE (face.getPixelAt (600, 300), juce::Colours::black);

    // Without the panel the fallback picture shows: black, with the product's name in white.
    editor->getSkinPanel()->setVisible (false);
    const auto fallback = editor->createComponentSnapshot (editor->getLocalBounds().withHeight (560));
    editor->getSkinPanel()->setVisible (true);

    EXPECT_EQ (fallback.getPixelAt (5, 5), juce::Colours::black);
    auto whitePixels = 0;

    // The maker's name at the bottom, below anything the product may show over the picture.
    for (int y = 530; y < 555; ++y)
        for (int x = 0; x < fallback.getWidth(); ++x)
            whitePixels += fallback.getPixelAt (x, y).getBrightness() > 0.9f ? 1 : 0;

    EXPECT_GT (whitePixels, 20);
}

TEST_F (EditorTest, KeepsTheProductLookAndFeelWhileAnyEditorIsOpen)
{
    plugin.reset();
    const auto make = [] { return std::unique_ptr<BasePlugin> (dynamic_cast<BasePlugin*> (createPluginFilter())); };

    for (const auto newerClosesFirst : { true, false })
    {
        SCOPED_TRACE (newerClosesFirst);
        auto older = make();
        auto newer = make();
        auto& closedFirst = newerClosesFirst ? newer : older;
        auto& closedLast = newerClosesFirst ? older : newer;
        const auto* remaining = &closedLast->getEditor()->getDefaultLookAndFeel();

        closedFirst.reset();
        EXPECT_EQ (&juce::LookAndFeel::getDefaultLookAndFeel(), remaining);
        closedLast.reset();
        EXPECT_EQ (dynamic_cast<DefaultLookAndFeel*> (&juce::LookAndFeel::getDefaultLookAndFeel()), nullptr);
    }
}

TEST (FindComponentByName, ComparesDirectChildrenBeforeAnySubtree)
{
    juce::Component root, first, second, deep, deeper;
    first.setName ("first");
    second.setName ("target");
    deep.setName ("target");
    deeper.setName ("inner");
    root.addChildComponent (first);
    root.addChildComponent (second);
    first.addChildComponent (deep);
    deep.addChildComponent (deeper);

    const struct { juce::Component* root; const char* name; juce::Component* expected; } cases[] =
    {
        { &root, "target", &second },   // a direct child beats a deeper one earlier in order
        { &root, "inner", &deeper },
        { &first, "target", &deep },
        { &root, "first", &first },
        { &deep, "target", nullptr },   // the root itself is never compared
        { &root, "missing", nullptr },
        { nullptr, "target", nullptr }
    };

    for (const auto& c : cases)
        EXPECT_EQ (BasePluginEditor::findComponentByName (c.root, c.name), c.expected) << c.name;

    // Among equals, the first in child order.
    juce::Component twin;
    twin.setName ("target");
    root.addChildComponent (twin);
    EXPECT_EQ (BasePluginEditor::findComponentByName (&root, "target"), &second);
}

TEST_F (EditorTest, OptionsWindowHoldsTheTabsInOrderAndOpensOnProcessing)
{
    auto& window = *editor->getOptionsWindow();
    auto& tabs = window.getTabs();

    EXPECT_EQ (window.getTitle(), "Options");
    EXPECT_EQ (tabs.getTabNames().joinIntoString (","), "Processing,Presets,Parameters,Midi Control");
    EXPECT_EQ (tabs.getTabContentComponent (0), editor->getProcessingSettingsComponent());
    EXPECT_EQ (tabs.getCurrentTabIndex(), 0);
    EXPECT_EQ (tabs.getBounds(), window.getContentBounds());

    // The tab strip and the page's place 8 px inside the 1 px frame come from the look-and-feel.
    EXPECT_EQ (tabs.getTabBarDepth(), 23);
    EXPECT_EQ (tabs.getContentIndent(), 8);
    EXPECT_EQ (editor->getProcessingSettingsComponent()->getBounds(),
               juce::Rectangle<int>::leftTopRightBottom (1 + 8, 23 + 8, tabs.getWidth() - 1 - 8, tabs.getHeight() - 1 - 8));

    // Choosing a tab tells each listener once, the last added first, and clears the status bar.
    juce::StringArray log;
    TabRecorder a (log, "a"), b (log, "b");
    tabs.addListener (&a);
    tabs.addListener (&b);
    tabs.addListener (&a);
    status().showMessage ("lasting", 7);
    tabs.setCurrentTabIndex (2);
    EXPECT_EQ (log.joinIntoString (","), "b,a");
    EXPECT_EQ (status().getText(), "");

    // Drawn as a host draws it: painting the window must not fail.
    window.setVisible (false);
    tabs.setCurrentTabIndex (0);
    window.createComponentSnapshot (window.getLocalBounds());
}

TEST_F (EditorTest, ProcessingPageSplitsItsWidthAndFollowsTheQualityParameters)
{
    auto& page = *editor->getProcessingSettingsComponent();
    page.setSize (800, 540);

    const auto& byDefault = page.defaultQualityPanel;
    const auto& current = page.currentQualityPanel;
    EXPECT_EQ (byDefault.getBounds().withHeight (0), juce::Rectangle<int> (0, 0, 397, 0));
    EXPECT_EQ (current.getBounds().withHeight (0), juce::Rectangle<int> (403, 0, 397, 0));
    EXPECT_EQ (page.getRemainingArea(), juce::Rectangle<int> (0, byDefault.getBottom() + 6, 800, 540 - byDefault.getBottom() - 6));

    // Both labels of a panel take the wider text's width, so the boxes line up.
    EXPECT_EQ (byDefault.realtimeLabel.getWidth(), byDefault.offlineLabel.getWidth());
    EXPECT_EQ (byDefault.realtimeCombo.getX(), byDefault.offlineCombo.getX());
    EXPECT_EQ (byDefault.realtimeCombo.getBounds().withZeroOrigin(), juce::Rectangle<int> (200, 20));

    struct Binding { ComboBoxButton& box; int parameter; };
    const Binding bindings[] = { { page.currentQualityPanel.realtimeCombo, 99 }, { page.currentQualityPanel.offlineCombo, 100 },
                                 { page.defaultQualityPanel.realtimeCombo, 110 }, { page.defaultQualityPanel.offlineCombo, 111 } };

    for (const auto& b : bindings)
    {
        auto* parameter = plugin->parameterManager.getParameter (b.parameter);
        ASSERT_NE (parameter, nullptr);
        parameter->setIntValue (3, true);
        pump();
        EXPECT_EQ (b.box.getSelectedId(), 3) << b.parameter;
        EXPECT_EQ (b.box.getButton().getButtonText(), "Ultra") << b.parameter;

        b.box.setSelectedId (0, true);
        EXPECT_EQ (parameter->getIntValue(), 0) << b.parameter;
    }
}

TEST_F (EditorTest, AboutWindowLaysOutItsHeadersAndClosesOnAPress)
{
    auto& about = *editor->getAboutWindow();
    const auto content = about.getContentBounds();

    EXPECT_FALSE (about.hasTitleBar);
    EXPECT_FALSE (about.getCloseButton().isVisible());
    EXPECT_EQ (about.getLeftHeader(), juce::Rectangle<int> (content.getX(), content.getY(), content.getWidth() / 2 - 4, 54));
    EXPECT_EQ (about.getRightHeader().getX(), about.getLeftHeader().getRight() + 8);
    EXPECT_EQ (about.getRightHeader().getRight(), content.getRight());
    EXPECT_EQ (about.getBody().getY(), content.getY() + 54 + 8);
    EXPECT_EQ (about.getLink().getPosition(), about.getLeftHeader().getPosition().translated (0, 27));
    EXPECT_EQ (about.getLink().getButtonText(), plugin->getWebAddress());
    // The browser is started the plug-in's way, not JUCE's.
    EXPECT_NE (dynamic_cast<WebLink*> (&about.getLink()), nullptr);

    editor->handleControllerEvent (nullptr, BasePluginEditor::aboutEvent);
    EXPECT_TRUE (about.isVisible());

    about.mouseDown (juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), {}, {}, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f,
                                       &about, &about, juce::Time(), {}, juce::Time(), 1, false));
    EXPECT_FALSE (about.isVisible());
}
