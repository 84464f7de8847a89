#pragma once

#include "GUIController.h"

/**
    Base of the skin widgets that draw themselves from a filmstrip: one image holding
    every frame stacked top to bottom, each as wide as the image. It reads the image,
    the frame count, the frame size and the position from the widget's element; each
    widget decides in sizeChanged and positionChanged how they reach its component.

    A skin is outside input: a frame count below 1 is taken as 1, and frame numbers
    are kept inside the strip.
*/
class BaseGFXController  : public GUIController
{
public:
    BaseGFXController() = default;
    ~BaseGFXController() override = default;

    /** Links and actions, then "gfx", then "size" (only without an image), then "pos". */
    void loadFromXml (juce::XmlElement* element, SkinSource* source) override;

    /** Called after the frame width or height changed. */
    virtual void sizeChanged() {}
    /** Called after left or top changed. */
    virtual void positionChanged() {}

    /** Takes a filmstrip chosen in code; calls sizeChanged when the frame size changed. */
    void setImage (const juce::Image& newImage, int numFrames);

    /** Reads the first "size" child into the frame size. */
    void loadSize (juce::XmlElement* element);
    /** Reads the first "pos" child into left and top. */
    void loadPosition (juce::XmlElement* element);

    const juce::Image& getImage() const noexcept        { return image; }
    int getFramesNum() const noexcept                   { return framesNum; }
    int getFrameWidth() const noexcept                  { return frameWidth; }
    int getFrameHeight() const noexcept                 { return frameHeight; }
    int getLeft() const noexcept                        { return left; }
    int getTop() const noexcept                         { return top; }

    /** The frame that shows a normalised value: each frame covers an equal share of
        0..1, the end frames half a share each. The value is clamped to 0..1.
    */
    int getFrameForValue (float normalisedValue) const;

    /** Draws frame k of the image (clamped to the strip) unscaled at the top left. */
    void drawFrame (juce::Graphics& g, int frame) const;

protected:
    /** Sets the frame count (below 1 counts as 1) and recomputes the frame size from
        the image; calls sizeChanged when it changed.
    */
    void setFramesNum (int numFrames);

    /** The button style a "style" attribute names: 0 for "2D", 1 for "3D", else the current one. */
    static int readButtonStyle (const juce::XmlElement& element, int currentStyle);

    /** Makes a skin button act when pressed for "onPress", when released for
        "onRelease"; any other event name leaves it as it is.
    */
    static void applyClickEvent (juce::Button& button, const juce::String& clickEvent);

    /** The frame count that a "framesNum" attribute asks for; below 1 (or no number) is 1. */
    static int sanitiseFramesNum (int numFrames) noexcept  { return juce::jmax (1, numFrames); }

    juce::Image image;
    int framesNum = 0, frameWidth = 0, frameHeight = 0, left = 0, top = 0;

private:
    void setFrameSize (int width, int height);

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (BaseGFXController)
};
