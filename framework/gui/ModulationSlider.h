#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/**
    The bipolar amount slider of the modulation matrix: a scale from -1 to +1 with
    ticks and labels, a white pointer, and a red bar from the centre showing the live
    modulation (amount times the source's current level). Owners listen to it as to
    any juce::Slider and feed it the level.
*/
class ModulationSlider  : public juce::Slider
{
public:
    /** Draws the scale, the live bar and the pointer from the slider's own geometry. */
    class OwnLookAndFeel  : public juce::LookAndFeel_V2
    {
    public:
        OwnLookAndFeel() = default;

        void drawLinearSliderBackground (juce::Graphics&, int x, int y, int width, int height,
                                         float sliderPos, float minSliderPos, float maxSliderPos,
                                         juce::Slider::SliderStyle, juce::Slider&) override;
        void drawLinearSliderThumb (juce::Graphics&, int x, int y, int width, int height,
                                    float sliderPos, float minSliderPos, float maxSliderPos,
                                    juce::Slider::SliderStyle, juce::Slider&) override;
        int getSliderThumbRadius (juce::Slider&) override;

    private:
        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (OwnLookAndFeel)
    };

    enum Label
    {
        minusOne = 0,
        minusHalf,
        minusZero,
        zero,
        plusZero,
        plusHalf,
        plusOne,
        numLabels
    };

    ModulationSlider();
    ~ModulationSlider() override;

    /** The source's level, -1..1; repaints only when it changes. */
    void setModulationLevel (float level);
    float getModulationLevel() const noexcept           { return modulationLevel; }

    float getThumbWidth() const noexcept                { return thumbWidth; }
    const juce::Font& getFont() const noexcept          { return font; }
    int getLabelWidth (Label label) const noexcept      { return labelWidths[label]; }
    float getTrackY() const noexcept                    { return trackY; }
    float getTrackLength() const noexcept               { return trackLength; }
    float getTrackStart() const noexcept                { return trackStart; }
    float getTrackScale() const noexcept                { return trackScale; }

    /** The label boxes in the order "-1.0", "-0.5", "0.0", "+0.5", "+1.0", with their texts. */
    juce::StringArray getScaleTexts() const;
    juce::Array<juce::Rectangle<int>> getScaleBoxes() const;

    /** @internal */
    void resized() override;

private:
    float modulationLevel = 0.0f;
    float thumbWidth = 16.0f;
    OwnLookAndFeel lookAndFeel;
    juce::Font font { "Tahoma", "Regular", 13.0f };
    int labelWidths[numLabels] = {};
    float trackY = 0.0f;
    float trackLength = 0.0f;
    float trackStart = 0.0f;
    float trackScale = 0.0f;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ModulationSlider)
};
