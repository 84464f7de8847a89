#include "DefaultLookAndFeel.h"

#include "CaseKey.h"
#include "TextButtonEx.h"

namespace
{
const juce::Colour accent (0xFFFF6C00);
const juce::Colour symbolColour (0xFF202020);

// 32 x 32 black shapes; the close button recolours icon 0, the MIDI-learn toggle the red of icon 20.
const char* const iconPaths[] =
{
    // 0 close
    "<path d='M8 6 L16 14 L24 6 L26 8 L18 16 L26 24 L24 26 L16 18 L8 26 L6 24 L14 16 L6 8 Z'/>",
    // 1 copy
    "<path fill-rule='evenodd' d='M5 3 H20 V8 H18 V5 H7 V21 H10 V23 H5 Z M12 10 H27 V29 H12 Z M14 12 V27 H25 V12 Z'/>",
    // 2 paste
    "<path fill-rule='evenodd' d='M7 6 H12 V3 H20 V6 H25 V29 H7 Z M9 8 V27 H23 V8 H20 V11 H12 V8 Z M14 5 V9 H18 V5 Z'/>",
    // 3 new document
    "<path fill-rule='evenodd' d='M7 3 H19 L26 10 V29 H7 Z M9 5 V27 H24 V12 H17 V5 Z'/>",
    // 4 clear all
    "<path fill-rule='evenodd' d='M5 5 H27 V27 H5 Z M7 7 V25 H25 V7 Z M10.5 12.5 L12.5 10.5 L16 14 L19.5 10.5 L21.5 12.5 "
    "L18 16 L21.5 19.5 L19.5 21.5 L16 18 L12.5 21.5 L10.5 19.5 L14 16 Z'/>",
    // 5 down
    "<path d='M6 10 H26 L16 23 Z'/>",
    // 6 up
    "<path d='M6 22 H26 L16 9 Z'/>",
    // 7 left
    "<path d='M22 6 V26 L9 16 Z'/>",
    // 8 right
    "<path d='M10 6 V26 L23 16 Z'/>",
    // 9 plus
    "<path d='M14 6 H18 V14 H26 V18 H18 V26 H14 V18 H6 V14 H14 Z'/>",
    // 10 minus
    "<path d='M6 14 H26 V18 H6 Z'/>",
    // 11 new folder
    "<path fill-rule='evenodd' d='M3 7 H12 L14 9.5 H29 V27 H3 Z M5 12 V25 H27 V12 Z M15 13.5 H17 V17.5 H21 V19.5 H17 "
    "V23.5 H15 V19.5 H11 V17.5 H15 Z'/>",
    // 12 delete
    "<path fill-rule='evenodd' d='M12 3 H20 V5.5 H27 V9 H5 V5.5 H12 Z M7.5 11 H24.5 L22.8 29 H9.2 Z M11.5 14 L12.2 26 H14.2 "
    "L13.8 14 Z M18.2 14 L17.8 26 H19.8 L20.5 14 Z'/>",
    // 13 rescan
    "<path d='M16 5 A11 11 0 1 0 27 16 H23.5 A7.5 7.5 0 1 1 16 8.5 V12 L21.5 6.75 L16 1.5 Z'/>",
    // 14 tick
    "<path d='M4 17 L7.5 13.5 L13 19 L24.5 7.5 L28 11 L13 26 Z'/>",
    // 15 edit
    "<path fill-rule='evenodd' d='M21 4 L28 11 L12 27 H5 V20 Z M7.5 21 V24.5 H11 L23 12.5 L19.5 9 Z'/>",
    // 16 load
    "<path fill-rule='evenodd' d='M3 6 H12 L14 8.5 H26 V13 H24 V10.5 H5 V22 L8 13 H30 L25 27 H3 Z'/>",
    // 17 save
    "<path fill-rule='evenodd' d='M4 4 H24 L28 8 V28 H4 Z M8 6 V13 H22 V6 Z M8 18 V26 H24 V18 Z M17 7 V12 H20 V7 Z'/>",
    // 18 settings
    "<path d='M4 8 H28 V10 H4 Z M4 15 H28 V17 H4 Z M4 22 H28 V24 H4 Z M8 5 H12 V13 H8 Z M19 12 H23 V20 H19 Z M12 19 H16 V27 H12 Z'/>",
    // 19 information
    "<path fill-rule='evenodd' d='M3 16 A13 13 0 1 0 29 16 A13 13 0 1 0 3 16 Z M14.5 13 H17.5 V24 H14.5 Z M14.5 7.5 H17.5 "
    "V10.5 H14.5 Z'/>",
    // 20 record (MIDI learn)
    "<path fill-rule='evenodd' d='M2.5 16 A13.5 13.5 0 1 0 29.5 16 A13.5 13.5 0 1 0 2.5 16 Z M5 16 A11 11 0 1 0 27 16 "
    "A11 11 0 1 0 5 16 Z'/><circle cx='16' cy='16' r='8' fill='#FF0000'/>"
};

static_assert (sizeof (iconPaths) / sizeof (iconPaths[0]) == DefaultLookAndFeel::numStandardIcons,
               "one shape per standard icon");

juce::String iconSvg (int index)
{
    return "<svg xmlns='http://www.w3.org/2000/svg' width='32' height='32' viewBox='0 0 32 32'><g fill='#000000'>"
           + juce::String (iconPaths[index]) + "</g></svg>";
}

// Parsed once and shared: the icons are immutable and asked for by every toolbar button.
struct IconSet
{
    IconSet()
    {
        for (int i = 0; i < DefaultLookAndFeel::numStandardIcons; ++i)
        {
            auto svg = iconSvg (i);
            icons.push_back (createDrawableFromSVG (svg.toRawUTF8(), svg.getNumBytesAsUTF8()));
        }
    }

