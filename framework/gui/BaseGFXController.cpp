#include "BaseGFXController.h"

#include "SkinSource.h"
#include "SkinLimits.h"
#include "XmlHelpers.h"

void BaseGFXController::loadFromXml (juce::XmlElement* element, SkinSource* source)
{
    GUIController::loadFromXml (element, source);

    if (element == nullptr)
        return;

    framesNum = 1;

    if (auto* gfx = XmlHelpers::getChildByName (*element, "gfx"))
    {
        framesNum = sanitiseFramesNum (XmlHelpers::getIntAttribute (*gfx, "framesNum", 1));

        if (source != nullptr)
        {
            auto loaded = source->loadImage (XmlHelpers::getStringAttribute (*gfx, "resource"));

            if (loaded.isValid())
            {
                image = loaded;
                setFrameSize (image.getWidth(), image.getHeight() / framesNum);
            }
        }
    }

    if (! image.isValid())
        loadSize (element);

    loadPosition (element);
}

void BaseGFXController::setImage (const juce::Image& newImage, int numFrames)
{
    image = newImage;
    setFramesNum (numFrames);
}

void BaseGFXController::setFramesNum (int numFrames)
{
    framesNum = sanitiseFramesNum (numFrames);

    if (image.isValid())
        setFrameSize (image.getWidth(), image.getHeight() / framesNum);
}

void BaseGFXController::loadSize (juce::XmlElement* element)
{
    if (element == nullptr)
        return;

    if (auto* size = XmlHelpers::getChildByName (*element, "size"))
        setFrameSize (SkinLimits::readLength (*size, "width"), SkinLimits::readLength (*size, "height"));
}

void BaseGFXController::loadPosition (juce::XmlElement* element)
{
    if (element == nullptr)
        return;

    if (auto* pos = XmlHelpers::getChildByName (*element, "pos"))
    {
        const auto newLeft = SkinLimits::readCoordinate (*pos, "left");
        const auto newTop = SkinLimits::readCoordinate (*pos, "top");

        if (newLeft != left || newTop != top)
        {
            left = newLeft;
            top = newTop;
            positionChanged();
        }
    }
}

void BaseGFXController::setFrameSize (int width, int height)
{
    if (width != frameWidth || height != frameHeight)
    {
        frameWidth = width;
        frameHeight = height;
        sizeChanged();
    }
}

//==============================================================================
int BaseGFXController::getFrameForValue (float normalisedValue) const
{
    if (std::isnan (normalisedValue))
        return 0;

    const auto lastFrame = juce::jmax (1, framesNum) - 1;
    const auto frame = (int) std::floor ((float) lastFrame * juce::jlimit (0.0f, 1.0f, normalisedValue) + 0.5f);
    return juce::jlimit (0, lastFrame, frame);
}

void BaseGFXController::drawFrame (juce::Graphics& g, int frame) const
{
    if (! image.isValid() || frameWidth <= 0 || frameHeight <= 0)
        return;

    // Frames past the strip (a skin's "framesNum" larger than the image holds, or a
    // state above it) show the last frame the image really has.
    const auto framesInImage = juce::jmax (1, image.getHeight() / frameHeight);
    const auto k = juce::jlimit (0, framesInImage - 1, frame);

    g.drawImage (image, 0, 0, frameWidth, frameHeight, 0, k * frameHeight, frameWidth, frameHeight);
}

void BaseGFXController::applyClickEvent (juce::Button& button, const juce::String& clickEvent)
{
    if (clickEvent == "onPress")
        button.setTriggeredOnMouseDown (true);
    else if (clickEvent == "onRelease")
        button.setTriggeredOnMouseDown (false);
}

int BaseGFXController::readButtonStyle (const juce::XmlElement& element, int currentStyle)
{
    const auto styleName = XmlHelpers::getStringAttribute (element, "style", "2D");

    if (styleName == "2D")
        return 0;

    if (styleName == "3D")
        return 1;

    return currentStyle;
}
