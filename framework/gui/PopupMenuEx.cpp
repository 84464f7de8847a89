#include "PopupMenuEx.h"

#include "DefaultLookAndFeel.h"

namespace
{
constexpr int rowHeight = 16;
constexpr int hoverDelayMs = 100;
}

PopupMenuEx::PopupMenuEx() = default;

PopupMenuEx::PopupMenuEx (const PopupMenuEx& other)
{
    copyItemsFrom (other);
}

PopupMenuEx& PopupMenuEx::operator= (const PopupMenuEx& other)
{
    if (this != &other)
    {
        // The source may live inside the items about to be freed, and so may what the
        // open windows and the hover state point at.
        const PopupMenuEx source (other);

        if (component != nullptr)
            component->closeSubMenus();

        items.clear();
        copyItemsFrom (source);

        if (component != nullptr)
        {
            if (auto* root = component->getWindow (0))
                root->lookAndFeelChanged();

            component->repaint();
        }
    }

    return *this;
}

PopupMenuEx::~PopupMenuEx()
{
    cancelPendingUpdate();
    component.reset();
}

void PopupMenuEx::copyItemsFrom (const PopupMenuEx& other)
{
    name = other.name;
    tickAsDot = other.tickAsDot;
    tickOnRight = other.tickOnRight;

    for (auto* source : other.items)
    {
        auto* item = items.add (new Item());
        item->id = source->id;
        item->text = source->text;
        item->secondText = source->secondText;
        item->ticked = source->ticked;
        item->enabled = source->enabled;

        if (source->subMenu != nullptr)
            item->subMenu = std::make_unique<PopupMenuEx> (*source->subMenu);
    }

    updateDerived (level);
}

void PopupMenuEx::updateDerived (int newLevel)
{
    level = newLevel;

    for (auto* item : items)
    {
        item->owner = this;

        if (item->subMenu != nullptr)
            item->subMenu->updateDerived (level + 1);
    }

    updateHasEnabled();
    updateHasTicked();
}

bool PopupMenuEx::updateHasEnabled()
{
    auto any = false;

    for (auto* item : items)
    {
        if (item->subMenu != nullptr)
        {
            item->subMenuHasEnabled = item->subMenu->updateHasEnabled();
            any = any || item->subMenuHasEnabled;
        }
        else
        {
            any = any || item->enabled;
        }
    }

    return any;
}

bool PopupMenuEx::updateHasTicked()
{
    auto any = false;

    for (auto* item : items)
    {
        if (item->subMenu != nullptr)
        {
            item->subMenuHasTicked = item->subMenu->updateHasTicked();
            any = any || item->subMenuHasTicked;
        }
        else
        {
            any = any || item->ticked;
        }
    }

    return any;
}

void PopupMenuEx::addItem (int id, const juce::String& text)
{
    addItem (id, text, text);
}

void PopupMenuEx::addItem (int id, const juce::String& text, const juce::String& secondText)
{
    auto* item = items.add (new Item());
    item->owner = this;
    item->id = id;
    item->text = text;
    item->secondText = secondText.isEmpty() ? text : secondText;
}

void PopupMenuEx::addSubMenu (const juce::String& text, const PopupMenuEx& menu)
{
    auto* item = items.add (new Item());
    item->owner = this;
    item->id = -1;
    item->text = text;
    item->secondText = text;
    item->subMenu = std::make_unique<PopupMenuEx> (menu);
    updateDerived (level);
}

void PopupMenuEx::addListener (Listener* listener)
{
    if (listener != nullptr)
        listeners.addIfNotAlreadyThere (listener);
}

void PopupMenuEx::removeListener (Listener* listener)
{
    listeners.removeFirstMatchingValue (listener);
}

PopupMenuEx::Item* PopupMenuEx::findItem (int id) const
{
    for (auto* item : items)
    {
        if (item->subMenu != nullptr)
        {
            if (auto* found = item->subMenu->findItem (id))
                return found;
        }
        else if (item->id == id)
        {
            return item;
        }
    }

    return nullptr;
}

void PopupMenuEx::setTicks (int id, bool ticked, bool untickOthers)
{
    for (auto* item : items)
    {
        if (item->subMenu != nullptr)
            item->subMenu->setTicks (id, ticked, untickOthers);
        else if (item->id == id)
            item->ticked = ticked;
        else if (untickOthers)
            item->ticked = false;
    }
}

void PopupMenuEx::setItemTicked (int id, bool ticked, bool untickOthers)
{
    setTicks (id, ticked, untickOthers);
    updateHasTicked();

    if (component != nullptr)
        component->repaint();
}