    std::vector<std::unique_ptr<juce::Drawable>> icons;
};

const IconSet& getIconSet()
{
    static const IconSet set;
    return set;
}

bool isInRange (int index, int size) noexcept
{
    return index >= 0 && index < size;
}

bool isEnabledWithParent (const juce::Component& c)
{
    return c.isEnabled() && (c.getParentComponent() == nullptr || c.getParentComponent()->isEnabled());
}

juce::Image renderImage (int width, int height, const std::function<void (juce::Graphics&)>& draw)
{
    juce::Image image (juce::Image::ARGB, width, height, true);
    juce::Graphics g (image);
    draw (g);
    return image;
}

void drawIcon (juce::Graphics& g, int index, juce::Rectangle<float> area, juce::Colour colour)
{
    if (auto icon = getStandardIcon (index))
    {
        icon->replaceColour (juce::Colours::black, colour);
        icon->drawWithin (g, area, juce::RectanglePlacement::centred, 1.0f);
    }
}

// A light rounded square with a dark symbol; pressed, the square takes the accent.
juce::Image makeImageButtonFace (int side, int iconIndex, bool pressed)
{
    return renderImage (side, side, [=] (juce::Graphics& g)
    {
        auto box = juce::Rectangle<float> (0.0f, 0.0f, (float) side, (float) side).reduced (1.0f);
        auto corner = (float) side * 0.18f;
        auto top = pressed ? juce::Colour (0xFFFF8D3A) : juce::Colour (0xFFF6F6F6);
        auto bottom = pressed ? accent : juce::Colour (0xFFD2D2D2);

        g.setGradientFill (juce::ColourGradient (top, 0.0f, box.getY(), bottom, 0.0f, box.getBottom(), false));
        g.fillRoundedRectangle (box, corner);
        g.setColour (juce::Colour (0xFF5B5B5B));
        g.drawRoundedRectangle (box.reduced (0.5f), corner, 1.0f);

        drawIcon (g, iconIndex, box.reduced ((float) side * 0.2f), symbolColour);
    });
}

// The folder or document mark of a file chooser's row, fitted into the area.
void drawFileIcon (juce::Graphics& g, juce::Rectangle<float> area, bool isFolder, juce::Colour folderFill, juce::Colour outline)
{
    if (isFolder)
    {
        auto body = area.withSizeKeepingCentre (area.getWidth(), area.getHeight() * 0.8f);
        auto tab = body.removeFromTop (body.getHeight() * 0.2f).withWidth (body.getWidth() * 0.45f);

        juce::Path folder;
        folder.addRoundedRectangle (tab.withHeight (tab.getHeight() + 2.0f), 1.0f);
        folder.addRoundedRectangle (body, 1.5f);
        g.setColour (folderFill);
        g.fillPath (folder);
        g.setColour (outline);
        g.strokePath (folder, juce::PathStrokeType (1.0f));
        return;
    }

    auto page = area.withSizeKeepingCentre (area.getHeight() * 0.75f, area.getHeight()).reduced (0.5f);
    const auto fold = page.getWidth() * 0.35f;

    juce::Path sheet;
    sheet.startNewSubPath (page.getX(), page.getY());
    sheet.lineTo (page.getRight() - fold, page.getY());
    sheet.lineTo (page.getRight(), page.getY() + fold);
    sheet.lineTo (page.getRight(), page.getBottom());
    sheet.lineTo (page.getX(), page.getBottom());
    sheet.closeSubPath();
    g.setColour (juce::Colours::white);
    g.fillPath (sheet);
    g.setColour (outline);
    g.strokePath (sheet, juce::PathStrokeType (1.0f));
    g.drawLine (page.getRight() - fold, page.getY(), page.getRight() - fold, page.getY() + fold, 1.0f);
    g.drawLine (page.getRight() - fold, page.getY() + fold, page.getRight(), page.getY() + fold, 1.0f);
}
} // namespace

