#include "GFXDisplayFloat.h"

#include <locale>
#include <sstream>

GFXDisplayFloat::GFXDisplayFloat (const juce::String& name)
    : GFXDisplay (name)
{
}

void GFXDisplayFloat::updateFromParameter (Parameter* changed)
{
    if (changed != nullptr)
        setText (formatValue ((double) changed->getValue(), getCharWidth() > 0 ? getWidth() / getCharWidth() : 0));
}

juce::String GFXDisplayFloat::formatValue (double value, int glyphsThatFit)
{
    std::ostringstream stream;
    stream.imbue (std::locale::classic());
    stream << value;

    auto text = juce::String (stream.str());

    // A field narrower than one glyph has no last visible glyph to look at.
    if (glyphsThatFit >= 1 && text.length() >= glyphsThatFit && text[glyphsThatFit - 1] == '.')
        text = " " + text;

    return text;
}
