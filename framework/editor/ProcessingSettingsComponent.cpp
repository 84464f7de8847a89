#include "ProcessingSettingsComponent.h"

namespace
{
    constexpr int gap = 6;

    void setUpRow (ComponentRow& row, bool vertical, int alignment)
    {
        row.vertical = vertical;
        row.alignment = alignment;
        row.gap = gap;
        row.arrangeComponents();
    }

    /** The panel's own fit rule when no width is imposed; else the width given. */
    void placePanel (PanelComponent& panel, int x, int width)
    {
        const auto& font = panel.getFont();
        auto* content = panel.getContentComponent();
        const auto contentHeight = content != nullptr ? content->getHeight() : 0;

        if (width < 0)
            width = juce::jmax (juce::roundToInt (font.getStringWidthFloat (panel.getTitle())) + 20,
                                (content != nullptr ? content->getWidth() : 0) + 16);

        panel.setBounds (x, 0, width, static_cast<int> (font.getHeight()) + 16 + contentHeight);
    }
}

ProcessingSettingsComponent::QualityPanel::QualityPanel (const juce::String& title)
    : PanelComponent (title)
{
    realtimeLabel.setText ("Real-time", juce::dontSendNotification);
    offlineLabel.setText ("Offline", juce::dontSendNotification);
    realtimeLabel.setBorderSize ({ 0, 0, 0, 0 });
    offlineLabel.setBorderSize ({ 0, 0, 0, 0 });

    realtimeCombo.setSize (200, 20);
    offlineCombo.setSize (200, 20);

    setUpRow (realtimeRow, false, 1);
    setUpRow (offlineRow, false, 1);
    realtimeRow.addAndMakeVisible (realtimeLabel);
    realtimeRow.addAndMakeVisible (realtimeCombo);
    offlineRow.addAndMakeVisible (offlineLabel);
    offlineRow.addAndMakeVisible (offlineCombo);

    setUpRow (column, true, 0);
    column.addAndMakeVisible (realtimeRow);
    column.addAndMakeVisible (offlineRow);
    setContentComponent (&column, true);
}

void ProcessingSettingsComponent::QualityPanel::fitLabels()
{
    const auto width = juce::jmax (realtimeLabel.getTextWidth(), offlineLabel.getTextWidth());
    realtimeLabel.setSize (width, 20);
    offlineLabel.setSize (width, 20);
}

//==============================================================================
ProcessingSettingsComponent::ProcessingSettingsComponent()
{
    addAndMakeVisible (defaultQualityPanel);
    addAndMakeVisible (currentQualityPanel);
}

ProcessingSettingsComponent::~ProcessingSettingsComponent() = default;

juce::Rectangle<int> ProcessingSettingsComponent::getRemainingArea() const
{
    return getLocalBounds().withTop (defaultQualityPanel.getBottom() + gap);
}

void ProcessingSettingsComponent::resized()
{
    const auto half = getWidth() / 2 - 3;

    placePanel (defaultQualityPanel, 0, half);
    placePanel (currentQualityPanel, defaultQualityPanel.getRight() + gap, half);
}

void ProcessingSettingsComponent::lookAndFeelChanged()
{
    defaultQualityPanel.fitLabels();
    currentQualityPanel.fitLabels();
}