//==============================================================================
DefaultLookAndFeel::DefaultLookAndFeel()
    : standardFont ("Tahoma", "Regular", 13.0f),
      boldFont ("Tahoma", "Bold", 13.0f)
{
    arrows[0].startNewSubPath (4.0f, 11.0f);
    arrows[0].lineTo (4.0f, 8.0f);
    arrows[0].lineTo (1.75f, 8.0f);
    arrows[0].lineTo (6.5f, 1.6f);
    arrows[0].lineTo (11.25f, 8.0f);
    arrows[0].lineTo (9.0f, 8.0f);
    arrows[0].lineTo (9.0f, 11.0f);
    arrows[0].closeSubPath();

    for (int quarter = 1; quarter < 4; ++quarter)
    {
        arrows[quarter] = arrows[0];
        arrows[quarter].applyTransform (juce::AffineTransform::rotation ((float) quarter * juce::MathConstants<float>::halfPi,
                                                                         6.5f, 6.5f));
    }

    const std::pair<int, juce::uint32> colours[] =
    {
        { blackColourId,                   0xFF000000 },
        { greyColourId,                    0xFF808080 },
        { whiteColourId,                   0xFFFFFFFF },
        { yellowColourId,                  0xFFFFFF00 },
        { accentLightColourId,             accent.brighter (0.6f).getARGB() },
        { accentColourId,                  accent.getARGB() },
        { accentTextColourId,              0xFFFFFFFF },
        { accentOutlineColourId,           0xFF000000 },
        { backgroundColourId,              0xFFE3E3E3 },
        { windowBackgroundColourId,        0xFFC5C5C5 },
        { windowFrameColourId,             0xFF000000 },
        { windowTitleTextColourId,         0xFFFFFFFF },
        { pathFieldBackgroundColourId,     0xFFE3E3E3 },
        { pathFieldTextColourId,           0xFF000000 },
        { pathFieldOutlineColourId,        0xFFFFFFFF },
        { tabbedComponentColourId,         0xFFC5C5C5 },
        { frontTabTextColourId,            0xFF000000 },
        { tabOutlineColourId,              0xFF5B5B5B },
        { columnBrowserBackgroundColourId, 0xFFC5C5C5 },
        { columnBrowserListColourId,       0xFFE3E3E3 },
        { columnBrowserOutlineColourId,    0xFFFFFFFF },
        { columnBrowserColour3Id,          0xFFE3E3E3 },
        { columnBrowserColour4Id,          0xFF000000 },
        { columnBrowserItemColourId,       0xFFADADAD },
        { columnBrowserColour6Id,          0xFFFFFFFF },
        { columnBrowserColour7Id,          0xFF5B5B5B },
        { columnBrowserColour8Id,          0xFFFFFFFF },
        { statusBarBackgroundColourId,     0xFF444444 },
        { statusBarTextColourId,           0xFFFFFFFF },
        { panelColourId,                   0xFF7C7C7C },

        { juce::TextButton::buttonColourId,               0xFFF0F0F0 },
        { juce::TextButton::buttonOnColourId,             accent.brighter (0.3f).getARGB() },
        { juce::DrawableButton::textColourId,             0xFF000000 },
        { juce::DrawableButton::backgroundColourId,       0xFFF0F0F0 },
        { juce::DrawableButton::backgroundOnColourId,     0xFFF0F0F0 },
        { juce::Slider::rotarySliderFillColourId,         0xFF808080 },
        { juce::Slider::rotarySliderOutlineColourId,      0xFF000000 },
        { juce::TooltipWindow::textColourId,              0xFF000000 },
        { juce::TooltipWindow::outlineColourId,           0xFF444444 },
        { juce::ScrollBar::thumbColourId,                 0xFF6E6E6E },
        { juce::ScrollBar::trackColourId,                 0xFFCCCCCC },
        // JUCE's own file chooser, where the desktop offers none: the preset browser's greys.
        { juce::AlertWindow::backgroundColourId,                               0xFFC5C5C5 },
        { juce::DirectoryContentsDisplayComponent::highlightColourId,          0xFFADADAD },
        { juce::DirectoryContentsDisplayComponent::textColourId,               0xFF000000 },
        { juce::DirectoryContentsDisplayComponent::highlightedTextColourId,    0xFF000000 },
        // The keyboard's hover and key-down overlays (its module is not linked here).
        { 0x1005003,                                      accent.brighter (0.6f).getARGB() },
        { 0x1005004,                                      accent.getARGB() }
    };

    for (auto& c : colours)
        setColour (c.first, juce::Colour (c.second));
}

DefaultLookAndFeel::~DefaultLookAndFeel() = default;

//==============================================================================
juce::Font DefaultLookAndFeel::getStandardFont()        { return standardFont; }
juce::Font DefaultLookAndFeel::getBoldFont()            { return boldFont; }
juce::Font DefaultLookAndFeel::getUnderlinedFont()      { return standardFont.withStyle (juce::Font::underlined); }
juce::Font DefaultLookAndFeel::getMenuFont()            { return standardFont; }
juce::Font DefaultLookAndFeel::getTabFont()             { return boldFont; }
juce::Font DefaultLookAndFeel::getStatusBarFont()       { return standardFont; }

int DefaultLookAndFeel::getTabBarDepth()                { return 23; }
int DefaultLookAndFeel::getTabContentIndent()           { return 8; }
int DefaultLookAndFeel::getStatusBarHeight()            { return 16; }

juce::Typeface::Ptr DefaultLookAndFeel::getTypefaceForFont (const juce::Font& font)
{
    auto name = font.getTypefaceName();

    if (! (CaseKey::equal (name, "Tahoma") || CaseKey::equal (name, "Halvorn Sans")))
        return LookAndFeel_V3::getTypefaceForFont (font);

    // Neither face exists on Linux, where JUCE would measure their text as zero wide.
    static const char* const styles[] = { "Book", "Bold", "Oblique", "Bold Oblique" };
    const auto style = CaseKey::of (font.getTypefaceStyle());
    auto slot = (style.contains ("bold") ? 1 : 0)
              + (style.contains ("italic") || style.contains ("oblique") ? 2 : 0);

    if (sansTypefaces[slot] == nullptr)
        sansTypefaces[slot] = juce::Typeface::createSystemTypefaceFor (juce::Font ("DejaVu Sans", styles[slot], font.getHeight()));

    return sansTypefaces[slot] != nullptr ? sansTypefaces[slot] : LookAndFeel_V3::getTypefaceForFont (font);
}

