#pragma once

#include "ComponentRow.h"
#include "PanelComponent.h"
#include "ParameterController.h"
#include "RadioButton.h"

class EnumParameter;

/**
    An enumerated parameter shown as a titled panel of radio buttons, one per choice,
    stacked vertically; clicking one sets the parameter.
*/
class RadioButtons_V2  : public juce::Component,
                         public juce::Button::Listener,
                         public ParameterController
{
public:
    class Listener
    {
    public:
        virtual ~Listener() = default;

        virtual void selectionChanged (RadioButtons_V2*) = 0;
    };

    explicit RadioButtons_V2 (EnumParameter& parameter);
    ~RadioButtons_V2() override;

    /** An index past the last choice turns every button off. With notify, the listeners
        and then the parameter are told.
    */
    void setSelectedIndex (int index, bool notify);
    int getSelectedIndex() const noexcept               { return selectedIndex; }

    PanelComponent& getPanel() noexcept                 { return panel; }
    RadioButton* getButton (int index) const noexcept   { return buttons[index]; }
    int getNumButtons() const noexcept                  { return buttons.size(); }

    /** Adds a listener once. */
    void addListener (Listener* listener);
    void removeListener (Listener* listener);

    //==============================================================================
    void updateFromParameter (Parameter* changed) override;
    void buttonClicked (juce::Button*) override;

    /** @internal A negative width or height is taken from the title and the buttons. */
    void resized() override;

private:
    PanelComponent panel;
    ComponentRow row;
    juce::OwnedArray<RadioButton> buttons;
    int selectedIndex = -1;
    juce::Array<Listener*> listeners;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (RadioButtons_V2)
};
