#pragma once

#include "ComponentRow.h"
#include "PresetBrowser.h"
#include "ToolbarDrawableButton.h"
#include "WindowComponent.h"

/**
    The modal window for browsing and organising the presets of one collection: tool
    buttons above the column browser, "Restore default" and "OK" below it. Selecting a
    preset loads it at once, and the browser follows presets loaded elsewhere.

    The owner titles and sizes the window and calls refreshBrowser() once.
*/
class PresetBrowserWindow  : public WindowComponent,
                             public BasePlugin::Listener,
                             public PresetCollection::Listener
{
public:
    PresetBrowserWindow (BasePlugin& plugin, PresetCollection& collection);
    ~PresetBrowserWindow() override;

    /** Shows the root column alone. */
    void refreshBrowser();

    /** The collection's name, with the shown preset's name when an info column is open. */
    virtual void updateTitle();
    /** Enables the tool buttons that the browser's selection allows. */
    void updateButtons();
    /** Names the files and folders that the collection left out because their names are
        not valid UTF-8, beside the tool buttons; hidden when there are none.
    */
    void updateSkippedNote();

    PresetBrowser& getBrowser() noexcept                    { return browser; }
    ToolbarDrawableButton& getNewFolderButton() noexcept    { return newFolderButton; }
    ToolbarDrawableButton& getCopyButton() noexcept         { return copyButton; }
    ToolbarDrawableButton& getDeleteButton() noexcept       { return deleteButton; }
    ToolbarDrawableButton& getRescanButton() noexcept       { return rescanButton; }
    juce::TextButton& getRestoreButton() noexcept           { return restoreButton; }
    juce::TextButton& getOkButton() noexcept                { return okButton; }
    juce::Label& getSkippedNote() noexcept                  { return skippedNote; }
    /** The strip under the browser, holding the OK button. */
    ComponentRow& getOkRow() noexcept                       { return okRow; }

    void buttonClicked (juce::Button*) override;
    /** May come from any thread that loads presets. */
    void presetLoaded (PresetCollection*) override;
    /** May come from any thread that changes the collection. */
    void presetCollectionChanged (PresetCollection*) override;

    /** @internal */
    void paint (juce::Graphics&) override;
    /** @internal */
    void resized() override;
    /** @internal */
    void childBoundsChanged (juce::Component*) override;
    /** @internal */
    bool dimsBackground() override                          { return true; }

protected:
    BasePlugin& plugin;
    PresetCollection& collection;

private:
    void showCurrentDirectoryAgain();

    PresetBrowser browser;
    ComponentRow toolRow, okRow;
    ToolbarDrawableButton newFolderButton { "New Folder", 11 }, copyButton { "Copy", 1 },
                          deleteButton { "Delete", 12 }, rescanButton { "Rescan", 13 };
    juce::TextButton restoreButton { "Restore default" }, okButton { "OK" };
    juce::Label skippedNote;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PresetBrowserWindow)
};
