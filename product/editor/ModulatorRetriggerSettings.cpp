#include "ModulatorRetriggerSettings.h"

#include "BoolParameter.h"
#include "EnumParameter.h"
#include "FloatParameter.h"
#include "NoteParameter.h"

namespace
{
    constexpr int modeOff = 0, modeNote = 1, modeTransient = 2;
    constexpr int panelGap = 10, sliderHeight = 50, windowTitleBarHeight = 17;

    void setCaption (HorizontalSlider& slider, const juce::String& text, const juce::StringArray& scale)
    {
        auto& caption = slider.getCaption();
        caption.setText (text, juce::dontSendNotification);
        caption.setJustificationType (juce::Justification::centredTop);
        caption.resizeToFitText();
        slider.setScaleLabels (scale);
    }
}

ModulatorRetriggerSettings::LF::LF()
{
    setColour (DefaultLookAndFeel::windowBackgroundColourId, juce::Colour (0xf0393633));
    setColour (DefaultLookAndFeel::windowFrameColourId, juce::Colour (0xff0c0c0c));
    setColour (juce::Label::textColourId, juce::Colours::white);
    setColour (juce::DrawableButton::textColourId, juce::Colours::white);
}

juce::Font ModulatorRetriggerSettings::LF::getWindowTitleFont (WindowComponent& window)
{
    return DefaultLookAndFeel::getWindowTitleFont (window).withHeight (13.0f);
}

//==============================================================================
ModulatorRetriggerSettings::ModulatorRetriggerSettings (const juce::String& title, EnumParameter* mode,
                                                        EnumParameter* channel, NoteParameter* note, BoolParameter* learn,
                                                        FloatParameter* speed, FloatParameter* thresholdLow, FloatParameter* thresholdHigh)
    : modeParameter (mode),
      learnParameter (learn)
{
    if (mode != nullptr)
    {
        modeChooser = std::make_unique<RadioButtons_V2> (*mode);
        modeChooser->getPanel().setTitle ("Retrigger mode");
        addAndMakeVisible (*modeChooser);
    }

    notePicker.setParameters (channel, note, learn);
    midiPanel.setContentComponent (&notePicker, false);
    addChildComponent (midiPanel);

    setCaption (speedSlider, "Speed", { "Slow", "Fast" });
    speedSlider.setParameter (speed);

    // The detector maps the range to levels; only its ends are named here.
    setCaption (thresholdSlider, "Threshold", { "0dB", "-30dB" });
    thresholdSlider.setParameters (thresholdLow, thresholdHigh);

    detectionRow.vertical = true;
    detectionRow.gap = 0;
    detectionRow.addAndMakeVisible (speedSlider);
    detectionRow.addAndMakeVisible (thresholdSlider);
    detectionPanel.setContentComponent (&detectionRow, false);
    addChildComponent (detectionPanel);

    setTitle (title);
    setIcon (nullptr);
    titleBarHeight = windowTitleBarHeight;
    translucent = true;
    setOpaque (false);
    setLookAndFeel (&lookAndFeel);

    if (modeParameter != nullptr)
        modeParameter->addAsyncListener (this);

    showPanelsForMode();
}

ModulatorRetriggerSettings::~ModulatorRetriggerSettings()
{
    if (modeParameter != nullptr)
        modeParameter->removeAsyncListener (this);

    setLookAndFeel (nullptr);
}

void ModulatorRetriggerSettings::showDetectorLevel (float level, bool triggered)
{
    // NaN fails every comparison: it ends up at 0 like any level below the range.
    thresholdSlider.setLevel (level > 0.0f ? juce::jmin (level, 1.0f) : 0.0f);
    thresholdSlider.getLevel().repaint();

    if (triggered)
        thresholdSlider.hit();
}

//==============================================================================
void ModulatorRetriggerSettings::parameterChanged (Parameter* parameter)
{
    if (parameter != nullptr && parameter == modeParameter)
        showPanelsForMode();
}

void ModulatorRetriggerSettings::showPanelsForMode()
{
    const auto mode = modeParameter != nullptr ? modeParameter->getIntValue() : modeOff;

    midiPanel.setVisible (mode == modeNote);
    detectionPanel.setVisible (mode == modeTransient);

    if (! midiPanel.isVisible())
        switchLearnOff();
}

void ModulatorRetriggerSettings::switchLearnOff()
{
    notePicker.getLearnToggle().setToggleState (false, juce::dontSendNotification);

    if (learnParameter != nullptr && learnParameter->getBoolValue())
        learnParameter->setBoolValue (false, true);
}

void ModulatorRetriggerSettings::visibilityChanged()
{
    WindowComponent::visibilityChanged();
    switchLearnOff();
}

void ModulatorRetriggerSettings::resized()
{
    WindowComponent::resized();

    const auto area = getContentBounds();
    auto modeWidth = area.getWidth() / 3;

    if (modeChooser != nullptr)
    {
        // The mode column takes a third, or more where the title's face is wider than the
        // one the window was drawn for; the panels on the right have room to spare.
        const auto& panel = modeChooser->getPanel();
        modeWidth = juce::jmax (modeWidth, (int) std::ceil (panel.getFont().getStringWidthFloat (panel.getTitle())) + 20);
        modeChooser->setBounds (area.getX(), area.getY(), modeWidth, area.getHeight());
    }

    const juce::Rectangle<int> panelArea (area.getX() + modeWidth + panelGap, area.getY(),
                                          area.getWidth() - modeWidth - panelGap, area.getHeight());
    midiPanel.setBounds (panelArea);
    detectionPanel.setBounds (panelArea);

    const auto inner = detectionPanel.getContentArea();
    speedSlider.setSize (inner.getWidth(), sliderHeight);
    thresholdSlider.setSize (inner.getWidth(), sliderHeight);
    detectionRow.setBounds (inner);
}
