#pragma once

#include "BasePlugin.h"
#include "DefaultLookAndFeel.h"
#include "HardLabel.h"
#include "HorizontalSlider.h"
#include "MidiNoteAndChannelComponent.h"
#include "ProcessingSettingsComponent.h"

/**
    The product's "Processing" options page: under the quality panels, the note and channel
    that retrigger each modulator and the maximum buffer length, as defaults for new
    instances beside the current values of this one. It binds its controls to the plug-in's
    parameters itself.
*/
class CorvaneProcessingSettingsComponent  : public ProcessingSettingsComponent
{
public:
    /** Titles the modulators' small panels in the regular font rather than the bold one. */
    class OwnLAF  : public DefaultLookAndFeel
    {
    public:
        juce::Font getPanelFont (PanelComponent&) override     { return getStandardFont(); }
    };

    explicit CorvaneProcessingSettingsComponent (BasePlugin& plugin);
    ~CorvaneProcessingSettingsComponent() override;

    MidiNoteAndChannelComponent& getPicker (bool isDefault, int modulator) noexcept;
    HorizontalSlider& getDefaultLengthSlider() noexcept         { return defaultLengthSlider; }
    HorizontalSlider& getCurrentLengthSlider() noexcept         { return currentLengthSlider; }
    PanelComponent& getDefaultNotePanel() noexcept              { return defaultNotePanel; }
    PanelComponent& getCurrentNotePanel() noexcept              { return currentNotePanel; }
    PanelComponent& getDefaultLengthPanel() noexcept            { return defaultLengthPanel; }
    PanelComponent& getCurrentLengthPanel() noexcept            { return currentLengthPanel; }

    //==============================================================================
    /** @internal */
    void resized() override;
    /** @internal */
    void lookAndFeelChanged() override;
    /** Disarms every retrigger learn, so none stays on while the window opens or closes. @internal */
    void visibilityChanged() override;

private:
    void bindParameters();
    /** Default MOD 1, default MOD 2, current MOD 1, current MOD 2. */
    std::array<MidiNoteAndChannelComponent*, 4> getPickers() noexcept;

    BasePlugin& plugin;
    MidiNoteAndChannelComponent defaultMod1Picker, defaultMod2Picker, currentMod1Picker, currentMod2Picker;
    PanelComponent defaultMod1Panel { "MOD 1" }, defaultMod2Panel { "MOD 2" }, currentMod1Panel { "MOD 1" }, currentMod2Panel { "MOD 2" };
    ComponentRow defaultRow, currentRow;
    PanelComponent defaultNotePanel { "Default Retrigger Midi Note" }, currentNotePanel { "Current Retrigger Midi Note" };
    HorizontalSlider defaultLengthSlider, currentLengthSlider;
    ComponentRow currentLengthColumn;
    HardLabel restartLabel { {}, "To affect changes you need to restart transport (Stop and Start)" };
    PanelComponent defaultLengthPanel { "Default Maximum Buffer Length" }, currentLengthPanel { "Current Maximum Buffer Length" };
    OwnLAF ownLookAndFeel;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CorvaneProcessingSettingsComponent)
};
