#include "PresetsSettingsComponent.h"
#include "PresetCollection.h"

namespace
{
    juce::Font labelFont()  { return juce::Font ("Tahoma", 13.0f, juce::Font::plain); }
}

//==============================================================================
PresetsSettingsComponent::UpdateAuthorWindow::UpdateAuthorWindow (BasePlugin& p)
    : juce::Thread ("UpdateAuthorThread"),
      plugin (p)
{
    buttonRow.vertical = false;
    buttonRow.alignment = 0;
    buttonRow.gap = 6;

    for (auto* button : { &cancelButton, &okButton })
    {
        button->addListener (this);
        buttonRow.addAndMakeVisible (button);
    }

    addAndMakeVisible (buttonRow);

    for (auto* label : { &statusLabel, &progressLabel, &messageLabel })
    {
        label->setFont (labelFont());
        label->setJustificationType (juce::Justification::centredLeft);
        addAndMakeVisible (label);
    }

    setSize (400, 300);
    setTitle ("Updating own presets");
}

// The worker must be gone before the window it reports to: no time limit, since a thread
// left running would write into freed memory. Collections it went through are not read
// again here: the window goes with the editor, when the plug-in itself is going away.
PresetsSettingsComponent::UpdateAuthorWindow::~UpdateAuthorWindow()
{
    stopTimer();
    stopThread (-1);

    for (auto* button : { &cancelButton, &okButton })
        button->removeListener (this);
}

int PresetsSettingsComponent::UpdateAuthorWindow::getProgressPercent (int processed, int total) noexcept
{
    if (total <= 0)
        return 0;

    return (int) juce::jlimit<juce::int64> (0, 100, (juce::int64) processed * 100 / total);
}

void PresetsSettingsComponent::UpdateAuthorWindow::start()
{
    cancelButton.setEnabled (true);
    okButton.setEnabled (false);
    progressLabel.setVisible (true);
    statusLabel.setVisible (true);

    messageLabel.setText ("Operation can take a while. Please wait...", juce::dontSendNotification);
    progressLabel.setText ("Progress: 0%", juce::dontSendNotification);
    statusLabel.setText ({}, juce::dontSendNotification);

    show();

    if (! isThreadRunning())
    {
        rescanFinishedCollections();
        entries.clear();
        numCollections = juce::jmax (0, plugin.getNumPresetCollections());
        rescanPending.reset (new std::atomic<bool>[(size_t) numCollections]);

        for (int c = 0; c < numCollections; ++c)
        {
            rescanPending[(size_t) c] = false;

            if (auto* collection = plugin.getPresetCollection (c))
                for (auto& path : collection->getPresetPaths())
                    entries.push_back ({ c, path, collection->getDisplayPath (path).upToLastOccurrenceOf (".", false, false) });
        }

        progress = 0;
        finished = 0;
        startThread (juce::Thread::Priority::low);
    }

    startTimer (50);
}

void PresetsSettingsComponent::UpdateAuthorWindow::setStatusText (const juce::String& text)
{
    const juce::ScopedLock sl (statusLock);
    statusText = text;
}

void PresetsSettingsComponent::UpdateAuthorWindow::run()
{
    finished = 0;
    const auto total = (int) entries.size();

    if (threadShouldExit())
        return;

    int processed = 0;

    for (int c = 0; c < numCollections; ++c)
    {
        if (threadShouldExit())
            return;

        for (auto& entry : entries)
        {
            if (entry.collection != c)
                continue;

            plugin.updatePresetAuthor (entry.path);

            if (entry.path.isNotEmpty())
            {
                const juce::File file (entry.path);

                if (file.existsAsFile())
                    setStatusText (entry.displayName);
            }

            progress = getProgressPercent (++processed, total);

            if (threadShouldExit())
            {
                rescanPending[(size_t) c] = true;
                return;
            }
        }

        rescanPending[(size_t) c] = true;
    }

    finished = 1;
}

