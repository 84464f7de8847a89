#include "HorizontalSlider.h"

#include "FloatParameter.h"
#include "IntParameter.h"

HorizontalSlider::OwnSlider::OwnSlider()
    : juce::Slider (juce::Slider::LinearHorizontal, juce::Slider::NoTextBox)
{
}

//==============================================================================
HorizontalSlider::HorizontalSlider()
{
    caption.setJustificationType (juce::Justification::centredTop);
    addChildComponent (caption);
    slider.addListener (this);
    addAndMakeVisible (slider);
}

HorizontalSlider::~HorizontalSlider()
{
    slider.removeListener (this);
}

void HorizontalSlider::setParameter (FloatParameter* newParameter)
{
    if (newParameter == nullptr)
        return;

    slider.setRange (newParameter->getMinimum(), newParameter->getMaximum(), 0.0);
    bindToParameter (newParameter);
}

void HorizontalSlider::setParameter (IntParameter* newParameter)
{
    if (newParameter == nullptr)
        return;

    slider.setRange (newParameter->getMinimum(), newParameter->getMaximum(), 1.0);
    bindToParameter (newParameter);
}

void HorizontalSlider::setScaleLabels (const juce::StringArray& texts)
{
    scaleLabels.clear();

    for (const auto& text : texts)
    {
        auto* label = scaleLabels.add (new HardLabel ({}, text));
        label->setJustificationType (juce::Justification::centredTop);
        label->resizeToFitText (16);
        addAndMakeVisible (label);
    }

    resized();
}

int HorizontalSlider::getTrackTop() const
{
    return caption.getText().isEmpty() ? 0 : 16;
}

//==============================================================================
void HorizontalSlider::updateFromParameter (Parameter* changed)
{
    if (changed != nullptr)
        slider.setValue (changed->getValue(), juce::dontSendNotification);
}

void HorizontalSlider::sliderValueChanged (juce::Slider*)
{
    if (auto* parameter = getParameter())
        parameter->setValue (static_cast<float> (slider.getValue()), true);
}

void HorizontalSlider::sliderDragStarted (juce::Slider*)
{
    if (auto* parameter = getParameter())
        parameter->beginChangeGesture();
}

void HorizontalSlider::sliderDragEnded (juce::Slider*)
{
    if (auto* parameter = getParameter())
        parameter->endChangeGesture();
}

void HorizontalSlider::resized()
{
    const auto width = getWidth();
    const auto hasCaption = caption.getText().isNotEmpty();
    const auto trackTop = getTrackTop();

    slider.setBounds (0, trackTop, width, 20);
    caption.setVisible (hasCaption);

    if (hasCaption)
        caption.setBounds (0, 0, width, 16);

    if (scaleLabels.size() >= 2)
    {
        // The end labels sit just inside the track's ends and the others are spread evenly
        // between their centres, so the ends cannot crowd their neighbours. Where the labels
        // do not fit at all, an inner one that would run into a shown neighbour is left out.
        const auto x0 = juce::roundToInt (slider.getPositionOfValue (slider.getMinimum()));
        const auto x1 = juce::roundToInt (slider.getPositionOfValue (slider.getMaximum()));
        auto* lastLabel = scaleLabels.getLast();
        const auto firstCentre = x0 + scaleLabels.getFirst()->getWidth() / 2.0;
        const auto lastCentre = x1 - lastLabel->getWidth() / 2.0;
        const auto step = (lastCentre - firstCentre) / static_cast<double> (scaleLabels.size() - 1);
        const auto top = hasCaption ? 36 : 20;
        auto shownRight = std::numeric_limits<int>::min();

        for (int i = 0; i < scaleLabels.size(); ++i)
        {
            auto* label = scaleLabels.getUnchecked (i);
            label->setTopLeftPosition (juce::roundToInt (firstCentre + i * step - label->getWidth() / 2.0), top);
        }

        for (auto* label : scaleLabels)
        {
            const auto clear = label == lastLabel
                                || (label->getX() >= shownRight && label->getRight() <= lastLabel->getX());
            label->setVisible (clear);

            if (clear)
                shownRight = label->getRight();
        }
    }

    repaint();
}
