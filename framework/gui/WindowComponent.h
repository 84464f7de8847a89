#pragma once

#include "ModalComponent.h"

#include <memory>

/**
    Base of the editor's windows: a modal component with a border, a title bar holding an
    icon, a title and a close button, margins, and a content area that derived windows
    fill (getContentBounds). The look-and-feel draws the frame.
*/
class WindowComponent  : public ModalComponent,
                         public juce::Button::Listener
{
public:
    /** What a look-and-feel implements to draw windows. */
    class LookAndFeelMethods
    {
    public:
        virtual ~LookAndFeelMethods() = default;

        virtual juce::Font getWindowTitleFont (WindowComponent&) = 0;
        virtual void setCloseButtonImages (juce::ImageButton&) = 0;
        virtual void drawWindowComponent (juce::Graphics&, WindowComponent&) = 0;
    };

    enum FrameStyle
    {
        rectangularFrame = 0,
        roundedFrame     = 1
    };

    WindowComponent();
    ~WindowComponent() override;

    /** Stores a changed title and repaints the title bar. */
    void setTitle (const juce::String& newTitle);
    const juce::String& getTitle() const noexcept               { return title; }

    /** Takes ownership of the icon; only a DrawableComposite is kept, anything else (or
        null) leaves the window without an icon.
    */
    void setIcon (juce::Drawable* newIcon);
    juce::Drawable* getIcon() const noexcept                    { return icon.get(); }

    /** Shows the close button exactly when the window has a title bar and is closable;
        derived windows call it after changing either flag.
    */
    void updateCloseButton();

    /** Sizes the window so that its frame holds content of that size; at least 250 x 120. */
    virtual void setContentSize (int width, int height);

    /** What setContentSize adds to a content size: border, title bar and margins. */
    juce::Point<int> getFrameSize() const noexcept;

    /** The content area that the last layout computed. */
    juce::Rectangle<int> getContentBounds() const noexcept      { return contentArea; }
    juce::Rectangle<int> getTitleBarArea() const noexcept       { return titleBarArea; }
    juce::Rectangle<int> getTitleTextArea() const noexcept      { return titleTextArea; }
    juce::Font getTitleFont() const                             { return titleFont; }
    juce::DrawableButton& getCloseButton() noexcept             { return closeButton; }

    void buttonClicked (juce::Button*) override;
    /** Escape presses the close button, where the window shows one. */
    bool keyPressed (const juce::KeyPress&) override;
    void lookAndFeelChanged() override;
    void paint (juce::Graphics&) override;
    void resized() override;

    int frameStyle = rectangularFrame;
    bool hasBorder = true;
    bool hasTitleBar = true;
    bool closable = true;
    /** Derived windows that set it make themselves non-opaque. */
    bool translucent = false;
    int titleBarHeight = 31;
    int borderWidth = 3;
    int topMargin = 6, leftMargin = 6, bottomMargin = 9, rightMargin = 6;

private:
    juce::String title;
    juce::Font titleFont;
    juce::DrawableButton closeButton { "CloseButton", juce::DrawableButton::ImageFitted };
    std::unique_ptr<juce::Drawable> icon;
    juce::Rectangle<int> titleBarArea, titleTextArea, contentArea;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (WindowComponent)
};
