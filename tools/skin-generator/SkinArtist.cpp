#include "SkinArtist.h"

#include <cmath>
#include <stdexcept>

const juce::Colour SkinArtist::Palette::moduleEdge { 0xff2c3036 };
const juce::Colour SkinArtist::Palette::title      { 0xffdde1e6 };
const juce::Colour SkinArtist::Palette::caption    { 0xff8f969e };
const juce::Colour SkinArtist::Palette::accent     { 0xffffa127 };
const juce::Colour SkinArtist::Palette::accentDim  { 0xff4a3318 };
const juce::Colour SkinArtist::Palette::lcd        { 0xfff3a33c };
const juce::Colour SkinArtist::Palette::lcdInk     { 0xff501700 };
const juce::Colour SkinArtist::Palette::red        { 0xffff4a3d };
const juce::Colour SkinArtist::Palette::green      { 0xff45d36f };

namespace
{
    // The knob's travel, clockwise from twelve o'clock, as juce::Path arcs measure it.
    constexpr float arcStart = -juce::MathConstants<float>::pi * 0.75f;
    constexpr float arcEnd   =  juce::MathConstants<float>::pi * 0.75f;

    juce::Typeface::Ptr loadTypeface (const juce::File& file)
    {
        juce::MemoryBlock data;

        if (! file.loadFileAsData (data) || data.isEmpty())
            throw std::runtime_error (("cannot read the font " + file.getFullPathName()).toStdString());

        auto typeface = juce::Typeface::createSystemTypefaceFor (data.getData(), data.getSize());

        if (typeface == nullptr)
            throw std::runtime_error (("not a font: " + file.getFullPathName()).toStdString());

        return typeface;
    }

    juce::Image makeStrip (int width, int height, int frames)
    {
        return { juce::Image::ARGB, width, height * frames, true };
    }

    juce::Point<float> onCircle (juce::Point<float> centre, float radius, float angle)
    {
        return centre.getPointOnCircumference (radius, angle);
    }
}

SkinArtist::SkinArtist (const juce::File& regularFontFile, const juce::File& boldFontFile)
    : regular (loadTypeface (regularFontFile)),
      bold (loadTypeface (boldFontFile))
{
}

juce::Font SkinArtist::font (float height, bool isBold, float kerning) const
{
    juce::Font f (isBold ? bold : regular);
    f.setHeight (height);
    f.setExtraKerningFactor (kerning);
    return f;
}

//==============================================================================
void SkinArtist::paintKnobBody (juce::Graphics& g, juce::Rectangle<float> area, float proportion,
                                bool withArc, bool fromCentre) const
{
    const auto size = juce::jmin (area.getWidth(), area.getHeight());
    const auto centre = area.getCentre();
    const auto trackWidth = juce::jmax (3.0f, size * 0.065f);
    const auto trackRadius = size * 0.5f - trackWidth * 0.5f - 2.0f;
    const auto bodyRadius = trackRadius - trackWidth - juce::jmax (2.5f, size * 0.06f);
    const auto angle = arcStart + proportion * (arcEnd - arcStart);

    const juce::PathStrokeType stroke (trackWidth, juce::PathStrokeType::curved, juce::PathStrokeType::rounded);

    juce::Path track;
    track.addCentredArc (centre.x, centre.y, trackRadius, trackRadius, 0.0f, arcStart, arcEnd, true);
    g.setColour (juce::Colour (0xff0c0d0f));
    g.strokePath (track, stroke);

    const auto restAngle = fromCentre ? 0.0f : arcStart;

    if (withArc && std::abs (angle - restAngle) > 0.001f)
    {
        juce::Path value;
        value.addCentredArc (centre.x, centre.y, trackRadius, trackRadius, 0.0f,
                             juce::jmin (restAngle, angle), juce::jmax (restAngle, angle), true);
        g.setColour (Palette::accent.withAlpha (0.25f));
        g.strokePath (value, juce::PathStrokeType (trackWidth + 3.0f, juce::PathStrokeType::curved,
                                                   juce::PathStrokeType::rounded));
        g.setColour (Palette::accent);
        g.strokePath (value, stroke);
    }

    // Shadow, body with its light from above, and a cap a shade darker than the rim.
    g.setColour (juce::Colours::black.withAlpha (0.55f));
    g.fillEllipse (juce::Rectangle<float> (bodyRadius * 2.0f + 3.0f, bodyRadius * 2.0f + 3.0f)
                       .withCentre (centre.translated (0.0f, 1.5f)));

    const auto body = juce::Rectangle<float> (bodyRadius * 2.0f, bodyRadius * 2.0f).withCentre (centre);
    g.setGradientFill (juce::ColourGradient (juce::Colour (0xff4d535b), body.getX(), body.getY(),
                                             juce::Colour (0xff1d2024), body.getX(), body.getBottom(), false));
    g.fillEllipse (body);

    const auto cap = body.reduced (juce::jmax (1.5f, size * 0.04f));
    g.setGradientFill (juce::ColourGradient (juce::Colour (0xff353a41), cap.getX(), cap.getY(),
                                             juce::Colour (0xff26292e), cap.getX(), cap.getBottom(), false));
    g.fillEllipse (cap);

    const auto pointerWidth = juce::jmax (2.0f, size * 0.05f);
    juce::Line<float> pointer (onCircle (centre, bodyRadius * 0.3f, angle),
                               onCircle (centre, bodyRadius * 0.88f, angle));
    g.setColour (juce::Colour (0xfff2f3f5));
    g.drawLine (pointer, pointerWidth);
}

