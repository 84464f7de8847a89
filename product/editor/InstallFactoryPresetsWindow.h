#pragma once

#include "CorvaneEditor.h"
#include "DefaultLookAndFeel.h"
#include "FactoryPresetUnpacker.h"
#include "WindowComponent.h"

#include <atomic>

/**
    The window that unpacks the factory presets into the user's data folder, when the
    user settings say that those of the current version are not installed yet.

    "Start" unpacks the archive that fits the installed version on a worker thread while
    a timer shows the progress and the current file; at the end the processor records the
    version, unless the unpacking failed or left a preset unwritten (then nothing is recorded
    and the window opens again with the next editor), and "OK" closes the window. It has no close button: it cannot be closed
    while the worker runs.
*/
class CorvaneEditor::InstallFactoryPresetsWindow  : public WindowComponent,
                                                    private juce::Timer,
                                                    private juce::Thread,
                                                    private FactoryPresetUnpacker::Listener
{
public:
    explicit InstallFactoryPresetsWindow (Corvane& processor);
    ~InstallFactoryPresetsWindow() override;

    /** Offers "Start" and shows the window. */
    void open();

    /** Asks the worker to stop and waits for it (up to 5 s). */
    void stopInstalling();

    /** The archive for the installed version; empty when there is none for it. */
    const juce::String& getArchivePath() const noexcept    { return archivePath; }
    int getProgress() const noexcept                        { return progress.load(); }

    juce::TextButton& getStartButton() noexcept             { return startButton; }
    juce::TextButton& getOkButton() noexcept                { return okButton; }
    juce::Label& getFileLabel() noexcept                    { return fileLabel; }
    juce::Label& getProgressLabel() noexcept                { return progressLabel; }
    juce::Label& getMessageLabel() noexcept                 { return messageLabel; }
    juce::Label& getCompletedLabel() noexcept               { return completedLabel; }

    /** @internal */
    void buttonClicked (juce::Button* button) override;
    /** @internal */
    bool keyPressed (const juce::KeyPress& key) override;
    /** @internal */
    void resized() override;

private:
    /** The window's look: its message in the bold standard font. */
    struct LF  : public DefaultLookAndFeel
    {
        juce::Font getLabelFont (juce::Label&) override    { return getStandardFont().boldened(); }
    };

    void run() override;
    void entryStarting (const juce::String& path) override;
    bool entryFinished (int index, int numEntries) override;
    void timerCallback() override;
    void showOutcome();
    /** The text with the archive's or the data folder's path, where it names one, shortened in
        its middle as far as needed for the whole text to fit the file label.
    */
    juce::String withPathsFitted (juce::String text);

    Corvane& processor;
    juce::TextButton startButton { "Start" }, okButton { "OK" };
    juce::Label fileLabel, progressLabel, messageLabel, completedLabel { {}, "Operation completed." };
    juce::String currentFileName, stopMessage, refusedText;
    std::atomic<int> progress { 0 }, done { 0 }, error { 0 };
    juce::String archivePath;
    // Guards the current file name, the message of a stopped installation and what it skipped.
    juce::CriticalSection fileNameLock;
    LF lookAndFeel;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (InstallFactoryPresetsWindow)
};