//==============================================================================
void DefaultLookAndFeel::drawArrowTriangle (juce::Graphics& g, juce::Rectangle<int> area, bool pointingRight)
{
    auto x = (float) area.getX(), y = (float) area.getY();
    auto r = (float) area.getRight(), b = (float) area.getBottom();
    juce::Path p;

    if (pointingRight)
        p.addTriangle (x + 4.0f, y + 3.0f, x + 4.0f, b - 3.0f, r - 2.0f, y + (float) (area.getHeight() / 2));
    else
        p.addTriangle (x + 3.0f, y + 4.0f, r - 1.0f, y + 4.0f, x + (float) (area.getWidth() / 2 + 1), b - 4.0f);

    g.setColour (juce::Colour (0xFF808080));
    g.fillPath (p);
}

juce::Image DefaultLookAndFeel::getTickBoxImage (bool ticked)
{
    return renderImage (15, 14, [ticked] (juce::Graphics& g)
    {
        drawGlossyRoundedBox (g, { 1.0f, 0.5f, 13.0f, 13.0f }, juce::Colour (0xFFF0F0F0));

        if (ticked)
            drawIcon (g, 14, { 2.5f, 2.0f, 10.0f, 10.0f }, symbolColour);
    });
}

juce::Image DefaultLookAndFeel::getRadioImage (bool on)
{
    return renderImage (15, 14, [on] (juce::Graphics& g)
    {
        juce::Rectangle<float> circle (1.0f, 0.5f, 13.0f, 13.0f);
        g.setGradientFill (juce::ColourGradient (juce::Colour (0xFFFFFFFF), 0.0f, circle.getY(),
                                                 juce::Colour (0xFFC8C8C8), 0.0f, circle.getBottom(), false));
        g.fillEllipse (circle);
        g.setColour (juce::Colour (0xFF5B5B5B));
        g.drawEllipse (circle.reduced (0.5f), 1.0f);

        if (on)
        {
            g.setColour (symbolColour);
            g.fillEllipse (circle.reduced (4.0f));
        }
    });
}

//==============================================================================
juce::ImageButton* DefaultLookAndFeel::createImageButton (const juce::String& name, int index, int sizeCode)
{
    if (! isInRange (index, numImageButtons))
        return nullptr;

    auto side = sizeCode == 2 ? 43 : 27;
    return createImageButtonFromImages (name, makeImageButtonFace (side, index, false),
                                        makeImageButtonFace (side, index, true));
}

void DefaultLookAndFeel::setButtonIcon (juce::ImageButton& button, int index, int sizeCode)
{
    if (! isInRange (index, numImageButtons))
        return;

    auto side = sizeCode == 2 ? 43 : 27;
    setImageButtonImagesFrom (button, makeImageButtonFace (side, index, false), makeImageButtonFace (side, index, true));
}

juce::Image DefaultLookAndFeel::getImage (int index, int sizeCode)
{
    if (! isInRange (index, numStandardIcons))
        return {};

    auto side = sizeCode == 2 ? 32 : 28;
    return renderImage (side, side, [=] (juce::Graphics& g)
    {
        drawIcon (g, index, { 0.0f, 0.0f, (float) side, (float) side }, symbolColour);
    });
}

juce::Image DefaultLookAndFeel::getImage2 (int index, int sizeCode)
{
    if (! isInRange (index, 7))
        return {};

    auto height = sizeCode == 2 ? 24 : 20;
    auto width = (index == 1 || index == 4) ? 1 : 10;
    auto pressed = index >= 3 && index <= 5;

    return renderImage (width, height, [=] (juce::Graphics& g)
    {
        auto face = juce::Rectangle<float> (0.0f, 4.0f, (float) width, (float) height - 8.0f);

        if (index == 6)
        {
            g.setColour (accent);
            g.fillEllipse (face.withSizeKeepingCentre (4.0f, 4.0f));
            return;
        }

        // Caps are drawn as halves of a rounded face, so the pieces join seamlessly.
        auto whole = index % 3 == 0 ? face.withWidth ((float) width * 2.0f)
                   : index % 3 == 2 ? face.withX (-(float) width).withWidth ((float) width * 2.0f)
                                    : face.withX (-4.0f).withWidth ((float) width + 8.0f);
        g.setColour (pressed ? accent : juce::Colour (0xFFE0E0E0));
        g.fillRoundedRectangle (whole, 3.0f);
        g.setColour (pressed ? juce::Colour (0xFFE0E0E0) : juce::Colour (0xFFA0A0A0));
        g.drawRoundedRectangle (whole.reduced (0.5f), 3.0f, 1.0f);
    });
}

TextButtonEx* DefaultLookAndFeel::createTextButtonEx (const juce::String& text)
{
    return new TextButtonEx (text);
}

void DefaultLookAndFeel::styleTextButtonEx (TextButtonEx& button, int style)
{
    auto sizeCode = style == 1 ? 2 : 1;
    button.setImages (getImage2 (0, sizeCode), getImage2 (1, sizeCode), getImage2 (2, sizeCode),
                      getImage2 (3, sizeCode), getImage2 (4, sizeCode), getImage2 (5, sizeCode),
                      getImage2 (6, sizeCode));
}

//==============================================================================
juce::Font DefaultLookAndFeel::getWindowTitleFont (WindowComponent&)
{
    return boldFont.withHeight (15.0f);
}

void DefaultLookAndFeel::setCloseButtonImages (juce::ImageButton& button)
{
    setButtonIcon (button, 0, 1);
}