juce::Image SkinArtist::knob (int size, int frames, bool fromCentre) const
{
    auto image = makeStrip (size, size, frames);
    juce::Graphics g (image);

    for (int k = 0; k < frames; ++k)
    {
        const auto frame = juce::Rectangle<int> (0, k * size, size, size);
        const juce::Graphics::ScopedSaveState state (g);
        g.reduceClipRegion (frame);
        paintKnobBody (g, frame.toFloat(), (float) k / (float) (frames - 1), true, fromCentre);
    }

    return image;
}

juce::Image SkinArtist::selector (int width, int height, const juce::StringArray& items) const
{
    const auto frames = items.size();
    auto image = makeStrip (width, height, frames);
    juce::Graphics g (image);
    const auto knobSize = (float) juce::jmin (width, height - 14);

    for (int k = 0; k < frames; ++k)
    {
        const auto frame = juce::Rectangle<int> (0, k * height, width, height).toFloat();
        const juce::Graphics::ScopedSaveState state (g);
        g.reduceClipRegion (frame.toNearestInt());
        const auto knobArea = frame.withHeight (knobSize).withSizeKeepingCentre (knobSize, knobSize)
                                   .withY (frame.getY());
        const auto proportion = (float) k / (float) (frames - 1);
        paintKnobBody (g, knobArea, proportion, false);

        // One dot per position around the dial, the chosen one lit.
        const auto centre = knobArea.getCentre();
        const auto radius = knobSize * 0.5f - 2.5f;

        for (int i = 0; i < frames; ++i)
        {
            const auto a = arcStart + (float) i / (float) (frames - 1) * (arcEnd - arcStart);
            const auto p = onCircle (centre, radius, a);
            g.setColour (i == k ? Palette::accent : juce::Colour (0xff4a5058));
            g.fillEllipse (juce::Rectangle<float> (i == k ? 4.0f : 3.0f, i == k ? 4.0f : 3.0f).withCentre (p));
        }

        g.setColour (Palette::accent);
        g.setFont (font (10.5f, true, 0.04f));
        g.drawText (items[k], frame.withTop (frame.getBottom() - 13.0f), juce::Justification::centred, false);
    }

    return image;
}

//==============================================================================
void SkinArtist::paintButtonBody (juce::Graphics& g, juce::Rectangle<float> area, bool pressed) const
{
    const auto corner = 3.0f;
    g.setColour (juce::Colours::black.withAlpha (0.5f));
    g.fillRoundedRectangle (area.translated (0.0f, 1.0f), corner);

    const auto body = area.reduced (0.5f);
    g.setGradientFill (juce::ColourGradient (juce::Colour (pressed ? 0xff202327 : 0xff343940), body.getX(), body.getY(),
                                             juce::Colour (pressed ? 0xff1b1d21 : 0xff25282d), body.getX(), body.getBottom(),
                                             false));
    g.fillRoundedRectangle (body, corner);
    g.setColour (juce::Colour (pressed ? 0xff2a2e33 : 0xff454a52));
    g.drawRoundedRectangle (body, corner, 1.0f);

    if (! pressed)
    {
        g.setColour (juce::Colours::white.withAlpha (0.06f));
        g.drawHorizontalLine ((int) body.getY() + 1, body.getX() + 2.0f, body.getRight() - 2.0f);
    }
}

