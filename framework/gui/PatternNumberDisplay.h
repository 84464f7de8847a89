#pragma once

#include "GFXAnimation.h"

/**
    A skin widget (tag "PatternNumberDisplay") that shows an integer parameter, a
    pattern number, on four filmstrip digits: as a note name with octave ("P.", letter,
    sharp, octave), as a two-digit number, or as bank and slot. Digits without a strip
    draw their symbols as text.
*/
class PatternNumberDisplay  : public GUIController,
                              public juce::Component
{
public:
    enum Notation
    {
        noteNotation = 0,
        numericNotation = 1,
        bankAndSlotNotation = 2
    };

    /** One digit: its symbol is also its frame, and symbol 0 is always blank. */
    class PatternNumberDisplayDigit  : public GFXAnimation
    {
    public:
        /** The symbol texts of frames 1 upwards. */
        PatternNumberDisplayDigit (const juce::String& name, juce::StringArray symbolTexts);

        void setSymbol (int newSymbol);
        int getSymbol() const noexcept                  { return symbol; }
        int getNumFrames() const noexcept               { return texts.size() + 1; }

        /** @internal */
        void paint (juce::Graphics& g) override;

    private:
        juce::StringArray texts;
        int symbol = 0;
    };

    explicit PatternNumberDisplay (const juce::String& name);
    ~PatternNumberDisplay() override = default;

    void updateFromParameter (Parameter* changed) override;
    void loadFromXml (juce::XmlElement* element, SkinSource* source) override;

    /** Stores the value clamped into the range of the current notation. */
    void setValue (int newValue);
    int getValue() const noexcept                       { return value; }

    void setNotation (Notation newNotation);

    /** Slots per bank, kept within 4..16. */
    void setSlotMax (int newSlotMax);

    /** The four digits, left to right; none before a skin gave them strips. */
    int getNumDigits() const noexcept                   { return digits.size(); }
    PatternNumberDisplayDigit* getDigit (int index) const { return digits[index]; }

    /** Builds the four digits, of the given strips (null: text) in a display of that size. */
    void createDigits (const juce::Image strips[4], int width, int height);

    /** @internal */
    void enablementChanged() override;

private:
    juce::Range<int> getRange() const;
    void updateDigits();

    juce::OwnedArray<PatternNumberDisplayDigit> digits;
    int value = 0;
    int notePatternMin = 0, notePatternMax = 127;
    int numericPatternMin = 1, numericPatternMax = 16;
    int bankAndSlotPatternMin = 1, bankAndSlotPatternMax = 96;
    int slotMax = 12;
    Notation notation = noteNotation;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PatternNumberDisplay)
};
