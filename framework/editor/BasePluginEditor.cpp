#include "BasePluginEditor.h"

#include "AboutWindow.h"
#include "AtomicFileWriter.h"
#include "CaseKey.h"
#include "EnumParameter.h"
#include "FileDialogs.h"
#include "FolderChild.h"
#include "GFXAnimation.h"
#include "GFXMultiStateButton.h"
#include "GFXPanel.h"
#include "OptionsWindow.h"
#include "Preset.h"
#include "ProcessingSettingsComponent.h"
#include "ResourceLoading.h"
#include "StrictUtf8.h"
#include "XmlHelpers.h"

#include <cstring>

namespace
{
    const juce::Colour tabColour (0xffc5c5c5);
    const juce::String presetsCollection ("Presets");
    const juce::String loadingSkinText ("Loading skin...");

    constexpr int touchPriority = 6, controllerPriority = 5, learnPriority = 7, noticePriority = 4, skinPriority = 0;
    constexpr int learnBlinkInterval = 100, activityFlashMs = 175;

    /** A typed preset name as a file name of the preset's own folder: no folder separators or
        other characters the file system refuses, no leading dots (a hidden file, or a way
        out of the folder) and no trailing dots or spaces. Empty when nothing legal is left.
    */
    /** The extension of the product's map files of that kind: ".cvccmap", ".cvhpmap". */
    juce::String mapExtension (const BasePlugin& plugin, const char* kind)
    {
        return "." + CaseKey::of (plugin.getProductCode()) + kind;
    }

    /** The look-and-feels of the editors alive now, oldest first. JUCE's default stays with
        one of them while any is open: every open editor measures its text with it.
    */
    juce::Array<DefaultLookAndFeel*>& openEditorLookAndFeels()
    {
        static juce::Array<DefaultLookAndFeel*> lookAndFeels;
        return lookAndFeels;
    }

    juce::String toPresetFileName (const juce::String& presetName)
    {
        return juce::File::createLegalFileName (presetName).trim()
                   .trimCharactersAtStart (".").trimCharactersAtEnd (". ").trim();
    }

    /** True when the path's bytes are well-formed UTF-8. JUCE's path functions cut any other
        path in the wrong places (its folder and its name come out wrong), so it must not be
        cut at all.
    */
    bool hasReadablePath (const juce::File& file)
    {
        const auto* bytes = file.getFullPathName().toRawUTF8();
        return StrictUtf8::isValid (bytes, std::strlen (bytes));
    }

    /** Whether a save to the file asks first: a preset is there, or a link that leads to a
        preset yet to be written.
    */
    bool holdsPreset (const juce::File& file)
    {
        return Preset::isRegularFile (file) || Preset::isDanglingLink (file);
    }
}

BasePluginEditor::BasePluginEditor (BasePlugin& p)
    : midiControlPage (&p.midiControl, mapExtension (p, "ccmap"), "*" + mapExtension (p, "ccmap")),
      hostParametersPage (p),
      presetsPage (p),
      plugin (p)
{
    makerLogo = loadImageFromResource ("HalvornLogo.png");
    productLogo = loadImageFromResource ("PluginLogo.png");

    // Text is measured through JUCE's default look-and-feel, which must map the skin's fonts.
    setLookAndFeel (&lookAndFeel);
    juce::LookAndFeel::setDefaultLookAndFeel (&lookAndFeel);
    openEditorLookAndFeels().add (&lookAndFeel);

    tooltipWindow = std::make_unique<juce::TooltipWindow> (this, 850);
    tooltipWindow->setOpaque (false);

    statusBar = std::make_unique<StatusBar>();
    addAndMakeVisible (*statusBar);

    aboutWindow = std::make_unique<AboutWindow> (plugin);
    aboutWindow->setSize (640, 480);
    addChildComponent (*aboutWindow);

    optionsWindow = std::make_unique<OptionsWindow>();
    optionsWindow->setTitle ("Options");
    auto& tabs = optionsWindow->getTabs();
    tabs.addListener (this);
    optionsWindow->setSize (800, 600);
    addChildComponent (*optionsWindow);

    tabs.addTab ("Presets", tabColour, &presetsPage, false);
    tabs.addTab ("Parameters", tabColour, &hostParametersPage, false);
    hostParametersPage.extension = mapExtension (plugin, "hpmap");
    hostParametersPage.setStrings ("*" + hostParametersPage.extension);

    midiControlPage.getDefaultMapBox().addListener (this);
    plugin.midiControl.addListener (this);
    tabs.addTab ("Midi Control", tabColour, &midiControlPage, false);

    plugin.parameterManager.addAsyncListener (this);

    setOpaque (true);
    setEditorSize (800, 600);
    loadSkin ({});
    plugin.addListener (this);
}

