#pragma once

#include "HardLabel.h"
#include "PanelComponent.h"
#include "WindowComponent.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

class TextButtonEx;

/**
    The look-and-feel of the framework editor and of every code-built component of the
    toolkit: a light grey palette with an orange accent, "Tahoma" 13 throughout (mapped
    to DejaVu Sans where Tahoma is missing), window frames, labels, panels, tabs, scroll
    bars, tooltips and the built-in images and icons, all drawn in code.

    Text is measured through JUCE's default look-and-feel, so an editor makes its
    DefaultLookAndFeel the default one before it lays anything out.
*/
class DefaultLookAndFeel  : public juce::LookAndFeel_V3,
                            public WindowComponent::LookAndFeelMethods,
                            public HardLabel::LookAndFeelMethods,
                            public PanelComponent::LookAndFeelMethods
{
public:
    /** Colour ids of the toolkit's own components. */
    enum ColourIds
    {
        blackColourId                   = 0,
        greyColourId                    = 1,
        whiteColourId                   = 2,
        yellowColourId                  = 3,

        accentLightColourId             = 0x0e000000,
        accentColourId                  = 0x0e000001,
        accentTextColourId              = 0x0e000002,
        accentOutlineColourId           = 0x0e000003,

        backgroundColourId              = 0x0f000000,

        windowBackgroundColourId        = 0x0f001000,
        windowFrameColourId             = 0x0f001001,
        windowTitleTextColourId         = 0x0f001002,

        pathFieldBackgroundColourId     = 0x0f002200,
        pathFieldTextColourId           = 0x0f002201,
        pathFieldOutlineColourId        = 0x0f002202,

        tabbedComponentColourId         = 0x0f003000,
        frontTabTextColourId            = 0x0f003001,
        tabOutlineColourId              = 0x0f003002,

        columnBrowserBackgroundColourId = 0x0f003100,
        columnBrowserListColourId       = 0x0f003101,
        columnBrowserOutlineColourId    = 0x0f003102,
        columnBrowserColour3Id          = 0x0f003103,
        columnBrowserColour4Id          = 0x0f003104,
        columnBrowserItemColourId       = 0x0f003105,
        columnBrowserColour6Id          = 0x0f003106,
        columnBrowserColour7Id          = 0x0f003107,
        columnBrowserColour8Id          = 0x0f003108,

        statusBarBackgroundColourId     = 0x0f004001,
        statusBarTextColourId           = 0x0f004002,

        panelColourId                   = 0x0f005000
    };

    /** Built-in image-button pairs and icons. */
    enum
    {
        numImageButtons  = 18,
        numStandardIcons = 21
    };

    DefaultLookAndFeel();
    ~DefaultLookAndFeel() override;

    //==============================================================================
    // Fonts
    /** "Tahoma" Regular 13: labels, text buttons, combo boxes, tooltips, alert messages. */
    virtual juce::Font getStandardFont();
    /** "Tahoma" Bold 13: panel titles, tabs. */
    virtual juce::Font getBoldFont();
    /** The standard font, underlined (hyperlinks). */
    virtual juce::Font getUnderlinedFont();
    /** The font of pop-up menu items. */
    virtual juce::Font getMenuFont();
    virtual juce::Font getTabFont();
    virtual juce::Font getStatusBarFont();

    //==============================================================================
    // Metrics
    virtual int getTabBarDepth();
    /** The tabbed component's content indent and edge indent. */
    virtual int getTabContentIndent();
    virtual int getStatusBarHeight();

    //==============================================================================
    // Drawing for the toolkit's components
    /** A small grey triangle in the area, pointing right or down (tree and browser rows). */
    virtual void drawArrowTriangle (juce::Graphics&, juce::Rectangle<int> area, bool pointingRight);

    /** 15 x 14 tick box and radio images. */
    virtual juce::Image getTickBoxImage (bool ticked);
    virtual juce::Image getRadioImage (bool on);

    //==============================================================================
    // Built-in images
    /** A new image button with the built-in pair of that index (0 to 17; 0 is the close
        pair); size code 2 selects the 43 x 43 set, any other the 27 x 27 one. Null for
        an index out of range.
    */
    virtual juce::ImageButton* createImageButton (const juce::String& name, int index, int sizeCode = 1);

    /** Sets the built-in pair of that index on an existing button; an index out of range
        leaves the button as it is.
    */
    virtual void setButtonIcon (juce::ImageButton& button, int index, int sizeCode = 1);

    /** Single images of the preset browser: 32 pixels high for size code 2, else 28.
        An invalid image for an index out of range.
    */
    virtual juce::Image getImage (int index, int sizeCode = 1);

    /** Pieces of the flat text buttons: for a style, the left, middle and right parts of
        the normal face, the same of the pressed face, and the focus mark (index
        7 × style + piece). An invalid image for an index out of range.
    */
    virtual juce::Image getImage2 (int index, int sizeCode = 1);

    //==============================================================================
    // Text buttons
    /** A new TextButtonEx showing the text, in the style of this look-and-feel. */
    virtual TextButtonEx* createTextButtonEx (const juce::String& text);
    /** Gives the button the seven images of its style. */
    virtual void styleTextButtonEx (TextButtonEx& button, int style);

    //==============================================================================
    // WindowComponent::LookAndFeelMethods
    juce::Font getWindowTitleFont (WindowComponent&) override;
    void setCloseButtonImages (juce::ImageButton&) override;
    void drawWindowComponent (juce::Graphics&, WindowComponent&) override;

    // HardLabel::LookAndFeelMethods
    void drawHardLabel (juce::Graphics&, HardLabel&) override;

    // PanelComponent::LookAndFeelMethods
    juce::Font getPanelFont (PanelComponent&) override;

    //==============================================================================
    // JUCE operations drawn differently
    juce::Typeface::Ptr getTypefaceForFont (const juce::Font&) override;

    bool areScrollbarButtonsVisible() override;
    void drawScrollbarButton (juce::Graphics&, juce::ScrollBar&, int width, int height,
                              int buttonDirection, bool isScrollbarVertical,
                              bool isMouseOverButton, bool isButtonDown) override;
    void drawScrollbar (juce::Graphics&, juce::ScrollBar&, int x, int y, int width, int height,
                        bool isScrollbarVertical, int thumbStartPosition, int thumbSize,
                        bool isMouseOver, bool isMouseDown) override;
    int getDefaultScrollbarWidth() override;
    int getScrollbarButtonSize (juce::ScrollBar&) override;

    juce::Font getTextButtonFont (juce::TextButton&, int buttonHeight) override;
    void drawDrawableButton (juce::Graphics&, juce::DrawableButton&,
                             bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown) override;
    void drawImageButton (juce::Graphics&, juce::Image*, int imageX, int imageY, int imageW, int imageH,
                          const juce::Colour& overlayColour, float imageOpacity, juce::ImageButton&) override;

    void drawTextEditorOutline (juce::Graphics&, int width, int height, juce::TextEditor&) override;
    void drawFileBrowserRow (juce::Graphics&, int width, int height, const juce::File&,
                             const juce::String& filename, juce::Image* icon,
                             const juce::String& fileSizeDescription, const juce::String& fileTimeDescription,
                             bool isDirectory, bool isItemSelected, int itemIndex,
                             juce::DirectoryContentsDisplayComponent&) override;
    void layoutFileBrowserComponent (juce::FileBrowserComponent&, juce::DirectoryContentsDisplayComponent*,
                                     juce::FilePreviewComponent*, juce::ComboBox* currentPathBox,
                                     juce::TextEditor* filenameBox, juce::Button* goUpButton) override;

    juce::Font getComboBoxFont (juce::ComboBox&) override;
    void positionComboBoxText (juce::ComboBox&, juce::Label&) override;
    juce::Font getLabelFont (juce::Label&) override;

    void drawLinearSliderBackground (juce::Graphics&, int x, int y, int width, int height,
                                     float sliderPos, float minSliderPos, float maxSliderPos,
                                     const juce::Slider::SliderStyle, juce::Slider&) override;
    void drawLinearSliderThumb (juce::Graphics&, int x, int y, int width, int height,
                                float sliderPos, float minSliderPos, float maxSliderPos,
                                const juce::Slider::SliderStyle, juce::Slider&) override;
    int getSliderThumbRadius (juce::Slider&) override;

    void drawCornerResizer (juce::Graphics&, int w, int h, bool isMouseOver, bool isMouseDragging) override;
    void drawDocumentWindowTitleBar (juce::DocumentWindow&, juce::Graphics&, int w, int h,
                                     int titleSpaceX, int titleSpaceW, const juce::Image* icon,
                                     bool drawTitleTextOnLeft) override;
    void positionDocumentWindowButtons (juce::DocumentWindow&, int titleBarX, int titleBarY,
                                        int titleBarW, int titleBarH,
                                        juce::Button* minimiseButton, juce::Button* maximiseButton,
                                        juce::Button* closeButton, bool positionTitleBarButtonsOnLeft) override;

    /** Sizes the tip to its text in the standard font plus a margin. */
    juce::Rectangle<int> getTooltipBounds (const juce::String& tipText, juce::Point<int> screenPos,
                                           juce::Rectangle<int> parentArea) override;
    void drawTooltip (juce::Graphics&, const juce::String& text, int width, int height) override;

    int getTabButtonSpaceAroundImage() override;
    int getTabButtonOverlap (int tabDepth) override;
    int getTabButtonBestWidth (juce::TabBarButton&, int tabDepth) override;
    void createTabButtonShape (juce::TabBarButton&, juce::Path&, bool isMouseOver, bool isMouseDown) override;
    void fillTabButtonShape (juce::TabBarButton&, juce::Graphics&, const juce::Path&,
                             bool isMouseOver, bool isMouseDown) override;
    void drawTabButtonText (juce::TabBarButton&, juce::Graphics&, bool isMouseOver, bool isMouseDown) override;
    void drawTabButton (juce::TabBarButton&, juce::Graphics&, bool isMouseOver, bool isMouseDown) override;
    void drawTabAreaBehindFrontButton (juce::TabbedButtonBar&, juce::Graphics&, int w, int h) override;

    void drawProgressBar (juce::Graphics&, juce::ProgressBar&, int width, int height,
                          double progress, const juce::String& textToShow) override;
    void drawLevelMeter (juce::Graphics&, int width, int height, float level) override;

private:
    juce::Path arrows[4];   // up, right, down, left in a 13 x 13 box
    juce::Font standardFont, boldFont;
    juce::Typeface::Ptr sansTypefaces[4];   // regular, bold, italic, bold italic

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DefaultLookAndFeel)
};

