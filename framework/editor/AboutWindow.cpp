#include "AboutWindow.h"

#include "BasePlugin.h"
#include "DefaultLookAndFeel.h"
#include "WebLink.h"

namespace
{
    constexpr int headerHeight = 54, headerGap = 8, bodyInset = 4, linkTop = 27, creditsTickMs = 50;

    juce::Font tahoma (float height, bool bold)
    {
        return juce::Font ("Tahoma", bold ? "Bold" : "Regular", height);
    }

    void drawLine (juce::Graphics& g, const juce::String& text, const juce::Font& font, juce::Rectangle<int> area,
                   juce::Justification justification)
    {
        g.setFont (font);
        g.drawText (text, area.withHeight (static_cast<int> (font.getHeight())), justification, false);
    }
}

AboutWindow::AboutWindow (BasePlugin& p)
    : plugin (p), credits (p.getCreditsText())
{
    const auto address = plugin.getWebAddress();
    link = std::make_unique<WebLink> (address, juce::URL (address));
    link->setTooltip ({});
    addAndMakeVisible (*link);

    hasTitleBar = false;
    updateCloseButton();

    credits.addListener (this);

    if (plugin.isCreditsEnabled())
        addAndMakeVisible (credits);

    lookAndFeelChanged();
    setIcon (nullptr);
}

AboutWindow::~AboutWindow() = default;

void AboutWindow::close()
{
    ModalComponent::close();
}

void AboutWindow::mouseDown (const juce::MouseEvent&)
{
    close();
}

bool AboutWindow::keyPressed (const juce::KeyPress& key)
{
    // Without a title bar there is no close button for Escape to press.
    if (! key.isKeyCode (juce::KeyPress::escapeKey))
        return false;

    close();
    return true;
}

void AboutWindow::creditsClicked (CreditsText*)
{
    close();
}

void AboutWindow::visibilityChanged()
{
    if (! plugin.isCreditsEnabled())
        return;

    // The credits start again from below every time the window opens.
    if (isVisible())
    {
        credits.restart();
        credits.startTimer (creditsTickMs);
    }
    else
    {
        credits.stopTimer();
    }
}

void AboutWindow::lookAndFeelChanged()
{
    WindowComponent::lookAndFeelChanged();

    auto* lookAndFeel = dynamic_cast<DefaultLookAndFeel*> (&getLookAndFeel());

    if (lookAndFeel == nullptr || link == nullptr)
        return;

    setColour (DefaultLookAndFeel::windowBackgroundColourId, lookAndFeel->findColour (DefaultLookAndFeel::blackColourId));
    setColour (DefaultLookAndFeel::windowFrameColourId, lookAndFeel->findColour (DefaultLookAndFeel::greyColourId));
    link->setColour (juce::HyperlinkButton::textColourId, lookAndFeel->findColour (DefaultLookAndFeel::yellowColourId));

    const auto font = lookAndFeel->getUnderlinedFont();
    link->setFont (font, false, juce::Justification::centredLeft);
    link->setSize (link->getWidth(), static_cast<int> (font.getHeight()));
    link->changeWidthToFitText();
    repaint();
}

void AboutWindow::resized()
{
    WindowComponent::resized();

    const auto content = getContentBounds();
    leftHeader = { content.getX(), content.getY(), content.getWidth() / 2 - bodyInset, headerHeight };
    rightHeader = { leftHeader.getRight() + headerGap, content.getY(),
                    content.getWidth() - leftHeader.getWidth() - headerGap, headerHeight };

    const auto bodyTop = leftHeader.getBottom() + headerGap;
    body = juce::Rectangle<int> (content.getX(), bodyTop, content.getWidth(), juce::jmax (0, content.getBottom() - bodyTop))
               .withTrimmedLeft (bodyInset).withTrimmedRight (bodyInset);
    body.setWidth (juce::jmax (0, body.getWidth()));

    if (plugin.isCreditsEnabled() && body.getHeight() > 0)
        credits.setBounds (body.withTrimmedTop (4));

    link->setTopLeftPosition (leftHeader.getX(), leftHeader.getY() + linkTop);
    repaint();
}

void AboutWindow::paint (juce::Graphics& g)
{
    if (auto* methods = dynamic_cast<WindowComponent::LookAndFeelMethods*> (&getLookAndFeel()))
        methods->drawWindowComponent (g, *this);

    g.setColour (getLookAndFeel().findColour (DefaultLookAndFeel::whiteColourId));

    const auto& l = leftHeader;
    const auto& r = rightHeader;
    const auto top = juce::Justification::topLeft, rightTop = juce::Justification::topRight;

    drawLine (g, plugin.getProductName().toUpperCase(), tahoma (17.0f, true), l.withY (l.getY() - 3), top);
    drawLine (g, plugin.getDescription(), tahoma (15.0f, true), l.withY (l.getY() + 12), top);

    const auto formatText = plugin.getFormatName() + " " + plugin.getPlatformName();
    const auto formatFont = tahoma (14.0f, false);
    drawLine (g, formatText, formatFont, r.withY (r.getY() - 3), rightTop);

    // The version sits 8 px to the left of the format and platform, on the same top edge.
    const auto formatWidth = juce::roundToInt (formatFont.getStringWidthFloat (formatText));
    drawLine (g, "Version " + plugin.getVersion(), tahoma (15.0f, true),
              r.withY (r.getY() - 3).withWidth (juce::jmax (0, r.getWidth() - formatWidth - 8)), rightTop);

    drawLine (g, "Build info:  " + plugin.getBuildId() + "  " + plugin.getBuildDate(), tahoma (12.0f, false),
              r.withY (r.getY() + 19), rightTop);

    g.setFont (tahoma (12.0f, false));
    g.drawFittedText (plugin.getModulePath(), r.withY (r.getY() + 30).withHeight (30), rightTop, 2, 1.0f);
}
