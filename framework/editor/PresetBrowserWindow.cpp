#include "PresetBrowserWindow.h"
#include "PresetInfoColumn.h"

PresetBrowserWindow::PresetBrowserWindow (BasePlugin& p, PresetCollection& c)
    : plugin (p), collection (c), browser (*this, p, c)
{
    toolRow.gap = 2;

    for (auto* button : { &newFolderButton, &copyButton, &deleteButton, &rescanButton })
    {
        button->setSize (24, 24);
        button->addListener (this);
        toolRow.addAndMakeVisible (button);
    }

    for (auto* button : { &restoreButton, &okButton })
    {
        button->changeWidthToFitText (20);
        button->addListener (this);
    }

    skippedNote.setColour (juce::Label::textColourId, juce::Colours::darkred);
    skippedNote.setMinimumHorizontalScale (1.0f);
    addChildComponent (skippedNote);

    okRow.addAndMakeVisible (okButton);
    addAndMakeVisible (restoreButton);
    addAndMakeVisible (toolRow);
    addAndMakeVisible (okRow);
    addAndMakeVisible (browser);

    plugin.addListener (this);
    collection.addListener (this);
}

PresetBrowserWindow::~PresetBrowserWindow()
{
    // Loading presets and rescans go on after the window is gone.
    plugin.removeListener (this);
    collection.removeListener (this);

    for (auto* button : { &newFolderButton, &copyButton, &deleteButton, &rescanButton })
        button->removeListener (this);

    restoreButton.removeListener (this);
    okButton.removeListener (this);
}

void PresetBrowserWindow::refreshBrowser()
{
    browser.refresh();
}

void PresetBrowserWindow::updateTitle()
{
    auto* info = dynamic_cast<PresetBrowser::PresetInfoColumn*> (browser.getColumn (browser.getNumColumns() - 1));

    if (info != nullptr && info->getPath().isNotEmpty())
        setTitle (collection.getName() + " - " + juce::File (info->getPath()).getFileNameWithoutExtension());
    else
        setTitle (collection.getName());
}

void PresetBrowserWindow::updateButtons()
{
    const auto apply = [] (juce::Button& button, bool enabled)
    {
        if (button.isEnabled() != enabled)
            button.setEnabled (enabled);
    };

    apply (newFolderButton, browser.getCurrentDirectoryPath().isNotEmpty());
    apply (copyButton, browser.canCopy());
    apply (deleteButton, browser.hasSelection());
}

void PresetBrowserWindow::updateSkippedNote()
{
    const auto skipped = collection.getSkippedPaths();
    const auto text = skipped.isEmpty() ? juce::String()
                                        : "Not shown, as their names are not valid UTF-8: " + skipped.joinIntoString (", ");

    if (text != skippedNote.getText())
    {
        skippedNote.setText (text, juce::dontSendNotification);
        skippedNote.setTooltip (skipped.joinIntoString ("\n"));
        skippedNote.setVisible (text.isNotEmpty());
    }
}

void PresetBrowserWindow::showCurrentDirectoryAgain()
{
    browser.setPendingPath (browser.getCurrentDirectoryPath(), false);
}

void PresetBrowserWindow::buttonClicked (juce::Button* button)
{
    WindowComponent::buttonClicked (button);

    if (button == &restoreButton)
    {
        plugin.loadDefaultPreset (&collection);
        showCurrentDirectoryAgain();
    }
    else if (button == &okButton)
    {
        close();
    }
    else if (button == &rescanButton)
    {
        collection.refresh();
    }
    else if (button == &copyButton)
    {
        browser.copySelected();
    }
    else if (button == &newFolderButton)
    {
        if (collection.createFolder (browser.getCurrentDirectoryPath()).isNotEmpty())
            showCurrentDirectoryAgain();
    }
    else if (button == &deleteButton)
    {
        browser.deleteSelected();
    }
}

// Neither callback may wait for the message thread: a worker that calls them can itself be
// waited for by the message thread. Both only store a path and post the update.
void PresetBrowserWindow::presetLoaded (PresetCollection* changed)
{
    if (changed == &collection && ! plugin.isPresetLoaded (&collection))
        browser.setPendingPath (plugin.getCurrentPresetName (&collection), false);
}

void PresetBrowserWindow::presetCollectionChanged (PresetCollection* changed)
{
    if (changed == &collection)
        browser.setPendingPath (browser.getPendingPath(), true);
}

void PresetBrowserWindow::paint (juce::Graphics& g)
{
    WindowComponent::paint (g);

    if (! browser.isVisible())
    {
        g.setColour (juce::Colours::black);
        g.setFont (juce::Font (20.0f, juce::Font::bold));
        g.drawText ("...LOADING...", juce::Rectangle<int> (0, getHeight() / 2, getWidth(), 30), juce::Justification::centred);
    }
}

void PresetBrowserWindow::resized()
{
    WindowComponent::resized();

    auto area = getContentBounds();
    toolRow.setTopLeftPosition (area.getTopLeft());
    skippedNote.setBounds (juce::Rectangle<int>::leftTopRightBottom (toolRow.getRight() + 10, area.getY(),
                                                                     area.getRight(), toolRow.getBottom()));

    const auto strip = area.removeFromBottom (okRow.getHeight() + 10);
    area.removeFromTop (toolRow.getHeight() + 4);
    browser.setBounds (area);

    okRow.setTopLeftPosition (strip.getRight() - okRow.getWidth(), strip.getY() + 5);
    restoreButton.setTopLeftPosition (area.getX(), strip.getY() + 5);
}

void PresetBrowserWindow::childBoundsChanged (juce::Component* child)
{
    if (child == &toolRow || child == &okRow)
        resized();
}