BasePluginEditor::~BasePluginEditor()
{
    stopTimer();
    plugin.removeListener (this);
    midiControlPage.getDefaultMapBox().removeListener (this);
    plugin.midiControl.removeListener (this);
    plugin.parameterManager.removeAsyncListener (this);

    // The window before the pages it shows.
    optionsWindow.reset();
    skinPanel.reset();
    saveFailedAlert.reset();
    modifiedPresetAlert.reset();
    overwriteAlert.reset();
    presetBrowserWindow.reset();
    tooltipWindow.reset();
    statusBar.reset();
    aboutWindow.reset();
    processingPage.reset();
    guiPage.reset();

    // Another open editor's look-and-feel takes over; JUCE's own returns with the last one.
    auto& stillOpen = openEditorLookAndFeels();
    stillOpen.removeFirstMatchingValue (&lookAndFeel);

    if (&juce::LookAndFeel::getDefaultLookAndFeel() == &lookAndFeel)
        juce::LookAndFeel::setDefaultLookAndFeel (stillOpen.getLast());

    setLookAndFeel (nullptr);
}

//==============================================================================
void BasePluginEditor::initialise()
{
    if (const auto settingsFile = plugin.getSettingsFile(); settingsFile.existsAsFile())
        if (const auto settings = XmlHelpers::parseUntrusted (settingsFile); plugin.isValidSettingsXml (settings.get()))
            if (auto* element = XmlHelpers::getChildByName (*settings, getSettingsTagName()))
                loadSettingsXml (*element);

    auto& tabs = optionsWindow->getTabs();
    processingPage = createProcessingSettingsComponent();
    bindQualityBoxes();

    tabs.addTab ("Processing", tabColour, processingPage.get(), false, 0);
    tabs.setCurrentTabIndex (-1);
    tabs.setCurrentTabIndex (0);

    if (skinChoiceEnabled)
        addSkinChoice();

    bindSettingsPages();

    if (const auto& problem = plugin.getSettingsProblem(); problem.isNotEmpty())
        statusBar->showMessage (problem, noticePriority);
}

std::unique_ptr<ProcessingSettingsComponent> BasePluginEditor::createProcessingSettingsComponent()
{
    return std::make_unique<ProcessingSettingsComponent>();
}

std::unique_ptr<GUISettingsComponent> BasePluginEditor::createGUISettingsComponent()
{
    return std::make_unique<GUISettingsComponent> (*this);
}

void BasePluginEditor::addSkinChoice()
{
    guiPage = createGUISettingsComponent();

    if (guiPage == nullptr)
        return;

    guiPage->addListener (this);
    optionsWindow->getTabs().addTab ("GUI", tabColour, guiPage.get(), false);

    // A first start, or a default skin since removed: the widest one that fits the screen.
    auto name = getDefaultSkinName();

    if (name.isEmpty() || ! getSkinFile (name).existsAsFile())
    {
        name = guiPage->getRecommendedSkin();
        const juce::SpinLock::ScopedLockType lock (skinNameLock);
        defaultSkinName = name;
    }

    guiPage->setDefaultSkin (name, false);

    if (SkinSource::isValidSkin (*this, name))
        loadSkin (name);

    if (guiPage->getSkins().isEmpty())
        statusBar->showMessage ("Plugin skins not found in directory: '" + getSkinsFolder().getFullPathName()
                                    + "'. Please reinstall to repair.",
                                skinPriority);
}

