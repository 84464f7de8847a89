#include "CorvaneEditor.h"

#include "AboutWindow.h"
#include "BoolParameter.h"
#include "CorvanePresetBrowser.h"
#include "CorvaneProcessingSettingsComponent.h"
#include "DelayEngine.h"
#include "EnumParameter.h"
#include "FloatParameter.h"
#include "GFXAnimation.h"
#include "GFXButton.h"
#include "GFXKnob.h"
#include "GFXMultiStateButton.h"
#include "GFXPanel.h"
#include "InstallFactoryPresetsWindow.h"
#include "ModulatorRetriggerSettings.h"
#include "NoteParameter.h"
#include "NumericDisplay.h"
#include "OptionsWindow.h"
#include "ParameterChooserMenu.h"

namespace
{
    using Ids = CorvaneParameterIds;

    enum class Kind { animation, lamp, panel, knob, display, button };

    struct BoundName
    {
        const char* name;
        Kind kind;
    };

    // The skin components whose look the editor computes; everything else the skin links itself.
    const BoundName boundNames[] =
    {
        { "OutputVULeftAnim", Kind::animation }, { "OutputVURightAnim", Kind::animation },
        { "OutputClipLeftAnim", Kind::animation }, { "OutputClipRightAnim", Kind::animation },
        { "Delay1VUMeterLeftAnimation", Kind::animation }, { "Delay1VUMeterRightAnimation", Kind::animation },
        { "Delay2VUMeterLeftAnimation", Kind::animation }, { "Delay2VUMeterRightAnimation", Kind::animation },
        { "Delay3VUMeterLeftAnimation", Kind::animation }, { "Delay3VUMeterRightAnimation", Kind::animation },
        { "Delay4VUMeterLeftAnimation", Kind::animation }, { "Delay4VUMeterRightAnimation", Kind::animation },
        { "DelayModeLRSwitch", Kind::lamp }, { "DelayModeMSSwitch", Kind::lamp },
        { "Delay1SelectButton", Kind::lamp }, { "Delay2SelectButton", Kind::lamp },
        { "Delay3SelectButton", Kind::lamp }, { "Delay4SelectButton", Kind::lamp },
        { "DelayFilterPreOverdriveSwitch", Kind::lamp }, { "DelayFilterPostOverdriveSwitch", Kind::lamp },
        { "DelayFilterSwitch", Kind::lamp }, { "DelayFilterLPSwitch", Kind::lamp },
        { "DelayFilterBPSwitch", Kind::lamp }, { "DelayFilterHPSwitch", Kind::lamp },
        { "ModulationSourceLFO1Switch", Kind::lamp }, { "ModulationSourceLFO2Switch", Kind::lamp },
        { "ModulationScaleLinearSwitch", Kind::lamp }, { "ModulationScaleLogarithmicSwitch", Kind::lamp },
        { "DelayPanelSelectSwitch", Kind::lamp }, { "PredelayPanelSelectSwitch", Kind::lamp },
        { "DelayTimePanel", Kind::panel }, { "DelayTimePanelSync", Kind::panel }, { "DelayTimePanelNotSync", Kind::panel },
        { "DelayRightTimeKnob", Kind::knob }, { "DelayRightTimeJoinedKnob", Kind::knob },
        { "DelayTimeRightNominator", Kind::display }, { "DelayTimeRightDenominator", Kind::display },
        { "DelayTimeRightNominatorJoined", Kind::display }, { "DelayTimeRightDenominatorJoined", Kind::display },
        { "DelayTimeLeftFullSwitch", Kind::lamp }, { "DelayTimeLeftDotSwitch", Kind::lamp }, { "DelayTimeLeftTripletSwitch", Kind::lamp },
        { "DelayTimeRightFullSwitch", Kind::lamp }, { "DelayTimeRightDotSwitch", Kind::lamp }, { "DelayTimeRightTripletSwitch", Kind::lamp },
        { "PredelayTimePanel", Kind::panel }, { "PredelayTimePanelSync", Kind::panel }, { "PredelayTimePanelNotSync", Kind::panel },
        { "PredelayRightTimeKnob", Kind::knob }, { "PredelayRightTimeJoinedKnob", Kind::knob },
        { "PredelayTimeRightNominator", Kind::display }, { "PredelayTimeRightDenominator", Kind::display },
        { "PredelayTimeRightNominatorJoined", Kind::display }, { "PredelayTimeRightDenominatorJoined", Kind::display },
        { "PredelayTimeLeftFullSwitch", Kind::lamp }, { "PredelayTimeLeftDotSwitch", Kind::lamp }, { "PredelayTimeLeftTripletSwitch", Kind::lamp },
        { "PredelayTimeRightFullSwitch", Kind::lamp }, { "PredelayTimeRightDotSwitch", Kind::lamp }, { "PredelayTimeRightTripletSwitch", Kind::lamp },
        { "LFO1Panel", Kind::panel }, { "LFO2Panel", Kind::panel },
        { "LFO1SyncedPanel", Kind::panel }, { "LFO1NotSyncedPanel", Kind::panel },
        { "LFO2SyncedPanel", Kind::panel }, { "LFO2NotSyncedPanel", Kind::panel },
        { "LFO1ScaleFullSwitch", Kind::lamp }, { "LFO1ScaleDotSwitch", Kind::lamp }, { "LFO1ScaleTripletSwitch", Kind::lamp },
        { "LFO2ScaleFullSwitch", Kind::lamp }, { "LFO2ScaleDotSwitch", Kind::lamp }, { "LFO2ScaleTripletSwitch", Kind::lamp },
        { "ENV1Panel", Kind::panel }, { "PEAK1Panel", Kind::panel }, { "ENV2Panel", Kind::panel }, { "PEAK2Panel", Kind::panel },
        { "PEAK1MeterAnim", Kind::animation }, { "PEAK2MeterAnim", Kind::animation },
        { "LFO1ResetLED", Kind::animation }, { "ENV1ResetLED", Kind::animation },
        { "LFO2ResetLED", Kind::animation }, { "ENV2ResetLED", Kind::animation },
        { "LFO1FreeRateLED", Kind::animation }, { "LFO1SyncRateLED", Kind::animation },
        { "LFO2FreeRateLED", Kind::animation }, { "LFO2SyncRateLED", Kind::animation },
        { "MOD1TypeLFOSwitch", Kind::lamp }, { "MOD1TypeENVSwitch", Kind::lamp }, { "MOD1TypePEAKSwitch", Kind::lamp },
        { "MOD2TypeLFOSwitch", Kind::lamp }, { "MOD2TypeENVSwitch", Kind::lamp }, { "MOD2TypePEAKSwitch", Kind::lamp },
        { "FXAmountPadlockButton", Kind::lamp }, { "Delay1PadlockButton", Kind::lamp }, { "Delay2PadlockButton", Kind::lamp },
        { "Delay3PadlockButton", Kind::lamp }, { "Delay4PadlockButton", Kind::lamp },
        { "DelayRightTimeDisplay", Kind::display }, { "DelayRightTimeJoinedDisplay", Kind::display },
        { "PredelayRightTimeDisplay", Kind::display }, { "PredelayRightTimeJoinedDisplay", Kind::display },
        { "RoutingSelectSwitch", Kind::button },
        { "SignalFlowAnim", Kind::animation },
        { "MOD1RetriggerSettings", Kind::lamp }, { "MOD2RetriggerSettings", Kind::lamp },
    };

