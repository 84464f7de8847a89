#include "ComboBoxEx.h"

ComboBoxEx::ComboBoxEx()
{
    menu.addListener (this);
    updateText();
}

ComboBoxEx::~ComboBoxEx()
{
    if (sharedMenu != nullptr)
        sharedMenu->removeListener (this);

    menu.removeListener (this);
}

void ComboBoxEx::setSelectedId (int id, bool notify)
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

void ComboBoxEx::updateText()
{
    auto& active = getMenu();
    const auto* item = active.findItem (currentId);
    const auto newText = item != nullptr ? item->secondText : juce::String ("---");

    if (newText != text)
    {
        text = newText;
        repaint();
    }

    const auto italic = item == nullptr || ! item->enabled;

    if (font.isItalic() != italic)
    {
        font.setItalic (italic);
        repaint();
    }

    active.setItemTicked (currentId, true, true);
}

void ComboBoxEx::setParameter (Parameter* parameter)
{
    bindToParameter (parameter);
}

void ComboBoxEx::setSharedMenu (PopupMenuEx* newMenu)
{
    if (sharedMenu != nullptr)
        sharedMenu->removeListener (this);

    sharedMenu = newMenu;

    if (sharedMenu != nullptr)
        sharedMenu->addListener (this);

    updateText();
}

void ComboBoxEx::addListener (Listener* listener)
{
    listeners.addIfNotAlreadyThere (listener);
}

void ComboBoxEx::removeListener (Listener* listener)
{
    listeners.removeFirstMatchingValue (listener);
}

//==============================================================================
void ComboBoxEx::updateFromParameter (Parameter* changed)
{
    if (changed == nullptr || changed->getIntValue() == currentId)
        return;

    currentId = changed->getIntValue();
    updateText();
    changed->setIntValue (currentId, true);
}

bool ComboBoxEx::isOwnChoice (PopupMenuEx* from) const
{
    // A shared menu tells every field sharing it; only the one that opened it acts.
    return menuOpen && (from == &menu || from == sharedMenu);
}

void ComboBoxEx::itemChosen (PopupMenuEx* from, int id, bool)
{
    if (! isOwnChoice (from))
        return;

    setSelectedId (id, true);
    menuClosed();
}

void ComboBoxEx::menuDismissed (PopupMenuEx* from)
{
    if (isOwnChoice (from))
        menuClosed();
}

void ComboBoxEx::menuClosed()
{
    menuOpen = false;
    repaint();
}

void ComboBoxEx::mouseDown (const juce::MouseEvent&)
{
    updateText();
    getMenu().show (this, {}, PopupMenuEx::belowTarget);
    menuOpen = true;
    repaint();
}

void ComboBoxEx::paint (juce::Graphics& g)
{
    const auto bounds = getLocalBounds().toFloat();

    g.setColour (juce::Colour (0xffe3e3e3));
    g.fillRoundedRectangle (bounds.reduced (1.0f), 4.0f);

    g.setColour (menuOpen ? juce::Colour (0xbfff4500) : juce::Colours::white);
    g.drawRoundedRectangle (bounds.reduced (0.5f), 4.0f, 1.0f);

    g.setColour (juce::Colours::black);
    g.setFont (font);
    g.drawText (text, juce::Rectangle<int> (4, 0, getWidth(), getHeight()), juce::Justification::centredLeft, false);

    if (getHeight() > 4)
    {
        g.setColour (juce::Colour (0xffbfbfbf));
        g.fillRect (juce::Rectangle<int> (getWidth() - 13, 2, 1, getHeight() - 4));
    }

    g.setColour (juce::Colours::black);
    g.fillPath (arrow);
}

void ComboBoxEx::resized()
{
    const auto cx = static_cast<float> (getWidth()) - 4.0f - 3.5f;
    const auto cy = static_cast<float> (getHeight()) * 0.5f;

    arrow.clear();
    arrow.addTriangle (cx - 3.0f, cy - 3.0f, cx + 3.0f, cy - 3.0f, cx, cy + 3.0f);
}
