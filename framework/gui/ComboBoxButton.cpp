#include "ComboBoxButton.h"

#include "DefaultLookAndFeel.h"
#include "EnumParameter.h"

namespace
{
    // A down-pointing triangle on a transparent 32 x 32 square.
    const char arrowIcon[] =
        "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 32 32\" width=\"32\" height=\"32\">"
        "<rect x=\"0\" y=\"0\" width=\"32\" height=\"32\" fill=\"#000000\" fill-opacity=\"0\"/>"
        "<path d=\"M16 26.4 L6.3 9.6 L25.6 9.6 Z\" fill=\"#000000\"/>"
        "</svg>";

    juce::String textOfId (PopupMenuEx& menu, int id)
    {
        if (auto* item = menu.findItem (id))
            return item->secondText;

        return "---";
    }
}

ComboBoxButton::ComboBoxButton()
{
    if (auto icon = createDrawableFromSVG (arrowIcon, sizeof (arrowIcon) - 1))
        button.setIcon (*icon);

    button.iconBorder = juce::BorderSize<int> (3, 1, 5, 1);
    button.resized();
    button.iconOnRight = true;
    button.resized();
    button.setTriggeredOnMouseDown (true);

    menu.addListener (this);
    button.addListener (this);
    addAndMakeVisible (button);
    updateText();
}

ComboBoxButton::~ComboBoxButton()
{
    if (sharedMenu != nullptr)
        sharedMenu->removeListener (this);

    menu.removeListener (this);
}

void ComboBoxButton::setItems (EnumParameter& parameter)
{
    PopupMenuEx items;
    const auto& texts = parameter.getItems();

    for (int i = 0; i < texts.size(); ++i)
        items.addItem (i, texts[i]);

    menu = items;
    updateText();
    bindToParameter (&parameter);
}

void ComboBoxButton::setSelectedId (int id, bool notify)
{
    if (id == currentId)
        return;

    currentId = id;
    updateText();

    if (! notify)
        return;

    for (int i = listeners.size(); --i >= 0;)
        listeners.getUnchecked (i)->selectionChanged (this);

    if (auto* parameter = getParameter())
        parameter->setIntValue (id, true);
}

void ComboBoxButton::updateText()
{
    auto& active = getMenu();
    button.setButtonText (textOfId (active, currentId));
    active.setItemTicked (currentId, true, true);
}

void ComboBoxButton::changeWidthToFitText (int height)
{
    if (height < 0)
        height = getHeight();

    auto& active = getMenu();
    const auto font = button.getLookAndFeel().getTextButtonFont (button, height);
    const auto border = button.iconBorder;
    auto width = 40;

    for (int id = 0; id < active.getNumItems(); ++id)
    {
        const auto needed = juce::roundToInt (font.getStringWidthFloat (textOfId (active, id)))
                              + (height - border.getTop() - border.getBottom()) + border.getLeft() + border.getRight()
                              + static_cast<int> (0.833 * height);
        width = juce::jmax (width, needed);
    }

    setSize (width, height);
}

void ComboBoxButton::setSharedMenu (PopupMenuEx* newMenu)
{
    if (sharedMenu != nullptr)
        sharedMenu->removeListener (this);

    sharedMenu = newMenu;

    if (sharedMenu != nullptr)
        sharedMenu->addListener (this);

    updateText();
}

void ComboBoxButton::addListener (Listener* listener)
{
    listeners.addIfNotAlreadyThere (listener);
}

void ComboBoxButton::removeListener (Listener* listener)
{
    listeners.removeFirstMatchingValue (listener);
}

//==============================================================================
void ComboBoxButton::updateFromParameter (Parameter* changed)
{
    if (changed == nullptr || changed->getIntValue() == currentId)
        return;

    currentId = changed->getIntValue();
    updateText();
}

void ComboBoxButton::buttonClicked (juce::Button*)
{
    // A shared menu still ticks the item of whichever chooser was updated last.
    updateText();

    // The button stays lit while the menu is open.
    button.setToggleState (true, juce::dontSendNotification);
    opened = true;
    getMenu().show (this, {}, PopupMenuEx::belowTarget);
}

bool ComboBoxButton::isOwnChoice (PopupMenuEx* from)
{
    // A shared menu tells every chooser sharing it; only the one that opened it acts.
    return opened && (from == &menu || from == sharedMenu);
}

void ComboBoxButton::itemChosen (PopupMenuEx* from, int id, bool)
{
    if (! isOwnChoice (from))
        return;

    setSelectedId (id, true);
    menuClosed();
}

void ComboBoxButton::menuDismissed (PopupMenuEx* from)
{
    if (isOwnChoice (from))
        menuClosed();
}

void ComboBoxButton::menuClosed()
{
    opened = false;
    button.setToggleState (false, juce::dontSendNotification);
}

void ComboBoxButton::resized()
{
    button.setBounds (getLocalBounds());
}