juce::Image SkinArtist::ledButton (int width, int height, const juce::String& text, juce::Colour lit) const
{
    auto image = makeStrip (width, height, 4);
    juce::Graphics g (image);
    const auto textFont = font (juce::jmin (10.5f, (float) height * 0.55f), true, 0.06f);
    const auto withLed = width >= 56;

    for (int k = 0; k < 4; ++k)
    {
        const auto on = k >= 2;
        const auto pressed = (k % 2) == 1;
        const auto frame = juce::Rectangle<int> (0, k * height, width, height).toFloat().reduced (0.5f, 0.0f)
                               .withTrimmedBottom (1.0f);
        paintButtonBody (g, frame, pressed);

        if (on)
        {
            g.setColour (lit.withAlpha (0.10f));
            g.fillRoundedRectangle (frame.reduced (1.5f), 2.5f);
            g.setColour (lit.withAlpha (0.55f));
            g.drawRoundedRectangle (frame.reduced (0.5f), 3.0f, 1.0f);
        }

        auto textArea = frame.translated (0.0f, pressed ? 1.0f : 0.0f);

        if (withLed)
        {
            const auto led = juce::Rectangle<float> (5.0f, 5.0f)
                                 .withCentre ({ textArea.getX() + 8.0f, textArea.getCentreY() });

            if (on)
            {
                g.setGradientFill (juce::ColourGradient (lit.withAlpha (0.6f), led.getCentreX(), led.getCentreY(),
                                                         lit.withAlpha (0.0f), led.getCentreX() + 6.0f, led.getCentreY(),
                                                         true));
                g.fillEllipse (led.expanded (4.0f));
            }

            g.setColour (on ? lit.brighter (0.4f) : lit.withMultipliedBrightness (0.28f).withMultipliedSaturation (0.6f));
            g.fillEllipse (led);
            textArea = textArea.withTrimmedLeft (12.0f);
        }

        g.setFont (textFont);
        g.setColour (on ? lit.brighter (0.25f) : juce::Colour (0xffa7aeb6));
        g.drawText (text, textArea, juce::Justification::centred, false);
    }

    return image;
}

juce::Image SkinArtist::pushButton (int width, int height, const juce::String& text) const
{
    auto image = makeStrip (width, height, 2);
    juce::Graphics g (image);

    for (int k = 0; k < 2; ++k)
    {
        const auto frame = juce::Rectangle<int> (0, k * height, width, height).toFloat().reduced (0.5f, 0.0f)
                               .withTrimmedBottom (1.0f);
        paintButtonBody (g, frame, k == 1);
        g.setFont (font (juce::jmin (10.5f, (float) height * 0.55f), true, 0.06f));
        g.setColour (juce::Colour (k == 1 ? 0xffffffff : 0xffd3d7dc));
        g.drawText (text, frame.translated (0.0f, (float) k), juce::Justification::centred, false);
    }

    return image;
}

juce::Image SkinArtist::lineButton (int size, int line) const
{
    auto image = makeStrip (size, size, 4);
    juce::Graphics g (image);

    for (int k = 0; k < 4; ++k)
    {
        const auto on = k >= 2;
        const auto pressed = (k % 2) == 1;
        const auto frame = juce::Rectangle<int> (0, k * size, size, size).toFloat().reduced (0.5f, 0.0f)
                               .withTrimmedBottom (1.0f);
        paintButtonBody (g, frame, pressed);

        const auto bar = frame.reduced (6.0f, 0.0f).withTop (frame.getBottom() - 6.0f).withHeight (2.5f);
        g.setColour (on ? Palette::accent : Palette::accentDim);
        g.fillRoundedRectangle (bar, 1.0f);

        const auto textArea = frame.withTrimmedBottom (5.0f).translated (0.0f, pressed ? 1.0f : 0.0f);
        g.setFont (font ((float) size * 0.5f, true));

        if (on)
        {
            g.setColour (Palette::accent.withAlpha (0.35f));
            g.drawText (juce::String (line), textArea.translated (0.0f, 0.5f).expanded (1.0f),
                        juce::Justification::centred, false);
        }

        g.setColour (on ? Palette::accent.brighter (0.3f) : juce::Colour (0xff8c939b));
        g.drawText (juce::String (line), textArea, juce::Justification::centred, false);
    }

    return image;
}

