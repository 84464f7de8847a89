#include "SkinBuilder.h"

#include <stdexcept>

namespace
{
    // Per-line copies of the view parameters are named "Line n " + the view's name.
    constexpr int viewParameterCount = 47;

    // A picture's file name from its look: plain ASCII, and apart for every other text.
    juce::String pictureName (const juce::String& kind, const juce::String& text, int width, int height)
    {
        const auto plain = text.retainCharacters ("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789");
        const auto suffix = plain == text.removeCharacters (" /+-.") ? juce::String()
                                                                     : "-" + juce::String::toHexString (text.hashCode());
        return kind + plain + suffix + juce::String (width) + "x" + juce::String (height) + ".png";
    }
}

SkinBuilder::SkinBuilder (const SkinArtist& a, const juce::File& parameterTable)
    : artist (a)
{
    const auto table = juce::XmlDocument::parse (parameterTable);

    if (table == nullptr || ! table->hasTagName ("PluginParameters"))
        throw std::runtime_error (("cannot read the parameter table " + parameterTable.getFullPathName()).toStdString());

    for (auto* param : table->getChildWithTagNameIterator ("param"))
    {
        const auto name = param->getStringAttribute ("name");
        itemsByParameter[name] = juce::StringArray::fromTokens (param->getStringAttribute ("enum"), ";", {});

        if (param->getIntAttribute ("index") < viewParameterCount)
            viewParameters.add (name);
    }

    mainPanel.tag = "Panel";
    mainPanel.name = "MainPanel";
    mainPanel.resource = "Background.png";
    mainPanel.frames = 1;
}

juce::StringArray SkinBuilder::getItems (const juce::String& parameterName) const
{
    const auto found = itemsByParameter.find (parameterName);

    if (found == itemsByParameter.end() || found->second.isEmpty())
        throw std::runtime_error (("not an enumerated parameter: " + parameterName).toStdString());

    return found->second;
}

juce::String SkinBuilder::image (const juce::String& fileName, const std::function<juce::Image()>& paint)
{
    if (images.find (fileName) == images.end())
        images[fileName] = paint();

    return fileName;
}

SkinBuilder::Element& SkinBuilder::add (Element& parent, const juce::String& tag, const juce::String& name,
                                        juce::Rectangle<int> bounds)
{
    jassert (parent.isPanel());

    // The editors find widgets by name, so a name given twice would bind only one of them.
    if (name.isNotEmpty() && ! names.insert (name).second)
        throw std::runtime_error (("the skin names two widgets " + name).toStdString());

    auto element = std::make_unique<Element>();
    element->tag = tag;
    element->name = name;
    element->bounds = bounds;
    parent.children.push_back (std::move (element));
    return *parent.children.back();
}

void SkinBuilder::link (Element& element, const juce::String& parameter)
{
    const auto lineCopy = parameter.startsWith ("Line ")
                          && viewParameters.contains (parameter.fromFirstOccurrenceOf (" ", false, false)
                                                               .fromFirstOccurrenceOf (" ", false, false));

    if (itemsByParameter.find (parameter) == itemsByParameter.end() && ! lineCopy)
        throw std::runtime_error (("the skin links to an unknown parameter: " + parameter).toStdString());

    element.link = parameter;
}

void SkinBuilder::action (Element& element, const juce::String& type, const juce::String& event)
{
    element.actions.emplace_back (type, event);
}

//==============================================================================
SkinBuilder::Element& SkinBuilder::panel (Element& parent, const juce::String& name, juce::Rectangle<int> bounds,
                                          int previewVariants)
{
    auto& element = add (parent, "Panel", name, bounds);
    element.resource = name + ".png";
    element.frames = 1;
    element.previewVariants = previewVariants;
    return element;
}

void SkinBuilder::decorate (Element& panel, Decoration::Kind kind, juce::Rectangle<int> area, const juce::String& text,
                            juce::Justification justification)
{
    panel.decorations.push_back ({ kind, area, text, justification });
}

SkinBuilder::Element& SkinBuilder::knob (Element& parent, const juce::String& name, const juce::String& parameter,
                                         juce::Point<int> topLeft, int size, const juce::String& caption, int frames)
{
    auto& element = add (parent, "Knob", name, { topLeft.x, topLeft.y, size, size });
    link (element, parameter);
    element.resource = image ("Knob" + juce::String (size) + "x" + juce::String (frames) + ".png",
                              [=] { return artist.knob (size, frames); });
    element.frames = frames;
    element.previewFrame = (int) ((float) (frames - 1) * (0.25f + 0.5f * (float) (name.hashCode() & 0xff) / 255.0f));

    if (caption.isNotEmpty())
        decorate (parent, Decoration::Kind::caption, { topLeft.x - 16, topLeft.y + size + 1, size + 32, 11 }, caption);

    return element;
}

SkinBuilder::Element& SkinBuilder::centredKnob (Element& parent, const juce::String& name, const juce::String& parameter,
                                                juce::Point<int> topLeft, int size, const juce::String& caption)
{
    auto& element = knob (parent, name, parameter, topLeft, size, caption);
    element.resource = image ("CentredKnob" + juce::String (size) + "x" + juce::String (element.frames) + ".png",
                              [this, size, frames = element.frames] { return artist.knob (size, frames, true); });
    return element;
}

