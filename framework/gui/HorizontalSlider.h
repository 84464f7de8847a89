#pragma once

#include "HardLabel.h"
#include "ParameterController.h"

#include <juce_gui_basics/juce_gui_basics.h>

class FloatParameter;
class IntParameter;

/**
    A horizontal slider of the settings windows showing one parameter, with an optional
    caption above the track and an optional row of scale labels under it.

    The slider writes its parameter when dragged and follows it silently, so nothing
    echoes back.
*/
class HorizontalSlider  : public juce::Component,
                          public juce::Slider::Listener,
                          public ParameterController
{
public:
    /** The track and thumbs; the window holding the slider gives it its look. */
    class OwnSlider  : public juce::Slider
    {
    public:
        OwnSlider();

    private:
        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (OwnSlider)
    };

    HorizontalSlider();
    ~HorizontalSlider() override;

    /** Takes the parameter's range (continuous); binds only on the first call. */
    void setParameter (FloatParameter* parameter);
    /** Takes the parameter's range in whole steps; binds only on the first call. */
    void setParameter (IntParameter* parameter);

    /** Replaces the labels under the track, spread evenly from its start to its end. */
    void setScaleLabels (const juce::StringArray& texts);

    /** The caption above the track; empty (no caption) until its text is set. */
    HardLabel& getCaption() noexcept                        { return caption; }
    OwnSlider& getSlider() noexcept                         { return slider; }
    const juce::OwnedArray<HardLabel>& getScaleLabels() const noexcept { return scaleLabels; }

    /** The track's top: below the caption when there is one. */
    int getTrackTop() const;

    //==============================================================================
    void updateFromParameter (Parameter* changed) override;
    void sliderValueChanged (juce::Slider*) override;
    void sliderDragStarted (juce::Slider*) override;
    void sliderDragEnded (juce::Slider*) override;

    /** @internal */
    void resized() override;

protected:
    OwnSlider slider;

private:
    HardLabel caption;
    juce::OwnedArray<HardLabel> scaleLabels;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (HorizontalSlider)
};