juce::Image SkinArtist::padlockButton (int width, int height) const
{
    auto image = makeStrip (width, height, 4);
    juce::Graphics g (image);

    for (int k = 0; k < 4; ++k)
    {
        const auto locked = k >= 2;
        const auto pressed = (k % 2) == 1;
        const auto frame = juce::Rectangle<int> (0, k * height, width, height).toFloat().reduced (0.5f, 0.0f)
                               .withTrimmedBottom (1.0f);
        paintButtonBody (g, frame, pressed);

        const auto colour = locked ? Palette::accent : juce::Colour (0xff8c939b);
        const auto centre = frame.getCentre().translated (0.0f, pressed ? 1.0f : 0.0f);
        const auto body = juce::Rectangle<float> (10.0f, 7.0f).withCentre (centre.translated (0.0f, 2.5f));

        // The shackle: closed into the body when locked, lifted out of it when open.
        const auto lift = locked ? 0.0f : 2.5f;
        const auto left = body.getX() + 2.5f, right = body.getRight() - 2.5f;
        const auto radius = (right - left) * 0.5f;
        const auto arcCentreY = body.getY() - 2.5f - lift;
        juce::Path shackle;
        shackle.startNewSubPath (left, body.getY() - lift);
        shackle.lineTo (left, arcCentreY);
        shackle.addCentredArc (left + radius, arcCentreY, radius, radius, 0.0f,
                               -juce::MathConstants<float>::halfPi, juce::MathConstants<float>::halfPi);
        shackle.lineTo (right, locked ? body.getY() : arcCentreY + 1.0f);
        g.setColour (colour);
        g.strokePath (shackle, juce::PathStrokeType (1.6f));
        g.fillRoundedRectangle (body, 1.5f);
    }

    return image;
}

juce::Image SkinArtist::digit (int width, int height, bool decimalPoint) const
{
    auto image = makeStrip (width, height, 11);
    juce::Graphics g (image);
    const auto glyphFont = font ((float) height * 0.8f, true);

    for (int k = 0; k < 11; ++k)
    {
        const auto frame = juce::Rectangle<int> (0, k * height, width, height).toFloat();
        g.setColour (Palette::lcd);
        g.fillRect (frame);

        auto glyphArea = frame.translated (0.0f, 0.5f);

        if (decimalPoint)
        {
            glyphArea = glyphArea.withTrimmedRight (3.0f);
            g.setColour (Palette::lcdInk);
            g.fillEllipse (juce::Rectangle<float> (2.6f, 2.6f)
                               .withCentre ({ frame.getRight() - 1.6f, frame.getBottom() - 6.5f }));
        }

        if (k > 0)
        {
            g.setFont (glyphFont);
            g.setColour (Palette::lcdInk);
            g.drawText (juce::String (k - 1), glyphArea, juce::Justification::centred, false);
        }
    }

    return image;
}

juce::Image SkinArtist::meter (int width, int height, int segments, bool vertical) const
{
    const auto frames = segments + 1;
    auto image = makeStrip (width, height, frames);
    juce::Graphics g (image);
    const auto length = (float) (vertical ? height : width);
    const auto pitch = length / (float) segments;

    for (int k = 0; k < frames; ++k)
    {
        const auto frame = juce::Rectangle<int> (0, k * height, width, height).toFloat();
        g.setColour (juce::Colour (0xff0b0c0e));
        g.fillRect (frame);

        for (int s = 0; s < segments; ++s)
        {
            const auto position = (float) s * pitch;
            const auto segment = vertical
                ? juce::Rectangle<float> (frame.getX(), frame.getBottom() - position - pitch + 1.0f, frame.getWidth(), pitch - 1.0f)
                : juce::Rectangle<float> (frame.getX() + position, frame.getY(), pitch - 1.0f, frame.getHeight());
            const auto share = (float) s / (float) segments;
            const auto colour = share < 0.72f ? Palette::green : (share < 0.9f ? Palette::accent : Palette::red);
            g.setColour (s < k ? colour : colour.withMultipliedBrightness (0.2f).withMultipliedSaturation (0.5f));
            g.fillRect (segment);
        }
    }

    return image;
}