void BasePluginEditor::bindQualityBoxes()
{
    auto& manager = plugin.parameterManager;
    auto* realtime = dynamic_cast<EnumParameter*> (manager.getParameter (plugin.getRealtimeQualityParameterIndex()));
    auto* offline = dynamic_cast<EnumParameter*> (manager.getParameter (plugin.getOfflineQualityParameterIndex()));
    auto* defaultRealtime = dynamic_cast<EnumParameter*> (manager.getParameter (plugin.getDefaultRealtimeQualityParameterIndex()));
    auto* defaultOffline = dynamic_cast<EnumParameter*> (manager.getParameter (plugin.getDefaultOfflineQualityParameterIndex()));

    if (processingPage == nullptr || realtime == nullptr || offline == nullptr || defaultRealtime == nullptr || defaultOffline == nullptr)
        return;

    processingPage->currentQualityPanel.realtimeCombo.setItems (*realtime);
    processingPage->currentQualityPanel.offlineCombo.setItems (*offline);
    processingPage->defaultQualityPanel.realtimeCombo.setItems (*defaultRealtime);
    processingPage->defaultQualityPanel.offlineCombo.setItems (*defaultOffline);
}

//==============================================================================
void BasePluginEditor::setEditorSize (int width, int newContentHeight)
{
    contentHeight = newContentHeight;
    const auto withStatusBar = statusBar != nullptr && hasStatusBar();

    setSize (width, contentHeight + (withStatusBar ? statusBar->getHeight() : 0));
    layoutStatusBar();

    if (auto* parent = getParentComponent())
        parent->setSize (getWidth(), getHeight());
}

void BasePluginEditor::layoutStatusBar()
{
    if (statusBar == nullptr || ! hasStatusBar())
        return;

    statusBar->setBounds (0, contentHeight, getWidth(), statusBar->getHeight());
    statusBar->toFront (false);
}

void BasePluginEditor::resized()
{
    layoutStatusBar();
    repaint();
}

void BasePluginEditor::childBoundsChanged (juce::Component* child)
{
    // The status bar takes its height from the look-and-feel; the editor follows it.
    if (child != nullptr && child == statusBar.get())
        setEditorSize (getWidth(), contentHeight);
}

juce::Rectangle<int> BasePluginEditor::getModalArea()
{
    return hasStatusBar() ? getLocalBounds().withHeight (contentHeight) : getLocalBounds();
}

//==============================================================================
void BasePluginEditor::loadSkin (const juce::String& name)
{
    SkinSource source (*this, name);
    auto panel = source.createMainPanel();

    if (panel == nullptr)
        return;

    if (skinPanel != nullptr)
        removeChildComponent (skinPanel.get());

    skinPanel = std::move (panel);
    midiLearnButton = nullptr;
    midiActivityLed = nullptr;

    // Beneath every other child: the tooltip window keeps itself on top of them all.
    skinPanel->setVisible (true);
    addChildComponent (skinPanel.get(), 0);
    setEditorSize (skinPanel->getWidth(), skinPanel->getHeight());
    skinPanel->addListener (this);

    midiLearnButton = dynamic_cast<GFXMultiStateButton*> (findComponentByName (this, "MidiLearnButton"));
    midiActivityLed = dynamic_cast<GFXAnimation*> (findComponentByName (this, "MidiActivityLed"));

    {
        const juce::SpinLock::ScopedLockType lock (skinNameLock);
        currentSkinName = name;
    }

    statusBar->clearMessage();

    if (guiPage != nullptr)
        guiPage->setCurrentSkin (name, false);
}

void BasePluginEditor::requestSkinChange (const juce::String& name)
{
    {
        const juce::SpinLock::ScopedLockType lock (skinNameLock);
        pendingSkinName = name;
    }

    pendingSkinFlag = 1;
    optionsWindow->close();

    if (skinPanel != nullptr)
        skinPanel->setVisible (false);

    statusBar->showMessage (loadingSkinText, skinPriority);
}

void BasePluginEditor::currentSkinChosen()
{
    if (guiPage != nullptr)
        requestSkinChange (guiPage->getCurrentSkin());
}

void BasePluginEditor::defaultSkinChosen()
{
    if (guiPage == nullptr)
        return;

    const auto name = guiPage->getDefaultSkin();
    const juce::SpinLock::ScopedLockType lock (skinNameLock);
    defaultSkinName = name;
}

