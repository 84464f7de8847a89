#include "CorvaneProcessingSettingsComponent.h"
#include "CorvaneParameterIds.h"
#include "EnumParameter.h"
#include "IntParameter.h"

namespace
{
    using Ids = CorvaneParameterIds;

    struct PickerBinding
    {
        int channel, note, learn;
    };

    // Default MOD 1, default MOD 2, current MOD 1, current MOD 2: the pickers' order.
    constexpr PickerBinding pickerBindings[] = {
        { Ids::defaultMod1RetriggerChannel, Ids::defaultMod1RetriggerNote, Ids::defaultMod1RetriggerLearn },
        { Ids::defaultMod2RetriggerChannel, Ids::defaultMod2RetriggerNote, Ids::defaultMod2RetriggerLearn },
        { Ids::mod1RetriggerChannel, Ids::mod1RetriggerNote, Ids::mod1RetriggerLearn },
        { Ids::mod2RetriggerChannel, Ids::mod2RetriggerNote, Ids::mod2RetriggerLearn }
    };

    void fitPanel (PanelComponent& panel, int width)
    {
        auto* content = panel.getContentComponent();
        const auto contentWidth = content != nullptr ? content->getWidth() : 0;
        const auto contentHeight = content != nullptr ? content->getHeight() : 0;

        if (width < 0)
            width = juce::jmax (panel.getFont().getStringWidth (panel.getTitle()) + 20, contentWidth + 16);

        panel.setSize (width, (int) panel.getFont().getHeight() + 16 + contentHeight);
    }
}

CorvaneProcessingSettingsComponent::CorvaneProcessingSettingsComponent (BasePlugin& p)
    : plugin (p)
{
    const auto pickers = getPickers();
    PanelComponent* modPanels[] = { &defaultMod1Panel, &defaultMod2Panel, &currentMod1Panel, &currentMod2Panel };

    for (int i = 0; i < 4; ++i)
    {
        modPanels[i]->setLookAndFeel (&ownLookAndFeel);
        modPanels[i]->setContentComponent (pickers[(size_t) i], false);
        (i < 2 ? defaultRow : currentRow).addAndMakeVisible (modPanels[i]);
    }

    for (auto* row : { &defaultRow, &currentRow })
    {
        row->vertical = false;
        row->gap = 6;
        row->arrangeComponents();
    }

    defaultNotePanel.setContentComponent (&defaultRow, false);
    currentNotePanel.setContentComponent (&currentRow, false);

    juce::StringArray scale;

    for (int i = 1; i <= 15; ++i)
        scale.add (juce::String (i));

    defaultLengthSlider.setScaleLabels (scale);
    currentLengthSlider.setScaleLabels (scale);

    currentLengthColumn.vertical = true;
    currentLengthColumn.addAndMakeVisible (currentLengthSlider);
    defaultLengthPanel.setContentComponent (&defaultLengthSlider, false);
    currentLengthPanel.setContentComponent (&currentLengthColumn, false);

    addChildComponent (restartLabel);

    for (auto* panel : { &defaultNotePanel, &currentNotePanel, &defaultLengthPanel, &currentLengthPanel })
        addAndMakeVisible (panel);

    bindParameters();
}

CorvaneProcessingSettingsComponent::~CorvaneProcessingSettingsComponent()
{
    for (auto* panel : { &defaultMod1Panel, &defaultMod2Panel, &currentMod1Panel, &currentMod2Panel })
        panel->setLookAndFeel (nullptr);
}

MidiNoteAndChannelComponent& CorvaneProcessingSettingsComponent::getPicker (bool isDefault, int modulator) noexcept
{
    if (isDefault)
        return modulator == 1 ? defaultMod2Picker : defaultMod1Picker;

    return modulator == 1 ? currentMod2Picker : currentMod1Picker;
}

std::array<MidiNoteAndChannelComponent*, 4> CorvaneProcessingSettingsComponent::getPickers() noexcept
{
    return { &defaultMod1Picker, &defaultMod2Picker, &currentMod1Picker, &currentMod2Picker };
}

void CorvaneProcessingSettingsComponent::bindParameters()
{
    auto& parameters = plugin.parameterManager;
    const auto pickers = getPickers();

    for (size_t i = 0; i < pickers.size(); ++i)
        pickers[i]->setParameters (dynamic_cast<EnumParameter*> (parameters.getParameter (pickerBindings[i].channel)),
                                   parameters.getParameter (pickerBindings[i].note),
                                   parameters.getParameter (pickerBindings[i].learn));

    if (auto* length = dynamic_cast<IntParameter*> (parameters.getParameter (Ids::defaultMaximumDelayLength)))
        defaultLengthSlider.setParameter (length);

    if (auto* length = dynamic_cast<IntParameter*> (parameters.getParameter (Ids::maximumDelayLength)))
        currentLengthSlider.setParameter (length);
}

void CorvaneProcessingSettingsComponent::resized()
{
    ProcessingSettingsComponent::resized();

    const auto area = getRemainingArea();
    const auto half = area.getWidth() / 2 - 3;

    const std::pair<PanelComponent*, PanelComponent*> columns[] = { { &defaultNotePanel, &defaultLengthPanel },
                                                                    { &currentNotePanel, &currentLengthPanel } };

    for (int c = 0; c < 2; ++c)
    {
        auto* notePanel = columns[c].first;
        auto* row = c == 0 ? &defaultRow : &currentRow;
        notePanel->setTopLeftPosition (area.getX() + c * (half + 6), area.getY());
        notePanel->setSize (half, notePanel->getHeight());

        const auto modWidth = notePanel->getContentArea().getWidth() / 2 - 3;

        for (int i = 0; i < row->getNumChildComponents(); ++i)
        {
            auto* modPanel = dynamic_cast<PanelComponent*> (row->getChildComponent (i));
            auto* picker = modPanel->getContentComponent();
            modPanel->setSize (modWidth, (int) modPanel->getFont().getHeight() + 16 + picker->getHeight());
            fitPanel (*modPanel, modWidth);
        }

        row->arrangeComponents();
        fitPanel (*notePanel, half);

        auto* lengthPanel = columns[c].second;
        auto& slider = c == 0 ? defaultLengthSlider : currentLengthSlider;
        slider.setSize (half - 16, 40);
        currentLengthColumn.arrangeComponents();
        lengthPanel->setTopLeftPosition (notePanel->getX(), notePanel->getBottom() + 6);
        fitPanel (*lengthPanel, half);
    }
}

// Text is measured only once the look-and-feel that maps the fonts is in place.
void CorvaneProcessingSettingsComponent::lookAndFeelChanged()
{
    ProcessingSettingsComponent::lookAndFeelChanged();
    restartLabel.resizeToFitText (18);
}

void CorvaneProcessingSettingsComponent::visibilityChanged()
{
    for (int i = 0; i < 4; ++i)
    {
        auto& toggle = getPickers()[(size_t) i]->getLearnToggle();

        if (toggle.getToggleState())
        {
            toggle.setToggleState (false, juce::dontSendNotification);

            if (auto* learn = plugin.parameterManager.getParameter (pickerBindings[i].learn))
                learn->setBoolValue (false, true);
        }
    }
}
