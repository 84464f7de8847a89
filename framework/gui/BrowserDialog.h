#pragma once

#include "FileDialogs.h"
#include "FolderBrowser.h"
#include "OwnerWatcher.h"

/**
    The toolkit's file chooser window, for desktops without a chooser of their own: the
    request's title, a FolderBrowser, and its buttons; when saving, a New Folder button.

    The window owns its questions (the overwrite question, the New Folder box and what it
    says when a folder cannot be made), and closes with them, answering nothing, as soon as
    the component that opened it is deleted or hidden.
*/
class BrowserDialog  : public juce::ResizableWindow
{
public:
    /** Opens a dialog for the owner; answered is called once unless the owner goes first. */
    static void launch (juce::Component& owner, const FileDialogs::Request& request,
                        std::function<void (const FileDialogs::Answer&)> answered);

    ~BrowserDialog() override;

    FolderBrowser& getBrowser() noexcept        { return browser; }

    void resized() override;
    void paint (juce::Graphics&) override;
    bool keyPressed (const juce::KeyPress&) override;

private:
    BrowserDialog (juce::Component& owner, const FileDialogs::Request& request,
                   std::function<void (const FileDialogs::Answer&)> answered);

    void confirm();
    void finish (bool confirmed);
    void askForNewFolder();

    /** Makes a folder of exactly that name in the shown folder, or says why it cannot. */
    void createFolder (const juce::String& name);
    void showAlert (std::unique_ptr<juce::AlertWindow>& slot, std::unique_ptr<juce::AlertWindow> alert,
                    std::function<void (int)> answered);

    OwnerWatcher owner;
    const FileDialogs::Request request;
    std::function<void (const FileDialogs::Answer&)> answered;
    FolderBrowser browser;
    juce::TextButton okButton, cancelButton, newFolderButton { "New Folder" };
    std::unique_ptr<juce::AlertWindow> overwriteQuestion, newFolderBox, refusal;

    JUCE_DECLARE_NON_COPYABLE (BrowserDialog)
};