    bool isOfKind (juce::Component* component, Kind kind)
    {
        switch (kind)
        {
            case Kind::animation:   return dynamic_cast<GFXAnimation*> (component) != nullptr;
            case Kind::lamp:        return dynamic_cast<GFXMultiStateButton*> (component) != nullptr;
            case Kind::panel:       return dynamic_cast<GFXPanel*> (component) != nullptr;
            case Kind::knob:        return dynamic_cast<GFXKnob*> (component) != nullptr;
            case Kind::display:     return dynamic_cast<NumericDisplay*> (component) != nullptr;
            case Kind::button:      return dynamic_cast<GFXButton*> (component) != nullptr;
        }

        return false;
    }

    const char* const routingNames[] = { "Parallel", "Serial", "Tapped Serial", "Mixed 1", "Mixed 2",
                                         "Mixed 3", "Mixed 4", "Mixed 5", "Mixed 6" };

    const char* const lineLampNames[] = { "Delay1SelectButton", "Delay2SelectButton", "Delay3SelectButton", "Delay4SelectButton" };
    const char* const padlockLampNames[] = { "Delay1PadlockButton", "Delay2PadlockButton", "Delay3PadlockButton",
                                             "Delay4PadlockButton", "FXAmountPadlockButton" };

    // Both pairs sit on the same ids, the pre-delay's 12 above the delay's.
    constexpr int tempoSyncId = 11, joinId = 12, leftScaleId = 17, rightScaleId = 18, preDelayOffset = 12;
    constexpr int filterModeId = 6, filterLoopId = 7, filterTypeId = 10, overdriveId = 35, routingId = 90;
    constexpr int mod1TypeId = 47, lfo1SyncId = 52, modulatorOffset = 20;

