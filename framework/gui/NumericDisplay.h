#pragma once

#include "GUIController.h"
#include "NumericDisplayDigit.h"
#include "NumericDisplaySign.h"

/**
    A skin row of digits, with a minus sign in front when the value can go negative,
    showing the plain value of its linked parameter. Leading zeros stay blank down to
    the ones place. Dragging up raises the value by steps of the place the user
    grabbed (or a tenth of the leftmost place in the continuous form), one step per
    10 pixels.
*/
class NumericDisplay  : public GUIController,
                        public juce::Component
{
public:
    explicit NumericDisplay (const juce::String& name);
    ~NumericDisplay() override;

    void updateFromParameter (Parameter* changed) override;
    void loadFromXml (juce::XmlElement* element, SkinSource* source) override;
    void blinkStateChanged() override;

    /** Clamps the value to the display's range and shows it; with notify, a changed
        value is written to the linked parameter and reported to the listeners.
    */
    void setValue (double newValue, bool notify);
    double getValue() const noexcept                    { return value; }

    void setMouseEditable (bool editable) noexcept      { mouseEditable = editable; }

    int getNumDigits() const noexcept                   { return digits.size(); }
    NumericDisplayDigit* getDigit (int index) const     { return digits[index]; }
    NumericDisplaySign* getSign() const noexcept        { return sign.get(); }
    double getDragStep() const noexcept                 { return dragStep; }

    /** @internal */
    void paint (juce::Graphics& g) override;
    /** @internal */
    void mouseDown (const juce::MouseEvent& e) override;
    /** @internal */
    void mouseDrag (const juce::MouseEvent& e) override;
    /** @internal */
    void mouseUp (const juce::MouseEvent& e) override;

private:
    void createSign (const juce::XmlElement& element, SkinSource* source);
    void createDigits (const juce::XmlElement& element, SkinSource* source);
    void addDigit (const juce::Image& digitImage, int& x, int& place);
    void updateDigits();

    std::unique_ptr<NumericDisplaySign> sign;
    juce::OwnedArray<NumericDisplayDigit> digits;
    int digitsNum = 1;
    double firstDigitOrder = 1.0, scale = 1.0;
    int alwaysShownDigits = 1;
    double minValue = 0.0, maxValue = 0.0, value = 0.0;
    double valueAtMouseDown = 0.0, dragStep = 0.0;
    int pixelsPerStep = 10;
    bool dragging = false, mouseEditable = true;
    int digitWidth = 0, digitHeight = 0;
    bool continuous = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (NumericDisplay)
};
