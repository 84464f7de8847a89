#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/**
    A folder or file path shown in a rounded field, with a "Browse" button that lets the
    user pick another one. A path too long for the field is cut and marked with "[...]".
*/
class PathComponent  : public juce::Component,
                       private juce::Button::Listener
{
public:
    /** Told when the path changed through the chooser or a notifying setPath(). */
    class Listener
    {
    public:
        virtual ~Listener() = default;

        virtual void pathChanged (PathComponent* component) = 0;
    };

    enum ColourIds
    {
        backgroundColourId = 0x0f002200,
        textColourId       = 0x0f002201,
        outlineColourId    = 0x0f002202
    };

    PathComponent();
    ~PathComponent() override;

    /** Shows another path. Paths that name the same file on this platform (for example
        the same text) are not taken; with notify, the listeners are told, last added first.
    */
    void setPath (const juce::String& newPath, bool notify);
    const juce::String& getPath() const noexcept        { return path; }

    void addListener (Listener* listener);
    void removeListener (Listener* listener);

    /** Opens the chooser, as the "Browse" button does. */
    void browse();

    juce::TextButton& getBrowseButton() noexcept        { return browseButton; }

    /** Filled by the owner before the user browses. */
    juce::String chooserTitle;
    juce::File initialFolder;
    juce::String filePatterns;
    /** Lets the chooser pick a file matching filePatterns instead of a folder. */
    bool choosesFiles = false;
    /** Called when the chooser's answer is refused; the path stays as it was. */
    std::function<void()> onChoiceRefused;

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
    void buttonClicked (juce::Button*) override;
    void measurePath();

    const int gap = 6;
    int pathWidth = 0;
    int ellipsisWidth = 0;
    juce::String path;
    juce::TextButton browseButton { "Browse" };
    juce::Font font;
    juce::Rectangle<int> fieldArea, textArea;
    const juce::String ellipsisText { "[...]" };
    juce::Array<Listener*> listeners;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PathComponent)
};
