#include "TwoValueHorizontalSlider.h"

#include "FloatParameter.h"

TwoValueHorizontalSlider::OwnParamController::OwnParamController (OwnSlider& s, bool isMaximumThumb)
    : slider (s), maximumThumb (isMaximumThumb)
{
    slider.addListener (this);
}

TwoValueHorizontalSlider::OwnParamController::~OwnParamController()
{
    slider.removeListener (this);
}

void TwoValueHorizontalSlider::OwnParamController::setParameter (Parameter* newParameter)
{
    bindToParameter (newParameter);
}

void TwoValueHorizontalSlider::OwnParamController::updateFromParameter (Parameter* changed)
{
    if (changed == nullptr)
        return;

    // allowNudgingOfOtherValues false: a parameter moves only its own thumb.
    if (maximumThumb)
        slider.setMaxValue (changed->getValue(), juce::dontSendNotification, false);
    else
        slider.setMinValue (changed->getValue(), juce::dontSendNotification, false);
}

void TwoValueHorizontalSlider::OwnParamController::sliderValueChanged (juce::Slider*)
{
    if (auto* parameter = getParameter())
        parameter->setValue (static_cast<float> (maximumThumb ? slider.getMaxValue() : slider.getMinValue()), true);
}

void TwoValueHorizontalSlider::OwnParamController::sliderDragStarted (juce::Slider*)
{
    if (auto* parameter = getParameter())
        parameter->beginChangeGesture();
}

void TwoValueHorizontalSlider::OwnParamController::sliderDragEnded (juce::Slider*)
{
    if (auto* parameter = getParameter())
        parameter->endChangeGesture();
}

//==============================================================================
TwoValueHorizontalSlider::TwoValueHorizontalSlider()
{
    slider.setSliderStyle (juce::Slider::TwoValueHorizontal);
    controllers[0] = std::make_unique<OwnParamController> (slider, false);
    controllers[1] = std::make_unique<OwnParamController> (slider, true);
}

TwoValueHorizontalSlider::~TwoValueHorizontalSlider()
{
    controllers[0].reset();
    controllers[1].reset();
}

void TwoValueHorizontalSlider::setParameters (FloatParameter* minimumParameter, FloatParameter* maximumParameter)
{
    if (minimumParameter == nullptr || maximumParameter == nullptr)
        return;

    slider.setRange (minimumParameter->getMinimum(), maximumParameter->getMaximum(), 0.0);
    // The maximum first: a thumb set without nudging stops at the other one, and a new
    // slider's maximum thumb starts at the range's minimum.
    controllers[1]->setParameter (maximumParameter);
    controllers[0]->setParameter (minimumParameter);
}
