#include "InstallFactoryPresetsWindow.h"

#include "RegularFileInputStream.h"

namespace
{
    const juce::String fullArchive ("Corvane Factory Presets v1.1 - full.zip");
    const juce::String updateArchive ("Corvane Factory Presets v1.1 - update.zip");
    const juce::String notFoundText ("Error: Installation file with factory presets not found.\n");

    constexpr int buttonHeight = 20, margin = 10, timerMs = 25, stopTimeoutMs = 5000;
}

CorvaneEditor::InstallFactoryPresetsWindow::InstallFactoryPresetsWindow (Corvane& p)
    : juce::Thread ("InstallFactoryPresetsThread"),
      processor (p)
{
    for (auto* button : { &startButton, &okButton })
    {
        button->addListener (this);
        button->changeWidthToFitText (buttonHeight);
        addChildComponent (*button);
    }

    fileLabel.setJustificationType (juce::Justification::centredLeft);
    progressLabel.setJustificationType (juce::Justification::centred);
    messageLabel.setJustificationType (juce::Justification::centredTop);
    completedLabel.setJustificationType (juce::Justification::centred);
    messageLabel.setLookAndFeel (&lookAndFeel);

    addChildComponent (fileLabel);
    addChildComponent (progressLabel);
    addAndMakeVisible (messageLabel);
    addChildComponent (completedLabel);

    const auto installed = processor.getInstalledFactoryPresetsVersion();
    const auto folder = processor.getCommonDataFolder();

    if (installed.isEmpty())
    {
        messageLabel.setText ("Factory presets need to be installed now.\nIt will take just a while...", juce::dontSendNotification);
        archivePath = folder.getChildFile (fullArchive).getFullPathName();
    }
    else if (installed == "1.0")
    {
        messageLabel.setText ("New presets (v1.1) need to be installed now.\nIt will take just a while...", juce::dontSendNotification);
        archivePath = folder.getChildFile (updateArchive).getFullPathName();
    }

    setTitle ("Presets initalization");
    closable = false;
    updateCloseButton();
    setSize (500, 180);
}

CorvaneEditor::InstallFactoryPresetsWindow::~InstallFactoryPresetsWindow()
{
    stopInstalling();
    stopTimer();
    messageLabel.setLookAndFeel (nullptr);
}

void CorvaneEditor::InstallFactoryPresetsWindow::open()
{
    startButton.setVisible (true);
    startButton.setEnabled (true);
    okButton.setVisible (false);
    okButton.setEnabled (false);
    show();
}

void CorvaneEditor::InstallFactoryPresetsWindow::stopInstalling()
{
    signalThreadShouldExit();
    waitForThreadToExit (stopTimeoutMs);
}

void CorvaneEditor::InstallFactoryPresetsWindow::buttonClicked (juce::Button* button)
{
    if (button == &startButton)
    {
        startButton.setEnabled (false);
        progressLabel.setText ("Progress: 0%", juce::dontSendNotification);
        fileLabel.setText ({}, juce::dontSendNotification);
        progressLabel.setVisible (true);
        fileLabel.setVisible (true);
        startThread (juce::Thread::Priority::normal);
        startTimer (timerMs);
    }
    else if (button == &okButton)
    {
        close();
    }
    else
    {
        WindowComponent::buttonClicked (button);
    }
}

//==============================================================================
void CorvaneEditor::InstallFactoryPresetsWindow::run()
{
    done = 0;
    error = 0;

    const auto destination = processor.getUserDataFolder();
    const auto archive = archivePath.isNotEmpty() ? juce::File (archivePath) : juce::File();

    if (! archive.existsAsFile() || ! destination.isDirectory())
    {
        error = 1;
        return;
    }

    // Read as every file from outside is: a FIFO in its place would hold this thread, and
    // the window's stop with it, for good.
    const auto archiveStream = RegularFileInputStream::open (archive, FactoryPresetUnpacker::defaultSizeLimit);
    auto result = juce::Result::fail (FactoryPresetUnpacker::describeUnreadableArchive());

    if (archiveStream != nullptr)
    {
        FactoryPresetUnpacker unpacker (*archiveStream);
        result = unpacker.unpackInto (destination, *this);

        const juce::ScopedLock sl (fileNameLock);
        refusedText = unpacker.describeRefusedEntries();
    }

    if (result.failed())
    {
        const juce::ScopedLock sl (fileNameLock);
        stopMessage = result.getErrorMessage();
        error = 2;
        return;
    }

    if (threadShouldExit())
        return;

    processor.setFactoryPresetsInstalled();
    done = 1;
}

void CorvaneEditor::InstallFactoryPresetsWindow::entryStarting (const juce::String& path)
{
    if (path.containsChar ('.'))
    {
        const juce::ScopedLock sl (fileNameLock);
        currentFileName = path.upToLastOccurrenceOf (".", false, false);
    }
}