    constexpr int retriggerWindowWidth = 338, retriggerWindowHeight = 161, retriggerWindowLift = 163;
    constexpr int restartFlashMs = 75;

    /** Lamp or panel names of the pre-delay: the delay's with "Predelay" in place of "Delay". */
    juce::String nameFor (bool preDelay, const juce::String& delayName)
    {
        return preDelay ? "Pre" + delayName.toLowerCase().substring (0, 1) + delayName.substring (1) : delayName;
    }
}

//==============================================================================
CorvaneEditor::CorvaneEditor (Corvane& processor)
    : BasePluginEditor (processor),
      corvane (processor)
{
    createRetriggerWindow (0);
    createRetriggerWindow (1);

    if (auto* collection = corvane.getPresetCollection (0))
    {
        presetBrowser = std::make_unique<CorvanePresetBrowser> (corvane, *collection);
        addChildComponent (*presetBrowser);
        presetBrowser->setTitle (collection->getName());
        presetBrowser->setSize (1200, 540);
        presetBrowser->refreshBrowser();
    }

    bindWidgets();
    placeRetriggerWindows();
    getHostParametersPage()->getList().setParameterMenu (ParameterChooserMenu::create (corvane));

    for (int id = 0; id < juce::numElementsInArray (routingNames); ++id)
        routingMenu.addItem (id, routingNames[id]);

    routingMenu.addListener (this);

    if (auto* about = getAboutWindow())
        about->setSize (800, 300);

    if (auto* options = getOptionsWindow())
        options->setSize (800, 300);

    for (int i = 0; i < Corvane::numPadlocks; ++i)
        corvane.getPadlock (i).addListener (this);

    corvane.addListener (static_cast<Corvane::Listener*> (this));

    if (corvane.factoryPresetsNeedInstalling())
    {
        installer = std::make_unique<InstallFactoryPresetsWindow> (corvane);
        addChildComponent (*installer);
        installer->open();
    }

    refreshLineLamps();
    refreshTimePanel();
}

CorvaneEditor::~CorvaneEditor()
{
    stopBackgroundWork();

    if (auto* options = getOptionsWindow())
        options->removeComponentListener (this);

    for (int i = 0; i < Corvane::numPadlocks; ++i)
        corvane.getPadlock (i).removeListener (this);

    corvane.removeListener (static_cast<Corvane::Listener*> (this));
    routingMenu.removeListener (this);
    routingMenu.close();

    installer.reset();
    presetBrowser.reset();

    for (auto& pair : retriggers)
    {
        if (pair.window != nullptr)
            pair.window->removeComponentListener (this);

        pair.window.reset();
    }
}

void CorvaneEditor::stopBackgroundWork()
{
    if (installer != nullptr)
        installer->stopInstalling();

    auto& authorUpdater = getPresetsPage()->getUpdateWindow();
    authorUpdater.signalThreadShouldExit();
    authorUpdater.waitForThreadToExit (5000);
}

//==============================================================================
std::unique_ptr<ProcessingSettingsComponent> CorvaneEditor::createProcessingSettingsComponent()
{
    return std::make_unique<CorvaneProcessingSettingsComponent> (corvane);
}

void CorvaneEditor::bindSettingsPages()
{
    if (auto* options = getOptionsWindow())
        options->addComponentListener (this);
}

void CorvaneEditor::createRetriggerWindow (int modulator)
{
    auto& manager = corvane.parameterManager;
    const auto offset = modulator * modulatorOffset;
    const auto noteOffset = modulator * 2;
    const auto fetch = [&manager] (int id) { return manager.getParameter (id); };

    auto window = std::make_unique<ModulatorRetriggerSettings> (
        "MOD " + juce::String (modulator + 1) + " Retrigger Settings",
        dynamic_cast<EnumParameter*> (fetch (Ids::mod1RetriggerMode + offset)),
        dynamic_cast<EnumParameter*> (fetch (Ids::mod1RetriggerChannel + noteOffset)),
        dynamic_cast<NoteParameter*> (fetch (Ids::mod1RetriggerNote + noteOffset)),
        dynamic_cast<BoolParameter*> (fetch (Ids::mod1RetriggerLearn + modulator)),
        dynamic_cast<FloatParameter*> (fetch (Ids::mod1RetriggerMode + 1 + offset)),
        dynamic_cast<FloatParameter*> (fetch (Ids::mod1RetriggerMode + 2 + offset)),
        dynamic_cast<FloatParameter*> (fetch (Ids::mod1RetriggerMode + 3 + offset)));

    addChildComponent (*window);
    window->addComponentListener (this);
    retriggers[(size_t) modulator].window = std::move (window);
}