void DefaultLookAndFeel::drawWindowComponent (juce::Graphics& g, WindowComponent& window)
{
    auto bounds = window.getLocalBounds();

    if (window.frameStyle == WindowComponent::roundedFrame)
    {
        g.setColour (window.findColour (windowBackgroundColourId));
        fillRoundedRectangle (g, bounds, 8.0f);

        if (window.hasTitleBar)
            fillRoundedRectangleSide (g, window.getTitleBarArea(), roundedTop, window.findColour (windowFrameColourId));

        g.setColour (window.findColour (windowFrameColourId));
        drawRoundedRectangleOutline (g, bounds, 8.0f, (float) window.borderWidth);
    }
    else
    {
        g.fillAll (window.findColour (windowBackgroundColourId));
        g.setColour (window.findColour (windowFrameColourId));

        if (window.hasTitleBar)
            g.fillRect (window.getTitleBarArea());

        g.drawRect (bounds, window.borderWidth);
    }

    g.setColour (window.findColour (windowTitleTextColourId));
    g.setFont (window.getTitleFont());
    g.drawText (window.getTitle(), window.getTitleTextArea(), juce::Justification::centredLeft, false);
}

void DefaultLookAndFeel::drawHardLabel (juce::Graphics& g, HardLabel& label)
{
    auto alpha = isEnabledWithParent (label) ? 1.0f : 0.5f;
    auto border = label.getBorderSize();

    g.setFont (getLabelFont (label));
    g.setColour (label.findColour (juce::Label::textColourId).withMultipliedAlpha (alpha));
    g.drawText (label.getText(),
                label.getLocalBounds().reduced (border.getLeft(), border.getTop()),
                label.getJustificationType(), false);
}

juce::Font DefaultLookAndFeel::getPanelFont (PanelComponent&)
{
    return boldFont;
}

//==============================================================================
bool DefaultLookAndFeel::areScrollbarButtonsVisible()
{
    return true;
}

void DefaultLookAndFeel::drawScrollbarButton (juce::Graphics& g, juce::ScrollBar& bar, int, int,
                                              int buttonDirection, bool, bool isMouseOverButton, bool)
{
    auto thumb = bar.findColour (juce::ScrollBar::thumbColourId);

    if (! isEnabledWithParent (bar))
        g.setColour (thumb.withAlpha (0.5f));
    else
        g.setColour (isMouseOverButton ? juce::Colours::black : thumb);

    g.fillPath (arrows[juce::jlimit (0, 3, buttonDirection)]);
}

void DefaultLookAndFeel::drawScrollbar (juce::Graphics& g, juce::ScrollBar& bar, int x, int y, int width, int height,
                                        bool isScrollbarVertical, int thumbStartPosition, int thumbSize,
                                        bool isMouseOver, bool)
{
    auto enabled = isEnabledWithParent (bar);
    auto background = bar.findColour (juce::ScrollBar::backgroundColourId);

    if (! background.isTransparent())
        g.fillAll (background);

    g.setColour (bar.findColour (juce::ScrollBar::trackColourId).withAlpha (enabled ? 1.0f : 0.5f));
    fillRoundedRectangle (g, { x, y, width, height }, 4.0f);

    auto thumb = bar.findColour (juce::ScrollBar::thumbColourId);
    g.setColour (! enabled ? thumb.withAlpha (0.5f) : isMouseOver ? juce::Colours::black : thumb);

    if (isScrollbarVertical)
        fillRoundedRectangle (g, { x + 2, thumbStartPosition, width - 4, thumbSize }, 4.0f);
    else
        fillRoundedRectangle (g, { thumbStartPosition, y + 2, thumbSize, height - 4 }, 4.0f);
}

int DefaultLookAndFeel::getDefaultScrollbarWidth()                   { return 13; }
int DefaultLookAndFeel::getScrollbarButtonSize (juce::ScrollBar&)    { return 13; }

juce::Font DefaultLookAndFeel::getTextButtonFont (juce::TextButton&, int)
{
    return standardFont;
}

void DefaultLookAndFeel::drawDrawableButton (juce::Graphics& g, juce::DrawableButton& button,
                                             bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown)
{
    auto colourId = button.getToggleState() ? juce::DrawableButton::backgroundOnColourId
                                            : juce::DrawableButton::backgroundColourId;
    drawButtonBackground (g, button, button.findColour (colourId), shouldDrawButtonAsHighlighted, shouldDrawButtonAsDown);
}

void DefaultLookAndFeel::drawImageButton (juce::Graphics& g, juce::Image* image, int imageX, int imageY, int imageW, int imageH,
                                          const juce::Colour& overlayColour, float imageOpacity, juce::ImageButton& button)
{
    // JUCE fades disabled image buttons too far to read; lift them part of the way back.
    if (! isEnabledWithParent (button))
        imageOpacity *= 1.4f;

    LookAndFeel_V3::drawImageButton (g, image, imageX, imageY, imageW, imageH, overlayColour, imageOpacity, button);
}

void DefaultLookAndFeel::drawTextEditorOutline (juce::Graphics& g, int width, int height, juce::TextEditor&)
{
    g.drawRect (0, 0, width, height, 1);
}

