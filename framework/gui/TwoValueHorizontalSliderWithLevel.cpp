#include "TwoValueHorizontalSliderWithLevel.h"

#include "DefaultLookAndFeel.h"

TwoValueHorizontalSliderWithLevel::Level::Level()
{
    setInterceptsMouseClicks (false, false);
}

TwoValueHorizontalSliderWithLevel::Level::~Level()
{
    stopTimer();
}

void TwoValueHorizontalSliderWithLevel::Level::setLevel (float newLevel)
{
    level = juce::jlimit (0.0f, 1.0f, newLevel);
    repaint();
}

void TwoValueHorizontalSliderWithLevel::Level::hit()
{
    hitFlag = true;
    startTimer (50);
    repaint();
}

void TwoValueHorizontalSliderWithLevel::Level::paint (juce::Graphics& g)
{
    if (hitFlag)
    {
        g.setColour (findColour (DefaultLookAndFeel::accentColourId));
        g.fillAll();
    }

    const auto x = juce::roundToInt ((getWidth() - 3) * level);
    g.setColour (juce::Colour (0xff8b0000).brighter (0.2f));
    g.fillRect (x, 0, 3, getHeight());
}

void TwoValueHorizontalSliderWithLevel::Level::timerCallback()
{
    stopTimer();
    hitFlag = false;
    repaint();
}

//==============================================================================
TwoValueHorizontalSliderWithLevel::TwoValueHorizontalSliderWithLevel()
{
    addAndMakeVisible (level);
    level.toBack();
}

void TwoValueHorizontalSliderWithLevel::resized()
{
    HorizontalSlider::resized();

    const auto x = juce::roundToInt (slider.getPositionOfValue (slider.getMinimum()));
    const auto right = juce::roundToInt (slider.getPositionOfValue (slider.getMaximum()));
    level.setBounds (x, getTrackTop() - 2, right - x, slider.getHeight() + 4);
}
