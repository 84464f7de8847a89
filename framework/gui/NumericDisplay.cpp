#include "NumericDisplay.h"

#include "SkinSource.h"
#include "SkinLimits.h"
#include "XmlHelpers.h"

NumericDisplay::NumericDisplay (const juce::String& name)
    : juce::Component (name)
{
    setOpaque (true);
}

NumericDisplay::~NumericDisplay()
{
    removeAllChildren();
}

void NumericDisplay::updateFromParameter (Parameter* changed)
{
    if (changed != nullptr)
        setValue (changed->getValue(), false);
}

void NumericDisplay::blinkStateChanged()
{
    repaint();
}

//==============================================================================
void NumericDisplay::loadFromXml (juce::XmlElement* element, SkinSource* source)
{
    GUIController::loadFromXml (element, source);

    if (element == nullptr || ! XmlHelpers::hasTagName (*element, "NumericDisplay"))
        return;

    // A skin is outside input: fewer than one digit would leave nothing to divide the width
    // by, and more than a double tells apart would only ask for powers of ten past its range.
    digitsNum = SkinLimits::readInt (*element, "digitsNum", 1, 1, SkinLimits::maxDigits);

    const auto defaultOrder = std::pow (10.0, digitsNum - 1);
    firstDigitOrder = XmlHelpers::getDoubleAttribute (*element, "firstDigitOrder", defaultOrder);

    if (! (firstDigitOrder > 0.0))
        firstDigitOrder = defaultOrder;

    const auto order = std::log10 (firstDigitOrder);

    if (order - std::trunc (order) != 0.0)
        firstDigitOrder = defaultOrder;

    // A first place far from the ones would make the scale below infinite or nothing.
    auto places = std::log10 (firstDigitOrder);

    if (std::abs (places) > SkinLimits::maxPlace)
    {
        places = std::copysign ((double) SkinLimits::maxPlace, places);
        firstDigitOrder = std::pow (10.0, places);
    }

    scale = std::pow (10.0, digitsNum - places - 1.0);
    alwaysShownDigits = juce::jmax (digitsNum - (int) std::trunc (places), 0);

    minValue = SkinLimits::readValue (*element, "minValue");
    maxValue = SkinLimits::readValue (*element, "maxValue");
    continuous = XmlHelpers::getStringAttribute (*element, "control") == "continous";

    if (auto* size = XmlHelpers::getChildByName (*element, "size"))
    {
        const auto numPlaces = digitsNum + (minValue < 0.0 ? 1 : 0);
        digitWidth = SkinLimits::readLength (*size, "width") / numPlaces;
        digitHeight = SkinLimits::readLength (*size, "height");
    }

    removeAllChildren();
    digits.clear();
    sign.reset();

    if (minValue < 0.0)
        createSign (*element, source);

    createDigits (*element, source);

    if (auto* pos = XmlHelpers::getChildByName (*element, "pos"))
        setTopLeftPosition (SkinLimits::readCoordinate (*pos, "left"), SkinLimits::readCoordinate (*pos, "top"));

    int width = 0, height = 0;

    for (auto* child : getChildren())
    {
        width += child->getWidth();
        height = juce::jmax (height, child->getHeight());
    }

    setSize (width, height);
    value = minValue;
    updateDigits();
}

void NumericDisplay::createSign (const juce::XmlElement& element, SkinSource* source)
{
    juce::Image signImage;

    if (auto* signElement = XmlHelpers::getChildByName (element, "sign"); signElement != nullptr && source != nullptr)
        if (auto* gfx = XmlHelpers::getChildByName (*signElement, "gfx"))
            signImage = source->loadImage (XmlHelpers::getStringAttribute (*gfx, "resource"));

    const auto valid = signImage.isValid();
    sign = std::make_unique<NumericDisplaySign> (valid ? signImage.getWidth() : digitWidth,
                                                 valid ? signImage.getHeight() / 2 : digitHeight,
                                                 signImage);
    addAndMakeVisible (*sign);
    sign->setTopLeftPosition (0, 0);
}

