#pragma once

#include "HorizontalSlider.h"

/**
    A horizontal slider showing a range held by two parameters: the left thumb is the
    minimum parameter, the right thumb the maximum parameter.
*/
class TwoValueHorizontalSlider  : public HorizontalSlider
{
public:
    /** Drives one thumb of the slider from one parameter and writes that parameter back. */
    class OwnParamController  : public ParameterController,
                                public juce::Slider::Listener
    {
    public:
        OwnParamController (OwnSlider& slider, bool isMaximumThumb);
        ~OwnParamController() override;

        /** Binds only on the first call. */
        void setParameter (Parameter* parameter);

        void updateFromParameter (Parameter* changed) override;
        void sliderValueChanged (juce::Slider*) override;
        void sliderDragStarted (juce::Slider*) override;
        void sliderDragEnded (juce::Slider*) override;

    private:
        OwnSlider& slider;
        const bool maximumThumb;

        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (OwnParamController)
    };

    TwoValueHorizontalSlider();
    ~TwoValueHorizontalSlider() override;

    /** The range runs from the minimum parameter's minimum to the maximum parameter's
        maximum; each thumb binds to its parameter only on the first call.
    */
    void setParameters (FloatParameter* minimumParameter, FloatParameter* maximumParameter);

    OwnParamController& getController (int thumb) noexcept  { return *controllers[thumb == 0 ? 0 : 1]; }

private:
    std::unique_ptr<OwnParamController> controllers[2];

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TwoValueHorizontalSlider)
};