juce::Image SkinArtist::lamp (int size, juce::Colour lit) const
{
    auto image = makeStrip (size, size, 2);
    juce::Graphics g (image);

    for (int k = 0; k < 2; ++k)
    {
        const auto frame = juce::Rectangle<int> (0, k * size, size, size).toFloat();
        const auto centre = frame.getCentre();
        const auto led = juce::Rectangle<float> ((float) size * 0.56f, (float) size * 0.56f).withCentre (centre);

        if (k == 1)
        {
            g.setGradientFill (juce::ColourGradient (lit.withAlpha (0.55f), centre.x, centre.y,
                                                     lit.withAlpha (0.0f), centre.x + (float) size * 0.5f, centre.y, true));
            g.fillEllipse (frame);
        }

        g.setColour (juce::Colours::black.withAlpha (0.6f));
        g.fillEllipse (led.expanded (1.0f));
        g.setGradientFill (juce::ColourGradient (k == 1 ? juce::Colours::white.interpolatedWith (lit, 0.45f)
                                                        : lit.withMultipliedBrightness (0.35f).withMultipliedSaturation (0.6f),
                                                 led.getCentreX() - 1.0f, led.getCentreY() - 1.0f,
                                                 k == 1 ? lit : lit.withMultipliedBrightness (0.18f),
                                                 led.getRight(), led.getBottom(), true));
        g.fillEllipse (led);
    }

    return image;
}

//==============================================================================
juce::Image SkinArtist::signalFlow (int width, int height) const
{
    auto image = makeStrip (width, height, 16);
    juce::Graphics g (image);
    const auto dim = juce::Colour (0xff565d66);

    for (int k = 0; k < 16; ++k)
    {
        const auto loop = (k & 8) != 0;
        const auto filterOn = (k & 4) != 0;
        const auto driveOn = (k & 2) != 0;
        const auto post = (k & 1) != 0;

        const auto frame = juce::Rectangle<int> (0, k * height, width, height).toFloat();
        const auto w = frame.getWidth();
        const auto column = frame.withTrimmedRight (18.0f);
        const auto x = column.getCentreX();
        const auto blockHeight = 18.0f;
        const auto gap = (frame.getHeight() - 2.0f * blockHeight - 24.0f) / 3.0f;

        g.setFont (font (8.5f, true, 0.1f));
        g.setColour (juce::Colour (0xff9aa1a9));
        g.drawText ("IN", column.withHeight (10.0f), juce::Justification::centred, false);
        g.drawText ("OUT", column.withTop (frame.getBottom() - 10.0f), juce::Justification::centred, false);

        const auto first = juce::Rectangle<float> (column.getX() + 4.0f, frame.getY() + 12.0f + gap,
                                                   column.getWidth() - 8.0f, blockHeight);
        const auto second = first.translated (0.0f, blockHeight + gap);
        const auto filterBlock = post ? second : first;
        const auto driveBlock = post ? first : second;

        g.setColour (dim);
        g.drawLine (x, frame.getY() + 11.0f, x, first.getY(), 1.2f);
        g.drawLine (x, first.getBottom(), x, second.getY(), 1.2f);
        g.drawLine (x, second.getBottom(), x, frame.getBottom() - 11.0f, 1.2f);

        auto block = [&] (juce::Rectangle<float> area, const juce::String& name, bool on)
        {
            g.setColour (on ? Palette::accent.withAlpha (0.14f) : juce::Colour (0xff17191c));
            g.fillRoundedRectangle (area, 3.0f);
            g.setColour (on ? Palette::accent : dim);
            g.drawRoundedRectangle (area, 3.0f, 1.0f);
            g.setColour (on ? Palette::accent.brighter (0.2f) : juce::Colour (0xff6c737c));
            g.setFont (font (8.5f, true, 0.08f));
            g.drawText (name, area, juce::Justification::centred, false);
        };

        block (filterBlock, "FILTER", filterOn);
        block (driveBlock, "DRIVE", driveOn);

        // The feedback loop runs around the filter on the right-hand side.
        const auto loopX = frame.getX() + w - 9.0f;
        if (! loop)
            continue;

        juce::Path path;
        path.startNewSubPath (filterBlock.getRight(), filterBlock.getCentreY() + 4.0f);
        path.lineTo (loopX, filterBlock.getCentreY() + 4.0f);
        path.lineTo (loopX, filterBlock.getY() - 4.0f);
        path.lineTo (x + 3.0f, filterBlock.getY() - 4.0f);
        g.setColour (Palette::accent);
        g.strokePath (path, juce::PathStrokeType (1.2f));
        juce::Path arrow;
        arrow.addTriangle (x + 1.0f, filterBlock.getY() - 4.0f, x + 5.0f, filterBlock.getY() - 6.5f,
                           x + 5.0f, filterBlock.getY() - 1.5f);
        g.fillPath (arrow);
    }

    return image;
}