void NumericDisplay::createDigits (const juce::XmlElement& element, SkinSource* source)
{
    auto x = sign != nullptr ? sign->getWidth() : 0;
    auto place = (int) std::trunc (std::log10 (firstDigitOrder));

    auto* digitsElement = XmlHelpers::getChildByName (element, "digits");

    if (digitsElement == nullptr)
    {
        for (int i = 0; i < digitsNum; ++i)
            addDigit ({}, x, place);

        return;
    }

    const auto loadImage = [source] (const juce::XmlElement& e)
    {
        return source != nullptr ? source->loadImage (XmlHelpers::getStringAttribute (e, "resource")) : juce::Image();
    };

    if (digitsElement->getNumChildElements() > 0)
    {
        for (auto* gfx : XmlHelpers::getChildrenWithTagName (*digitsElement, "gfx"))
        {
            if (digits.size() >= digitsNum)
                break;

            addDigit (loadImage (*gfx), x, place);
        }
    }
    else if (XmlHelpers::hasAttribute (*digitsElement, "resource"))
    {
        const auto shared = loadImage (*digitsElement);

        for (int i = 0; i < digitsNum; ++i)
            addDigit (shared, x, place);
    }
}

void NumericDisplay::addDigit (const juce::Image& digitImage, int& x, int& place)
{
    const auto valid = digitImage.isValid();
    auto* digit = digits.add (new NumericDisplayDigit (valid ? digitImage.getWidth() : digitWidth,
                                                      valid ? digitImage.getHeight() / 11 : digitHeight,
                                                      place >= 0, digitImage));
    --place;
    digit->setTopLeftPosition (x, 0);
    addAndMakeVisible (digit);
    x += digit->getWidth();
}

//==============================================================================
void NumericDisplay::setValue (double newValue, bool notify)
{
    if (std::isnan (newValue))
        return;

    if (newValue < minValue)
        newValue = minValue;
    else if (newValue > maxValue)
        newValue = maxValue;

    if (newValue != value)
    {
        value = newValue;

        if (auto* linked = getParameter(); linked != nullptr && notify)
        {
            linked->setValue ((float) value, true);
            sendValueChanged();
        }
    }

    updateDigits();
}

void NumericDisplay::updateDigits()
{
    // Whole numbers throughout: stepping a double divisor down by tenths drifts, and a
    // drift below a whole step would show the wrong digit.
    constexpr double largestExact = 9.0e15;
    auto n = (juce::int64) std::floor (juce::jlimit (0.0, largestExact, scale * std::abs (value) + 0.5));
    auto divisor = (juce::int64) std::llround (std::pow (10.0, digitsNum - 1));
    auto shown = false;

    for (int i = 0; i < digits.size(); ++i)
    {
        const auto k = divisor > 0 ? n / divisor : 0;
        shown = shown || k != 0 || i == digits.size() - alwaysShownDigits;
        // A value past what the digits hold leaves more than 9 in the first digit, but no
        // more than an int holds.
        digits.getUnchecked (i)->setDigit ((int) juce::jmin (k, (juce::int64) std::numeric_limits<int>::max()), ! shown);
        n -= k * divisor;
        divisor /= 10;
    }

    if (sign != nullptr)
        sign->setNegative (value < 0.0);
}

//==============================================================================
void NumericDisplay::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::black);
}

void NumericDisplay::mouseDown (const juce::MouseEvent& e)
{
    if (! mouseEditable)
        return;

    beginParameterGesture();
    dragging = true;
    valueAtMouseDown = value;
    pixelsPerStep = 10;

    const auto grabbedPlace = continuous || getWidth() <= 0 ? 1 : (int) ((double) e.x / getWidth() * digitsNum);
    dragStep = firstDigitOrder / std::pow (10.0, grabbedPlace);
}

void NumericDisplay::mouseDrag (const juce::MouseEvent& e)
{
    if (! mouseEditable || ! dragging)
        return;

    const auto steps = e.getDistanceFromDragStartY() / pixelsPerStep;
    setValue (valueAtMouseDown - steps * dragStep, true);
}

void NumericDisplay::mouseUp (const juce::MouseEvent&)
{
    if (! mouseEditable || ! dragging)
        return;

    endParameterGesture();
    dragging = false;
}