void CorvaneEditor::bindWidgets()
{
    for (const auto& bound : boundNames)
    {
        auto* component = findComponentByName (this, bound.name);
        widgets[bound.name] = isOfKind (component, bound.kind) ? component : nullptr;
    }

    retriggers[0].button = lamp ("MOD1RetriggerSettings");
    retriggers[1].button = lamp ("MOD2RetriggerSettings");
}

void CorvaneEditor::placeRetriggerWindows()
{
    for (auto& pair : retriggers)
    {
        if (pair.button == nullptr || pair.window == nullptr)
            continue;

        const auto anchor = getBoundsInEditor (*pair.button);
        pair.window->setSize (retriggerWindowWidth, retriggerWindowHeight);
        pair.window->setTopLeftPosition (anchor.getX(), anchor.getY() - retriggerWindowLift);
    }
}

juce::Rectangle<int> CorvaneEditor::getBoundsInEditor (const juce::Component& widget) const
{
    // Skin widgets sit in nested panels: their bounds are their parent's coordinates.
    return getLocalArea (widget.getParentComponent(), widget.getBounds());
}

juce::Component* CorvaneEditor::getBoundWidget (const juce::String& name) const
{
    const auto found = widgets.find (name);
    return found != widgets.end() ? found->second : nullptr;
}

ModulatorRetriggerSettings* CorvaneEditor::getRetriggerWindow (int modulator) const
{
    return juce::isPositiveAndBelow (modulator, 2) ? retriggers[(size_t) modulator].window.get() : nullptr;
}

GFXMultiStateButton* CorvaneEditor::lamp (const juce::String& name) const
{
    return dynamic_cast<GFXMultiStateButton*> (getBoundWidget (name));
}

GFXAnimation* CorvaneEditor::animation (const juce::String& name) const
{
    return dynamic_cast<GFXAnimation*> (getBoundWidget (name));
}

void CorvaneEditor::setLamp (const juce::String& name, bool lit) const
{
    if (auto* button = lamp (name))
        button->setState (lit ? 1 : 0);
}

void CorvaneEditor::setRadioLamps (std::initializer_list<const char*> names, int value) const
{
    int k = 0;

    for (auto* name : names)
        setLamp (name, value == k++);
}

void CorvaneEditor::showWidget (const juce::String& name, bool visible) const
{
    if (auto* component = getBoundWidget (name))
        component->setVisible (visible);
}

bool CorvaneEditor::isPanelVisible (const juce::String& name) const
{
    auto* component = getBoundWidget (name);
    return component != nullptr && component->isVisible();
}

int CorvaneEditor::getInt (int id) const
{
    return corvane.parameterManager.getParameterIntValue (id);
}

bool CorvaneEditor::getBool (int id) const
{
    return corvane.parameterManager.getParameterBoolValue (id);
}

void CorvaneEditor::touchLineCopy (int index)
{
    if (auto* copy = corvane.parameterManager.getParameter (Ids::getLineParameterId (getSelectedLine(), index)))
        parameterTouched (copy);
}

//==============================================================================
void CorvaneEditor::controllerValueChanged (GUIController* controller)
{
    if (auto* parameter = controller != nullptr ? controller->getParameter() : nullptr)
    {
        const auto id = parameter->getIndex();

        if (juce::isPositiveAndBelow (id, (int) Ids::numLineParameters))
        {
            if (auto* copy = corvane.parameterManager.getParameter (Ids::getLineParameterId (getSelectedLine(), id)))
            {
                parameterTouched (copy);
                return;
            }
        }
    }

    BasePluginEditor::controllerValueChanged (controller);
}

