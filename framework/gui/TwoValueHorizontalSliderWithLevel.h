#pragma once

#include "TwoValueHorizontalSlider.h"

/**
    A range slider with a live level marker drawn behind the track; a detected trigger
    lights the whole bar for one short period.
*/
class TwoValueHorizontalSliderWithLevel  : public TwoValueHorizontalSlider
{
public:
    /** The marker bar behind the track. */
    class Level  : public juce::Component,
                   private juce::Timer
    {
    public:
        Level();
        ~Level() override;

        /** Clamped to 0..1. */
        void setLevel (float newLevel);
        float getLevel() const noexcept                 { return level; }

        /** Lights the bar for 50 ms. */
        void hit();
        bool isHit() const noexcept                     { return hitFlag; }

        /** @internal */
        void paint (juce::Graphics&) override;

    private:
        void timerCallback() override;

        float level = 0.0f;
        bool hitFlag = false;

        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Level)
    };

    TwoValueHorizontalSliderWithLevel();

    void setLevel (float newLevel)                      { level.setLevel (newLevel); }
    void hit()                                          { level.hit(); }
    Level& getLevel() noexcept                          { return level; }

    /** @internal */
    void resized() override;

private:
    Level level;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TwoValueHorizontalSliderWithLevel)
};
