#pragma once

#include "ParameterController.h"

#include <juce_gui_basics/juce_gui_basics.h>

/**
    A text button with an icon square at one end: one icon while the toggle state is
    off, another while it is on. Its toggle state can follow a boolean parameter, and
    changing it writes the parameter back.
*/
class TextButtonWithIcon  : public juce::TextButton,
                            public ParameterController
{
public:
    TextButtonWithIcon();
    ~TextButtonWithIcon() override;

    /** Takes copies of the icons; without an "on" icon both states show the "off" one. */
    void setIcon (const juce::Drawable& offIcon, const juce::Drawable* onIcon = nullptr);

    /** Binds the button to a boolean parameter; only the first call has an effect. */
    void setParameter (Parameter* newParameter);

    /** Makes the button as wide as its text, the icon square and their margins; a
        negative height keeps the current height.
    */
    void changeWidthToFitText (int height = -1);

    /** false: the icon square at the left end; true: at the right end. */
    bool iconOnRight = false;

    /** Space around the icon square. */
    juce::BorderSize<int> iconBorder { 1 };

    void updateFromParameter (Parameter* changed) override;

    //==============================================================================
    /** @internal */
    void paintButton (juce::Graphics&, bool isMouseOver, bool isButtonDown) override;
    /** @internal */
    void buttonStateChanged() override;
    /** @internal */
    void resized() override;

private:
    int getIconSize() const;

    std::unique_ptr<juce::Drawable> offIcon, onIcon;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TextButtonWithIcon)
};