void CorvaneEditor::handleControllerEvent (GUIController* controller, int uid)
{
    auto& manager = corvane.parameterManager;

    const auto setAndTouchLineCopy = [&] (int id, int value)
    {
        manager.setParameterIntValue (id, value);
        touchLineCopy (id);
    };

    const auto setAndTouch = [&] (int id, int value)
    {
        manager.setParameterIntValue (id, value);
        parameterTouchedByIndex (id);
    };

    static const char* const waveforms[] = { "Triangle", "Sine", "Square", "Saw Down", "Smooth S/H" };

    if (uid >= 0 && uid <= 3)            manager.setParameterIntValue (Ids::selectedLineNumber, uid + 1);
    else if (uid == 4)                   manager.setParameterIntValue (Ids::selectedLineNumber, (getSelectedLine() + 1) % 4 + 1);
    else if (uid >= 5 && uid <= 8)       manager.setParameterBoolValue ((uid - 4) * 1000, ! manager.getParameterBoolValue ((uid - 4) * 1000));
    else if (uid >= 9 && uid <= 12)      toggleSolo (uid - 8);
    else if (uid >= 13 && uid <= 14)     setAndTouchLineCopy (Ids::channelMode, uid - 13);
    else if (uid >= 15 && uid <= 16)     setAndTouchLineCopy (filterModeId, uid - 15);
    else if (uid >= 17 && uid <= 20)     setAndTouchLineCopy (filterTypeId, uid - 17);
    else if (uid >= 21 && uid <= 22)     manager.setParameterIntValue (Ids::line1TimePanel + getSelectedLine(), uid - 21);
    else if (uid >= 23 && uid <= 25)     selectScale (tempoSyncId, joinId, leftScaleId, rightScaleId, false, uid - 23);
    else if (uid >= 26 && uid <= 28)     selectScale (tempoSyncId, joinId, leftScaleId, rightScaleId, true, uid - 26);
    else if (uid >= 29 && uid <= 31)     selectScale (tempoSyncId + preDelayOffset, joinId + preDelayOffset, leftScaleId + preDelayOffset, rightScaleId + preDelayOffset, false, uid - 29);
    else if (uid >= 32 && uid <= 34)     selectScale (tempoSyncId + preDelayOffset, joinId + preDelayOffset, leftScaleId + preDelayOffset, rightScaleId + preDelayOffset, true, uid - 32);
    else if (uid >= 35 && uid <= 36)     setAndTouchLineCopy (Ids::modulationSource, uid - 35);
    else if (uid >= 37 && uid <= 38)     setAndTouchLineCopy (Ids::modulationSource + 1, uid - 37);
    else if (uid >= 39 && uid <= 41)     setAndTouch (mod1TypeId, uid - 39);
    else if (uid >= 42 && uid <= 46)     selectWaveform (Ids::lfo1Waveform, waveforms[uid - 42]);
    else if (uid >= 47 && uid <= 49)     setAndTouch (Ids::lfo1RhythmicScale, uid - 47);
    else if (uid >= 50 && uid <= 52)     setAndTouch (mod1TypeId + modulatorOffset, uid - 50);
    else if (uid >= 53 && uid <= 57)     selectWaveform (Ids::lfo2Waveform, waveforms[uid - 53]);
    else if (uid >= 58 && uid <= 60)     setAndTouch (Ids::lfo2RhythmicScale, uid - 58);
    else if (uid == 61)                  showRoutingMenu();
    else if (uid >= 62 && uid <= 65)     corvane.copyLineToClipboard (uid - 62);
    else if (uid >= 66 && uid <= 69)     corvane.pasteClipboardToLine (uid - 66);
    else if (uid >= 70 && uid <= 74)     corvane.getPadlock (uid - 70).toggle();
    else if (uid >= 75 && uid <= 76)     toggleRetriggerWindow (uid - 75);
    else if (uid == browsePresetsEvent)  { if (presetBrowser != nullptr) presetBrowser->show(); }
    else                                 BasePluginEditor::handleControllerEvent (controller, uid);
}

void CorvaneEditor::toggleSolo (int line)
{
    auto& manager = corvane.parameterManager;
    bool alreadySolo = ! manager.getParameterBoolValue (line * 1000);

    for (int k = 1; k <= 4; ++k)
        if (k != line)
            alreadySolo = alreadySolo && manager.getParameterBoolValue (k * 1000);

    for (int k = 1; k <= 4; ++k)
        manager.setParameterBoolValue (k * 1000, alreadySolo ? false : k != line);
}