juce::Component* BasePluginEditor::findComponentByName (juce::Component* root, const juce::String& name)
{
    if (root == nullptr)
        return nullptr;

    for (auto* child : root->getChildren())
        if (child->getName() == name)
            return child;

    for (auto* child : root->getChildren())
        if (auto* found = findComponentByName (child, name))
            return found;

    return nullptr;
}

juce::File BasePluginEditor::getSkinsFolder() const
{
    return plugin.getCommonDataFolder().getChildFile ("Skins");
}

juce::File BasePluginEditor::getSkinFile (const juce::String& name) const
{
    // Appended, not swapped in: a skin named "Night.Blue" keeps its whole name.
    return FolderChild::of (getSkinsFolder(), name + ".halvornskin");
}

juce::String BasePluginEditor::getDefaultSkinName() const
{
    const juce::SpinLock::ScopedLockType lock (skinNameLock);
    return defaultSkinName;
}

juce::String BasePluginEditor::getCurrentSkinName() const
{
    const juce::SpinLock::ScopedLockType lock (skinNameLock);
    return currentSkinName;
}

//==============================================================================
void BasePluginEditor::timerCallback()
{
    if (isVisible())
        timerTick();
}

void BasePluginEditor::timerTick()
{
    if (auto expected = 1; pendingSkinFlag.compare_exchange_strong (expected, 0))
    {
        juce::String name;

        {
            const juce::SpinLock::ScopedLockType lock (skinNameLock);
            name = pendingSkinName;
        }

        if (SkinSource::isValidSkin (*this, name))
            loadSkin (name);

        // A skin that cannot be shown gives the old one back rather than leave the editor blank.
        if (skinPanel != nullptr && ! skinPanel->isVisible())
        {
            skinPanel->setVisible (true);

            if (statusBar->getText() == loadingSkinText)
                statusBar->clearMessage();
        }
    }

    // The flag is left for the light to take when there is none yet.
    if (midiActivityLed != nullptr && plugin.midiActivityFlag.exchange (0) == 1)
        midiActivityLed->startAnimation (activityFlashMs);
}

//==============================================================================
void BasePluginEditor::parameterTouched (Parameter* parameter)
{
    if (parameter == nullptr)
        return;

    midiLearnParameterTouched (parameter);
    showParameterInStatusBar (parameter, touchPriority);
}

void BasePluginEditor::parameterTouchedByIndex (int index)
{
    parameterTouched (plugin.parameterManager.getParameter (index));
}

void BasePluginEditor::midiLearnParameterTouched (Parameter* parameter)
{
    if (parameter != nullptr && parameter->isAutomatable() && plugin.midiControl.isLearning())
        plugin.midiControl.learnParameterTouched (parameter);
}

void BasePluginEditor::showParameterInStatusBar (Parameter* parameter, int priority)
{
    if (parameter == nullptr)
        return;

    const auto index = parameter->getIndex();
    const auto value = plugin.getParameterValueText (index);

    if (value == "@")
        statusBar->showTemporaryMessage (plugin.getParameterDisplayName (index), priority);
    else if (value.isNotEmpty())
        statusBar->showTemporaryMessage (plugin.getParameterDisplayName (index) + ": " + value, priority);
}

void BasePluginEditor::controllerValueChanged (GUIController* controller)
{
    if (controller != nullptr)
        parameterTouched (controller->getParameter());
}

void BasePluginEditor::handleControllerEvent (GUIController* controller, int uid)
{
    switch (uid)
    {
        case optionsEvent:
            optionsWindow->show();
            statusBar->clearMessage();
            break;

        case aboutEvent:            aboutWindow->show(); break;
        case nextPresetEvent:       stepPreset (1); break;
        case previousPresetEvent:   stepPreset (-1); break;

        case browsePresetsEvent:
            if (presetBrowserWindow != nullptr)
                presetBrowserWindow->setVisible (true);
            break;

        case savePresetEvent:       savePreset (presetsCollection); break;
        case savePresetAsEvent:     savePresetAs (presetsCollection); break;

        case toggleMidiLearnEvent:
            plugin.midiControl.setLearning (! plugin.midiControl.isLearning());
            break;

        default:
            if (controller != nullptr)
                parameterTouched (controller->getParameter());

            plugin.handleEvent (uid);
            break;
    }
}

