#pragma once

#include "ComboBoxButton.h"
#include "ComponentRow.h"
#include "HardLabel.h"
#include "PanelComponent.h"

/**
    The options page "Processing": the processing quality for real-time playback and for
    offline rendering, as the default for new instances and as the current choice of this
    one, in two titled panels side by side. The editor binds the four boxes to the plug-in's
    quality parameters; a product's page derives from this one and lays its own rows out
    below the panels (getRemainingArea).
*/
class ProcessingSettingsComponent  : public juce::Component
{
public:
    /** A titled panel with a "Real-time" and an "Offline" row, each a label and a chooser. */
    class QualityPanel  : public PanelComponent
    {
    public:
        explicit QualityPanel (const juce::String& title);

        /** Gives both labels the width of the wider text, so that the boxes line up. */
        void fitLabels();

        ComponentRow column, realtimeRow, offlineRow;
        HardLabel realtimeLabel, offlineLabel;
        ComboBoxButton realtimeCombo, offlineCombo;

    private:
        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (QualityPanel)
    };

    ProcessingSettingsComponent();
    ~ProcessingSettingsComponent() override;

    /** The page below the panels (from 6 px under "Default quality" to the bottom). */
    juce::Rectangle<int> getRemainingArea() const;

    QualityPanel defaultQualityPanel { "Default quality" };
    QualityPanel currentQualityPanel { "Current quality" };

    //==============================================================================
    /** @internal */
    void resized() override;
    /** @internal */
    void lookAndFeelChanged() override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ProcessingSettingsComponent)
};
