#include "PatternNumberDisplay.h"

#include "MidiNoteNames.h"
#include "SkinSource.h"
#include "SkinLimits.h"
#include "XmlHelpers.h"

namespace
{
    const juce::StringArray digitTexts { "0", "1", "2", "3", "4", "5", "6", "7", "8", "9" };

    juce::StringArray withDigits (const juce::StringArray& extra)
    {
        auto texts = digitTexts;
        texts.addArray (extra);
        return texts;
    }

    // Symbols 11 upwards of each place, after the ten digits.
    const juce::StringArray placeSymbols[] = {
        { "P." },
        { "C", "D", "E", "F", "G", "A", "B", "-" },
        { "#", "-" },
        {},
    };
}

//==============================================================================
PatternNumberDisplay::PatternNumberDisplayDigit::PatternNumberDisplayDigit (const juce::String& name,
                                                                            juce::StringArray symbolTexts)
    : GFXAnimation (name), texts (std::move (symbolTexts))
{
}

void PatternNumberDisplay::PatternNumberDisplayDigit::setSymbol (int newSymbol)
{
    if (newSymbol != symbol)
    {
        symbol = newSymbol;
        setFrame (symbol);
        repaint();
    }
}

void PatternNumberDisplay::PatternNumberDisplayDigit::paint (juce::Graphics& g)
{
    if (getImage().isValid())
    {
        GFXAnimation::paint (g);
        return;
    }

    g.fillAll (juce::Colour::greyLevel (0.9f));
    g.setColour (juce::Colours::black);
    g.drawRect (getLocalBounds(), 1);

    // Symbol 0 and symbols past the set are blank.
    if (symbol >= 1 && symbol <= texts.size())
        g.drawText (texts[symbol - 1], getLocalBounds(), juce::Justification::centred, true);
}

//==============================================================================
PatternNumberDisplay::PatternNumberDisplay (const juce::String& name)
    : juce::Component (name)
{
}

void PatternNumberDisplay::updateFromParameter (Parameter* changed)
{
    if (changed != nullptr)
        setValue (changed->getIntValue());
}

void PatternNumberDisplay::loadFromXml (juce::XmlElement* element, SkinSource* source)
{
    GUIController::loadFromXml (element, source);

    if (element == nullptr || ! XmlHelpers::hasTagName (*element, "PatternNumberDisplay"))
        return;

    const auto read = [element] (const char* name, int fallback)
    {
        return SkinLimits::readInt (*element, name, fallback, -SkinLimits::maxPatternNumber, SkinLimits::maxPatternNumber);
    };

    notePatternMin = read ("notePatternMin", 0);
    notePatternMax = read ("notePatternMax", 127);
    numericPatternMin = read ("numericPatternMin", 1);
    numericPatternMax = read ("numericPatternMax", 16);
    bankAndSlotPatternMin = read ("bankAndSlotPatternMin", 1);
    bankAndSlotPatternMax = read ("bankAndSlotPatternMax", 96);
    setSlotMax (read ("slotMax", 12));
    setValue (value);

    int left = 0, top = 0, width = 100, height = 40;

    if (auto* pos = XmlHelpers::getChildByName (*element, "pos"))
    {
        left = SkinLimits::readCoordinate (*pos, "left");
        top = SkinLimits::readCoordinate (*pos, "top");
    }

    if (auto* size = XmlHelpers::getChildByName (*element, "size"))
    {
        width = SkinLimits::readLength (*size, "width", 100);
        height = SkinLimits::readLength (*size, "height", 40);
    }

    if (auto* gfx = XmlHelpers::getChildByName (*element, "gfx"))
    {
        juce::Image strips[4];
        const char* names[] = { "firstDigit", "secondDigit", "thirdDigit", "fourthDigit" };

        for (int i = 0; i < 4; ++i)
            if (source != nullptr)
                strips[i] = source->loadImage (XmlHelpers::getStringAttribute (*gfx, names[i]));

        createDigits (strips, width, height);
    }

    setTopLeftPosition (left, top);
    setSize (width, height);
    updateDigits();
}

void PatternNumberDisplay::createDigits (const juce::Image strips[4], int width, int height)
{
    digits.clear();
    const auto digitWidth = width / 4;
    int x = 0;

    for (int i = 0; i < 4; ++i)
    {
        auto* digit = digits.add (new PatternNumberDisplayDigit (getName() + " " + juce::String (i + 1),
                                                                withDigits (placeSymbols[i])));

        if (strips[i].isValid())
            digit->setImage (strips[i], digit->getNumFrames());
        else
            digit->setSize (digitWidth, height);

        digit->setTopLeftPosition (x, 0);
        x += digit->getWidth();
        addAndMakeVisible (digit);
    }

    updateDigits();
}

//==============================================================================
juce::Range<int> PatternNumberDisplay::getRange() const
{
    switch (notation)
    {
        case numericNotation:       return { numericPatternMin, numericPatternMax };
        case bankAndSlotNotation:   return { bankAndSlotPatternMin, bankAndSlotPatternMax };
        case noteNotation:
        default:                    return { notePatternMin, notePatternMax };
    }
}

void PatternNumberDisplay::setValue (int newValue)
{
    // Not juce::jlimit: a skin may give a maximum below its minimum, and the minimum wins then.
    const auto range = getRange();
    newValue = juce::jmax (range.getStart(), juce::jmin (newValue, range.getEnd()));

    if (newValue != value)
    {
        value = newValue;
        updateDigits();
    }
}

void PatternNumberDisplay::setNotation (Notation newNotation)
{
    notation = newNotation;
    setValue (value);
    updateDigits();
}

void PatternNumberDisplay::setSlotMax (int newSlotMax)
{
    slotMax = juce::jlimit (4, 16, newSlotMax);
    updateDigits();
}

void PatternNumberDisplay::enablementChanged()
{
    updateDigits();
}

void PatternNumberDisplay::updateDigits()
{
    if (digits.size() < 4)
        return;

    int symbols[4] = {};

    if (isEnabled())
    {
        const auto v = value;

        if (notation == noteNotation)
        {
            const auto sharp = ! isNaturalMidiNote (v);
            symbols[0] = 11;
            symbols[1] = 11 + getMidiNoteLetterIndex (v);
            symbols[2] = sharp ? 11 : 12;
            symbols[3] = v / 12 + 1;
        }
        else if (notation == numericNotation)
        {
            symbols[1] = v / 10 + 1;
            symbols[2] = v % 10 + 1;
        }
        else
        {
            const auto slot = (v - 1) % slotMax + 1;
            symbols[0] = (v - 1) / slotMax + 2;
            symbols[1] = 18;
            symbols[2] = slot / 10 + 1;
            symbols[3] = slot % 10 + 1;
        }
    }

    for (int i = 0; i < 4; ++i)
        digits[i]->setSymbol (symbols[i]);
}