//==============================================================================
void BasePluginEditor::learnStateChanged (MidiControl* midiControl)
{
    if (midiControl == nullptr)
        return;

    // The audio thread changes these as controllers arrive: one consistent reading.
    bool learning = false;
    Parameter* candidate = nullptr;
    int controller = -1;

    {
        const juce::ScopedLock lock (midiControl->getLock());
        learning = midiControl->isLearning();
        candidate = midiControl->getLearnCandidate();
        controller = midiControl->getLearntController();
    }

    if (! learning)
    {
        statusBar->clearMessage();
    }
    else
    {
        const auto cc = "CC# " + juce::String (controller);
        juce::String text;

        if (candidate == nullptr && controller < 0)
            text = "Waiting for a controller or parameter movement...";
        else if (controller < 0)
            text = "'" + candidate->getName() + "' parameter is free. Waiting for a free controller now...";
        else if (candidate == nullptr)
            text = cc + " is free. Waiting for a parameter now...";
        else
            text = cc + " is assigned to parameter '" + candidate->getName() + "'.";

        statusBar->showMessage (text, learnPriority);
    }

    if (midiLearnButton == nullptr)
        return;

    midiLearnButton->setState (learning ? 1 : 0);

    if (learning)
    {
        midiLearnButton->setBlinkInterval (learnBlinkInterval);
        midiLearnButton->startBlinking();
    }
    else if (midiLearnButton->isBlinking())
    {
        midiLearnButton->stopBlinking();
    }
}

void BasePluginEditor::controllerActivity (MidiControl* midiControl)
{
    if (midiControl != nullptr)
        showParameterInStatusBar (midiControl->getLastActiveParameter(), controllerPriority);
}

void BasePluginEditor::stateChanged (DefaultResourceCheckBox*)
{
    statusBar->showMessage ("Default Map settings will be affected when plugin is loaded.", noticePriority);
}

void BasePluginEditor::tabChanged (TabbedComponentEx* tabs)
{
    if (tabs == &optionsWindow->getTabs())
        statusBar->clearMessage();
}

void BasePluginEditor::processingModeChanged (BasePlugin*, int mode)
{
    const auto offline = mode == 2;
    const auto index = offline ? plugin.getOfflineQualityParameterIndex() : plugin.getRealtimeQualityParameterIndex();

    statusBar->showTemporaryMessage (juce::String (offline ? "Offline processing" : "Realtime processing")
                                         + ": " + plugin.getParameterValueText (index),
                                     noticePriority);
}

//==============================================================================
void BasePluginEditor::stepPreset (int direction)
{
    auto* collection = plugin.getPresetCollection (presetsCollection);

    if (collection == nullptr)
        return;

    if (plugin.isPresetModified (collection))
        askToSaveModifiedPreset (presetsCollection, direction);
    else if (direction > 0)
        plugin.selectNextPreset (collection);
    else
        plugin.selectPreviousPreset (collection);
}

juce::File BasePluginEditor::getPresetFolder (PresetCollection* collection) const
{
    const auto current = plugin.getCurrentPresetName (collection);
    const auto root = collection->getRootFolder();

    // A current preset whose folder is gone (a state from another machine) suggests the
    // collection's own folder.
    if (const auto file = FolderChild::fromPath (current); file != juce::File())
        if (const auto folder = file.getParentDirectory(); folder.isDirectory())
            return folder;

    return root;
}

juce::File BasePluginEditor::getPresetFile (PresetCollection* collection) const
{
    if (collection == nullptr)
        return {};

    const auto name = toPresetFileName (plugin.getPresetName (collection));

    if (name.isEmpty())
        return {};

    // The current preset is saved into its own file, whatever the letter case of its
    // extension: a twin beside it may have the name the shown one would be rebuilt into.
    const auto& extension = collection->getExtension();
    const auto current = FolderChild::fromPath (plugin.getCurrentPresetName (collection));
    const auto currentName = current.getFileName();

    if (currentName.length() > extension.length() && CaseKey::endsWith (currentName, extension)
         && currentName.dropLastCharacters (extension.length()) == name && current.getParentDirectory() == getPresetFolder (collection))
        return current;

    return FolderChild::of (getPresetFolder (collection), name + extension);
}

