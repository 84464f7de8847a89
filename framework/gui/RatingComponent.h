#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** A row of stars, clicked or dragged across to give a rating from 1 to the number of stars. */
class RatingComponent  : public juce::Component
{
public:
    class Listener
    {
    public:
        virtual ~Listener() = default;

        virtual void ratingChanged (RatingComponent*) = 0;
    };

    /** Five stars, rated 3. */
    RatingComponent();

    /** Values above the maximum and the current rating are ignored. */
    void setRating (int newRating);
    int getRating() const noexcept                      { return rating; }

    int getMaximum() const noexcept                     { return maximum; }

    /** Adds a listener once; null is ignored. */
    void addListener (Listener* listener);
    void removeListener (Listener* listener);

    //==============================================================================
    /** @internal */
    void paint (juce::Graphics&) override;
    /** @internal */
    void mouseDown (const juce::MouseEvent&) override;
    /** @internal */
    void mouseDrag (const juce::MouseEvent&) override;

private:
    /** Sizes the component to the stars, keeping its position. */
    void setMaximum (int newMaximum);
    void rateAt (int x);

    int rating = 0;
    int maximum = 0;
    juce::Image unlitStar, litStar;
    juce::Array<Listener*> listeners;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (RatingComponent)
};
