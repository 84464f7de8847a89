#pragma once

#include "SkinArtist.h"

#include <map>
#include <memory>
#include <set>
#include <vector>

/**
    Collects the skin while the layout places it: the tree of widget elements with
    their parameter links and actions, the pictures each of them names, and the
    artwork (sections, captions, windows) that each panel's picture carries.

    Every position is a coordinate of the whole face; the writer turns the nesting of
    panels into the document's offsets. Every link is checked against the parameter
    table as it is placed, so a misspelt name stops the build instead of leaving a
    dead control.
*/
class SkinBuilder
{
public:
    /** Artwork of a panel, drawn over the part of its parent's picture it covers. */
    struct Decoration
    {
        enum class Kind { face, module, caption, well, lcd, brand, divider };

        Kind kind;
        juce::Rectangle<int> area;
        juce::String text;
        juce::Justification justification { juce::Justification::centred };
    };

    /** One element of the skin document. */
    struct Element
    {
        juce::String tag, name;
        juce::Rectangle<int> bounds;
        juce::String resource;
        int frames = 0;
        juce::StringPairArray attributes;
        juce::String link;
        std::vector<std::pair<juce::String, juce::String>> actions;
        juce::StringArray digitResources;
        juce::StringPairArray fontAttributes;
        std::vector<std::unique_ptr<Element>> children;
        std::vector<Decoration> decorations;

        /** What the previews show: the frame of a widget, and for a panel the set of
            previews it appears in (bit n for preview n; none set: every preview), so
            that panels taking turns in one place can each be seen.
        */
        int previewFrame = 0;
        int previewVariants = 0;

        bool isPanel() const    { return tag == "Panel"; }
    };

    /** Throws std::runtime_error when the parameter table cannot be read. */
    SkinBuilder (const SkinArtist& artist, const juce::File& parameterTable);

    Element& getMainPanel() noexcept                             { return mainPanel; }
    const std::map<juce::String, juce::Image>& getImages() const { return images; }
    const SkinArtist& getArtist() const noexcept                 { return artist; }

    /** The items of an enumerated parameter, in order. */
    juce::StringArray getItems (const juce::String& parameterName) const;

    //==============================================================================
    Element& panel (Element& parent, const juce::String& name, juce::Rectangle<int> bounds, int previewVariants = 0);

    void decorate (Element& panel, Decoration::Kind kind, juce::Rectangle<int> area, const juce::String& text = {},
                   juce::Justification justification = juce::Justification::centred);

    /** A knob with its caption centred under it. */
    Element& knob (Element& parent, const juce::String& name, const juce::String& parameter,
                   juce::Point<int> topLeft, int size, const juce::String& caption, int frames = 121);

    /** A knob whose arc grows both ways from the top, for a control whose neutral setting
        sits mid-range (balance, feedback, colour, spread): at rest it shows no arc.
    */
    Element& centredKnob (Element& parent, const juce::String& name, const juce::String& parameter,
                          juce::Point<int> topLeft, int size, const juce::String& caption);

    /** A rotary selector of an enumerated parameter, one position per item. */
    Element& selector (Element& parent, const juce::String& name, const juce::String& parameter,
                       juce::Rectangle<int> bounds, const juce::StringArray& shownItems, const juce::String& caption);

    Element& toggle (Element& parent, const juce::String& name, const juce::String& parameter,
                     juce::Rectangle<int> bounds, const juce::String& text);

    /** A lamp that fires an event on a click; the editor or a link sets its state. */
    Element& lampButton (Element& parent, const juce::String& name, const juce::String& event,
                         juce::Rectangle<int> bounds, const juce::String& text,
                         juce::Colour lit = SkinArtist::Palette::accent);

    Element& pushButton (Element& parent, const juce::String& name, const juce::String& event,
                         juce::Rectangle<int> bounds, const juce::String& text);

    Element& animation (Element& parent, const juce::String& name, juce::Rectangle<int> bounds,
                        const juce::String& resource, int frames, const std::function<juce::Image()>& paint);

    /** Digits of the two-place fraction form (minValue given) or the six-place time form. */
    Element& fraction (Element& parent, const juce::String& name, const juce::String& parameter,
                       juce::Point<int> topLeft, int minValue);
    Element& milliseconds (Element& parent, const juce::String& name, const juce::String& parameter,
                           juce::Point<int> topLeft, const juce::String& minValue);

    Element& textInput (Element& parent, const juce::String& name, const juce::String& parameter,
                        juce::Rectangle<int> bounds);

    /** Links an element to a parameter of the table or to a line's copy of a view parameter. */
    void link (Element& element, const juce::String& parameter);

    /** Adds an action to an element. */
    void action (Element& element, const juce::String& type, const juce::String& event);

    /** Registers a picture once under its file name and returns the name. */
    juce::String image (const juce::String& fileName, const std::function<juce::Image()>& paint);

    static constexpr int digitWidth = 13, digitHeight = 22;

private:
    Element& add (Element& parent, const juce::String& tag, const juce::String& name, juce::Rectangle<int> bounds);

    const SkinArtist& artist;
    std::map<juce::String, juce::StringArray> itemsByParameter;
    juce::StringArray viewParameters;
    Element mainPanel;
    std::set<juce::String> names;
    std::map<juce::String, juce::Image> images;
};
