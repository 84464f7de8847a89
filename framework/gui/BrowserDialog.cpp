#include "BrowserDialog.h"
#include "AtomicFileWriter.h"
#include "FolderChild.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace
{
    bool isSet (int flags, int flag)    { return (flags & flag) != 0; }

    juce::String getActionVerb (int flags)
    {
        return isSet (flags, juce::FileBrowserComponent::saveMode) ? "Save"
             : isSet (flags, juce::FileBrowserComponent::canSelectFiles) ? "Open" : "Choose";
    }

    /** Why no folder of that name can be made in a folder, or nothing when one can be tried. */
    juce::String findReasonNotToCreate (const juce::File& folder, const juce::String& name)
    {
        if (name == "." || name == "..")
            return "\".\" and \"..\" name the folder itself and the one above it";

        if (name.containsChar ('/'))
            return "a name cannot hold \"/\"";

        if (AtomicFileWriter::isNameTooLong (FolderChild::of (folder, name)))
            return AtomicFileWriter::getNameTooLongText();

        return {};
    }
}

void BrowserDialog::launch (juce::Component& owner, const FileDialogs::Request& request,
                            std::function<void (const FileDialogs::Answer&)> answered)
{
    auto* dialog = new BrowserDialog (owner, request, std::move (answered));
    dialog->centreWithSize (600, 500);
    dialog->setVisible (true);
    dialog->enterModalState (true, nullptr, false);
    dialog->browser.getFileBox().grabKeyboardFocus();
}

BrowserDialog::BrowserDialog (juce::Component& ownerToWatch, const FileDialogs::Request& r,
                              std::function<void (const FileDialogs::Answer&)> callback)
    : ResizableWindow (r.title, false),
      owner (ownerToWatch, [this] { delete this; }),    // nothing is answered or written
      request (r), answered (std::move (callback)),
      browser (r.flags, r.patterns, r.initialFile),
      okButton (getActionVerb (r.flags)), cancelButton ("Cancel")
{
    setBackgroundColour (findColour (juce::AlertWindow::backgroundColourId));
    // A window takes the keyboard itself when its desktop window becomes active, which may be
    // after it opens; this one hands it to its first field, the file box.
    setWantsKeyboardFocus (false);
    setFocusContainerType (FocusContainerType::keyboardFocusContainer);
    setResizable (true, true);
    setResizeLimits (300, 300, 1200, 1000);

    addAndMakeVisible (browser);
    addAndMakeVisible (okButton);
    addAndMakeVisible (cancelButton);
    addChildComponent (newFolderButton);
    newFolderButton.setVisible (isSet (r.flags, juce::FileBrowserComponent::saveMode));

    okButton.onClick = [this] { confirm(); };
    cancelButton.onClick = [this] { finish (false); };
    newFolderButton.onClick = [this] { askForNewFolder(); };
    browser.onChange = [this] { okButton.setEnabled (browser.isChosenFileValid()); };
    browser.onChosen = [this] { if (browser.isChosenFileValid()) confirm(); };
    browser.onCancelled = [this] { finish (false); };
    okButton.setEnabled (browser.isChosenFileValid());

    addToDesktop (getDesktopWindowStyleFlags());
}

BrowserDialog::~BrowserDialog()
{
    // Its questions go first: they are modal above it.
    refusal.reset();
    newFolderBox.reset();
    overwriteQuestion.reset();
}

void BrowserDialog::confirm()
{
    const auto file = browser.getChosenFile();

    if (! isSet (request.flags, juce::FileBrowserComponent::warnAboutOverwriting)
         || ! isSet (request.flags, juce::FileBrowserComponent::saveMode) || ! file.exists())
        return finish (true);

    auto question = std::make_unique<juce::AlertWindow> ("File already exists",
                                                         "There's already a file called: " + file.getFullPathName()
                                                           + "\n\nAre you sure you want to overwrite it?",
                                                         juce::MessageBoxIconType::WarningIcon, this);
    question->addButton ("Overwrite", 1, juce::KeyPress (juce::KeyPress::returnKey));
    question->addButton ("Cancel", 0, juce::KeyPress (juce::KeyPress::escapeKey));
    showAlert (overwriteQuestion, std::move (question), [this] (int result) { if (result != 0) finish (true); });
}

