#pragma once

#include "ComboBoxButton.h"
#include "HardLabel.h"

/** The "MIDI channel" chooser: a label and a drop-down of "All" and "1" to "16". */
class MidiChannelComboBox  : public juce::Component
{
public:
    MidiChannelComboBox();

    /** Follows a channel parameter whose first choice stands for all channels; binds
        only on the first call.
    */
    void setParameter (EnumParameter* channelParameter);

    ComboBoxButton& getComboBox() noexcept              { return comboBox; }
    HardLabel& getLabel() noexcept                      { return label; }

    /** @internal Takes the width of the label and the drop-down at the new height. */
    void resized() override;
    /** @internal */
    void lookAndFeelChanged() override;

private:
    void fillMenu();

    HardLabel label;
    ComboBoxButton comboBox;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MidiChannelComboBox)
};
