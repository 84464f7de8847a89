#pragma once

#include "CheckBox_V2.h"
#include "PathComponent.h"

/**
    A check box paired with a path field to its right: ticked, the user's own file at the
    path is used and the field can be edited; cleared, the built-in resource is used and
    the field is disabled. Listeners hear of every click and every path change.
*/
class DefaultResourceCheckBox  : public juce::Component,
                                 private PathComponent::Listener,
                                 private juce::Button::Listener
{
public:
    class Listener
    {
    public:
        virtual ~Listener() = default;

        virtual void stateChanged (DefaultResourceCheckBox*) = 0;
    };

    DefaultResourceCheckBox();
    ~DefaultResourceCheckBox() override;

    void addListener (Listener*);
    void removeListener (Listener*);

    CheckBox_V2& getCheckBox() noexcept             { return checkBox; }
    PathComponent& getPathComponent() noexcept      { return pathField; }

    /** Enables the path field exactly while the box is ticked; owners call it after
        setting the tick without notification.
    */
    void updateState();

    void resized() override;
    void lookAndFeelChanged() override;

private:
    void buttonClicked (juce::Button*) override;
    void pathChanged (PathComponent*) override;
    void notifyListeners();

    juce::Array<Listener*> listeners;
    PathComponent pathField;
    CheckBox_V2 checkBox;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DefaultResourceCheckBox)
};