void DefaultLookAndFeel::drawFileBrowserRow (juce::Graphics& g, int width, int height, const juce::File&,
                                             const juce::String& filename, juce::Image* icon,
                                             const juce::String& fileSizeDescription, const juce::String& fileTimeDescription,
                                             bool isDirectory, bool isItemSelected, int,
                                             juce::DirectoryContentsDisplayComponent& display)
{
    // The list or tree may carry colours of its own; the look-and-feel's are the fallback.
    auto* displayComponent = dynamic_cast<juce::Component*> (&display);
    auto colour = [&] (int id) { return displayComponent != nullptr ? displayComponent->findColour (id) : findColour (id); };

    if (isItemSelected)
    {
        g.setColour (colour (juce::DirectoryContentsDisplayComponent::highlightColourId));
        g.fillRoundedRectangle (0.0f, 1.0f, (float) width, (float) height - 2.0f, 4.0f);
    }

    const auto iconArea = juce::Rectangle<int> (height, height).reduced (3);

    if (icon != nullptr && icon->isValid())
        g.drawImageWithin (*icon, iconArea.getX(), iconArea.getY(), iconArea.getWidth(), iconArea.getHeight(),
                           juce::RectanglePlacement::centred | juce::RectanglePlacement::onlyReduceInSize);
    else
        drawFileIcon (g, iconArea.toFloat(), isDirectory, findColour (accentLightColourId),
                      findColour (greyColourId).darker (0.3f));

    const auto textColour = colour (isItemSelected ? juce::DirectoryContentsDisplayComponent::highlightedTextColourId
                                                   : juce::DirectoryContentsDisplayComponent::textColourId);
    auto text = juce::Rectangle<int> (height + 2, 0, width - height - 6, height);
    g.setFont (standardFont);

    // A wide list gives each file its size and date, paler, at the right as JUCE's own rows do.
    if (width > 450 && ! isDirectory)
    {
        auto details = text.removeFromRight (width * 3 / 10);
        g.setColour (textColour.withMultipliedAlpha (0.6f));
        g.drawText (fileSizeDescription, details.removeFromLeft (details.getWidth() / 3), juce::Justification::centredRight, true);
        g.drawText (fileTimeDescription, details, juce::Justification::centredRight, true);
    }

    g.setColour (textColour);
    g.drawText (filename, text, juce::Justification::centredLeft, true);
}

void DefaultLookAndFeel::layoutFileBrowserComponent (juce::FileBrowserComponent& browser,
                                                     juce::DirectoryContentsDisplayComponent* display,
                                                     juce::FilePreviewComponent* preview, juce::ComboBox* pathBox,
                                                     juce::TextEditor* filenameBox, juce::Button* goUpButton)
{
    LookAndFeel_V3::layoutFileBrowserComponent (browser, display, preview, pathBox, filenameBox, goUpButton);

    // The browser hands its list or tree over only here: it takes the preset browser's list colour.
    if (auto* list = dynamic_cast<juce::Component*> (display))
    {
        list->setColour (juce::ListBox::backgroundColourId, findColour (columnBrowserListColourId));
        list->setColour (juce::TreeView::backgroundColourId, findColour (columnBrowserListColourId));
    }
}

juce::Font DefaultLookAndFeel::getComboBoxFont (juce::ComboBox&)
{
    return standardFont;
}

void DefaultLookAndFeel::positionComboBoxText (juce::ComboBox& box, juce::Label& label)
{
    label.setBounds (0, 0, box.getWidth() - 20, box.getHeight());
}

juce::Font DefaultLookAndFeel::getLabelFont (juce::Label&)
{
    return standardFont;
}

void DefaultLookAndFeel::drawLinearSliderBackground (juce::Graphics& g, int x, int y, int width, int height,
                                                     float, float, float, const juce::Slider::SliderStyle, juce::Slider&)
{
    g.setColour (juce::Colour (0xFF808080));
    g.fillRect (x, y + height / 2 - 3, width, 6);
}

void DefaultLookAndFeel::drawLinearSliderThumb (juce::Graphics& g, int x, int y, int width, int height,
                                                float sliderPos, float minSliderPos, float maxSliderPos,
                                                const juce::Slider::SliderStyle style, juce::Slider& slider)
{
    auto thumbWidth = (float) juce::jmin (getSliderThumbRadius (slider), 8);
    auto base = slider.findColour (juce::TextButton::buttonColourId);
    auto top = (float) y, h = (float) height;

    if (style == juce::Slider::LinearHorizontal)
    {
        drawGlossyRoundedBox (g, { sliderPos - thumbWidth / 2.0f, top, thumbWidth, h }, base);
    }
    else if (style == juce::Slider::TwoValueHorizontal)
    {
        drawGlossyRoundedBox (g, { minSliderPos - thumbWidth + 1.0f, top, thumbWidth, h }, base);
        drawGlossyRoundedBox (g, { maxSliderPos, top, thumbWidth, h }, base);
    }
    else
    {
        LookAndFeel_V3::drawLinearSliderThumb (g, x, y, width, height, sliderPos, minSliderPos, maxSliderPos, style, slider);
    }
}

int DefaultLookAndFeel::getSliderThumbRadius (juce::Slider&)
{
    return 10;
}

void DefaultLookAndFeel::drawCornerResizer (juce::Graphics& g, int w, int h, bool isMouseOver, bool isMouseDragging)
{
    juce::Path triangle;
    triangle.addTriangle (4.0f, (float) h - 3.0f, (float) w - 3.0f, 4.0f, (float) w - 3.0f, (float) h - 3.0f);

    auto active = isMouseOver || isMouseDragging;
    g.setColour (active ? juce::Colours::black : juce::Colour (0xFF808080));
    g.strokePath (triangle, juce::PathStrokeType (1.0f));
    g.setColour (active ? juce::Colour (0xFFCCFF52) : juce::Colour (0xFF808080));
    g.fillPath (triangle);
}

