#include "GFXPanel.h"

#include "GFXWidgetFactory.h"
#include "ModalComponent.h"
#include "SkinSource.h"
#include "SkinLimits.h"
#include "XmlHelpers.h"

GFXPanel::GFXPanel (const juce::String& name)
    : juce::Component (name)
{
}

GFXPanel::~GFXPanel()
{
    removeAllChildren();
}

void GFXPanel::addListener (GUIController::Listener* listener)
{
    GUIController::addListener (listener);

    for (auto* child : getChildren())
        if (auto* controller = dynamic_cast<GUIController*> (child))
            controller->addListener (listener);
}

void GFXPanel::loadFromXml (juce::XmlElement* element, SkinSource* source)
{
    BaseGFXController::loadFromXml (element, source);

    if (element == nullptr)
        return;

    if (auto* gfx = XmlHelpers::getChildByName (*element, "gfx"))
    {
        const auto shouldBeTransparent = XmlHelpers::getBoolAttribute (*gfx, "transparent");

        if (shouldBeTransparent != transparent)
        {
            transparent = shouldBeTransparent;
            repaint();
        }
    }

    if (auto* controls = XmlHelpers::getChildByName (*element, "controls"))
    {
        createWidgets (*controls, source);

        const auto offsetX = SkinLimits::readCoordinate (*controls, "ofsX");
        const auto offsetY = SkinLimits::readCoordinate (*controls, "ofsY");

        for (auto* child : getChildren())
            child->setTopLeftPosition (child->getPosition().translated (offsetX, offsetY));
    }

    setTopLeftPosition (left, top);
    setSize (frameWidth, frameHeight);
    repaint();
}

void GFXPanel::createWidgets (const juce::XmlElement& controls, SkinSource* source)
{
    if (source == nullptr)
        return;

    auto& factory = GFXWidgetFactory::getInstance();

    for (auto* childElement : controls.getChildIterator())
    {
        auto widget = factory.createWidget (childElement->getTagName(),
                                            XmlHelpers::getStringAttribute (*childElement, "name"),
                                            *source);
        auto* controller = dynamic_cast<GUIController*> (widget.get());

        if (controller == nullptr)
            continue;

        controller->loadFromXml (childElement, source);

        if (auto* linked = controller->getParameter())
            controller->updateFromParameter (linked);

        addAndMakeVisible (widgets.add (widget.release()));
    }
}

void GFXPanel::paint (juce::Graphics& g)
{
    if (transparent)
        return;

    if (image.isValid())
        drawFrame (g, 0);
    else
        g.fillAll (juce::Colour::greyLevel (0.9f));
}

void GFXPanel::focusOfChildComponentChanged (FocusChangeType)
{
    // The host's window, when it gets the focus back, hands it to the widget that had it
    // last, even with a window or alert shown over the panel since: that one takes it, so
    // no key works a widget behind it.
    for (auto* parent = getParentComponent(); parent != nullptr; parent = parent->getParentComponent())
    {
        if (dynamic_cast<ModalComponent::Desktop*> (parent) != nullptr)
        {
            ModalComponent::keepFocusInFront (*parent);
            return;
        }
    }
}
