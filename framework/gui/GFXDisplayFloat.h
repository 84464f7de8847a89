#pragma once

#include "GFXDisplay.h"

/**
    A bitmap-font display (skin tag "DisplayFloat") showing its parameter's plain value
    as a decimal number, six significant digits, rather than the parameter's own text.
*/
class GFXDisplayFloat  : public GFXDisplay
{
public:
    explicit GFXDisplayFloat (const juce::String& name);
    ~GFXDisplayFloat() override = default;

    void updateFromParameter (Parameter* changed) override;

    /** The text for a value in a field this many glyphs wide: a space goes in front when
        the last glyph that fits would be the decimal point, so that a digit ends the view.
    */
    static juce::String formatValue (double value, int glyphsThatFit);

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (GFXDisplayFloat)
};