void DefaultLookAndFeel::drawDocumentWindowTitleBar (juce::DocumentWindow& window, juce::Graphics& g, int w, int h,
                                                     int titleSpaceX, int, const juce::Image*, bool)
{
    g.fillAll (juce::Colour (0xFFCBCBCB));
    g.setColour (juce::Colours::black);
    g.setFont (standardFont.withHeight ((float) h * 0.65f));
    g.drawText (window.getName(), titleSpaceX, 0, w - titleSpaceX, h, juce::Justification::centredLeft, true);
}

void DefaultLookAndFeel::positionDocumentWindowButtons (juce::DocumentWindow&, int, int, int titleBarW, int titleBarH,
                                                        juce::Button*, juce::Button*, juce::Button* closeButton, bool)
{
    if (closeButton != nullptr)
        closeButton->setTopLeftPosition (titleBarW - closeButton->getWidth() - 1,
                                         (titleBarH - closeButton->getHeight()) / 2 + 3);
}

juce::Rectangle<int> DefaultLookAndFeel::getTooltipBounds (const juce::String& tipText, juce::Point<int> screenPos,
                                                           juce::Rectangle<int> parentArea)
{
    auto w = (int) standardFont.getStringWidthFloat (tipText) + 12;
    auto h = (int) standardFont.getHeight() + 7;

    return juce::Rectangle<int> (screenPos.x > parentArea.getCentreX() ? screenPos.x - (w + 12) : screenPos.x + 24,
                                 screenPos.y > parentArea.getCentreY() ? screenPos.y - (h + 6) : screenPos.y + 6,
                                 w, h)
               .constrainedWithin (parentArea);
}

void DefaultLookAndFeel::drawTooltip (juce::Graphics& g, const juce::String& text, int width, int height)
{
    juce::Rectangle<int> area (0, 0, width, height);

    g.setColour (findColour (juce::TooltipWindow::backgroundColourId));
    fillRoundedRectangle (g, area.reduced (1), 4.0f);
    g.setColour (findColour (juce::TooltipWindow::outlineColourId));
    drawRoundedRectangleOutline (g, area, 4.0f, 1.2f);

    g.setColour (findColour (juce::TooltipWindow::textColourId));
    g.setFont (standardFont);
    g.drawText (text, area, juce::Justification::centred, false);
}

//==============================================================================
int DefaultLookAndFeel::getTabButtonSpaceAroundImage()    { return 1; }
int DefaultLookAndFeel::getTabButtonOverlap (int)         { return 4; }

int DefaultLookAndFeel::getTabButtonBestWidth (juce::TabBarButton& button, int)
{
    return (int) getTabFont().getStringWidthFloat (button.getButtonText().trim()) + 30;
}

void DefaultLookAndFeel::createTabButtonShape (juce::TabBarButton& button, juce::Path& p, bool, bool)
{
    auto area = button.getActiveArea();
    auto w = (float) area.getWidth(), h = (float) area.getHeight();

    juce::Path outline;
    outline.addQuadrilateral (4.5f, 0.5f, w + 0.5f, 0.5f, w + 0.5f, h + 4.5f, 4.5f, h + 4.5f);
    p = outline.createPathWithRoundedCorners (4.0f);
}

void DefaultLookAndFeel::fillTabButtonShape (juce::TabBarButton& button, juce::Graphics& g, const juce::Path& p, bool, bool)
{
    auto colour = button.getTabBackgroundColour();
    g.setColour (button.isFrontTab() ? colour : colour.darker (0.2f));
    g.fillPath (p);

    g.setColour (button.findColour (tabOutlineColourId).withAlpha (isEnabledWithParent (button) ? 1.0f : 0.5f));
    g.strokePath (p, juce::PathStrokeType (1.0f));
}

void DefaultLookAndFeel::drawTabButtonText (juce::TabBarButton& button, juce::Graphics& g, bool, bool)
{
    g.setColour (button.findColour (button.isFrontTab() ? frontTabTextColourId : tabOutlineColourId));
    g.setOpacity (isEnabledWithParent (button) ? 1.0f : 0.5f);
    g.setFont (getTabFont());
    g.drawText (button.getButtonText().trim(), button.getTextArea(), juce::Justification::centred, false);
}

void DefaultLookAndFeel::drawTabButton (juce::TabBarButton& button, juce::Graphics& g, bool isMouseOver, bool isMouseDown)
{
    juce::Path shape;
    createTabButtonShape (button, shape, isMouseOver, isMouseDown);

    auto area = button.getActiveArea();
    shape.applyTransform (juce::AffineTransform::translation ((float) area.getX(), (float) area.getY()));

    fillTabButtonShape (button, g, shape, isMouseOver, isMouseDown);
    drawTabButtonText (button, g, isMouseOver, isMouseDown);
}

void DefaultLookAndFeel::drawTabAreaBehindFrontButton (juce::TabbedButtonBar& bar, juce::Graphics& g, int w, int h)
{
    g.setColour (bar.findColour (tabOutlineColourId));
    fillRoundedRectangle (g, { 0, 0, w, h }, 4.0f);

    // JUCE stacks this area above the tabs behind the front one; draw them again on it.
    for (int i = 0; i < bar.getNumTabs(); ++i)
    {
        auto* tab = bar.getTabButton (i);

        if (tab != nullptr && i != bar.getCurrentTabIndex() && tab->isVisible())
        {
            juce::Graphics::ScopedSaveState state (g);
            g.setOrigin (tab->getPosition());
            drawTabButton (*tab, g, tab->isOver(), tab->isDown());
        }
    }
}