juce::Image SkinArtist::routing (int width, int height, const juce::StringArray& names) const
{
    // Per routing: which line feeds the next (bits 0..2) and which lines reach the output.
    struct Topology { int feeds, outputs; };
    static constexpr Topology topologies[] = {
        { 0b000, 0b1111 }, { 0b111, 0b1000 }, { 0b111, 0b1111 },
        { 0b001, 0b1110 }, { 0b001, 0b1111 }, { 0b101, 0b1010 },
        { 0b101, 0b1111 }, { 0b011, 0b1100 }, { 0b011, 0b1111 } };

    const auto frames = names.size();
    auto image = makeStrip (width, height, frames);
    juce::Graphics g (image);
    const auto line = juce::Colour (0xff5f6670);

    for (int k = 0; k < frames; ++k)
    {
        const auto frame = juce::Rectangle<int> (0, k * height, width, height).toFloat();
        const auto topology = topologies[juce::jlimit (0, 8, k)];
        const auto gap = 12.0f;
        const auto boxWidth = (frame.getWidth() - 8.0f - 3.0f * gap) / 4.0f;
        const auto inY = frame.getY() + 3.0f, boxY = frame.getY() + 10.0f, boxH = 16.0f;
        const auto outY = boxY + boxH + 7.0f;

        g.setColour (line);
        g.drawLine (frame.getX() + 4.0f, inY, frame.getRight() - 4.0f, inY, 1.0f);
        g.drawLine (frame.getX() + 4.0f, outY, frame.getRight() - 4.0f, outY, 1.0f);

        for (int i = 0; i < 4; ++i)
        {
            const auto box = juce::Rectangle<float> (frame.getX() + 4.0f + (float) i * (boxWidth + gap), boxY, boxWidth, boxH);
            const auto fedByPrevious = i > 0 && (topology.feeds & (1 << (i - 1))) != 0;
            const auto reachesOutput = (topology.outputs & (1 << i)) != 0;

            g.setColour (line);

            if (! fedByPrevious)
                g.drawLine (box.getCentreX(), inY, box.getCentreX(), box.getY(), 1.0f);

            if (reachesOutput)
            {
                g.setColour (Palette::accent.withAlpha (0.8f));
                g.drawLine (box.getCentreX(), box.getBottom(), box.getCentreX(), outY, 1.2f);
            }

            if (fedByPrevious)
            {
                const auto y = box.getCentreY();
                g.setColour (Palette::accent);
                g.drawLine (box.getX() - gap + 1.0f, y, box.getX() - 3.0f, y, 1.2f);
                juce::Path arrow;
                arrow.addTriangle (box.getX() - 1.0f, y, box.getX() - 5.0f, y - 3.0f, box.getX() - 5.0f, y + 3.0f);
                g.fillPath (arrow);
            }

            g.setColour (juce::Colour (0xff25292e));
            g.fillRoundedRectangle (box, 2.5f);
            g.setColour (juce::Colour (0xff6d747d));
            g.drawRoundedRectangle (box, 2.5f, 1.0f);
            g.setColour (Palette::title);
            g.setFont (font (10.0f, true));
            g.drawText (juce::String (i + 1), box, juce::Justification::centred, false);
        }

        g.setColour (Palette::accent);
        g.setFont (font (11.0f, true, 0.08f));
        g.drawText (names[k].toUpperCase(), frame.withTop (outY + 2.0f), juce::Justification::centred, false);
    }

    return image;
}

