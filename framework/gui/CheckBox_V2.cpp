#include "CheckBox_V2.h"

#include "DefaultLookAndFeel.h"

namespace
{
constexpr int tickIcon = 14;

bool isEnabledWithParent (const juce::Component& c)
{
    return c.isEnabled() && (c.getParentComponent() == nullptr || c.getParentComponent()->isEnabled());
}
}

CheckBox_V2::CheckBox_V2()
    : juce::TextButton (juce::String())
{
    setWantsKeyboardFocus (false);
    setClickingTogglesState (true);

    tick = getStandardIcon (tickIcon);

    if (tick != nullptr)
    {
        tick->setInterceptsMouseClicks (false, false);
        addChildComponent (*tick);
    }

    updateTick();
}

CheckBox_V2::~CheckBox_V2() = default;

void CheckBox_V2::changeWidthToFitText (int height)
{
    auto h = height < 0 ? getHeight() : height;
    auto font = getLookAndFeel().getTextButtonFont (*this, h);
    auto width = juce::roundToInt (font.getStringWidthFloat (getButtonText())) + (int) (1.2 * h);
    setBounds (getX(), getY(), width, h);
}

void CheckBox_V2::updateFromParameter (Parameter* changed)
{
    if (changed != nullptr)
        setToggleState (changed->getBoolValue(), juce::dontSendNotification);
}

void CheckBox_V2::resized()
{
    auto side = juce::jmax (getHeight() - 6, 0);

    if (tick != nullptr && side > 0)
        tick->setTransformToFit ({ 3.0f, 3.0f, (float) side, (float) side }, juce::RectanglePlacement::centred);
}

void CheckBox_V2::paintButton (juce::Graphics& g, bool isMouseOverButton, bool isButtonDown)
{
    auto enabled = isEnabledWithParent (*this);
    auto h = getHeight();
    auto box = juce::Rectangle<float> (0.0f, 0.0f, (float) h, (float) h).reduced (2.0f);

    if (box.getWidth() > 0.0f && box.getHeight() > 0.0f)
    {
        auto base = findColour (juce::TextButton::buttonColourId)
                        .withMultipliedSaturation (isMouseOver (true) ? 1.3f : 0.9f)
                        .withMultipliedAlpha (enabled ? 0.9f : 0.5f);

        if (isButtonDown || isMouseOverButton)
            base = base.contrasting (isButtonDown ? 0.2f : 0.1f);

        drawGlossyRoundedBox (g, box, base);
    }

    if (getButtonText().isNotEmpty())
    {
        g.setFont (getLookAndFeel().getTextButtonFont (*this, h));
        g.setColour (findColour (juce::Label::textColourId).withMultipliedAlpha (enabled ? 1.0f : 0.5f));
        g.drawText (getButtonText(), getLocalBounds().withTrimmedLeft ((int) (1.2 * h)),
                    juce::Justification::centredLeft, false);
    }
}

void CheckBox_V2::buttonStateChanged()
{
    if (auto* p = getParameter())
        p->setBoolValue (getToggleState(), true);

    updateTick();
}

void CheckBox_V2::enablementChanged()
{
    juce::TextButton::enablementChanged();
    repaint();
    updateTick();
}

void CheckBox_V2::updateTick()
{
    if (tick == nullptr)
        return;

    tick->setAlpha (isEnabledWithParent (*this) ? 1.0f : 0.5f);
    tick->setVisible (getToggleState());
}
