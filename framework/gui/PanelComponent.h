#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/**
    A titled frame around one content component, used to group the controls of the
    settings pages. With fitToContent it takes its size from the content and follows
    the content when that changes size.
*/
class PanelComponent  : public juce::Component,
                        private juce::ComponentListener
{
public:
    /** What a look-and-feel implements to give panels their title font. */
    class LookAndFeelMethods
    {
    public:
        virtual ~LookAndFeelMethods() = default;

        virtual juce::Font getPanelFont (PanelComponent& panel) = 0;
    };

    enum ColourIds
    {
        frameColourId = 0x0f005000
    };

    PanelComponent();
    explicit PanelComponent (const juce::String& title);
    ~PanelComponent() override;

    void setTitle (const juce::String& newTitle);
    const juce::String& getTitle() const noexcept           { return title; }

    /** Shows another component (not owned) inside the frame; the previous one is taken
        out of the panel but not deleted. Null leaves the panel empty.
    */
    void setContentComponent (juce::Component* newContent, bool shouldFitToContent);
    juce::Component* getContentComponent() const noexcept   { return content; }

    /** The area left inside the frame and below the title. */
    juce::Rectangle<int> getContentArea() const;

    const juce::Font& getFont() const noexcept              { return font; }

    //==============================================================================
    /** @internal */
    void paint (juce::Graphics&) override;
    /** @internal */
    void resized() override;
    /** @internal */
    void lookAndFeelChanged() override;
    /** @internal */
    void enablementChanged() override;

private:
    void componentMovedOrResized (juce::Component&, bool wasMoved, bool wasResized) override;
    void layOut();
    void resizeToContent();
    int getTitleWidth() const;

    juce::Component::SafePointer<juce::Component> content;
    bool fitToContent = false;
    juce::String title;
    juce::Font font;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PanelComponent)
};
