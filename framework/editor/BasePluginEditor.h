#pragma once

#include "AlertWindow.h"
#include "BasePlugin.h"
#include "DefaultLookAndFeel.h"
#include "DefaultResourceCheckBox.h"
#include "GUIController.h"
#include "GUISettingsComponent.h"
#include "HostParametersComponent.h"
#include "MidiControlComponent.h"
#include "PresetsSettingsComponent.h"
#include "SkinSource.h"
#include "StatusBar.h"
#include "TabbedComponentEx.h"

#include <atomic>

class AboutWindow;
class GFXAnimation;
class GFXMultiStateButton;
class GFXPanel;
class OptionsWindow;
class ProcessingSettingsComponent;

/**
    The framework's editor: the one component that the plug-in shows inside the host's window.

    It shows the skin panel (the widgets read from the built-in skin) above a status bar, owns
    the options window with its pages, the about window and a tooltip window, and listens to
    every widget, to MIDI learn and to the plug-in. It handles the framework's own event uids
    (1000 to 1010: options, about, preset stepping and saving, MIDI learn), puts the touched
    parameter, MIDI-learn progress and processing-mode changes into the status bar, and adds an
    "Editor" element to the plug-in's state and settings documents.

    The plug-in creates it once (BasePlugin::createEditorIfNeeded), calls initialise, and keeps it
    for its whole life; hosts receive short-lived wrappers around it. A product's editor derives
    from it, binds its own widgets with findComponentByName, handles its own uids in
    handleControllerEvent (passing the rest here) and may replace the processing page.

    Everything runs on the message thread, except the state and settings element functions,
    which the host may call on its own threads and which therefore touch no component.
*/
class BasePluginEditor  : public juce::Component,
                          public Parameter::Listener,
                          public GUIController::Listener,
                          public MidiControl::Listener,
                          public DefaultResourceCheckBox::Listener,
                          public TabbedComponentEx::Listener,
                          public ModalComponent::Desktop,
                          public juce::Timer,
                          public Halvorn::AlertWindow::Caller,
                          public BasePlugin::Listener,
                          public GUISettingsComponent::Listener,
                          public SkinSource::Owner
{
public:
    /** The framework's own event uids. */
    enum EventIds
    {
        optionsEvent = 1000,
        aboutEvent,
        nextPresetEvent,
        previousPresetEvent,
        browsePresetsEvent,
        savePresetEvent,
        savePresetAsEvent,
        copyPresetEvent,
        pastePresetEvent,
        storePresetEvent,
        toggleMidiLearnEvent
    };

    explicit BasePluginEditor (BasePlugin& plugin);
    ~BasePluginEditor() override;

    /** The second construction step, called exactly once by the plug-in: reads the editor's
        element of the user settings, makes the processing page and puts it first in the
        options window.
    */
    void initialise();

    /** Called after initialise, only when the plug-in runs in debug mode; nothing here. */
    virtual void addDebugPanel() {}

    /** Sizes the editor to a content area plus the status bar, and its parent (the host's
        wrapper) to the same size.
    */
    void setEditorSize (int width, int contentHeight);
    int getContentHeight() const noexcept                       { return contentHeight; }

    /** Builds the panel of the named skin (empty: the built-in one) and shows it in place of
        the current one; nothing changes when it cannot be built.
    */
    void loadSkin (const juce::String& name);

    /** The first component below the root whose name is the name: the root's direct children
        first, in order, then each child's subtree in turn by the same rule. The root itself
        is never compared. Null when none matches.
    */
    static juce::Component* findComponentByName (juce::Component* root, const juce::String& name);

    /** Loads the named skin at the next tick, with the skin panel hidden and "Loading skin..."
        in the status bar until then; a skin that cannot be loaded gives the old one back.
    */
    void requestSkinChange (const juce::String& name);
    /** The GUI page's current skin was chosen: it is loaded at the next tick. */
    void currentSkinChosen();
    /** The GUI page's default skin was chosen: it becomes the default skin. */
    void defaultSkinChosen();

    /** The "Skins" folder in the plug-in's machine-wide data folder. */
    juce::File getSkinsFolder() const;
    /** The skin archive of that name in the skins folder. */
    juce::File getSkinFile (const juce::String& name) const override;
    BasePlugin& getPlugin() const override                      { return plugin; }

    //==============================================================================
    /** Feeds MIDI learn and shows the parameter's value (priority 6); null does nothing. */
    void parameterTouched (Parameter* parameter);
    void parameterTouchedByIndex (int index);
    /** Offers an automatable parameter to MIDI learn while learning is on. */
    void midiLearnParameterTouched (Parameter* parameter);
    /** Shows display name and value text: the name alone for the value "@", nothing for an
        empty value.
    */
    void showParameterInStatusBar (Parameter* parameter, int priority);

    //==============================================================================
    // Presets. The framework calls these with the collection name "Presets".
    /** The file the current preset is saved to by default: its legal name (the preset name
        with the collection's extension) in the current preset's folder, or the collection's
        root when that folder is gone; no file when the name leaves nothing legal.
    */
    juce::File getPresetFile (PresetCollection* collection) const;
    void savePreset (const juce::String& collectionName);
    void savePresetAs (const juce::String& collectionName);
    void askToOverwritePreset (const juce::String& collectionName, const juce::File& file);
    void askToSaveModifiedPreset (const juce::String& collectionName, int direction);

    //==============================================================================
    StatusBar* getStatusBar() const noexcept                    { return statusBar.get(); }
    OptionsWindow* getOptionsWindow() const noexcept            { return optionsWindow.get(); }
    AboutWindow* getAboutWindow() const noexcept                { return aboutWindow.get(); }
    GFXPanel* getSkinPanel() const noexcept                     { return skinPanel.get(); }
    ProcessingSettingsComponent* getProcessingSettingsComponent() const noexcept { return processingPage.get(); }
    /** The "GUI" page; null unless skin choice is enabled. */
    GUISettingsComponent* getGUISettingsComponent() const noexcept { return guiPage.get(); }
    GFXMultiStateButton* getMidiLearnButton() const noexcept    { return midiLearnButton; }
    GFXAnimation* getMidiActivityLed() const noexcept           { return midiActivityLed; }
    juce::TooltipWindow* getTooltipWindow() const noexcept      { return tooltipWindow.get(); }
    Halvorn::AlertWindow* getOverwriteAlert() const noexcept    { return overwriteAlert.get(); }
    Halvorn::AlertWindow* getModifiedPresetAlert() const noexcept { return modifiedPresetAlert.get(); }
    Halvorn::AlertWindow* getSaveFailedAlert() const noexcept   { return saveFailedAlert.get(); }
    DefaultLookAndFeel& getDefaultLookAndFeel() noexcept        { return lookAndFeel; }
    MidiControlComponent* getMidiControlPage() noexcept         { return &midiControlPage; }
    HostParametersComponent* getHostParametersPage() noexcept   { return &hostParametersPage; }
    PresetsSettingsComponent* getPresetsPage() noexcept         { return &presetsPage; }
    juce::String getDefaultSkinName() const;
    juce::String getCurrentSkinName() const;

    //==============================================================================
    /** The page of the "Processing" tab; a product returns its own. */
    virtual std::unique_ptr<ProcessingSettingsComponent> createProcessingSettingsComponent();
    /** The page of the "GUI" tab, made only when skin choice is enabled. */
    virtual std::unique_ptr<GUISettingsComponent> createGUISettingsComponent();
    /** The last step of initialise, for a product to bind its pages; nothing here. */
    virtual void bindSettingsPages() {}
    /** Runs every 25 ms while the editor is visible: a pending skin, the MIDI activity light. */
    virtual void timerTick();
    virtual bool hasStatusBar() const                           { return true; }

    virtual juce::String getSettingsTagName() const;
    /** True when the element's tag is the settings tag, ignoring case. */
    virtual bool isSettingsXml (const juce::XmlElement& element) const;
    /** The editor's element of the "UserSettings" document; the caller owns it. */
    virtual std::unique_ptr<juce::XmlElement> createSettingsXml() const;
    virtual void loadSettingsXml (const juce::XmlElement& element);

    virtual juce::String getStateTagName() const;
    /** True when the element's tag is the state tag, ignoring case. */
    virtual bool isStateXml (const juce::XmlElement& element) const;
    /** The editor's element of the "PluginState" document; the caller owns it. */
    virtual std::unique_ptr<juce::XmlElement> createStateXml() const;
    virtual void loadStateXml (const juce::XmlElement& element);

    //==============================================================================
    /** A product reacts to parameter changes; nothing here. */
    void parameterChanged (Parameter*) override {}

    void controllerValueChanged (GUIController* controller) override;
    /** The framework's uids; any other uid touches the widget's parameter and goes to the
        plug-in's handleEvent.
    */
    void handleControllerEvent (GUIController* controller, int uid) override;

    void learnStateChanged (MidiControl* midiControl) override;
    void controllerActivity (MidiControl* midiControl) override;

    /** The MIDI control page's "Default map" box, the one box the editor listens to. */
    void stateChanged (DefaultResourceCheckBox* box) override;
    void tabChanged (TabbedComponentEx* tabs) override;
    void processingModeChanged (BasePlugin*, int mode) override;
    void defaultSkinChanged (GUISettingsComponent*) override    { defaultSkinChosen(); }
    void currentSkinChanged (GUISettingsComponent*) override    { currentSkinChosen(); }
    void alertResult (Halvorn::AlertWindow* alert, int result) override;

    /** Above the status bar: modal windows and alerts are centred there. */
    juce::Rectangle<int> getModalArea() override;

    /** @internal */
    void paint (juce::Graphics&) override;
    /** @internal */
    void resized() override;
    /** @internal */
    void childBoundsChanged (juce::Component* child) override;
    /** @internal */
    void timerCallback() override;

protected:
    /** The skin named in the settings (kept, unused while skin choice is off). */
    juce::String defaultSkinName;
    /** The skin shown now; empty for the built-in one. */
    juce::String currentSkinName;
    /** Off in this system: no skin archive is offered, loaded or recorded. When a derived
        editor sets it before initialise, the options window gets the "GUI" page and the
        default skin is loaded.
    */
    bool skinChoiceEnabled = false;

    MidiControlComponent midiControlPage;
    HostParametersComponent hostParametersPage;
    PresetsSettingsComponent presetsPage;

private:
    void layoutStatusBar();
    void addSkinChoice();
    void stepPreset (int direction);
    void bindQualityBoxes();
    void showAlert (std::unique_ptr<Halvorn::AlertWindow>& holder, std::unique_ptr<Halvorn::AlertWindow> alert);
    void presetFileChosen (const juce::String& collectionName, const juce::File& chosen, const juce::File& warnedAbout);
    void savePresetFile (PresetCollection* collection, const juce::File& file);
    /** Why no preset can be written to the file, for the user; empty when it can. */
    static juce::String getReasonNotToSave (const juce::File& file);
    void showSaveFailed (const juce::String& message);
    juce::File getPresetFolder (PresetCollection* collection) const;

    std::unique_ptr<OptionsWindow> optionsWindow;
    std::unique_ptr<GUISettingsComponent> guiPage;
    std::unique_ptr<ProcessingSettingsComponent> processingPage;
    std::unique_ptr<AboutWindow> aboutWindow;
    BasePlugin& plugin;
    GFXAnimation* midiActivityLed = nullptr;
    juce::Image makerLogo, productLogo;
    DefaultLookAndFeel lookAndFeel;
    std::unique_ptr<Halvorn::AlertWindow> overwriteAlert, modifiedPresetAlert, saveFailedAlert;
    std::unique_ptr<juce::Component> presetBrowserWindow;
    std::unique_ptr<juce::TooltipWindow> tooltipWindow;
    std::unique_ptr<StatusBar> statusBar;
    int contentHeight = 0;
    GFXMultiStateButton* midiLearnButton = nullptr;
    juce::String pendingSkinName;
    std::atomic<int> pendingSkinFlag { 0 };
    // The skin names are read by the state and settings functions on the host's threads.
    mutable juce::SpinLock skinNameLock;
    std::unique_ptr<GFXPanel> skinPanel;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (BasePluginEditor)
};