//==============================================================================
/** Strokes a rounded rectangle inside the area, inset by half the thickness so the whole
    line stays inside it.
*/
void drawRoundedRectangleOutline (juce::Graphics&, juce::Rectangle<int> area, float cornerSize, float thickness);

/** Fills a rounded rectangle in the current colour or fill. */
void fillRoundedRectangle (juce::Graphics&, juce::Rectangle<int> area, float cornerSize);

/** Side flags for fillRoundedRectangleSide: which two corners are rounded. */
enum RoundedSide
{
    roundedLeft   = 1,
    roundedRight  = 2,
    roundedTop    = 8,
    roundedBottom = 16
};

/** Fills the area with radius-8 corners on one side only (any unknown side: the top). */
void fillRoundedRectangleSide (juce::Graphics&, juce::Rectangle<int> area, int side, juce::Colour);

/** Fills the area inset by 1 and outlines the whole area, both rounded. */
void drawFilledRoundedRectangle (juce::Graphics&, juce::Rectangle<int> area, float cornerSize,
                                 juce::Colour fill, juce::Colour outline, float thickness);

/** Paints over the 1-pixel border and the corners outside a corner-6 rounding of the area,
    then outlines the rounding in white: masks the square corners of what lies beneath.
*/
void fillAndOutlineRoundedRectangle (juce::Graphics&, juce::Rectangle<int> area, juce::Colour);

/** A glossy rounded box (corner 4) in the base colour, lit from above: check boxes and
    slider thumbs.
*/
void drawGlossyRoundedBox (juce::Graphics&, juce::Rectangle<float> box, juce::Colour base);

/** Drawable from SVG text whose outer element is "svg" (any case); null otherwise. */
std::unique_ptr<juce::Drawable> createDrawableFromSVG (const char* text, size_t numBytes);

/** A new copy of the built-in 32 x 32 icon (0 to 20; 0 is the window's close cross,
    20 the record mark of MIDI learn); null for an index out of range.
*/
std::unique_ptr<juce::Drawable> getStandardIcon (int index);

/** The built-in icon of that index, owned by the icon set; null out of range. */
const juce::Drawable* getStandardIconDrawable (int index);

/** Sets a copy of the icon as the button's only image, or clears its images when the
    index is out of range.
*/
void setStandardIconImage (juce::DrawableButton&, int index);

juce::ImageButton* createImageButtonFromImages (const juce::String& name, const juce::Image& normal,
                                                const juce::Image& pressed);
void setImageButtonImagesFrom (juce::ImageButton&, const juce::Image& normal, const juce::Image& pressed);
