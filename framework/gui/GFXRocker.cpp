#include "GFXRocker.h"

#include "XmlHelpers.h"

GFXRocker::GFXRocker (const juce::String& name)
    : juce::Component (name)
{
}

void GFXRocker::setAction (const juce::String& type, int uid, const juce::String&)
{
    if (type == "onLessClick")               lessUid = uid;
    else if (type == "onMoreClick")          moreUid = uid;
    else if (type == "onLessClickWithCtrl")  lessCtrlUid = uid;
    else if (type == "onMoreClickWithCtrl")  moreCtrlUid = uid;
}

void GFXRocker::loadFromXml (juce::XmlElement* element, SkinSource* source)
{
    BaseGFXController::loadFromXml (element, source);

    if (element != nullptr && XmlHelpers::hasTagName (*element, "Rocker"))
    {
        const auto type = XmlHelpers::getStringAttribute (*element, "type", "vertical");

        if (type == "vertical")
            orientation = vertical;
        else if (type == "horizontal")
            orientation = horizontal;
    }

    setTopLeftPosition (left, top);
    setSize (frameWidth, frameHeight);
    repaint();
}

void GFXRocker::mouseDown (const juce::MouseEvent& e)
{
    const auto pos = e.getPosition();

    if (! getLocalBounds().contains (pos))
        return;

    showRest = false;

    // Integer halves: the middle row or column belongs to "less".
    const auto more = orientation == vertical ? pos.y < getHeight() / 2 : pos.x > getWidth() / 2;
    const auto ctrl = e.mods.isCtrlDown();

    state = more ? morePressed : lessPressed;
    const auto uid = more ? (ctrl ? moreCtrlUid : moreUid) : (ctrl ? lessCtrlUid : lessUid);

    if (uid != -1)
        sendEvent (uid);

    repaint();
}

void GFXRocker::mouseUp (const juce::MouseEvent&)
{
    showRest = false;
    state = atRest;
    repaint();
}

void GFXRocker::paint (juce::Graphics& g)
{
    if (image.isValid())
    {
        drawFrame (g, showRest ? atRest : state);
        return;
    }

    const auto w = getWidth(), h = getHeight();
    const auto shade = [&g] (bool pressed, juce::Rectangle<int> area)
    {
        g.setColour (juce::Colour::greyLevel (pressed ? 0.5f : 0.7f));
        g.fillRect (area);
    };

    g.fillAll (juce::Colour::greyLevel (0.9f));

    if (orientation == horizontal)
    {
        shade (state == lessPressed, { 0, 0, w / 2 - 1, h });
        shade (state == morePressed, { w / 2 + 1, 0, w / 2 - 1, h });
    }
    else
    {
        shade (state == morePressed, { 0, 0, w, h / 2 - 1 });
        shade (state == lessPressed, { 0, h / 2 + 1, w, h / 2 - 1 });
    }

    g.setColour (juce::Colours::black);
    g.drawRect (getLocalBounds(), 1);
}
