#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/**
    The framework's tab container: tabs along the top, the page inside a rounded frame,
    metrics taken from the DefaultLookAndFeel, and listeners told when the user changes tab.
    The pages are owned elsewhere; pages that are not shown still follow look-and-feel changes.
*/
class TabbedComponentEx  : public juce::TabbedComponent
{
public:
    class Listener
    {
    public:
        virtual ~Listener() = default;

        virtual void tabChanged (TabbedComponentEx*) = 0;
    };

    TabbedComponentEx();

    /** Adds a listener once. */
    void addListener (Listener* listener);
    void removeListener (Listener* listener);

    /** The gap between the frame and the page. */
    int getContentIndent() const noexcept           { return contentIndent; }
    const juce::Path& getFrame() const noexcept     { return frame; }

    //==============================================================================
    /** @internal */
    void lookAndFeelChanged() override;
    /** @internal */
    void paint (juce::Graphics&) override;
    /** @internal */
    void resized() override;
    /** @internal */
    void currentTabChanged (int newCurrentTabIndex, const juce::String& newCurrentTabName) override;
    /** @internal */
    void popupMenuClickOnTab (int, const juce::String&) override {}

private:
    juce::Array<Listener*> listeners;
    juce::Path frame;
    int contentIndent = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TabbedComponentEx)
};
