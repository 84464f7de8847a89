#include "TextButtonWithIcon.h"

TextButtonWithIcon::TextButtonWithIcon()
{
    setWantsKeyboardFocus (false);
}

TextButtonWithIcon::~TextButtonWithIcon() = default;

void TextButtonWithIcon::setIcon (const juce::Drawable& newOffIcon, const juce::Drawable* newOnIcon)
{
    offIcon = newOffIcon.createCopy();
    onIcon = (newOnIcon != nullptr ? *newOnIcon : newOffIcon).createCopy();

    for (auto* icon : { offIcon.get(), onIcon.get() })
    {
        icon->setInterceptsMouseClicks (false, false);
        icon->setMouseClickGrabsKeyboardFocus (false);
        addAndMakeVisible (icon);
    }

    resized();
    buttonStateChanged();
}

void TextButtonWithIcon::setParameter (Parameter* newParameter)
{
    bindToParameter (newParameter);
}

void TextButtonWithIcon::changeWidthToFitText (int height)
{
    const auto h = height < 0 ? getHeight() : height;
    const auto font = getLookAndFeel().getTextButtonFont (*this, h);

    setBounds (getX(), getY(),
               juce::roundToInt (font.getStringWidthFloat (getButtonText()))
                   + (h - iconBorder.getTopAndBottom()) + iconBorder.getLeftAndRight() + (int) (0.833 * h),
               h);
}

void TextButtonWithIcon::updateFromParameter (Parameter* changed)
{
    if (changed != nullptr)
        setToggleState (changed->getBoolValue(), juce::dontSendNotification);
}

void TextButtonWithIcon::paintButton (juce::Graphics& g, bool isMouseOver, bool isButtonDown)
{
    const auto on = getToggleState();
    auto& lf = getLookAndFeel();
    const auto s = getIconSize();

    lf.drawButtonBackground (g, *this, findColour (on ? buttonOnColourId : buttonColourId), isMouseOver, isButtonDown);

    auto shade = findColour (buttonColourId)
                     .withMultipliedSaturation (hasKeyboardFocus (true) ? 1.3f : 0.9f)
                     .withMultipliedAlpha (isEnabled() ? 0.9f : 0.5f);

    if (isButtonDown)
        shade = shade.contrasting (0.2f);
    else if (isMouseOver)
        shade = shade.contrasting (0.1f);

    if (getHeight() - 3 > 2)
    {
        const auto x = iconOnRight ? getWidth() - 2 * iconBorder.getRight() - s : 2 * iconBorder.getLeft() + s;
        g.setColour (juce::Colours::black.withAlpha (shade.getFloatAlpha() * 0.4f));
        g.fillRect (x, 2, 1, getHeight() - 5);
    }

    auto textArea = getLocalBounds();

    if (iconOnRight)
        textArea.removeFromRight (s);
    else
        textArea.removeFromLeft (s);

    g.setFont (lf.getTextButtonFont (*this, getHeight()));
    g.setColour (findColour (on ? textColourOnId : textColourOffId).withMultipliedAlpha (isEnabled() ? 1.0f : 0.5f));
    g.drawText (getButtonText(), textArea, juce::Justification::centred, false);
}

void TextButtonWithIcon::buttonStateChanged()
{
    const auto on = getToggleState();

    if (offIcon != nullptr)
        offIcon->setVisible (! on);

    if (onIcon != nullptr)
        onIcon->setVisible (on);

    if (auto* parameter = getParameter())
        parameter->setBoolValue (on, true);
}

void TextButtonWithIcon::resized()
{
    const auto s = getIconSize();
    const auto x = iconOnRight ? getWidth() - iconBorder.getRight() - s : iconBorder.getLeft();
    const juce::Rectangle<float> square ((float) x, (float) iconBorder.getTop(), (float) s, (float) s);

    for (auto* icon : { offIcon.get(), onIcon.get() })
        if (icon != nullptr)
            icon->setTransformToFit (square, juce::RectanglePlacement::centred);
}

int TextButtonWithIcon::getIconSize() const
{
    return getHeight() - iconBorder.getTopAndBottom();
}
