#include "WindowComponent.h"

#include "DefaultLookAndFeel.h"

namespace
{
// The product mark: a dark rounded tile with two echoing red-orange bars.
const char* const defaultIconSvg =
    "<svg xmlns='http://www.w3.org/2000/svg' width='32' height='32' viewBox='0 0 32 32'>"
    "<defs>"
    "<linearGradient id='base' x1='0' y1='0' x2='0' y2='32' gradientUnits='userSpaceOnUse'>"
    "<stop offset='0' stop-color='#1E1E1E'/><stop offset='1' stop-color='#646464'/></linearGradient>"
    "<linearGradient id='near' x1='0' y1='6' x2='0' y2='26' gradientUnits='userSpaceOnUse'>"
    "<stop offset='0' stop-color='#C81E00'/><stop offset='1' stop-color='#F05A32'/></linearGradient>"
    "<linearGradient id='far' x1='0' y1='10' x2='0' y2='26' gradientUnits='userSpaceOnUse'>"
    "<stop offset='0' stop-color='#B40000'/><stop offset='1' stop-color='#E68264'/></linearGradient>"
    "</defs>"
    "<rect x='1' y='1' width='30' height='30' rx='5' ry='5' fill='#0A0A0A'/>"
    "<rect x='2.5' y='2.5' width='27' height='27' rx='4' ry='4' fill='url(#base)'/>"
    "<rect x='8' y='6' width='6' height='20' rx='1.5' ry='1.5' fill='url(#near)'/>"
    "<rect x='18' y='11' width='6' height='15' rx='1.5' ry='1.5' fill='url(#far)'/>"
    "</svg>";

std::unique_ptr<juce::Drawable> recoloured (const juce::Drawable* icon, juce::Colour colour)
{
    if (icon == nullptr)
        return {};

    auto copy = icon->createCopy();
    copy->replaceColour (juce::Colours::black, colour);
    return copy;
}
} // namespace

WindowComponent::WindowComponent()
{
    closeButton.setEdgeIndent (0);
    auto normal = recoloured (getStandardIconDrawable (0), juce::Colours::white);
    auto over = recoloured (getStandardIconDrawable (0), juce::Colour (0xFFFF6C00));
    closeButton.setImages (normal.get(), over.get());
    closeButton.setColour (juce::DrawableButton::backgroundColourId, juce::Colours::transparentBlack);
    closeButton.addListener (this);
    addChildComponent (closeButton);

    setIcon (createDrawableFromSVG (defaultIconSvg, std::strlen (defaultIconSvg)).release());
    setOpaque (frameStyle == rectangularFrame && ! translucent);
    updateCloseButton();
}

WindowComponent::~WindowComponent()
{
    closeButton.removeListener (this);
}

void WindowComponent::setTitle (const juce::String& newTitle)
{
    if (newTitle == title)
        return;

    title = newTitle;

    if (hasTitleBar)
        repaint();
}

void WindowComponent::setIcon (juce::Drawable* newIcon)
{
    std::unique_ptr<juce::Drawable> owned (newIcon);
    icon.reset();

    if (dynamic_cast<juce::DrawableComposite*> (owned.get()) != nullptr)
    {
        icon = std::move (owned);
        icon->setInterceptsMouseClicks (false, false);
        addAndMakeVisible (*icon);
    }

    resized();
}

void WindowComponent::updateCloseButton()
{
    closeButton.setVisible (hasTitleBar && closable);
    repaint();
    resized();
}

void WindowComponent::setContentSize (int width, int height)
{
    const auto frame = getFrameSize();
    setBounds (getX(), getY(), juce::jmax (width + frame.x, 250), juce::jmax (height + frame.y, 120));
}

juce::Point<int> WindowComponent::getFrameSize() const noexcept
{
    return { (hasBorder ? 2 * borderWidth : 0) + leftMargin + rightMargin,
             (hasTitleBar ? titleBarHeight : 0) + (hasBorder ? (hasTitleBar ? 2 : 1) * borderWidth : 0) + topMargin + bottomMargin };
}

void WindowComponent::buttonClicked (juce::Button* button)
{
    if (button == &closeButton)
        close();
}

bool WindowComponent::keyPressed (const juce::KeyPress& key)
{
    if (! key.isKeyCode (juce::KeyPress::escapeKey) || ! closeButton.isVisible())
        return false;

    closeButton.triggerClick();
    return true;
}

void WindowComponent::lookAndFeelChanged()
{
    if (auto* lf = dynamic_cast<DefaultLookAndFeel*> (&getLookAndFeel()))
        titleFont = lf->getWindowTitleFont (*this);

    resized();
}

void WindowComponent::paint (juce::Graphics& g)
{
    if (auto* lf = dynamic_cast<DefaultLookAndFeel*> (&getLookAndFeel()))
        lf->drawWindowComponent (g, *this);
}

void WindowComponent::resized()
{
    auto area = getLocalBounds();

    if (hasBorder)
        area = { area.getX() + borderWidth, area.getY() + borderWidth,
                 juce::jmax (0, area.getWidth() - 2 * borderWidth), juce::jmax (0, area.getHeight() - 2 * borderWidth) };

    if (hasTitleBar)
        area.removeFromTop (titleBarHeight - (hasBorder ? borderWidth : 0));

    area.removeFromTop (topMargin);
    area.removeFromBottom (bottomMargin);
    area.removeFromLeft (leftMargin);
    area.removeFromRight (rightMargin);
    contentArea = area;

    if (hasTitleBar)
    {
        titleBarArea = { 0, 0, getWidth(), titleBarHeight };
        titleTextArea = titleBarArea.withTrimmedLeft (icon != nullptr ? titleBarHeight : 2 * borderWidth)
                                    .withTrimmedRight (closable ? titleBarHeight : 0);

        // Keeps the title's baseline on a whole pixel, centred against the close button.
        auto fontHeight = titleFont.getHeight();

        if (2.0f * fontHeight > (float) titleBarHeight && titleBarHeight % 2 != 0)
            titleTextArea.removeFromBottom (1);

        if ((int) fontHeight % 2 != 0)
            titleTextArea.removeFromBottom (1);

        auto s = juce::jmin (titleBarHeight, 20);
        closeButton.setBounds (getWidth() + (s / 2 - titleBarHeight / 2) - s - 1, titleBarHeight / 2 - s / 2, s, s);

        if (icon != nullptr)
        {
            auto iconArea = juce::Rectangle<int> (0, 0, titleBarHeight, titleBarHeight)
                                .reduced ((titleBarHeight - 27) / 2).toFloat();

            if (iconArea.getWidth() > 0.0f && iconArea.getHeight() > 0.0f)
                icon->setTransformToFit (iconArea, juce::RectanglePlacement::stretchToFit);
        }
    }
    else
    {
        titleBarArea = {};
        titleTextArea = {};
    }

    updateBounds();
}