void CorvaneEditor::selectScale (int syncId, int joinedId, int leftId, int rightId, bool right, int value)
{
    if (! getBool (syncId))
        return;

    // Joined channels share the left scale: the right lamps then set it too.
    const auto target = (! right || getBool (joinedId)) ? leftId : rightId;
    corvane.parameterManager.setParameterIntValue (target, value);
    touchLineCopy (target);
}

void CorvaneEditor::selectWaveform (int waveformId, const juce::String& item)
{
    // By name: the parameter lists its items in the reverse order of the events.
    if (auto* waveform = dynamic_cast<EnumParameter*> (corvane.parameterManager.getParameter (waveformId)))
    {
        const auto index = waveform->getItems().indexOf (item);

        if (index >= 0)
        {
            corvane.parameterManager.setParameterIntValue (waveformId, index);
            parameterTouchedByIndex (waveformId);
        }
    }
}

void CorvaneEditor::toggleRetriggerWindow (int modulator)
{
    auto* window = retriggers[(size_t) modulator].window.get();

    if (window == nullptr)
        return;

    if (window->isVisible())
        window->close();
    else
        window->showAt (ModalComponent::atPosition, window->getPosition(), nullptr);
}

void CorvaneEditor::showRoutingMenu()
{
    juce::Rectangle<int> area (0, 0, 100, 100);

    if (auto* anchor = getBoundWidget ("RoutingSelectSwitch"))
    {
        const auto bounds = getBoundsInEditor (*anchor);
        area = { bounds.getRight(), bounds.getY(), 100, 100 };
    }

    routingMenu.show (this, area, PopupMenuEx::belowTarget);
}

void CorvaneEditor::itemChosen (PopupMenuEx* menu, int id, bool)
{
    if (menu != &routingMenu)
        return;

    corvane.parameterManager.setParameterIntValue (routingId, id);
    parameterTouchedByIndex (routingId);
}

//==============================================================================
void CorvaneEditor::parameterChanged (Parameter* parameter)
{
    if (parameter == nullptr)
        return;

    const auto id = parameter->getIndex();

    switch (id)
    {
        case 3:   setRadioLamps ({ "DelayModeLRSwitch", "DelayModeMSSwitch" }, getInt (id)); break;

        case filterModeId:
            setRadioLamps ({ "DelayFilterPreOverdriveSwitch", "DelayFilterPostOverdriveSwitch" }, getInt (id));
            refreshSignalFlow();
            break;

        case filterLoopId:
        case overdriveId:
            refreshSignalFlow();
            break;

        case filterTypeId:
            setRadioLamps ({ "DelayFilterSwitch", "DelayFilterLPSwitch", "DelayFilterBPSwitch", "DelayFilterHPSwitch" }, getInt (id));
            refreshSignalFlow();
            break;

        case tempoSyncId:                       refreshTempoSyncPanels (false); refreshScaleLamps (false); break;
        case joinId:                            refreshJoinedChannels (false); refreshScaleLamps (false); break;
        case leftScaleId: case rightScaleId:    refreshScaleLamps (false); break;
        case tempoSyncId + preDelayOffset:      refreshTempoSyncPanels (true); refreshScaleLamps (true); break;
        case joinId + preDelayOffset:           refreshJoinedChannels (true); refreshScaleLamps (true); break;
        case leftScaleId + preDelayOffset:
        case rightScaleId + preDelayOffset:     refreshScaleLamps (true); break;

        case 42:  setRadioLamps ({ "ModulationSourceLFO1Switch", "ModulationSourceLFO2Switch" }, getInt (id)); break;
        case 43:  setRadioLamps ({ "ModulationScaleLinearSwitch", "ModulationScaleLogarithmicSwitch" }, getInt (id)); break;

        case mod1TypeId:
        case lfo1SyncId:                        refreshModulatorPanels (0); break;
        case mod1TypeId + modulatorOffset:
        case lfo1SyncId + modulatorOffset:      refreshModulatorPanels (1); break;

        case Ids::lfo1RhythmicScale:  setRadioLamps ({ "LFO1ScaleFullSwitch", "LFO1ScaleDotSwitch", "LFO1ScaleTripletSwitch" }, getInt (id)); break;
        case Ids::lfo2RhythmicScale:  setRadioLamps ({ "LFO2ScaleFullSwitch", "LFO2ScaleDotSwitch", "LFO2ScaleTripletSwitch" }, getInt (id)); break;

        case routingId:  routingMenu.setItemTicked (getInt (id), true, true); break;

        case Ids::selectedLineNumber:
            refreshLineLamps();
            refreshTimePanel();
            break;

        case Ids::line1TimePanel:
        case Ids::line1TimePanel + 1:
        case Ids::line1TimePanel + 2:
        case Ids::line1TimePanel + 3:
            if (id - Ids::line1TimePanel == getSelectedLine())
                refreshTimePanel();
            break;

        default:
            break;
    }
}