void SkinArtist::paintWave (juce::Graphics& g, juce::Rectangle<float> area, int waveform, float thickness) const
{
    juce::Path path;
    const auto steps = 96;
    // Held values of the sample-and-hold picture, smoothed between steps.
    static constexpr float held[] = { 0.3f, -0.6f, 0.8f, -0.1f, 0.5f, -0.8f, 0.1f, 0.65f };

    for (int i = 0; i <= steps; ++i)
    {
        const auto t = (float) i / (float) steps;
        const auto phase = t * 2.0f;
        const auto cycle = phase - std::floor (phase);
        float v = 0.0f;

        switch (waveform)
        {
            case 0:
            {
                const auto position = t * 7.0f;
                const auto index = juce::jmin (6, (int) position);
                const auto blend = position - (float) index;
                const auto smooth = blend * blend * (3.0f - 2.0f * blend);
                v = held[index] + (held[index + 1] - held[index]) * smooth;
                break;
            }
            case 1:  v = 1.0f - 2.0f * cycle; break;
            case 2:  v = cycle < 0.5f ? 1.0f : -1.0f; break;
            case 3:  v = std::sin (cycle * juce::MathConstants<float>::twoPi); break;
            default: v = cycle < 0.25f ? 4.0f * cycle : (cycle < 0.75f ? 2.0f - 4.0f * cycle : 4.0f * cycle - 4.0f); break;
        }

        const auto point = juce::Point<float> (area.getX() + t * area.getWidth(),
                                               area.getCentreY() - v * area.getHeight() * 0.5f);

        if (i == 0)
            path.startNewSubPath (point);
        else
            path.lineTo (point);
    }

    g.strokePath (path, juce::PathStrokeType (thickness, juce::PathStrokeType::mitered, juce::PathStrokeType::butt));
}

juce::Image SkinArtist::waveWindow (int width, int height, const juce::StringArray& waveforms) const
{
    const auto frames = waveforms.size();
    auto image = makeStrip (width, height, frames);
    juce::Graphics g (image);

    for (int k = 0; k < frames; ++k)
    {
        const auto frame = juce::Rectangle<int> (0, k * height, width, height).toFloat();
        g.setColour (juce::Colour (0xff0b0c0e));
        g.fillRect (frame);

        g.setColour (juce::Colour (0xff1d2125));
        for (int i = 1; i < 4; ++i)
            g.drawVerticalLine ((int) (frame.getX() + frame.getWidth() * (float) i / 4.0f), frame.getY(), frame.getBottom());
        g.drawHorizontalLine ((int) frame.getCentreY(), frame.getX(), frame.getRight());

        const auto trace = frame.reduced (4.0f, 6.0f).withTrimmedBottom (8.0f);
        g.setColour (Palette::accent.withAlpha (0.22f));
        paintWave (g, trace, k, 4.0f);
        g.setColour (Palette::accent);
        paintWave (g, trace, k, 1.5f);

        g.setColour (Palette::caption);
        g.setFont (font (8.5f, true, 0.08f));
        g.drawText (waveforms[k].toUpperCase(), frame.withTop (frame.getBottom() - 11.0f),
                    juce::Justification::centred, false);
    }

    return image;
}

//==============================================================================
void SkinArtist::paintFace (juce::Graphics& g, juce::Rectangle<int> area) const
{
    const auto bounds = area.toFloat();
    g.setGradientFill (juce::ColourGradient (juce::Colour (0xff191b1f), bounds.getX(), bounds.getY(),
                                             juce::Colour (0xff0f1113), bounds.getX(), bounds.getBottom(), false));
    g.fillRect (bounds);

    // A faint brushed texture, regular so that the images compress well.
    for (int y = area.getY(); y < area.getBottom(); y += 3)
    {
        g.setColour (juce::Colours::white.withAlpha ((y / 3) % 2 == 0 ? 0.008f : 0.0f));
        g.drawHorizontalLine (y, bounds.getX(), bounds.getRight());
    }

    g.setColour (juce::Colours::white.withAlpha (0.05f));
    g.drawHorizontalLine (area.getY(), bounds.getX(), bounds.getRight());
}

