#include "ModulationSlider.h"

ModulationSlider::ModulationSlider()
    : juce::Slider (juce::Slider::LinearHorizontal, juce::Slider::NoTextBox)
{
    setRange (-1.0, 1.0, 0.0001);
    setValue (0.0, juce::sendNotificationAsync);
    setLookAndFeel (&lookAndFeel);
}

ModulationSlider::~ModulationSlider()
{
    setLookAndFeel (nullptr);
}

void ModulationSlider::setModulationLevel (float level)
{
    if (level != modulationLevel)
    {
        modulationLevel = level;
        repaint();
    }
}

juce::StringArray ModulationSlider::getScaleTexts() const
{
    return { "-1.0", "-0.5", "0.0", "+0.5", "+1.0" };
}

juce::Array<juce::Rectangle<int>> ModulationSlider::getScaleBoxes() const
{
    const auto top = (int) trackY - 15;
    const auto halfThumb = (int) (thumbWidth * 0.5f);
    const auto w = getWidth();

    juce::Array<juce::Rectangle<int>> boxes;
    boxes.add ({ halfThumb, top, labelWidths[minusOne], 13 });
    boxes.add ({ (int) (trackLength * 0.25f + trackStart - (float) labelWidths[minusZero]), top, labelWidths[minusHalf], 13 });
    boxes.add ({ (int) (trackLength * 0.5f + trackStart - (float) (labelWidths[zero] / 2)), top, labelWidths[zero], 13 });
    boxes.add ({ (int) (trackLength * 0.75f + trackStart - (float) labelWidths[plusZero]) - 1, top, labelWidths[plusHalf], 13 });
    boxes.add ({ w - halfThumb - labelWidths[plusOne], top, labelWidths[plusOne], 13 });
    return boxes;
}

void ModulationSlider::resized()
{
    juce::Slider::resized();

    const char* texts[numLabels] = { "-1.0", "-0.5", "-0", "0.0", "+0", "+0.5", "+1.0" };

    for (int i = 0; i < numLabels; ++i)
        labelWidths[i] = juce::roundToInt (font.getStringWidthFloat (texts[i]));

    const auto width = (float) getWidth();
    trackY = (float) getHeight() * 0.5f;
    trackLength = width - thumbWidth;
    trackStart = thumbWidth * 0.5f;
    trackScale = width > 0.0f ? trackLength / width : 0.0f;
}

//==============================================================================
void ModulationSlider::OwnLookAndFeel::drawLinearSliderBackground (juce::Graphics& g, int, int, int, int,
                                                                   float, float, float,
                                                                   juce::Slider::SliderStyle, juce::Slider& s)
{
    auto* slider = dynamic_cast<ModulationSlider*> (&s);

    if (slider == nullptr)
        return;

    // JUCE hands in the width less the thumb on both sides; the scale spans the whole slider.
    const auto width = (float) slider->getWidth();
    const auto trackY = slider->getTrackY();
    const auto trackStart = slider->getTrackStart();
    const auto trackLength = slider->getTrackLength();
    const auto trackScale = slider->getTrackScale();
    const auto value = (float) slider->getValue();

    g.setFont (slider->getFont());

    g.setColour (juce::Colour (0xffa90000));
    g.drawLine (width * 0.5f, trackY + 10.0f,
                (value * slider->getModulationLevel() * trackLength + width) * 0.5f, trackY + 10.0f, 4.0f);

    g.setColour (juce::Colours::black);
    g.fillRect ((int) std::floor (trackStart) - 2, (int) trackY + 12, (int) std::ceil (width - trackStart - 3.0f), 3);

    for (int i = 1; i < 20; ++i)
        if (i % 5 != 0)
            g.fillRect (juce::Rectangle<float> ((float) ((int) trackStart + (int) ((float) i * trackScale * width * 0.05f)),
                                                trackY + 7.0f, 1.0f, 7.0f));

    const auto majorTop = (int) trackY - 1;
    g.fillRect ((int) trackStart - 2, majorTop, 3, 15);
    g.fillRect ((int) width / 2 - 1, majorTop, 3, 15);
    g.fillRect ((int) (trackLength + trackStart), majorTop, 3, 15);
    g.fillRect ((int) (trackLength * 0.25f + trackStart), majorTop, 2, 15);
    g.fillRect ((int) (trackLength * 0.75f + trackStart) - 1, majorTop, 2, 15);

    const auto texts = slider->getScaleTexts();
    const auto boxes = slider->getScaleBoxes();
    const juce::Justification justifications[] = { juce::Justification::centredRight, juce::Justification::centredLeft,
                                                   juce::Justification::centred, juce::Justification::centredLeft,
                                                   juce::Justification::centredLeft };

    for (int i = 0; i < texts.size(); ++i)
        g.drawText (texts[i], boxes[i], justifications[i], true);
}

void ModulationSlider::OwnLookAndFeel::drawLinearSliderThumb (juce::Graphics& g, int, int y, int, int height,
                                                              float sliderPos, float, float,
                                                              juce::Slider::SliderStyle, juce::Slider& s)
{
    auto* slider = dynamic_cast<ModulationSlider*> (&s);

    if (slider == nullptr)
        return;

    const auto thumbWidth = slider->getThumbWidth();

    juce::Path pointer;
    pointer.addTriangle (1.0f, 0.5f, thumbWidth - 1.0f, 0.5f, thumbWidth * 0.5f, 13.0f);
    pointer.applyTransform (juce::AffineTransform::translation (sliderPos + 0.5f - thumbWidth * 0.5f,
                                                                (float) y + (float) height * 0.5f));
    g.setColour (juce::Colours::white);
    g.fillPath (pointer);
    g.setColour (juce::Colours::black);
    g.strokePath (pointer, juce::PathStrokeType (1.0f));
}

int ModulationSlider::OwnLookAndFeel::getSliderThumbRadius (juce::Slider& s)
{
    if (auto* slider = dynamic_cast<ModulationSlider*> (&s))
        return (int) (slider->getThumbWidth() * 0.5f);

    return juce::LookAndFeel_V2::getSliderThumbRadius (s);
}