bool CorvaneEditor::InstallFactoryPresetsWindow::entryFinished (int index, int numEntries)
{
    progress = juce::jlimit (0, 100, (int) ((float) (index + 1) / (float) numEntries * 100.0f));
    return ! threadShouldExit();
}

void CorvaneEditor::InstallFactoryPresetsWindow::timerCallback()
{
    if (isThreadRunning())
    {
        progressLabel.setText ("Progress: " + juce::String (progress.load()) + "%", juce::dontSendNotification);

        const juce::ScopedLock sl (fileNameLock);
        fileLabel.setText (currentFileName, juce::dontSendNotification);
        return;
    }

    showOutcome();
    stopTimer();
}

void CorvaneEditor::InstallFactoryPresetsWindow::showOutcome()
{
    startButton.setVisible (false);
    okButton.setVisible (true);
    okButton.setEnabled (true);
    progressLabel.setVisible (false);
    resized();

    if (done.load() == 1)
    {
        const juce::ScopedLock sl (fileNameLock);
        completedLabel.setText (refusedText.isEmpty() ? "Operation completed." : "Operation completed.\n" + refusedText,
                                juce::dontSendNotification);
        completedLabel.setVisible (true);
        fileLabel.setVisible (false);
    }
    else if (error.load() == 2)
    {
        const juce::ScopedLock sl (fileNameLock);
        fileLabel.setText (withPathsFitted (stopMessage), juce::dontSendNotification);
    }
    else if (error.load() != 1)
    {
        fileLabel.setText ("Operation has been interrupted.", juce::dontSendNotification);
    }
    else
    {
        fileLabel.setText (withPathsFitted (notFoundText + archivePath), juce::dontSendNotification);
    }
}

juce::String CorvaneEditor::InstallFactoryPresetsWindow::withPathsFitted (juce::String text)
{
    auto& lf = fileLabel.getLookAndFeel();
    const auto font = lf.getLabelFont (fileLabel);
    const auto area = lf.getLabelBorderSize (fileLabel).subtractedFrom (fileLabel.getLocalBounds()).toFloat();

    // Measured as the label lays out a text of several lines; beyond its height it would lose
    // its first and last lines.
    const auto fits = [&font, &area] (const juce::String& candidate)
    {
        juce::GlyphArrangement glyphs;
        glyphs.addJustifiedText (font, candidate, 0.0f, 0.0f, area.getWidth(), juce::Justification::left);
        return glyphs.getBoundingBox (0, -1, false).getHeight() <= area.getHeight();
    };

    for (const auto& path : { archivePath, processor.getUserDataFolder().getFullPathName() })
    {
        if (path.isEmpty() || ! text.contains (path) || fits (text))
            continue;

        const auto length = path.length();
        const auto shortened = [&text, &path, length] (int numLeftOut)
        {
            return text.replace (path, path.substring (0, (length - numLeftOut) / 2) + "..."
                                         + path.substring ((length + numLeftOut) / 2));
        };

        // The fewest characters left out of the path's middle for the whole text to fit.
        int enough = length, tooFew = 0;

        while (enough - tooFew > 1)
        {
            const auto middle = (enough + tooFew) / 2;
            (fits (shortened (middle)) ? enough : tooFew) = middle;
        }

        text = shortened (enough);
    }

    return text;
}

bool CorvaneEditor::InstallFactoryPresetsWindow::keyPressed (const juce::KeyPress& key)
{
    if (! key.isKeyCode (juce::KeyPress::returnKey))
        return WindowComponent::keyPressed (key);

    // Return answers the window as it answers an alert: "Start" first, then "OK".
    for (auto* button : { &startButton, &okButton })
    {
        if (button->isVisible() && button->isEnabled())
        {
            button->triggerClick();
            break;
        }
    }

    return true;
}

void CorvaneEditor::InstallFactoryPresetsWindow::resized()
{
    WindowComponent::resized();

    auto area = getContentBounds().reduced (margin, 0);
    auto rows = area;

    messageLabel.setBounds (rows.removeFromTop (40));
    completedLabel.setBounds (rows.withHeight (50));
    progressLabel.setBounds (rows.removeFromTop (20));
    fileLabel.setBounds (rows.removeFromTop (40));

    const auto strip = area.removeFromBottom (startButton.getHeight());

    // An outcome may need more lines than the current file did: it takes the progress row,
    // no longer shown, and the room down to the buttons.
    if (okButton.isVisible())
        fileLabel.setBounds (fileLabel.getBounds().withTop (progressLabel.getY()).withBottom (strip.getY()));

    for (auto* button : { &startButton, &okButton })
        button->setTopLeftPosition (strip.getX() + (strip.getWidth() - button->getWidth()) / 2, strip.getY());
}
