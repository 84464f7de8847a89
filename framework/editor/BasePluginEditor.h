#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class BasePlugin;

/**
    The framework's editor: the component that a plug-in shows inside the host's window.

    The processor base creates it once (BasePlugin::createEditorIfNeeded), calls
    initialise, and keeps it for the processor's whole life; hosts only ever receive
    short-lived wrappers around it. The editor adds one element, "Editor", to the
    processor's state document and to the user settings; with skin choice off, as in this
    system, both are empty.

    This is the editor in its least form: the fallback picture, the 25 ms tick and the
    "Editor" elements. The skinned editor grows from it behind the same interface.
*/
class BasePluginEditor  : public juce::Component,
                          public juce::Timer
{
public:
    explicit BasePluginEditor (BasePlugin& plugin);
    ~BasePluginEditor() override;

    /** The second construction step, called exactly once by the plug-in: reads the
        editor's own element of the user settings file.
    */
    void initialise();

    /** Called after initialise, only when the plug-in runs in debug mode. */
    virtual void addDebugPanel() {}

    /** Sizes the editor to a content area plus the status bar, and its parent (the
        host's wrapper) to the same size.
    */
    void setEditorSize (int width, int contentHeight);

    /** The "Skins" folder in the plug-in's machine-wide data folder. */
    juce::File getSkinsFolder() const;

    /** The skin archive of that name in the skins folder. */
    juce::File getSkinFile (const juce::String& name) const;

    BasePlugin& getPlugin() const noexcept      { return plugin; }

    //==============================================================================
    /** Runs every 25 ms while the editor is visible. */
    virtual void timerTick() {}

    virtual bool hasStatusBar() const           { return true; }

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
    /** @internal */
    void paint (juce::Graphics&) override;
    /** @internal */
    void timerCallback() override;

protected:
    /** The skin named in the settings (kept, unused while skin choice is off). */
    juce::String defaultSkinName;
    /** The skin shown now; empty for the built-in one. */
    juce::String currentSkinName;
    /** Off in this system: no skin archive is offered, loaded or recorded. */
    bool skinChoiceEnabled = false;

private:
    BasePlugin& plugin;
    int contentHeight = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (BasePluginEditor)
};