void BasePluginEditor::savePreset (const juce::String& collectionName)
{
    auto* collection = plugin.getPresetCollection (collectionName);

    if (collection == nullptr)
        return;

    const auto file = getPresetFile (collection);

    if (file == juce::File() || ! holdsPreset (file))
        savePresetAs (collectionName);
    else
        askToOverwritePreset (collectionName, file);
}

void BasePluginEditor::savePresetAs (const juce::String& collectionName)
{
    auto* collection = plugin.getPresetCollection (collectionName);

    if (collection == nullptr)
        return;

    const auto suggested = getPresetFile (collection);

    FileDialogs::Request request;
    request.title = "Save current " + collectionName.toLowerCase();
    request.initialFile = suggested != juce::File() ? suggested : getPresetFolder (collection);
    request.patterns = "*" + collection->getExtension();
    request.flags = juce::FileBrowserComponent::saveMode | juce::FileBrowserComponent::canSelectFiles
                      | juce::FileBrowserComponent::warnAboutOverwriting;

    juce::Component::SafePointer<BasePluginEditor> self (this);

    FileDialogs::launch (*this, request, [self, collectionName] (const FileDialogs::Choice& choice)
    {
        if (self == nullptr)
            return;

        if (choice.refused)
            self->showSaveFailed (juce::String ("The preset could not be saved: ") + FileDialogs::refusalReason);
        else if (! choice.files.isEmpty())
            self->presetFileChosen (collectionName, choice.files.getFirst(), choice.warnedAbout);
    });
}

void BasePluginEditor::presetFileChosen (const juce::String& collectionName, const juce::File& chosen, const juce::File& warnedAbout)
{
    auto* collection = plugin.getPresetCollection (collectionName);

    if (collection == nullptr)
        return;

    if (! hasReadablePath (chosen))
        return showSaveFailed (getReasonNotToSave (chosen));

    // The extension is appended, so that a name with dots ("Room 1.5") keeps all of it; one
    // typed in other letter case is spelt as the plug-in spells it, as the tree looks for it,
    // unless a preset has that very name (the current one, as suggested).
    const auto& extension = collection->getExtension();
    const auto name = chosen.getFileName();
    const auto stem = name.length() > extension.length() && CaseKey::endsWith (name, extension) ? name.dropLastCharacters (extension.length()) : name;
    const auto isPresetSpeltSo = stem != name && Preset::isRegularFile (chosen)
                                   && PresetCollection::findEntryNamed (chosen.getParentDirectory(), name) == chosen;
    const auto file = stem + extension == name || isPresetSpeltSo ? chosen : FolderChild::besides (chosen, stem + extension);

    // The chooser may have warned about another file (the name without the extension), and a
    // link that leads to no file yet is no file to it.
    if ((file != warnedAbout && Preset::isRegularFile (file)) || Preset::isDanglingLink (file))
        askToOverwritePreset (collectionName, file);
    else
        savePresetFile (collection, file);
}

juce::String BasePluginEditor::getReasonNotToSave (const juce::File& file)
{
    const juce::String prefix ("The preset could not be saved");

    if (! hasReadablePath (file))
    {
        // The bytes are cut at the last separator, which no other byte can stand for.
        const std::string path (file.getFullPathName().toRawUTF8());
        const auto cut = path.find_last_of ((char) juce::File::getSeparatorChar());
        const auto folder = path.substr (0, cut), name = path.substr (cut + 1);

        if (StrictUtf8::isValid (folder.data(), folder.size()))
            return prefix + ": the chosen name '" + StrictUtf8::withInvalidBytesMarked (name.data(), name.size())
                     + "' cannot be read. Choose another name.";

        return prefix + ": the name of the chosen folder '" + StrictUtf8::withInvalidBytesMarked (folder.data(), folder.size())
                 + "' cannot be read. Rename the folder, or choose another one.";
    }

    if (! file.getParentDirectory().isDirectory())
        return prefix + " to '" + file.getFullPathName() + "': its folder does not exist.";

    juce::File target;

    switch (AtomicFileWriter::findTarget (file, AtomicFileWriter::DanglingLinks::writeThrough, target))
    {
        case AtomicFileWriter::Outcome::notAFile:
            return prefix + " to '" + file.getFullPathName() + "': a folder or a special file of that name is there.";
        case AtomicFileWriter::Outcome::nameTooLong:
            return prefix + " to '" + file.getFullPathName() + "': " + AtomicFileWriter::getNameTooLongText() + ".";
        case AtomicFileWriter::Outcome::linkLeadsNowhere:
            return prefix + " to '" + file.getFullPathName() + "': it is a link into a folder that does not exist, or whose name cannot be read.";
        case AtomicFileWriter::Outcome::written:
        case AtomicFileWriter::Outcome::failed:
            break;
    }

    return {};
}