SkinBuilder::Element& SkinBuilder::selector (Element& parent, const juce::String& name, const juce::String& parameter,
                                             juce::Rectangle<int> bounds, const juce::StringArray& shownItems,
                                             const juce::String& caption)
{
    auto& element = add (parent, "Switch", name, bounds);
    element.attributes.set ("style", "Rotary");
    link (element, parameter);

    if (shownItems.size() != getItems (parameter).size())
        throw std::runtime_error (("the selector does not show every item of " + parameter).toStdString());

    element.resource = image (name + ".png", [=] { return artist.selector (bounds.getWidth(), bounds.getHeight(), shownItems); });
    element.frames = shownItems.size();
    element.previewFrame = shownItems.size() / 2;

    if (caption.isNotEmpty())
        decorate (parent, Decoration::Kind::caption, bounds.withY (bounds.getBottom() + 1).withHeight (11).expanded (16, 0),
                  caption);

    return element;
}

SkinBuilder::Element& SkinBuilder::toggle (Element& parent, const juce::String& name, const juce::String& parameter,
                                           juce::Rectangle<int> bounds, const juce::String& text)
{
    auto& element = add (parent, "ToggleButton", name, bounds);
    element.attributes.set ("style", "3D");
    link (element, parameter);
    const auto w = bounds.getWidth(), h = bounds.getHeight();
    element.resource = image (pictureName ("Toggle", text, w, h),
                              [=] { return artist.ledButton (w, h, text, SkinArtist::Palette::accent); });
    element.frames = 4;
    return element;
}

SkinBuilder::Element& SkinBuilder::lampButton (Element& parent, const juce::String& name, const juce::String& event,
                                               juce::Rectangle<int> bounds, const juce::String& text, juce::Colour lit)
{
    auto& element = add (parent, "MultiStateButton", name, bounds);
    element.attributes.set ("style", "3D");
    element.attributes.set ("states", "2");
    action (element, "onClick", event);
    const auto w = bounds.getWidth(), h = bounds.getHeight();
    element.resource = image (pictureName (lit == SkinArtist::Palette::accent ? "Lamp" : "RedLamp", text, w, h),
                              [=] { return artist.ledButton (w, h, text, lit); });
    element.frames = 4;
    return element;
}

SkinBuilder::Element& SkinBuilder::pushButton (Element& parent, const juce::String& name, const juce::String& event,
                                               juce::Rectangle<int> bounds, const juce::String& text)
{
    auto& element = add (parent, "Button", name, bounds);

    if (event.isNotEmpty())
        action (element, "onClick", event);

    const auto w = bounds.getWidth(), h = bounds.getHeight();
    element.resource = image (pictureName ("Button", text, w, h),
                              [=] { return artist.pushButton (w, h, text); });
    element.frames = 2;
    return element;
}

SkinBuilder::Element& SkinBuilder::animation (Element& parent, const juce::String& name, juce::Rectangle<int> bounds,
                                              const juce::String& resource, int frames,
                                              const std::function<juce::Image()>& paint)
{
    auto& element = add (parent, "Animation", name, bounds);
    element.resource = image (resource, paint);
    element.frames = frames;
    return element;
}

SkinBuilder::Element& SkinBuilder::fraction (Element& parent, const juce::String& name, const juce::String& parameter,
                                             juce::Point<int> topLeft, int minValue)
{
    auto& element = add (parent, "NumericDisplay", name, { topLeft.x, topLeft.y, 2 * digitWidth, digitHeight });
    link (element, parameter);
    element.attributes.set ("digitsNum", "2");
    element.attributes.set ("firstDigitOrder", "10");
    element.attributes.set ("minValue", juce::String (minValue));
    element.attributes.set ("maxValue", "32");
    element.attributes.set ("control", "continous");
    const auto digit = image ("Digit.png", [this] { return artist.digit (digitWidth, digitHeight, false); });
    element.digitResources = { digit, digit };
    return element;
}

SkinBuilder::Element& SkinBuilder::milliseconds (Element& parent, const juce::String& name, const juce::String& parameter,
                                                 juce::Point<int> topLeft, const juce::String& minValue)
{
    auto& element = add (parent, "NumericDisplay", name, { topLeft.x, topLeft.y, 6 * digitWidth, digitHeight });
    link (element, parameter);
    element.attributes.set ("digitsNum", "6");
    element.attributes.set ("firstDigitOrder", "1000");
    element.attributes.set ("minValue", minValue);
    element.attributes.set ("maxValue", "1000.0");
    const auto digit = image ("Digit.png", [this] { return artist.digit (digitWidth, digitHeight, false); });
    const auto units = image ("DigitPoint.png", [this] { return artist.digit (digitWidth, digitHeight, true); });
    element.digitResources = { digit, digit, digit, units, digit, digit };
    return element;
}

SkinBuilder::Element& SkinBuilder::textInput (Element& parent, const juce::String& name, const juce::String& parameter,
                                              juce::Rectangle<int> bounds)
{
    auto& element = add (parent, "TextInput", name, bounds);
    link (element, parameter);
    return element;
}