void CorvaneEditor::refreshTempoSyncPanels (bool preDelay)
{
    const auto sync = getBool (tempoSyncId + (preDelay ? preDelayOffset : 0));
    showWidget (nameFor (preDelay, "DelayTimePanelSync"), sync);
    showWidget (nameFor (preDelay, "DelayTimePanelNotSync"), ! sync);
}

void CorvaneEditor::refreshJoinedChannels (bool preDelay)
{
    const auto joined = getBool (joinId + (preDelay ? preDelayOffset : 0));

    for (auto* name : { "DelayRightTimeJoinedDisplay", "DelayRightTimeJoinedKnob",
                        "DelayTimeRightNominatorJoined", "DelayTimeRightDenominatorJoined" })
        showWidget (nameFor (preDelay, name), joined);

    for (auto* name : { "DelayRightTimeDisplay", "DelayRightTimeKnob",
                        "DelayTimeRightNominator", "DelayTimeRightDenominator" })
        showWidget (nameFor (preDelay, name), ! joined);
}

void CorvaneEditor::refreshScaleLamps (bool preDelay)
{
    const auto offset = preDelay ? preDelayOffset : 0;
    const auto sync = getBool (tempoSyncId + offset);
    const auto joined = getBool (joinId + offset);
    const auto left = sync ? getInt (leftScaleId + offset) : -1;
    const auto right = sync ? getInt ((joined ? leftScaleId : rightScaleId) + offset) : -1;

    int k = 0;

    for (auto* suffix : { "Full", "Dot", "Triplet" })
    {
        setLamp (nameFor (preDelay, "DelayTimeLeft" + juce::String (suffix) + "Switch"), left == k);
        setLamp (nameFor (preDelay, "DelayTimeRight" + juce::String (suffix) + "Switch"), right == k);
        ++k;
    }
}

void CorvaneEditor::refreshModulatorPanels (int modulator)
{
    const auto type = getInt (mod1TypeId + modulator * modulatorOffset);
    const auto sync = getBool (lfo1SyncId + modulator * modulatorOffset);
    const auto n = juce::String (modulator + 1);

    showWidget ("LFO" + n + "SyncedPanel", type == 0 && sync);
    showWidget ("LFO" + n + "NotSyncedPanel", type == 0 && ! sync);
    showWidget ("ENV" + n + "Panel", type == 1);
    showWidget ("PEAK" + n + "Panel", type == 2);

    setLamp ("MOD" + n + "TypeLFOSwitch", type == 0);
    setLamp ("MOD" + n + "TypeENVSwitch", type == 1);
    setLamp ("MOD" + n + "TypePEAKSwitch", type == 2);
}

void CorvaneEditor::refreshSignalFlow()
{
    auto* flow = animation ("SignalFlowAnim");

    if (flow == nullptr)
        return;

    const auto filter = getInt (filterTypeId) != 0;
    const auto loop = filter && getBool (filterLoopId);
    const auto overdrive = getBool (overdriveId);
    const auto post = getInt (filterModeId) == 1;

    flow->setFrame (8 * (int) loop + 4 * (int) filter + 2 * (int) overdrive + (int) post);
}

void CorvaneEditor::refreshTimePanel()
{
    const auto panel = getInt (Ids::line1TimePanel + getSelectedLine());

    if (panel != 0 && panel != 1)
        return;

    setLamp ("DelayPanelSelectSwitch", panel == 0);
    setLamp ("PredelayPanelSelectSwitch", panel == 1);
    showWidget ("DelayTimePanel", panel == 0);
    showWidget ("PredelayTimePanel", panel == 1);
}

void CorvaneEditor::refreshLineLamps()
{
    const auto selected = getSelectedLine();
    const auto clipboard = corvane.getClipboardLine();

    for (int i = 0; i < 4; ++i)
    {
        auto* button = lamp (lineLampNames[i]);

        if (button == nullptr)
            continue;

        button->setState (i == selected || i == clipboard ? 1 : 0);

        if (i == clipboard)
            button->startBlinking();
        else if (button->isBlinking())
            button->stopBlinking();
    }
}

