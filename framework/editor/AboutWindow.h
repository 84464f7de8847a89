#pragma once

#include "CreditsText.h"
#include "WindowComponent.h"

class BasePlugin;

/**
    The framework's about box: a modal window without a title bar that shows the product's
    name, description, web link, version, format and platform, build information and the
    path of the plug-in module, and scrolling credits when the plug-in enables them. Every
    text is read from the plug-in when it paints. A press anywhere on it that no child takes,
    or on the credits, closes it, and so does Escape.
*/
class AboutWindow  : public WindowComponent,
                     private CreditsText::Listener
{
public:
    explicit AboutWindow (BasePlugin& plugin);
    ~AboutWindow() override;

    /** Hides the window and lowers its cover. */
    void close();

    juce::HyperlinkButton& getLink() noexcept               { return *link; }
    CreditsText& getCredits() noexcept                      { return credits; }
    juce::Rectangle<int> getLeftHeader() const noexcept     { return leftHeader; }
    juce::Rectangle<int> getRightHeader() const noexcept    { return rightHeader; }
    juce::Rectangle<int> getBody() const noexcept           { return body; }

    //==============================================================================
    /** @internal */
    void mouseDown (const juce::MouseEvent&) override;
    /** @internal */
    bool keyPressed (const juce::KeyPress&) override;
    /** @internal */
    void visibilityChanged() override;
    /** @internal */
    void lookAndFeelChanged() override;
    /** @internal */
    void paint (juce::Graphics&) override;
    /** @internal */
    void resized() override;

private:
    void creditsClicked (CreditsText*) override;

    BasePlugin& plugin;
    CreditsText credits;
    std::unique_ptr<juce::HyperlinkButton> link;
    juce::Rectangle<int> leftHeader, rightHeader, body;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AboutWindow)
};