void BasePluginEditor::savePresetFile (PresetCollection* collection, const juce::File& file)
{
    if (const auto reason = getReasonNotToSave (file); reason.isNotEmpty())
        return showSaveFailed (reason);

    // A name that differs from an entry's only in letter case is not made in the tree, as no
    // other path of the tree makes one: a case-insensitive disk would take one for the other.
    // A folder the tree lists, or a preset that has this very name already, makes no name.
    for (auto entry = file; entry.isAChildOf (collection->getRootFolder()); entry = entry.getParentDirectory())
    {
        const auto* listed = entry != file ? collection->findFolder (entry.getFullPathName()) : nullptr;

        if ((listed != nullptr && listed->getPath() == entry.getFullPathName())
             || (entry == file && PresetCollection::findEntryNamed (entry.getParentDirectory(), entry.getFileName()) == file))
            continue;

        if (const auto taken = PresetCollection::findReasonNameIsTaken (entry.getParentDirectory(), entry.getFileName(), entry); taken.isNotEmpty())
            return showSaveFailed ("The preset could not be saved to '" + file.getFullPathName() + "': " + taken + ".");
    }

    if (! plugin.savePresetToFile (collection, file))
        showSaveFailed ("The preset could not be saved to '" + file.getFullPathName() + "'.");
}

void BasePluginEditor::showSaveFailed (const juce::String& message)
{
    showAlert (saveFailedAlert, Halvorn::AlertWindow::createOk (plugin.getProductName(), message, this));
}

void BasePluginEditor::askToOverwritePreset (const juce::String& collectionName, const juce::File& file)
{
    auto* collection = plugin.getPresetCollection (collectionName);

    if (collection == nullptr)
        return;

    auto alert = Halvorn::AlertWindow::createOverwriteQuestion (collection->getName(), "preset", file, this);
    alert->userData.insert (0, collectionName);
    showAlert (overwriteAlert, std::move (alert));
}

void BasePluginEditor::askToSaveModifiedPreset (const juce::String& collectionName, int direction)
{
    if (plugin.getPresetCollection (collectionName) == nullptr)
        return;

    auto alert = Halvorn::AlertWindow::createSaveOverwriteDiscard (plugin.getProductName(),
                                                                   "Changes have been made to current preset. Do you want to save them or discard?",
                                                                   this);
    alert->userData.add (collectionName);
    alert->userData.add (direction);
    showAlert (modifiedPresetAlert, std::move (alert));
}

void BasePluginEditor::showAlert (std::unique_ptr<Halvorn::AlertWindow>& holder, std::unique_ptr<Halvorn::AlertWindow> alert)
{
    holder = std::move (alert);
    addChildComponent (*holder);
    holder->show();
}

void BasePluginEditor::alertResult (Halvorn::AlertWindow* alert, int result)
{
    if (alert == nullptr)
        return;

    const auto collectionName = alert->getUserValue (0).toString();
    auto* collection = plugin.getPresetCollection (collectionName);

    if (collection == nullptr)
        return;

    if (alert == overwriteAlert.get())
    {
        const auto path = alert->getUserValue (1).toString();

        if (const auto file = FolderChild::fromPath (path); result == Halvorn::AlertWindow::yes && file != juce::File())
            savePresetFile (collection, file);
    }
    else if (alert == modifiedPresetAlert.get())
    {
        const auto direction = static_cast<int> (alert->getUserValue (1));

        switch (result)
        {
            case Halvorn::AlertWindow::overwrite:
                if (const auto file = getPresetFile (collection); file != juce::File() && holdsPreset (file))
                    savePresetFile (collection, file);
                else
                    savePresetAs (collectionName);
                break;

            case Halvorn::AlertWindow::saveAs:
                savePresetAs (collectionName);
                break;

            case Halvorn::AlertWindow::discard:
                if (direction < 1)
                    plugin.selectPreviousPreset (collection);
                else
                    plugin.selectNextPreset (collection);
                break;

            default:
                break;
        }
    }
}