void BrowserDialog::finish (bool confirmed)
{
    FileDialogs::Answer answer;
    answer.shownFolder = browser.getFolder();
    answer.typedName = browser.getFileBox().getText();

    if (const auto clicked = browser.getClickedFile(); clicked != juce::File())
        answer.clickedFiles.add (clicked);

    if (confirmed)
        answer.results.add (browser.getChosenFile());

    // The window goes once the button or key that answered is done with it; an owner deleted
    // meanwhile takes the window with it, and the answer is dropped.
    setVisible (false);
    exitModalState (0);
    juce::MessageManager::callAsync ([safeThis = juce::Component::SafePointer<BrowserDialog> (this), answer]
    {
        if (safeThis == nullptr)
            return;

        auto callback = std::move (safeThis->answered);
        delete safeThis.getComponent();

        if (callback != nullptr)
            callback (answer);
    });
}

void BrowserDialog::askForNewFolder()
{
    if (! browser.getFolder().isDirectory())
        return;

    auto box = std::make_unique<juce::AlertWindow> ("New Folder", "Please enter the name for the folder",
                                                    juce::MessageBoxIconType::NoIcon, this);
    box->addTextEditor ("Folder Name", {}, {}, false);
    box->addButton ("Create Folder", 1, juce::KeyPress (juce::KeyPress::returnKey));
    box->addButton ("Cancel", 0, juce::KeyPress (juce::KeyPress::escapeKey));
    auto* raw = box.get();
    showAlert (newFolderBox, std::move (box), [this, raw] (int result)
    {
        if (result != 0)
            createFolder (raw->getTextEditorContents ("Folder Name"));
    });

    if (auto* nameBox = raw->getTextEditor ("Folder Name"))
        nameBox->grabKeyboardFocus();
}

void BrowserDialog::createFolder (const juce::String& name)
{
    if (name.isEmpty())
        return;

    const auto folder = FolderChild::of (browser.getFolder(), name);
    auto reason = findReasonNotToCreate (browser.getFolder(), name);

    if (reason.isEmpty() && ::mkdir (folder.getFullPathName().toRawUTF8(), 0777) != 0)
        reason = std::strerror (errno);

    browser.setFolder (browser.getFolder());

    if (reason.isEmpty())
        return;

    // The name was typed just now, and may be too long to show whole.
    auto message = std::make_unique<juce::AlertWindow> ("New Folder", "The folder could not be created: " + reason + ".",
                                                        juce::MessageBoxIconType::WarningIcon, this);
    message->addButton ("OK", 0, juce::KeyPress (juce::KeyPress::returnKey), juce::KeyPress (juce::KeyPress::escapeKey));
    showAlert (refusal, std::move (message), nullptr);
}

// Each question lives in its slot until it is answered, and goes with the window at the latest.
void BrowserDialog::showAlert (std::unique_ptr<juce::AlertWindow>& slot, std::unique_ptr<juce::AlertWindow> alert,
                               std::function<void (int)> onAnswer)
{
    slot = std::move (alert);
    auto* shown = slot.get();
    slot->enterModalState (true, juce::ModalCallbackFunction::create (
        [safeThis = juce::Component::SafePointer<BrowserDialog> (this), &slot, shown, onAnswer = std::move (onAnswer)] (int result)
        {
            if (safeThis == nullptr || slot.get() != shown)
                return;

            // Deleted once its answer is taken; the answer may close this window.
            const std::unique_ptr<juce::AlertWindow> answeredAlert (std::move (slot));

            if (onAnswer != nullptr)
                onAnswer (result);
        }), false);
}

void BrowserDialog::resized()
{
    ResizableWindow::resized();

    auto area = getLocalBounds().reduced (8);
    area.removeFromTop (30);
    auto buttons = area.removeFromBottom (26);
    area.removeFromBottom (12);
    browser.setBounds (area);

    for (auto* button : { &okButton, &cancelButton })
    {
        button->changeWidthToFitText (26);
        button->setBounds (buttons.removeFromRight (button->getWidth()));
        buttons.removeFromRight (12);
    }

    newFolderButton.changeWidthToFitText (26);
    newFolderButton.setBounds (buttons.removeFromLeft (newFolderButton.getWidth()));
}

void BrowserDialog::paint (juce::Graphics& g)
{
    ResizableWindow::paint (g);
    g.setColour (findColour (juce::AlertWindow::textColourId));
    g.setFont (juce::Font (17.0f, juce::Font::bold));
    g.drawText (getName(), getLocalBounds().reduced (12, 8).removeFromTop (26), juce::Justification::centredLeft, true);
}

bool BrowserDialog::keyPressed (const juce::KeyPress& key)
{
    if (key == juce::KeyPress::escapeKey)
    {
        finish (false);
        return true;
    }

    if (key == juce::KeyPress::returnKey && okButton.isEnabled())
    {
        confirm();
        return true;
    }

    return ResizableWindow::keyPressed (key);
}
