#pragma once

#include "ParameterController.h"
#include "PopupMenuEx.h"
#include "TextButtonWithIcon.h"

class EnumParameter;

/**
    A drop-down chooser drawn as a text button with a down arrow: it shows the chosen item
    of a PopupMenuEx and opens the menu as soon as it is pressed.

    It can follow an integer parameter (the chosen item's id is the parameter's value) and
    tells its own listeners when the user picks another item. Several choosers can share one
    menu owned elsewhere (setSharedMenu); a choice then reaches only the chooser that opened it.
*/
class ComboBoxButton  : public juce::Component,
                        public PopupMenuEx::Listener,
                        public ParameterController,
                        private juce::Button::Listener
{
public:
    class Listener
    {
    public:
        virtual ~Listener() = default;

        /** The user picked another item. */
        virtual void selectionChanged (ComboBoxButton*) = 0;
    };

    ComboBoxButton();
    ~ComboBoxButton() override;

    /** Lists the parameter's choices (ids from 0) and, on the first call, follows the parameter. */
    void setItems (EnumParameter& parameter);

    /** Chooses the item; with notify, the listeners and the bound parameter are told. */
    void setSelectedId (int id, bool notify);
    int getSelectedId() const noexcept                  { return currentId; }

    /** Shows the chosen item's second text ("---" when no item has the id) and ticks it alone. */
    void updateText();

    /** Makes the chooser wide enough for its widest item (at least 40); a negative height
        keeps the current one.
    */
    void changeWidthToFitText (int height = -1);

    /** Uses a menu owned elsewhere (null: the own menu again) for showing and choosing. */
    void setSharedMenu (PopupMenuEx* menu);

    /** The menu in use: the shared one when set, else the own one. */
    PopupMenuEx& getMenu() noexcept                     { return sharedMenu != nullptr ? *sharedMenu : menu; }

    TextButtonWithIcon& getButton() noexcept            { return button; }

    /** Adds a listener once. */
    void addListener (Listener* listener);
    void removeListener (Listener* listener);

    //==============================================================================
    void updateFromParameter (Parameter* changed) override;
    void itemChosen (PopupMenuEx* chosenFrom, int id, bool ticked) override;
    void menuDismissed (PopupMenuEx* dismissedFrom) override;

    /** @internal */
    void resized() override;

private:
    void buttonClicked (juce::Button*) override;
    bool isOwnChoice (PopupMenuEx* from);
    void menuClosed();

    int currentId = -1;
    PopupMenuEx menu;
    PopupMenuEx* sharedMenu = nullptr;
    juce::Array<Listener*> listeners;
    TextButtonWithIcon button;
    bool opened = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ComboBoxButton)
};