void PopupMenuEx::show (juce::Component* newParent, juce::Rectangle<int> newTargetArea, int newPlacement)
{
    if (newParent == nullptr)
        return;

    // A menu shown again while open starts afresh, without a report for the old one.
    close();

    parent = newParent;
    targetArea = newTargetArea;
    placement = newPlacement;
    component = std::make_unique<PopupMenuComponent> (*this);
    newParent->addChildComponent (*component);
    component->show();
}

void PopupMenuEx::close()
{
    cancelPendingUpdate();
    chosenPending = dismissPending = false;

    if (component != nullptr)
    {
        component->close();
        component.reset();
    }
}

juce::Rectangle<int> PopupMenuEx::getTargetArea() const
{
    if (component == nullptr || parent == nullptr)
        return {};

    auto area = targetArea.getWidth() > 0 && targetArea.getHeight() > 0 ? targetArea : parent->getLocalBounds();
    return component->getLocalArea (parent, area);
}

void PopupMenuEx::choose (const Item& item)
{
    chosenId = item.id;
    chosenTicked = item.ticked;
    chosenPending = true;
    triggerAsyncUpdate();
}

void PopupMenuEx::dismiss()
{
    dismissPending = true;
    triggerAsyncUpdate();
}

void PopupMenuEx::handleAsyncUpdate()
{
    auto chosen = chosenPending;

    if (! (chosen || dismissPending))
        return;

    auto id = chosenId;
    auto ticked = chosenTicked;
    close();

    // A listener may delete the menu; stop walking the list when it does.
    juce::WeakReference<PopupMenuEx> self (this);

    for (int i = listeners.size(); --i >= 0 && self != nullptr;)
    {
        if (i >= listeners.size())
            continue;

        if (chosen)
            listeners.getUnchecked (i)->itemChosen (this, id, ticked);
        else
            listeners.getUnchecked (i)->menuDismissed (this);
    }
}

//==============================================================================
PopupMenuEx::PopupMenuComponent::PopupMenuComponent (PopupMenuEx& o)
    : owner (o)
{
}

PopupMenuEx::PopupMenuComponent::~PopupMenuComponent()
{
    stopTimer();
    windows.clear();
}

void PopupMenuEx::PopupMenuComponent::closeSubMenus()
{
    stopTimer();

    while (closeTopWindow())
    {
    }

    for (auto* w : windows)
        w->forgetItems();

    hoverMenu = topMenu;
}

void PopupMenuEx::PopupMenuComponent::updateBounds()
{
    // The overlay spans all it may use, so a press anywhere outside the windows lands here.
    if (auto* p = getParentComponent())
        setBounds (p->getLocalBounds());
}

void PopupMenuEx::PopupMenuComponent::visibilityChanged()
{
    windows.clear();
    topMenu = nullptr;

    if (isVisible())
    {
        hoverMenu = &owner;
        openArea = owner.getTargetArea();
        openPlacement = owner.placement;
        timerCallback();
    }
}

void PopupMenuEx::PopupMenuComponent::mouseDown (const juce::MouseEvent&)
{
    stopTimer();
    owner.dismiss();
}

void PopupMenuEx::PopupMenuComponent::timerCallback()
{
    stopTimer();

    if (hoverMenu != nullptr)
        openMenu (hoverMenu);
}

void PopupMenuEx::PopupMenuComponent::openMenu (PopupMenuEx* menu)
{
    while (! windows.isEmpty() && windows.getLast()->getMenu().level > menu->level)
        if (! closeTopWindow())
            break;

    if (! windows.isEmpty() && windows.getLast()->getMenu().level == menu->level && &windows.getLast()->getMenu() != menu)
        closeTopWindow();

    if (! windows.isEmpty() && &windows.getLast()->getMenu() == menu)
        return;

    openWindow (*menu);
}

void PopupMenuEx::PopupMenuComponent::openWindow (PopupMenuEx& menu)
{
    auto* window = new Window (*this, menu);
    addChildComponent (window);
    window->sendLookAndFeelChange();

    auto w = window->getWidth(), h = window->getHeight();
    auto coveredWidth = getWidth(), coveredHeight = getHeight();
    auto& a = openArea;
    int x = 0, y = 0;

    if (openPlacement == besideTarget)
    {
        x = a.getRight();
        y = a.getY();

        if (x + w > coveredWidth)
            x = a.getX() - w;
    }
    else if (openPlacement == belowTarget)
    {
        x = juce::jmax (0, a.getX());
        y = a.getBottom();

        if (x + w > coveredWidth)
            x = coveredWidth - w;
    }

    if (y + h > coveredHeight)
        y = y + 24 - h;

    window->setBounds (x, y, w, h);
    windows.add (window);
    window->setVisible (true);
    window->toFront (false);
    topMenu = &menu;
}