void DefaultLookAndFeel::drawProgressBar (juce::Graphics&, juce::ProgressBar&, int, int, double, const juce::String&) {}
void DefaultLookAndFeel::drawLevelMeter (juce::Graphics&, int, int, float) {}

//==============================================================================
void drawRoundedRectangleOutline (juce::Graphics& g, juce::Rectangle<int> area, float cornerSize, float thickness)
{
    auto half = thickness / 2.0f;
    juce::Path p;
    p.addRoundedRectangle (area.toFloat().reduced (half), cornerSize - half);
    g.strokePath (p, juce::PathStrokeType (thickness, juce::PathStrokeType::mitered, juce::PathStrokeType::butt));
}

void fillRoundedRectangle (juce::Graphics& g, juce::Rectangle<int> area, float cornerSize)
{
    g.fillRoundedRectangle (area.toFloat(), cornerSize);
}

void fillRoundedRectangleSide (juce::Graphics& g, juce::Rectangle<int> area, int side, juce::Colour colour)
{
    auto r = area.toFloat();
    auto left = side == roundedLeft, right = side == roundedRight, bottom = side == roundedBottom;
    auto top = ! (left || right || bottom);

    juce::Path p;
    p.addRoundedRectangle (r.getX(), r.getY(), r.getWidth(), r.getHeight(), 8.0f, 8.0f,
                           top || left, top || right, bottom || left, bottom || right);
    g.setColour (colour);
    g.fillPath (p);
}

void drawFilledRoundedRectangle (juce::Graphics& g, juce::Rectangle<int> area, float cornerSize,
                                 juce::Colour fill, juce::Colour outline, float thickness)
{
    g.setColour (fill);
    fillRoundedRectangle (g, area.reduced (1), cornerSize);
    g.setColour (outline);
    drawRoundedRectangleOutline (g, area, cornerSize, thickness);
}

void fillAndOutlineRoundedRectangle (juce::Graphics& g, juce::Rectangle<int> area, juce::Colour colour)
{
    juce::Path mask;
    mask.addRectangle (area);
    mask.addRoundedRectangle (area.reduced (1).toFloat(), 6.0f);
    mask.setUsingNonZeroWinding (false);

    g.setColour (colour);
    g.fillPath (mask);
    g.setColour (juce::Colours::white);
    drawRoundedRectangleOutline (g, area, 6.0f, 1.0f);
}

void drawGlossyRoundedBox (juce::Graphics& g, juce::Rectangle<float> box, juce::Colour base)
{
    juce::Path outline;
    outline.addRoundedRectangle (box.getX() + 0.5f, box.getY() + 0.5f, box.getWidth() - 0.5f, box.getHeight() - 0.5f, 4.0f);

    g.setGradientFill (juce::ColourGradient (base.brighter (0.2f), 0.0f, box.getY(),
                                             base.darker (0.25f), 0.0f, box.getBottom(), false));
    g.fillPath (outline);

    auto alpha = base.getFloatAlpha(), brightness = base.getBrightness();
    auto bottom = box.getBottom();
    g.setColour (juce::Colours::white.withAlpha (0.4f * alpha * brightness * brightness));
    g.strokePath (outline, juce::PathStrokeType (1.0f),
                  juce::AffineTransform::scale (1.0f, (bottom - 1.6f) / bottom, 0.0f, box.getY()));
    g.setColour (juce::Colours::black.withAlpha (0.4f * alpha));
    g.strokePath (outline, juce::PathStrokeType (1.0f));
}

std::unique_ptr<juce::Drawable> createDrawableFromSVG (const char* text, size_t numBytes)
{
    if (text == nullptr)
        return {};

    auto xml = juce::parseXML (juce::String::fromUTF8 (text, (int) numBytes));

    if (xml == nullptr || ! CaseKey::equal (xml->getTagName(), "svg"))
        return {};

    return juce::Drawable::createFromSVG (*xml);
}

std::unique_ptr<juce::Drawable> getStandardIcon (int index)
{
    if (auto* icon = getStandardIconDrawable (index))
        return icon->createCopy();

    return {};
}

const juce::Drawable* getStandardIconDrawable (int index)
{
    if (! isInRange (index, DefaultLookAndFeel::numStandardIcons))
        return nullptr;

    return getIconSet().icons[(size_t) index].get();
}

void setStandardIconImage (juce::DrawableButton& button, int index)
{
    auto* icon = getStandardIconDrawable (index);
    button.setImages (icon);
    button.buttonStateChanged();
}

juce::ImageButton* createImageButtonFromImages (const juce::String& name, const juce::Image& normal, const juce::Image& pressed)
{
    auto* button = new juce::ImageButton (name);
    setImageButtonImagesFrom (*button, normal, pressed);
    return button;
}

void setImageButtonImagesFrom (juce::ImageButton& button, const juce::Image& normal, const juce::Image& pressed)
{
    button.setImages (true, false, true,
                      normal, 1.0f, juce::Colours::transparentBlack,
                      {}, 1.0f, juce::Colours::transparentBlack,
                      pressed, 1.0f, juce::Colours::transparentBlack);
}
