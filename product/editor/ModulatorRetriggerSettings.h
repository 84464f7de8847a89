#pragma once

#include "ComponentRow.h"
#include "DefaultLookAndFeel.h"
#include "HorizontalSlider.h"
#include "MidiNoteAndChannelComponent.h"
#include "PanelComponent.h"
#include "RadioButtons_V2.h"
#include "TwoValueHorizontalSliderWithLevel.h"
#include "WindowComponent.h"

class BoolParameter;
class EnumParameter;
class FloatParameter;
class NoteParameter;

/**
    The small window in which the user chooses how one modulator is retriggered: off, by
    a MIDI note (which note and channel, or learnt), or by transients of the input (the
    detector's speed and threshold range, over a live level bar that the editor feeds).

    Only the settings of the chosen mode are shown; the mode may change from anywhere (a
    preset, the host), so the window follows its parameter. MIDI learn of the note never
    outlives the window being shown, nor the note settings being visible.
*/
class ModulatorRetriggerSettings  : public WindowComponent,
                                    public Parameter::Listener
{
public:
    /** Any parameter may be null (a table without it): its control then stays unbound. */
    ModulatorRetriggerSettings (const juce::String& title, EnumParameter* mode,
                                EnumParameter* channel, NoteParameter* note, BoolParameter* learn,
                                FloatParameter* speed, FloatParameter* thresholdLow, FloatParameter* thresholdHigh);
    ~ModulatorRetriggerSettings() override;

    /** The detector's level (clamped to 0..1; anything else, NaN included, counts as 0)
        and whether it fired since the last call, which lights the level bar for 50 ms.
    */
    void showDetectorLevel (float level, bool triggered);

    RadioButtons_V2* getModeChooser() const noexcept        { return modeChooser.get(); }
    MidiNoteAndChannelComponent& getNotePicker() noexcept   { return notePicker; }
    PanelComponent& getMidiPanel() noexcept                 { return midiPanel; }
    PanelComponent& getDetectionPanel() noexcept            { return detectionPanel; }
    HorizontalSlider& getSpeedSlider() noexcept             { return speedSlider; }
    TwoValueHorizontalSliderWithLevel& getThresholdSlider() noexcept { return thresholdSlider; }

    //==============================================================================
    void parameterChanged (Parameter* parameter) override;
    /** @internal */
    void visibilityChanged() override;
    /** @internal */
    void resized() override;

private:
    /** Light text on a dark, slightly translucent window. */
    struct LF  : public DefaultLookAndFeel
    {
        LF();
        juce::Font getWindowTitleFont (WindowComponent& window) override;
    };

    void showPanelsForMode();
    void switchLearnOff();

    LF lookAndFeel;
    std::unique_ptr<RadioButtons_V2> modeChooser;
    EnumParameter* modeParameter = nullptr;
    BoolParameter* learnParameter = nullptr;
    MidiNoteAndChannelComponent notePicker;
    PanelComponent midiPanel { "Retriggering MIDI note" };
    PanelComponent detectionPanel { "Detection parameters" };
    ComponentRow detectionRow;
    HorizontalSlider speedSlider;
    TwoValueHorizontalSliderWithLevel thresholdSlider;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ModulatorRetriggerSettings)
};