bool PopupMenuEx::PopupMenuComponent::closeTopWindow()
{
    if (windows.isEmpty() || &windows.getLast()->getMenu() == &owner)
        return false;

    windows.removeLast();
    topMenu = windows.isEmpty() ? nullptr : &windows.getLast()->getMenu();
    return true;
}

//==============================================================================
PopupMenuEx::Window::Window (PopupMenuComponent& h, PopupMenuEx& m)
    : host (h), menu (m)
{
    lookAndFeelChanged();
}

void PopupMenuEx::Window::forgetItems()
{
    hoverItem = lastItem = nullptr;
    repaint();
}

void PopupMenuEx::Window::lookAndFeelChanged()
{
    if (auto* lf = dynamic_cast<DefaultLookAndFeel*> (&getLookAndFeel()))
        font = lf->getMenuFont();

    auto widest = 0;

    for (auto* item : menu.items)
        widest = juce::jmax (widest, font.getStringWidth (item->text));

    setSize (36 + widest, rowHeight * menu.items.size() + 8);
}

void PopupMenuEx::Window::paint (juce::Graphics& g)
{
    auto width = getWidth();

    g.setColour (juce::Colour (0xFFE3E3E3));
    fillRoundedRectangle (g, getLocalBounds().reduced (1), 6.0f);
    g.setColour (juce::Colours::black);
    drawRoundedRectangleOutline (g, getLocalBounds(), 6.0f, 1.0f);

    for (int i = 0; i < menu.items.size(); ++i)
    {
        auto* item = menu.items.getUnchecked (i);
        auto y = 9 + rowHeight * i;
        auto isSubMenu = item->subMenu != nullptr;

        if (item == hoverItem || item == lastItem)
        {
            g.setColour (juce::Colour (0xFFADADAD));
            g.fillRoundedRectangle (4.0f, (float) (y - 5), (float) (width - 8), (float) rowHeight, 3.0f);
        }

        auto enabled = isSubMenu ? item->subMenuHasEnabled : item->enabled;
        g.setColour (enabled ? juce::Colours::black : juce::Colour (0xFF808080));

        auto bold = isSubMenu && item->subMenuHasTicked;
        g.setFont (bold ? font.withStyle (font.getStyleFlags() | juce::Font::bold) : font);

        if (isSubMenu)
        {
            juce::Path triangle;
            triangle.addTriangle (0.0f, 0.5f, 7.0f, 3.5f, 0.0f, 6.5f);
            triangle.applyTransform (juce::AffineTransform::translation ((float) (width - 14), (float) (y - 1)));
            g.strokePath (triangle, juce::PathStrokeType (1.0f));

            if (item->subMenuHasTicked)
                g.fillPath (triangle);
        }
        else if (item->ticked)
        {
            juce::Rectangle<float> mark ((float) (menu.tickOnRight ? width - 12 : 7), (float) y, 5.0f, 5.0f);

            if (menu.tickAsDot)
                g.fillEllipse (mark);
            else
                g.fillRect (mark);
        }

        g.drawText (item->text, juce::Rectangle<int> (menu.tickOnRight ? 6 : 22, y - 6, width - 12, rowHeight),
                    juce::Justification::centredLeft, false);
    }
}

int PopupMenuEx::Window::rowAt (const juce::MouseEvent& e) const
{
    return (e.getPosition().y - 6) / rowHeight;
}

void PopupMenuEx::Window::hover (int row, bool highlight)
{
    auto* item = menu.items[row];

    if (item != nullptr)
    {
        host.hoverMenu = item->subMenu != nullptr ? item->subMenu.get() : item->owner;
        host.openArea = { getX() - 5, getY() + rowHeight * row, getWidth() + 10, rowHeight };
        host.openPlacement = besideTarget;

        if (host.hoverMenu != host.topMenu)
            host.startTimer (hoverDelayMs);
        else
            host.stopTimer();
    }

    if (highlight && (item != hoverItem || item != lastItem))
    {
        hoverItem = lastItem = item;
        repaint();
    }
}

void PopupMenuEx::Window::mouseMove (const juce::MouseEvent& e)
{
    hover (rowAt (e), true);
}

void PopupMenuEx::Window::mouseEnter (const juce::MouseEvent& e)
{
    hover (rowAt (e), true);
}

void PopupMenuEx::Window::mouseExit (const juce::MouseEvent&)
{
    if (hoverItem != nullptr)
    {
        hoverItem = nullptr;
        repaint();
    }
}

void PopupMenuEx::Window::mouseDown (const juce::MouseEvent& e)
{
    auto row = rowAt (e);
    auto* item = menu.items[row];

    if (item == nullptr)
        return;

    if (item->subMenu != nullptr)
    {
        hover (row, false);
    }
    else if (item->enabled)
    {
        host.stopTimer();
        host.owner.choose (*item);
    }
}
