#pragma once

#include "BasePluginEditor.h"
#include "Corvane.h"
#include "ParameterPadlock.h"
#include "PopupMenuEx.h"

#include <array>
#include <map>

class CorvanePresetBrowser;
class GFXAnimation;
class GFXMultiStateButton;
class ModulatorRetriggerSettings;

/**
    The Corvane editor: the framework editor bound to the delay's skin.

    Most skin widgets are linked to their parameters by the skin itself. This class drives
    the ones whose look depends on more than one parameter, on the selected line, on the
    engine's meters or on a window: radio lamps, the panels of the selected line and of the
    modulators, the signal-flow picture, line and padlock lamps and, every 25 ms, the
    meters and modulator lamps. It turns the product's event uids into parameter changes
    and processor operations, and owns the product's own windows: the routing menu, the
    modulators' retrigger windows and the factory-preset installer.
*/
class CorvaneEditor  : public BasePluginEditor,
                       public PopupMenuEx::Listener,
                       public Corvane::Listener,
                       public ParameterPadlock::Listener,
                       public juce::ComponentListener
{
public:
    class InstallFactoryPresetsWindow;

    explicit CorvaneEditor (Corvane& processor);
    ~CorvaneEditor() override;

    Corvane& getProcessor() noexcept                { return corvane; }

    /** Stops the editor's worker threads and waits for them; the processor calls it
        before it saves its settings, so that no worker writes them at the same time.
    */
    void stopBackgroundWork();

    /** The skin widget the editor drives under that name; null when the skin has no
        component of that name or it is of another kind than the editor needs.
    */
    juce::Component* getBoundWidget (const juce::String& name) const;

    PopupMenuEx& getRoutingMenu() noexcept          { return routingMenu; }
    /** The retrigger window of modulator 0 (MOD 1) or 1 (MOD 2). */
    ModulatorRetriggerSettings* getRetriggerWindow (int modulator) const;
    InstallFactoryPresetsWindow* getInstallerWindow() const noexcept  { return installer.get(); }
    /** Null when the processor has no preset collection. */
    CorvanePresetBrowser* getPresetBrowser() const noexcept  { return presetBrowser.get(); }

    /** How often the line display was refreshed (a line copied or pasted). */
    int getNumLineDisplayRefreshes() const noexcept { return numLineDisplayRefreshes; }

    //==============================================================================
    std::unique_ptr<ProcessingSettingsComponent> createProcessingSettingsComponent() override;
    void bindSettingsPages() override;
    void timerTick() override;

    void parameterChanged (Parameter* parameter) override;
    void controllerValueChanged (GUIController* controller) override;
    void handleControllerEvent (GUIController* controller, int uid) override;
    void itemChosen (PopupMenuEx* menu, int id, bool ticked) override;

    void padlockChanged (ParameterPadlock* padlock) override;
    void lineCopied() override;
    void linePasted (Corvane* processor) override;

    void componentVisibilityChanged (juce::Component& component) override;
    /** @internal */
    void visibilityChanged() override;

private:
    struct RetriggerPair
    {
        GFXMultiStateButton* button = nullptr;
        std::unique_ptr<ModulatorRetriggerSettings> window;
    };

    void bindWidgets();
    void createRetriggerWindow (int modulator);
    void placeRetriggerWindows();
    juce::Rectangle<int> getBoundsInEditor (const juce::Component& widget) const;

    GFXMultiStateButton* lamp (const juce::String& name) const;
    GFXAnimation* animation (const juce::String& name) const;
    void setLamp (const juce::String& name, bool lit) const;
    void setRadioLamps (std::initializer_list<const char*> names, int value) const;
    void showWidget (const juce::String& name, bool visible) const;
    bool isPanelVisible (const juce::String& name) const;

    int getInt (int id) const;
    bool getBool (int id) const;
    int getSelectedLine() const                     { return corvane.getSelectedLine(); }
    void touchLineCopy (int index);

    void selectLine (int line);
    void toggleSolo (int line);
    void selectScale (int syncId, int joinId, int leftId, int rightId, bool right, int value);
    void selectWaveform (int waveformId, const juce::String& item);
    void toggleRetriggerWindow (int modulator);
    void showRoutingMenu();

    void refreshLineDisplay();
    void refreshLineLamps();
    void refreshTimePanel();
    void refreshScaleLamps (bool preDelay);
    void refreshJoinedChannels (bool preDelay);
    void refreshTempoSyncPanels (bool preDelay);
    void refreshModulatorPanels (int modulator);
    void refreshSignalFlow();
    void refreshPadlockLamp (int padlock);
    void updateMeters();
    void showModulatorRestart (int modulator, bool restarted);

    Corvane& corvane;
    std::map<juce::String, juce::Component*> widgets;
    PopupMenuEx routingMenu;
    std::array<RetriggerPair, 2> retriggers;
    std::unique_ptr<CorvanePresetBrowser> presetBrowser;
    std::unique_ptr<InstallFactoryPresetsWindow> installer;
    int numLineDisplayRefreshes = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CorvaneEditor)
};