void PresetsSettingsComponent::UpdateAuthorWindow::rescanFinishedCollections()
{
    for (int c = 0; c < numCollections; ++c)
        if (rescanPending[(size_t) c].exchange (false))
            if (auto* collection = plugin.getPresetCollection (c))
                collection->refresh();
}

void PresetsSettingsComponent::UpdateAuthorWindow::timerCallback()
{
    rescanFinishedCollections();

    if (isThreadRunning())
    {
        progressLabel.setText ("Progress: " + juce::String (progress.load()) + "%", juce::dontSendNotification);
        const juce::ScopedLock sl (statusLock);
        statusLabel.setText (statusText, juce::dontSendNotification);
        return;
    }

    okButton.setEnabled (true);
    cancelButton.setEnabled (false);
    progressLabel.setVisible (false);
    statusLabel.setVisible (false);
    messageLabel.setText (finished.load() == 1 ? "Operation completed." : "Operation has been cancelled.",
                          juce::dontSendNotification);
}

void PresetsSettingsComponent::UpdateAuthorWindow::buttonClicked (juce::Button* button)
{
    if (button == &cancelButton)
        signalThreadShouldExit();
    else if (button == &okButton)
        close();

    WindowComponent::buttonClicked (button);
}

void PresetsSettingsComponent::UpdateAuthorWindow::resized()
{
    WindowComponent::resized();
    const auto content = getContentBounds();

    messageLabel.setBounds (content.getX(), content.getY(), content.getWidth(), 50);
    progressLabel.setBounds (content.getX(), messageLabel.getBottom(), content.getWidth(), 50);
    statusLabel.setBounds (content.getX(), progressLabel.getBottom(), content.getWidth(), 50);
    buttonRow.setTopLeftPosition (content.getRight() - buttonRow.getWidth(), content.getBottom() - buttonRow.getHeight());
}

void PresetsSettingsComponent::UpdateAuthorWindow::lookAndFeelChanged()
{
    WindowComponent::lookAndFeelChanged();
    cancelButton.changeWidthToFitText (20);
    okButton.changeWidthToFitText (20);
    resized();
}

//==============================================================================
PresetsSettingsComponent::PresetsSettingsComponent (BasePlugin& p)
    : plugin (p),
      updateWindow (p)
{
    juce::XmlElement settings ("TextInput");
    settings.setAttribute ("name", plugin.getAuthor());
    settings.setAttribute ("editable", "onDoubleClick");
    authorInput.loadFromXml (&settings, nullptr);
    authorInput.addListener (this);

    updateButton.addListener (this);
    row.vertical = false;
    row.alignment = 1;
    row.gap = 6;
    row.addAndMakeVisible (authorInput);
    row.addAndMakeVisible (updateButton);
    panel.setContentComponent (&row, false);
    addAndMakeVisible (panel);

    folderLabel.setFont (labelFont());
    folderLabel.setText ("Presets directory: " + plugin.getUserDataFolder().getFullPathName(), juce::dontSendNotification);
    addAndMakeVisible (folderLabel);

    addChildComponent (updateWindow);
}

PresetsSettingsComponent::~PresetsSettingsComponent()
{
    updateButton.removeListener (this);
}

void PresetsSettingsComponent::modalTextCommitted (ModalTextEditor& editor)
{
    plugin.setAuthor (editor.getText());
}

void PresetsSettingsComponent::buttonClicked (juce::Button* button)
{
    if (button == &updateButton && ! updateWindow.isVisible())
        updateWindow.start();
}

void PresetsSettingsComponent::resized()
{
    const auto width = getWidth();
    panel.setSize (width, (int) panel.getFont().getHeight() + 16 + row.getHeight());
    authorInput.setSize (juce::jmax (0, panel.getContentArea().getWidth() - updateButton.getWidth() - 6), 20);
    row.arrangeComponents();
    panel.setSize (width, (int) panel.getFont().getHeight() + 16 + row.getHeight());
    folderLabel.setBounds (0, panel.getBottom(), width, 20);
    repaint();
}

void PresetsSettingsComponent::lookAndFeelChanged()
{
    updateButton.changeWidthToFitText (20);
    resized();
}