void CorvaneEditor::refreshLineDisplay()
{
    ++numLineDisplayRefreshes;
    refreshLineLamps();
}

void CorvaneEditor::refreshPadlockLamp (int padlock)
{
    setLamp (padlockLampNames[padlock], corvane.getPadlock (padlock).isLocked());
}

//==============================================================================
void CorvaneEditor::padlockChanged (ParameterPadlock* padlock)
{
    for (int i = 0; i < Corvane::numPadlocks; ++i)
        if (&corvane.getPadlock (i) == padlock)
            refreshPadlockLamp (i);
}

void CorvaneEditor::lineCopied()
{
    refreshLineDisplay();
}

void CorvaneEditor::linePasted (Corvane*)
{
    refreshLineDisplay();
}

void CorvaneEditor::componentVisibilityChanged (juce::Component& component)
{
    // The page's learn toggles must not stay armed once its window opens or closes, and the
    // page itself hears nothing of its window's visibility.
    if (&component == getOptionsWindow())
        if (auto* page = dynamic_cast<CorvaneProcessingSettingsComponent*> (getProcessingSettingsComponent()))
            page->visibilityChanged();

    for (auto& pair : retriggers)
        if (pair.window.get() == &component && pair.button != nullptr)
            pair.button->setState (component.isVisible() ? 1 : 0);
}

void CorvaneEditor::visibilityChanged()
{
    if (! isVisible())
        return;

    if (auto* options = getOptionsWindow())
        options->setSize (1200, 540);

    auto* hostPage = getHostParametersPage();
    hostPage->getList().setRowsPerColumn (16);
    hostPage->resized();
}

//==============================================================================
void CorvaneEditor::timerTick()
{
    BasePluginEditor::timerTick();
    updateMeters();
}

void CorvaneEditor::updateMeters()
{
    auto& indicators = corvane.getEngine().getIndicators();

    const auto setLevel = [this] (const juce::String& name, float level)
    {
        if (auto* meter = animation (name))
            meter->setNormalisedValue (level);
    };

    const auto setFrame = [this] (const juce::String& name, int frame)
    {
        if (auto* lamp = animation (name))
            lamp->setFrame (frame);
    };

    setLevel ("OutputVULeftAnim", indicators.outputLevel[0].load());
    setLevel ("OutputVURightAnim", indicators.outputLevel[1].load());
    setFrame ("OutputClipLeftAnim", indicators.outputClip[0].load() == 1 ? 1 : 0);
    setFrame ("OutputClipRightAnim", indicators.outputClip[1].load() == 1 ? 1 : 0);

    for (int i = 0; i < 8; ++i)
        setLevel ("Delay" + juce::String (i / 2 + 1) + "VUMeter" + (i % 2 == 0 ? "Left" : "Right") + "Animation",
                  indicators.lineLevel[i].load());

    for (int m = 0; m < 2; ++m)
    {
        const auto n = juce::String (m + 1);

        if (auto* window = retriggers[(size_t) m].window.get())
            if (window->isVisible())
                window->showDetectorLevel (indicators.transientLevel[m].load(), indicators.transientHitFlag[m].exchange (0) == 1);

        if (isPanelVisible ("PEAK" + n + "Panel"))
            setLevel ("PEAK" + n + "MeterAnim", indicators.peakLevel[m].load());

        const auto rate = (int) indicators.lfoFirstHalf[m].load();

        if (isPanelVisible ("LFO" + n + "NotSyncedPanel"))
            setFrame ("LFO" + n + "FreeRateLED", rate);

        if (isPanelVisible ("LFO" + n + "SyncedPanel"))
            setFrame ("LFO" + n + "SyncRateLED", rate);
    }

    for (int m = 0; m < 2; ++m)
        showModulatorRestart (m, indicators.modulatorRestartFlag[m].exchange (0) == 1);
}

void CorvaneEditor::showModulatorRestart (int modulator, bool restarted)
{
    if (! restarted)
        return;

    const auto n = juce::String (modulator + 1);

    for (auto* kind : { "LFO", "ENV" })
        if (isPanelVisible (kind + n + "Panel"))
            if (auto* led = animation (kind + n + "ResetLED"))
                led->startAnimation (restartFlashMs);
}
