#pragma once

#include "BasePlugin.h"
#include "ComponentRow.h"
#include "PanelComponent.h"
#include "TextInput.h"
#include "WindowComponent.h"

#include <atomic>

/**
    The options page "Presets": the author written into the presets the user saves, the
    folder where the user's presets live, and "Update presets", which stamps the current
    author into every preset of the user's own in a progress window.
*/
class PresetsSettingsComponent  : public juce::Component,
                                  public juce::Button::Listener,
                                  public ModalTextEditor::ModalListener
{
public:
    /** The progress window of "Update presets", with the worker thread that does the work.

        The worker never touches a preset collection: it walks a copy of the paths made on
        the message thread, and the collections it has gone through are scanned again by
        the window's timer, on the message thread, which otherwise owns them.
    */
    class UpdateAuthorWindow  : public WindowComponent,
                                public juce::Timer,
                                public juce::Thread
    {
    public:
        explicit UpdateAuthorWindow (BasePlugin& plugin);
        ~UpdateAuthorWindow() override;

        /** Shows the window with the start texts and starts a run, unless one still goes on. */
        void start();
        void setStatusText (const juce::String& text);

        juce::Button& getCancelButton() noexcept            { return cancelButton; }
        juce::Button& getOkButton() noexcept                { return okButton; }
        juce::Label& getMessageLabel() noexcept             { return messageLabel; }
        juce::Label& getProgressLabel() noexcept            { return progressLabel; }
        juce::Label& getStatusLabel() noexcept              { return statusLabel; }
        bool hasFinished() const noexcept                   { return finished.load() != 0; }

        /** Whole percent done: integer arithmetic, clamped to 0 .. 100. */
        static int getProgressPercent (int processed, int total) noexcept;

        //==============================================================================
        /** @internal */
        void run() override;
        /** @internal */
        void timerCallback() override;
        /** @internal */
        void buttonClicked (juce::Button*) override;
        /** @internal */
        void resized() override;
        /** @internal */
        void lookAndFeelChanged() override;

    private:
        struct Entry
        {
            int collection;
            juce::String path, displayName;
        };

        void rescanFinishedCollections();

        BasePlugin& plugin;
        ComponentRow buttonRow;
        juce::TextButton cancelButton { "Cancel" }, okButton { "OK" };
        juce::Label statusLabel, progressLabel, messageLabel;
        juce::String statusText;
        juce::CriticalSection statusLock;
        std::atomic<int> progress { 0 }, finished { 0 };
        std::vector<Entry> entries;
        int numCollections = 0;
        // One flag per collection the worker has gone through; the timer rescans them.
        std::unique_ptr<std::atomic<bool>[]> rescanPending;

        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (UpdateAuthorWindow)
    };

    explicit PresetsSettingsComponent (BasePlugin& plugin);
    ~PresetsSettingsComponent() override;

    TextInput& getAuthorInput() noexcept                    { return authorInput; }
    juce::Button& getUpdateButton() noexcept                { return updateButton; }
    UpdateAuthorWindow& getUpdateWindow() noexcept          { return updateWindow; }
    juce::Label& getFolderLabel() noexcept                  { return folderLabel; }

    //==============================================================================
    /** @internal */
    void modalTextCommitted (ModalTextEditor&) override;
    /** @internal */
    void buttonClicked (juce::Button*) override;
    /** @internal */
    void resized() override;
    /** @internal */
    void lookAndFeelChanged() override;

private:
    BasePlugin& plugin;
    PanelComponent panel { "Author" };
    juce::TextButton updateButton { "Update presets" };
    TextInput authorInput { {} };
    ComponentRow row;
    UpdateAuthorWindow updateWindow;
    juce::Label folderLabel;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PresetsSettingsComponent)
};