void SkinArtist::paintModule (juce::Graphics& g, juce::Rectangle<float> area, const juce::String& title) const
{
    const auto corner = 5.0f;
    g.setColour (juce::Colours::black.withAlpha (0.45f));
    g.fillRoundedRectangle (area.translated (0.0f, 1.5f).expanded (0.5f), corner);

    g.setGradientFill (juce::ColourGradient (juce::Colour (0xff202327), area.getX(), area.getY(),
                                             juce::Colour (0xff1a1c20), area.getX(), area.getBottom(), false));
    g.fillRoundedRectangle (area, corner);
    g.setColour (Palette::moduleEdge);
    g.drawRoundedRectangle (area.reduced (0.5f), corner, 1.0f);
    g.setColour (juce::Colours::white.withAlpha (0.05f));
    g.drawHorizontalLine ((int) area.getY() + 1, area.getX() + corner, area.getRight() - corner);

    if (title.isNotEmpty())
    {
        const auto strip = area.withHeight (24.0f);
        g.setColour (juce::Colours::black.withAlpha (0.18f));
        g.fillRect (strip.reduced (1.0f, 0.0f).withTrimmedTop (2.0f).withTrimmedBottom (0.0f));
        g.setColour (juce::Colours::white.withAlpha (0.04f));
        g.drawHorizontalLine ((int) strip.getBottom(), area.getX() + 1.0f, area.getRight() - 1.0f);
        g.setColour (juce::Colours::black.withAlpha (0.35f));
        g.drawHorizontalLine ((int) strip.getBottom() - 1, area.getX() + 1.0f, area.getRight() - 1.0f);

        g.setColour (Palette::accent);
        g.fillRoundedRectangle (juce::Rectangle<float> (3.0f, 10.0f).withPosition (area.getX() + 10.0f, strip.getY() + 7.0f), 1.0f);
        g.setColour (Palette::title);
        g.setFont (font (11.0f, true, 0.18f));
        g.drawText (title, strip.withTrimmedLeft (19.0f), juce::Justification::centredLeft, false);
    }
}

void SkinArtist::paintCaption (juce::Graphics& g, juce::Rectangle<float> area, const juce::String& text,
                               juce::Justification justification) const
{
    g.setColour (Palette::caption);
    g.setFont (font (9.0f, true, 0.1f));
    g.drawText (text, area, justification, false);
}

void SkinArtist::paintWell (juce::Graphics& g, juce::Rectangle<float> area) const
{
    g.setColour (juce::Colour (0xff0a0b0d));
    g.fillRoundedRectangle (area, 2.5f);
    g.setColour (juce::Colours::black.withAlpha (0.6f));
    g.drawRoundedRectangle (area.reduced (0.5f), 2.5f, 1.0f);
    g.setColour (juce::Colours::white.withAlpha (0.06f));
    g.drawHorizontalLine ((int) area.getBottom(), area.getX() + 2.0f, area.getRight() - 2.0f);
}

void SkinArtist::paintLcd (juce::Graphics& g, juce::Rectangle<float> area) const
{
    g.setColour (juce::Colour (0xff08090a));
    g.fillRoundedRectangle (area.expanded (2.0f), 3.5f);
    g.setColour (juce::Colours::white.withAlpha (0.07f));
    g.drawHorizontalLine ((int) area.getBottom() + 2, area.getX(), area.getRight());
    g.setColour (Palette::lcd);
    g.fillRoundedRectangle (area, 2.0f);

    // Shade at the glass edges, as a backlit panel falls off toward its frame.
    g.setColour (Palette::lcdInk.withAlpha (0.16f));
    g.drawRoundedRectangle (area.reduced (0.5f), 2.0f, 1.0f);
}

void SkinArtist::paintBrand (juce::Graphics& g, juce::Rectangle<float> area) const
{
    const auto nameFont = font (22.0f, true, 0.32f);
    g.setColour (Palette::title);
    g.setFont (nameFont);
    g.drawText ("CORVANE", area, juce::Justification::centredLeft, false);

    const auto nameWidth = nameFont.getStringWidthFloat ("CORVANE");
    const auto rest = area.withTrimmedLeft (nameWidth + 14.0f);
    g.setColour (Palette::accent);
    g.fillRect (rest.withWidth (1.5f).withSizeKeepingCentre (1.5f, 16.0f));
    g.setFont (font (10.0f, true, 0.3f));
    g.drawText ("QUAD STEREO DELAY", rest.withTrimmedLeft (12.0f), juce::Justification::centredLeft, false);
}

void SkinArtist::paintDivider (juce::Graphics& g, juce::Rectangle<float> area) const
{
    g.setColour (juce::Colours::black.withAlpha (0.4f));
    g.fillRect (area.withWidth (1.0f));
    g.setColour (juce::Colours::white.withAlpha (0.05f));
    g.fillRect (area.withWidth (1.0f).translated (1.0f, 0.0f));
}
