#pragma once

#include "BaseGFXController.h"

/**
    A skin display without user input that shows one frame of its filmstrip: driven
    with a normalised value (meters, lights) or flashed as a one-shot light that shows
    frame 1 for an interval and then frame 0 again.
*/
class GFXAnimation  : public BaseGFXController,
                      public juce::Component,
                      private juce::Timer
{
public:
    explicit GFXAnimation (const juce::String& name);
    ~GFXAnimation() override = default;

    void updateFromParameter (Parameter* changed) override;
    void loadFromXml (juce::XmlElement* element, SkinSource* source) override;
    void sizeChanged() override;
    void positionChanged() override;
    void blinkStateChanged() override;

    /** Shows the frame of a value (clamped to 0..1); repaints when the frame changed. */
    void setNormalisedValue (float value);

    /** Shows a frame (kept inside the strip); repaints when it changed. */
    void setFrame (int newFrame);
    int getFrame() const noexcept                       { return frame; }

    /** Shows frame 1 now and frame 0 after the interval; a new start restarts the interval. */
    void startAnimation (int intervalMs);

    /** @internal */
    void paint (juce::Graphics& g) override;

private:
    void timerCallback() override;
    void paintPlaceholder (juce::Graphics& g);

    int frame = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (GFXAnimation)
};