//==============================================================================
juce::String BasePluginEditor::getSettingsTagName() const    { return "Editor"; }
juce::String BasePluginEditor::getStateTagName() const       { return "Editor"; }

bool BasePluginEditor::isSettingsXml (const juce::XmlElement& element) const
{
    return XmlHelpers::hasTagName (element, getSettingsTagName());
}

bool BasePluginEditor::isStateXml (const juce::XmlElement& element) const
{
    return XmlHelpers::hasTagName (element, getStateTagName());
}

std::unique_ptr<juce::XmlElement> BasePluginEditor::createSettingsXml() const
{
    auto element = std::make_unique<juce::XmlElement> (getSettingsTagName());

    if (skinChoiceEnabled)
    {
        const juce::SpinLock::ScopedLockType lock (skinNameLock);
        element->createNewChildElement ("Skin")->setAttribute ("name", defaultSkinName);
    }

    return element;
}

void BasePluginEditor::loadSettingsXml (const juce::XmlElement& element)
{
    if (! isSettingsXml (element))
        return;

    if (auto* skin = XmlHelpers::getChildByName (element, "Skin"))
    {
        const auto name = XmlHelpers::getStringAttribute (*skin, "name");
        const juce::SpinLock::ScopedLockType lock (skinNameLock);
        defaultSkinName = name;
    }
}

std::unique_ptr<juce::XmlElement> BasePluginEditor::createStateXml() const
{
    auto element = std::make_unique<juce::XmlElement> (getStateTagName());

    if (skinChoiceEnabled)
    {
        const juce::SpinLock::ScopedLockType lock (skinNameLock);
        element->createNewChildElement ("Skin")->setAttribute ("name", currentSkinName);
    }

    return element;
}

void BasePluginEditor::loadStateXml (const juce::XmlElement& element)
{
    if (! isStateXml (element) || ! skinChoiceEnabled)
        return;

    // Called on the host's threads: the skin is loaded at the next tick.
    if (auto* skin = XmlHelpers::getChildByName (element, "Skin"))
    {
        if (const auto name = XmlHelpers::getStringAttribute (*skin, "name"); SkinSource::isValidSkin (*this, name))
        {
            {
                const juce::SpinLock::ScopedLockType lock (skinNameLock);
                pendingSkinName = name;
            }

            pendingSkinFlag = 1;
        }
    }
}

//==============================================================================
void BasePluginEditor::paint (juce::Graphics& g)
{
    // The picture that the skin panel normally covers.
    const auto width = getWidth();
    const auto height = getHeight() - (statusBar != nullptr && hasStatusBar() ? statusBar->getHeight() : 0);

    g.fillAll (juce::Colours::black);
    g.setColour (juce::Colours::white);

    if (productLogo.isValid())
    {
        g.drawImageAt (productLogo, (width - productLogo.getWidth()) / 2, (height - productLogo.getHeight()) / 2);
    }
    else
    {
        g.setFont (juce::Font ("Tahoma", "Bold", 80.0f));
        g.drawText (plugin.getProductName(), 0, 0, width, height, juce::Justification::centred);
        g.setFont (juce::Font ("Tahoma", "Bold", 20.0f));
        g.drawText (plugin.getDescription(), 0, 45, width, height, juce::Justification::centred);
    }

    if (makerLogo.isValid())
    {
        g.drawImageAt (makerLogo, (width - makerLogo.getWidth()) / 2, height - 20 - makerLogo.getHeight());
    }
    else
    {
        g.setFont (juce::Font ("Tahoma", "Regular", 16.0f));
        g.drawText ("Halvorn", 0, 0, width, height - 10, juce::Justification::centredBottom);
    }
}
