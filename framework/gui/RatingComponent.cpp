#include "RatingComponent.h"

namespace
{
    constexpr int starSize = 16;

    // The stars are drawn once and then shared through the image cache.
    juce::Image getStar (bool lit)
    {
        const auto key = (juce::int64) juce::String (lit ? "RatingComponent.litStar" : "RatingComponent.unlitStar").hashCode64();

        if (auto cached = juce::ImageCache::getFromHashCode (key); cached.isValid())
            return cached;

        juce::Image star (juce::Image::ARGB, starSize, starSize, true);
        juce::Graphics g (star);
        juce::Path shape;
        shape.addStar ({ starSize * 0.5f, starSize * 0.53f }, 5, 3.2f, 7.5f, 0.0f);

        if (lit)
        {
            g.setColour (juce::Colour (0xffff8c00));
            g.fillPath (shape);
            g.setColour (juce::Colour (0xffc05a00));
            g.strokePath (shape, juce::PathStrokeType (1.0f, juce::PathStrokeType::curved));
        }
        else
        {
            g.setColour (juce::Colour (0xffd0d0d0));
            g.fillPath (shape);
            g.setColour (juce::Colour (0xff8a8a8a));
            g.strokePath (shape, juce::PathStrokeType (1.0f, juce::PathStrokeType::curved));
        }

        juce::ImageCache::addImageToCache (star, key);
        return star;
    }
}

RatingComponent::RatingComponent()
    : unlitStar (getStar (false)),
      litStar (getStar (true))
{
    setMaximum (5);
    setRating (3);
}

void RatingComponent::setRating (int newRating)
{
    if (newRating > maximum || newRating == rating)
        return;

    rating = newRating;
    repaint();

    for (int i = listeners.size(); --i >= 0;)
        listeners.getUnchecked (i)->ratingChanged (this);
}

void RatingComponent::setMaximum (int newMaximum)
{
    maximum = newMaximum;
    setSize (maximum * unlitStar.getWidth(), unlitStar.getHeight());
}

void RatingComponent::addListener (Listener* listener)
{
    if (listener != nullptr)
        listeners.addIfNotAlreadyThere (listener);
}

void RatingComponent::removeListener (Listener* listener)
{
    listeners.removeFirstMatchingValue (listener);
}

//==============================================================================
void RatingComponent::paint (juce::Graphics& g)
{
    if (g.isClipEmpty())
        return;

    for (int i = 0; i < maximum; ++i)
    {
        const auto& star = i < rating ? litStar : unlitStar;

        if (star.isValid())
            g.drawImageAt (star, i * unlitStar.getWidth(), 0);
    }
}

void RatingComponent::rateAt (int x)
{
    const auto width = unlitStar.getWidth();

    // Left of the first star the division still gives 1, right of the last a value
    // above the maximum, which setRating ignores.
    if (width > 0)
        if (const auto newRating = x / width + 1; newRating > 0)
            setRating (newRating);
}

void RatingComponent::mouseDown (const juce::MouseEvent& e)
{
    rateAt (e.x);
}

void RatingComponent::mouseDrag (const juce::MouseEvent& e)
{
    rateAt (e.x);
}
