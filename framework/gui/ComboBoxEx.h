#pragma once

#include "ParameterController.h"
#include "PopupMenuEx.h"

/**
    A self-drawn drop-down field: a light rounded box with the chosen item's text and an
    arrow, opening its PopupMenuEx on a press anywhere in it.

    Its owner adds the items to getMenu() and then calls updateText. It can follow an integer
    parameter, and several fields can share one menu owned elsewhere (setSharedMenu); a choice
    then reaches only the field that opened it. A disabled item shows in italics.
*/
class ComboBoxEx  : public juce::Component,
                    public PopupMenuEx::Listener,
                    public ParameterController
{
public:
    class Listener
    {
    public:
        virtual ~Listener() = default;

        /** The user picked another item. */
        virtual void selectionChanged (ComboBoxEx*) = 0;
    };

    ComboBoxEx();
    ~ComboBoxEx() override;

    /** Chooses the item; with notify, the listeners and the bound parameter are told. */
    void setSelectedId (int id, bool notify);
    int getSelectedId() const noexcept                  { return currentId; }

    /** Shows the chosen item's second text ("---" in italics when no item has the id, italics
        for a disabled item) and ticks it alone.
    */
    void updateText();

    /** Binds the field to an integer parameter; only the first call has an effect. */
    void setParameter (Parameter* parameter);

    /** Uses a menu owned elsewhere (null: the own menu again) for showing and choosing. */
    void setSharedMenu (PopupMenuEx* menu);

    /** The menu in use: the shared one when set, else the own one. */
    PopupMenuEx& getMenu() noexcept                     { return sharedMenu != nullptr ? *sharedMenu : menu; }

    const juce::String& getText() const noexcept        { return text; }
    const juce::Font& getFont() const noexcept          { return font; }
    bool isMenuOpen() const noexcept                    { return menuOpen; }

    /** Adds a listener once. */
    void addListener (Listener* listener);
    void removeListener (Listener* listener);

    //==============================================================================
    /** Follows the parameter, writing an id it does not hold back to it. */
    void updateFromParameter (Parameter* changed) override;
    void itemChosen (PopupMenuEx* chosenFrom, int id, bool ticked) override;
    void menuDismissed (PopupMenuEx* dismissedFrom) override;

    /** @internal */
    void mouseDown (const juce::MouseEvent&) override;
    /** @internal */
    void paint (juce::Graphics&) override;
    /** @internal */
    void resized() override;

private:
    bool isOwnChoice (PopupMenuEx* from) const;
    void menuClosed();

    int currentId = -1;
    PopupMenuEx menu;
    PopupMenuEx* sharedMenu = nullptr;
    juce::Array<Listener*> listeners;
    bool menuOpen = false;
    juce::String text;
    juce::Font font { "Tahoma", "Regular", 13.0f };
    juce::Path arrow;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ComboBoxEx)
};
