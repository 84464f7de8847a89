#include "Corvane.h"

#include "CorvaneEditor.h"
#include "CorvaneValueText.h"
#include "DelayCore.h"
#include "DelayEngine.h"
#include "PreDelayCore.h"
#include "TimeCurve.h"
#include "XmlHelpers.h"

#include <cmath>
#include <filesystem>

using Ids = CorvaneParameterIds;

namespace
{
constexpr const char* presetExtension = ".cvprst";
constexpr const char* presetVersion = "1.1";
constexpr const char* parametersStateName = "ParametersState";
constexpr const char* editionStateName = "EditionStateParameters";
constexpr const char* defaultSettingsName = "DefaultSettingsParameters";

// The four linear times and the knob that stands for each (two ids lower).
constexpr int linearTimeIndices[] = { Ids::delayLeftTimeLinear, Ids::delayRightTimeLinear,
                                      Ids::preDelayLeftTimeLinear, Ids::preDelayRightTimeLinear };

// "Full", "Dot" and "Triplet" as factors on an LFO's rate; 0 for an unknown item.
double lfoScaleFor (int item)
{
    switch (item)
    {
        case 0:     return 1.0;
        case 1:     return 2.0 / 3.0;
        case 2:     return 1.5;
        default:    return 0.0;
    }
}

// "32" (bars of quarter notes) to "1/32": cycles per beat from 1/128 to 8.
double lfoRateFor (int item)
{
    return juce::isPositiveAndNotGreaterThan (item, 10) ? std::pow (2.0, item - 7) : 0.0;
}

template <typename ListenerType, typename Callback>
void callLastAddedFirst (juce::Array<ListenerType*>& list, Callback&& callback)
{
    for (int i = list.size(); --i >= 0;)
    {
        i = juce::jmin (i, list.size() - 1);

        if (i < 0)
            break;

        if (auto* l = list.getUnchecked (i))
            callback (*l);
    }
}
}

//==============================================================================
Corvane::Corvane()
{
    auto& parameters = parameterManager;

    for (int i = 0; i < 2; ++i)
        clocks.add (new Clock());

    engine = std::make_unique<DelayEngine>();

    // The table's knobs and linear times disagree; the linear times are what
    // the delay lines play, so the knobs follow them.
    for (auto linear : linearTimeIndices)
        parameters.setParameterNormalisedValue (linear - 2, (float) timeToKnob (parameters.getParameterNormalisedValue (linear)));

    for (int line = 0; line < Ids::numLines; ++line)
        for (int i = 0; i < Ids::numLineParameters; ++i)
            if (auto* view = parameters.getParameter (i))
                parameters.addParameter (view->clone (Ids::getLineParameterId (line, i),
                                                      "Line " + juce::String (line + 1) + " " + view->getName()));

    // A new instance sounds only its first line.
    for (int line = 1; line < Ids::numLines; ++line)
        parameters.setParameterNormalisedValue (Ids::getLineParameterId (line, Ids::volume), 0.0f);

    for (int i = 0; i < parameters.getNumParameters(); ++i)
        if (auto* p = parameters.getParameterAt (i))
            parameters.setDefaultValue (p->getIndex(), p->getNormalisedValue());

    presetIds = Ids::makePresetIds();
    editionIds = Ids::makeEditionIds();
    defaultSettingsIds = Ids::makeDefaultSettingsIds();

    for (int line = 0; line < Ids::numLines; ++line)
    {
        lineIds[(size_t) line] = Ids::makeLineIds (line);
        padlocks[(size_t) line].setRange (Ids::getLineParameterId (line, 0),
                                          Ids::getLineParameterId (line, Ids::numLineParameters - 1));
    }

    padlocks[numPadlocks - 1].setRange (Ids::fxAmount, Ids::fxAmount);

    parameters.capturePreset (defaultPreset, presetIds);
    defaultPreset.setName ("Default");

    for (int line = 0; line < Ids::numLines; ++line)
        parameters.capturePreset (lineDefaultPresets[(size_t) line], lineIds[(size_t) line]);

    for (int i = Ids::channelMode; i < Ids::numLineParameters; ++i)
        if (auto* p = parameters.getParameter (i))
            clipboard.add (p->clone (p->getIndex(), p->getName()));

    const auto presetFolder = getUserDataFolder().getChildFile ("Presets");
    addFolder ("presetDirectory", presetFolder);
    createPresetCollection (presetExtension, presetFolder);

    // Looked at without JUCE's listing, which decodes a name that is not valid UTF-8 past its end.
    std::error_code error;
    presetFolderHasEntries = std::filesystem::directory_iterator (presetFolder.getFullPathName().toStdString(), error)
                                 != std::filesystem::directory_iterator();
}

Corvane::~Corvane()
{
    // A worker of the editor must not write files while the settings are saved.
    if (auto* corvaneEditor = dynamic_cast<CorvaneEditor*> (getEditor()))
        corvaneEditor->stopBackgroundWork();

    saveUserSettings();
    deleteEditor();
}

//==============================================================================
void Corvane::prepareToPlay (double newSampleRate, int samplesPerBlock)
{
    BasePlugin::prepareToPlay (newSampleRate, samplesPerBlock);

    sampleRate = (float) newSampleRate;

    for (auto* clock : clocks)
        clock->setSampleRate (newSampleRate);

    // A host that announces no block size still gets runs of at least a sample.
    preparedBlockSize = juce::jmax (1, samplesPerBlock);

    {
        const juce::ScopedLock sl (engineLock);
        engine->prepare (newSampleRate, preparedBlockSize);
    }

    // Room for one three-byte event per sample, so that the audio thread does not
    // grow the queue's buffers in all but the busiest blocks.
    midiQueue.reserve (juce::jmax (4096, preparedBlockSize * 9));
    midiQueue.clear();
    tapFlagsOfBlock.fill (false);
}

void Corvane::releaseResources()
{
    // Returns only once a render in progress has finished.
    const juce::ScopedLock sl (engineLock);
}

bool Corvane::isInputChannelStereoPair (int) const      { return getTotalNumInputChannels() == 2; }
bool Corvane::isOutputChannelStereoPair (int) const     { return getTotalNumOutputChannels() == 2; }

void Corvane::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midiMessages)
{
    if (isSuspended())
        return;

    updateNonRealtimeMode();
    updateHostTransport();

    const auto numInputs = getTotalNumInputChannels();
    const auto numOutputs = getTotalNumOutputChannels();
    const auto numSamples = buffer.getNumSamples();

    inputIsStereo = numInputs == 2;
    outputIsStereo = numOutputs == 2;

    for (auto channel = numInputs; channel < numOutputs && channel < buffer.getNumChannels(); ++channel)
        buffer.clear (channel, 0, numSamples);

    const auto numPointers = (inputIsStereo || outputIsStereo) ? 2 : 1;

    midiQueue.addEvents (midiMessages);

    if (buffer.getNumChannels() < numPointers || numSamples <= 0)
    {
        midiQueue.advance (juce::jmax (0, numSamples));
        return;
    }

    for (int k = 0; k < 2; ++k)
        channelPointers[k] = k < numPointers ? buffer.getWritePointer (k) : nullptr;

    runLength = runStart = 0;

    juce::MidiMessageMetadata event;

    for (int s = 0; s < numSamples; ++s)
    {
        while (midiQueue.popEventAt (s, event))
        {
            renderRun();
            handleMidiEvent (event.getMessage());
        }

        for (int k = 0; k < clocks.size(); ++k)
        {
            auto& clock = *clocks.getUnchecked (k);

            if (clock.tick())
            {
                renderRun();

                if (clock.isLow())
                {
                    const juce::ScopedLock sl (engineLock);
                    engine->rephaseLfo (k, clock.getPosition(), clock.getDivisionsPerBeat());
                }
            }
        }

        ++runLength;
    }

    renderRun();
    midiQueue.advance (numSamples);

    writeBackTappedTimes();
    writeBackLearntNotes();
}

void Corvane::updateHostTransport()
{
    auto* playHead = getPlayHead();

    if (playHead == nullptr)
        return;

    const auto position = playHead->getPosition();

    if (! position.hasValue())
        return;

    const auto bpm = position->getBpm();
    const bool hasTempo = bpm.hasValue() && std::isfinite (*bpm) && *bpm > 0.0;

    if (hasTempo)
    {
        const juce::ScopedLock sl (engineLock);
        engine->setHostBpm (*bpm);
    }

    auto ppq = position->getPpqPosition().orFallback (0.0);

    if (! std::isfinite (ppq))
        ppq = 0.0;

    for (auto* clock : clocks)
    {
        // Without a tempo a clock could not count; it may still stop.
        if (hasTempo)
            clock->setBpm (*bpm);

        if (position->getIsPlaying())
        {
            if (hasTempo)
                clock->start (ppq);
        }
        else
        {
            clock->stop();
        }
    }
}

void Corvane::renderRun()
{
    // Runs longer than the prepared block would overflow the engine's work
    // buffers, so they are rendered in pieces.
    while (runLength > 0)
    {
        const auto length = juce::jmin ((int) runLength, preparedBlockSize);
        renderEngineRun (channelPointers, length);

        channelPointers[0] += length;

        if (inputIsStereo || outputIsStereo)
            channelPointers[1] += length;

        runStart += (juce::uint32) length;
        runLength -= (juce::uint32) length;
    }
}

void Corvane::renderEngineRun (float** channels, int numSamples)
{
    const juce::ScopedLock sl (engineLock);
    engine->process (channels, numSamples, inputIsStereo, outputIsStereo);

    // Each render reports only its own taps; the block's write-back needs every
    // tap measured in any of its runs.
    for (int line = 0; line < Ids::numLines; ++line)
        for (int k = 0; k < 4; ++k)
            if (engine->getTapFlag (line, (DelayEngine::TapFlag) k))
                tapFlagsOfBlock[(size_t) (line * 4 + k)] = true;
}

void Corvane::handleMidiEvent (const juce::MidiMessage& message)
{
    if (message.isNoteOn())
    {
        const auto channel = message.getChannel();
        const auto note = message.getNoteNumber();

        for (int m = 0; m < 2; ++m)
        {
            auto& current = retriggers[m];

            if (current.acceptsChannel (channel))
            {
                if (current.learn.load() == 1 && current.note.load() != note)
                {
                    current.note = juce::jmin (note, 127);
                    current.learnt = 1;
                }

                if (retriggerModes[m].load() == 1 && current.note.load() == note)
                {
                    clocks.getUnchecked (m)->retrigger();

                    const juce::ScopedLock sl (engineLock);
                    engine->retrigger (m);
                }
            }

            auto& defaults = defaultRetriggers[m];

            if (defaults.acceptsChannel (channel) && defaults.learn.load() == 1 && defaults.note.load() != note)
            {
                defaults.note = juce::jmin (note, 127);
                defaults.learnt = 1;
            }
        }
    }

    midiControl.processMidiMessage (message);
}

void Corvane::writeBackTappedTimes()
{
    auto& parameters = parameterManager;

    for (int line = 0; line < Ids::numLines; ++line)
    {
        for (int k = 0; k < 4; ++k)
        {
            auto& flag = tapFlagsOfBlock[(size_t) (line * 4 + k)];

            if (! flag)
                continue;

            flag = false;
            float seconds;

            {
                const juce::ScopedLock sl (engineLock);
                auto& stage = getTimeStage (line, k >= DelayEngine::preDelayLeftTap);
                const auto left = k == DelayEngine::delayLeftTap || k == DelayEngine::preDelayLeftTap;
                seconds = (left ? stage.tapAveragerL : stage.tapAveragerR).getAverage();
            }

            parameters.setParameterValue (Ids::getLineParameterId (line, linearTimeIndices[k]), seconds * 1000.0f);
        }
    }
}

void Corvane::writeBackLearntNotes()
{
    const int noteIds[] = { Ids::mod1RetriggerNote, Ids::mod2RetriggerNote,
                            Ids::defaultMod1RetriggerNote, Ids::defaultMod2RetriggerNote };

    for (int i = 0; i < 4; ++i)
    {
        auto& settings = getRetriggerSettings (i);

        if (settings.learnt.exchange (0) == 1)
            parameterManager.setParameterIntValue (noteIds[i], settings.note.load());
    }
}

RetriggerSettings& Corvane::getRetriggerSettings (int slot) noexcept
{
    return slot < 2 ? retriggers[slot] : defaultRetriggers[slot - 2];
}

//==============================================================================
void Corvane::parameterChanged (Parameter* parameter)
{
    if (parameter == nullptr)
        return;

    const auto id = parameter->getIndex();

    if (juce::isPositiveAndBelow (id, (int) Ids::numLineParameters))
        parameterManager.setParameterFrom (Ids::getLineParameterId (selectedLine.load(), id), *parameter);
    else if (Ids::isLineId (id))
        dispatchLineParameter (*parameter);
    else if (id >= Ids::firstGlobal && id < Ids::selectedLineNumber)
        dispatchGlobalParameter (*parameter);
    else if (id >= Ids::selectedLineNumber && id < Ids::defaultMod1RetriggerChannel)
        dispatchEditionParameter (*parameter);
    else if (id >= Ids::defaultMod1RetriggerChannel && id < Ids::defaultRealtimeQuality)
        dispatchDefaultSettingsParameter (*parameter);
    else if (id >= Ids::tapButtonLeft && id <= Ids::defaultMod2RetriggerLearn)
        dispatchSwitchParameter (*parameter);

    BasePlugin::parameterChanged (parameter);
}

void Corvane::dispatchLineParameter (Parameter& parameter)
{
    auto& parameters = parameterManager;
    const auto id = parameter.getIndex();
    const auto line = Ids::getLineForParameterId (id);
    const auto index = Ids::getIndexInLine (id);
    const auto value = parameter.getNormalisedValue();

    markPresetModified();

    {
        const juce::ScopedLock sl (engineLock);
        engine->setLineParameter (line, index, value);
    }

    // Each knob and its linear time follow one another; the exchange ends when a
    // setter finds its value unchanged, which notifies nobody.
    switch (index)
    {
        case Ids::delayLeftTime:
        case Ids::delayRightTime:
        case Ids::preDelayLeftTime:
        case Ids::preDelayRightTime:
            parameters.setParameterNormalisedValue (id + 2, (float) knobToTime (value));
            break;

        case Ids::delayLeftTimeLinear:
        case Ids::delayRightTimeLinear:
        case Ids::preDelayLeftTimeLinear:
        case Ids::preDelayRightTimeLinear:
            parameters.setParameterNormalisedValue (id - 2, (float) timeToKnob (value));
            break;

        default:
            break;
    }

    if (line == selectedLine.load())
        parameters.setParameterFrom (index, parameter);
}

void Corvane::dispatchGlobalParameter (Parameter& parameter)
{
    const auto id = parameter.getIndex();

    markPresetModified();

    {
        const juce::ScopedLock sl (engineLock);
        engine->setGlobalParameter (id, parameter.getNormalisedValue());
    }

    const auto modulator = id < Ids::mod2RetriggerMode ? 0 : 1;

    switch (id)
    {
        case Ids::mod1RetriggerMode:
        case Ids::mod2RetriggerMode:
            retriggerModes[modulator] = parameter.getIntValue();
            break;

        case Ids::lfo1RhythmicScale:
        case Ids::lfo2RhythmicScale:
            if (const auto scale = lfoScaleFor (parameter.getIntValue()); scale > 0.0)
                lfoScales[modulator] = scale;

            updateLfoClockRate (modulator);
            break;

        case Ids::lfo1Rate:
        case Ids::lfo2Rate:
            if (const auto rate = lfoRateFor (parameter.getIntValue()); rate > 0.0)
                lfoRates[modulator] = rate;

            updateLfoClockRate (modulator);
            break;

        default:
            break;
    }
}

void Corvane::dispatchEditionParameter (Parameter& parameter)
{
    const auto value = parameter.getIntValue();

    switch (parameter.getIndex())
    {
        case Ids::selectedLineNumber:
            selectLine (juce::jlimit (1, Ids::numLines, value) - 1);
            break;

        case Ids::presetName:
            markPresetModified();
            break;

        case Ids::maximumDelayLength:
        {
            // The engine reallocates its lines: no block may render meanwhile.
            const auto wasSuspended = isSuspended();
            suspendProcessing (true);

            {
                const juce::ScopedLock sl (engineLock);
                engine->setMaximumDelayLength (value);
            }

            suspendProcessing (wasSuspended);
            break;
        }

        case Ids::realtimeQuality:
        case Ids::offlineQuality:
            applyQualityOfCurrentMode();
            break;

        case Ids::mod1RetriggerChannel:     retriggers[0].channel = juce::jlimit (0, 16, value); break;
        case Ids::mod1RetriggerNote:        retriggers[0].note = juce::jlimit (0, 127, value); break;
        case Ids::mod2RetriggerChannel:     retriggers[1].channel = juce::jlimit (0, 16, value); break;
        case Ids::mod2RetriggerNote:        retriggers[1].note = juce::jlimit (0, 127, value); break;
        default:                            break;
    }
}

void Corvane::dispatchDefaultSettingsParameter (Parameter& parameter)
{
    const auto value = parameter.getIntValue();

    switch (parameter.getIndex())
    {
        case Ids::defaultMod1RetriggerChannel:  defaultRetriggers[0].channel = juce::jlimit (0, 16, value); break;
        case Ids::defaultMod1RetriggerNote:     defaultRetriggers[0].note = juce::jlimit (0, 127, value); break;
        case Ids::defaultMod2RetriggerChannel:  defaultRetriggers[1].channel = juce::jlimit (0, 16, value); break;
        case Ids::defaultMod2RetriggerNote:     defaultRetriggers[1].note = juce::jlimit (0, 127, value); break;
        default:                                break;
    }
}

void Corvane::dispatchSwitchParameter (Parameter& parameter)
{
    const auto id = parameter.getIndex();
    const auto on = parameter.getBoolValue();

    switch (id)
    {
        case Ids::tapButtonLeft:
        case Ids::tapButtonRight:
        {
            // A tap is the button's press, not its release.
            const auto button = id - Ids::tapButtonLeft;
            const auto wasOn = tapStates[button];
            tapStates[button] = on;

            if (on && ! wasOn)
                tapTempo (button + 1);

            break;
        }

        default:
            setExclusiveLearn (id, on);
            break;
    }
}

void Corvane::setExclusiveLearn (int learnId, bool on)
{
    auto& slot = getRetriggerSettings (learnId - Ids::mod1RetriggerLearn);

    slot.learn = on ? 1 : 0;
    slot.learnt = 0;

    if (on)
        for (int other = Ids::mod1RetriggerLearn; other <= Ids::defaultMod2RetriggerLearn; ++other)
            if (other != learnId)
                parameterManager.setParameterBoolValue (other, false);
}

void Corvane::parameterGestureBegan (Parameter* parameter)
{
    if (parameter == nullptr)
        return;

    if (auto* copy = getSelectedLineCopy (*parameter))
        copy->beginChangeGesture();

    BasePlugin::parameterGestureBegan (parameter);
}

void Corvane::parameterGestureEnded (Parameter* parameter)
{
    if (parameter == nullptr)
        return;

    if (auto* copy = getSelectedLineCopy (*parameter))
        copy->endChangeGesture();

    BasePlugin::parameterGestureEnded (parameter);
}

Parameter* Corvane::getSelectedLineCopy (const Parameter& view)
{
    const auto index = view.getIndex();

    if (! juce::isPositiveAndBelow (index, (int) Ids::numLineParameters))
        return nullptr;

    return parameterManager.getParameter (Ids::getLineParameterId (selectedLine.load(), index));
}

void Corvane::markPresetModified()
{
    if (auto* collection = getPresetCollection (0))
        setPresetModified (collection, true);
}

void Corvane::updateLfoClockRate (int modulator)
{
    // Two threads may change one modulator's rate and scale at once: taking the product and
    // handing it on under the engine lock leaves the clock and the engine with the latest of both.
    const juce::ScopedLock sl (engineLock);
    const auto rate = lfoRates[modulator].load() * lfoScales[modulator].load();

    if (auto* clock = clocks[modulator])
        clock->setDivisionsPerBeat (rate);

    engine->setLfoTempoRate (modulator, rate);
}

void Corvane::applyNonRealtimeMode (bool offline)
{
    const auto quality = parameterManager.getParameterIntValue (offline ? Ids::offlineQuality : Ids::realtimeQuality);

    engineQuality = quality;

    const juce::ScopedLock sl (engineLock);
    engine->setQuality (quality);
}

void Corvane::applyQualityOfCurrentMode()
{
    // The quality of the other mode waits for the host to switch to it.
    applyNonRealtimeMode (isNonRealtime());
}

//==============================================================================
void Corvane::selectLine (int line)
{
    line = juce::jlimit (0, Ids::numLines - 1, line);

    if (selectedLine.exchange (line) == line)
        return;

    for (int i = 0; i < Ids::numLineParameters; ++i)
        parameterManager.copyParameterValue (i, Ids::getLineParameterId (line, i));
}

void Corvane::copyLineToClipboard (int line)
{
    if (! juce::isPositiveAndBelow (line, (int) Ids::numLines))
        return;

    auto& parameters = parameterManager;

    for (auto* copy : clipboard)
        if (auto* source = parameters.getParameter (Ids::getLineParameterId (line, copy->getIndex())))
            copy->setValueFrom (*source, false);

    clipboardTimePanel = parameters.getParameterIntValue (Ids::line1TimePanel + line);
    clipboardLine = line;

    callLastAddedFirst (listeners, [] (Listener& l) { l.lineCopied(); });
}

void Corvane::pasteClipboardToLine (int line)
{
    if (! juce::isPositiveAndBelow (clipboardLine.load(), (int) Ids::numLines)
        || ! juce::isPositiveAndBelow (line, (int) Ids::numLines))
        return;

    auto& parameters = parameterManager;

    for (auto* copy : clipboard)
        parameters.setParameterFrom (Ids::getLineParameterId (line, copy->getIndex()), *copy);

    parameters.setParameterIntValue (Ids::line1TimePanel + line, clipboardTimePanel);
    clipboardLine = -1;

    callLastAddedFirst (listeners, [this] (Listener& l) { l.linePasted (this); });

    // Selecting through the parameter keeps everything that shows it in step.
    parameters.setParameterIntValue (Ids::selectedLineNumber, line + 1);
    selectLine (line);
}

void Corvane::tapTempo (int button)
{
    auto& parameters = parameterManager;
    const auto line = selectedLine.load();
    const auto panel = parameters.getParameterIntValue (Ids::line1TimePanel + line);

    if (panel != 0 && panel != 1)
        return;

    const auto joined = parameters.getParameterBoolValue (panel == 1 ? Ids::preDelayJoinChannels
                                                                     : Ids::delayJoinChannels);
    auto& stage = getTimeStage (line, panel == 1);
    (joined || button == 1 ? stage.tapAveragerL : stage.tapAveragerR).tap();
}

CorvaneDelayLine& Corvane::getTimeStage (int line, bool preDelay)
{
    if (preDelay)
        return engine->getPreDelayCore (line);

    return engine->getDelayCore (line);
}

void Corvane::addListener (Listener* listener)
{
    if (listener != nullptr)
        listeners.addIfNotAlreadyThere (listener);
}

void Corvane::removeListener (Listener* listener)
{
    listeners.removeFirstMatchingValue (listener);
}

//==============================================================================
bool Corvane::factoryPresetsNeedInstalling() const
{
    return getInstalledFactoryPresetsVersion() != currentFactoryPresetsVersion;
}

void Corvane::setFactoryPresetsInstalled()
{
    {
        const juce::SpinLock::ScopedLockType sl (installedVersionLock);
        installedFactoryPresetsVersion = currentFactoryPresetsVersion;
    }

    // The rescan and the settings file belong to the message thread.
    factoryPresetsJustInstalled = 1;
    triggerAsyncUpdate();
}

juce::String Corvane::getInstalledFactoryPresetsVersion() const
{
    const juce::SpinLock::ScopedLockType sl (installedVersionLock);
    return installedFactoryPresetsVersion;
}

void Corvane::handleAsyncUpdate()
{
    BasePlugin::handleAsyncUpdate();

    if (factoryPresetsJustInstalled.exchange (0) == 1)
    {
        if (auto* collection = getPresetCollection (0))
            collection->refresh();

        saveUserSettings();
    }
}

std::unique_ptr<BasePluginEditor> Corvane::createPluginEditor()
{
    return std::make_unique<CorvaneEditor> (*this);
}

//==============================================================================
std::unique_ptr<juce::XmlElement> Corvane::createStateXml()
{
    auto state = BasePlugin::createStateXml();

    if (state == nullptr)
        return state;

    auto& parameters = parameterManager;

    state->addChildElement (capturePreset (parametersStateName, presetVersion, presetIds)->createXml (parameters).release());
    state->addChildElement (capturePreset (editionStateName, presetVersion, editionIds)->createXml (parameters).release());

    if (auto map = createHostParametersMapXml())
        state->addChildElement (map.release());

    if (auto map = midiControl.createMapXml())
        state->addChildElement (map.release());

    return state;
}

void Corvane::setStateFromXml (const juce::XmlElement& state)
{
    BasePlugin::setStateFromXml (state);

    if (! isValidStateXml (&state))
        return;

    auto& parameters = parameterManager;

    for (auto* child : XmlHelpers::getChildrenWithTagName (state, "Preset"))
    {
        const auto name = XmlHelpers::getStringAttribute (*child, "name");

        if (name == parametersStateName)
        {
            Preset preset;
            preset.loadFromXml (child, parameters, false);
            applyPreset (nullptr, preset);
        }
        else if (name == editionStateName)
        {
            Preset preset;
            preset.loadFromXml (child, parameters, false);
            applyEditionStatePreset (preset);
        }
    }

    if (auto* map = XmlHelpers::getChildByName (state, "HostParametersMap"))
        readHostParametersMap (map);

    if (auto* map = XmlHelpers::getChildByName (state, "MidiControlMap"))
        midiControl.readMap (map);
}

std::unique_ptr<Preset> Corvane::createPreset (PresetCollection*, const juce::String&)
{
    return capturePreset ({}, presetVersion, presetIds);
}

void Corvane::applyPreset (PresetCollection*, const Preset& preset)
{
    auto& parameters = parameterManager;
    const auto legacy = preset.getVersion() == "1.0" || preset.getVersion().isEmpty();

    for (int e = 0; e < preset.getNumEntries(); ++e)
    {
        const auto* entry = preset.getEntry (e);
        const auto id = entry->index;
        auto text = entry->text;

        if (id == Ids::lfo1Waveform || id == Ids::lfo2Waveform)
        {
            // The rising saw became an inverted falling one.
            const auto sawUp = text == "Saw Up";

            if (sawUp)
                text = "Saw Down";

            if (legacy)
                parameters.setParameterBoolValue (id + 1, sawUp);
        }
        else if (legacy && (id == Ids::lfo1WaveInvert || id == Ids::lfo2WaveInvert))
        {
            continue;
        }
        else if (Ids::isLineId (id) && Ids::getIndexInLine (id) == Ids::modulationSource)
        {
            if (text == "LFO1")
                text = "MOD 1";
            else if (text == "LFO2")
                text = "MOD 2";
        }

        if (presetIds.contains (id) && ! isLockedByPadlock (id))
            parameters.setParameterText (id, text);
    }

    const juce::ScopedLock sl (engineLock);
    engine->reset();
}

Preset* Corvane::getDefaultPreset (PresetCollection*)
{
    return &defaultPreset;
}

juce::String Corvane::getPresetName (PresetCollection*) const
{
    return parameterManager.getParameterText (Ids::presetName);
}

void Corvane::setPresetName (PresetCollection*, const juce::String& name)
{
    parameterManager.setParameterText (Ids::presetName, name);
}

bool Corvane::isLockedByPadlock (int id) const
{
    for (auto& padlock : padlocks)
        if (padlock.isLocked() && padlock.isIndexLocked (id))
            return true;

    return false;
}

std::unique_ptr<Preset> Corvane::capturePreset (const juce::String& name, const juce::String& version,
                                                const juce::SparseSet<int>& ids)
{
    auto preset = std::make_unique<Preset>();
    preset->setName (name);
    preset->setVersion (version);
    parameterManager.capturePreset (*preset, ids);
    return preset;
}

void Corvane::applyPresetEntries (const Preset& preset, const juce::SparseSet<int>& ids, int (*renumber) (int) noexcept)
{
    for (int e = 0; e < preset.getNumEntries(); ++e)
    {
        const auto* entry = preset.getEntry (e);
        const auto id = renumber (entry->index);

        if (ids.contains (id))
            parameterManager.setParameterText (id, entry->text);
    }
}

void Corvane::applyEditionStatePreset (const Preset& preset)
{
    applyPresetEntries (preset, editionIds, Ids::renumberLegacyEditionId);

    // Versions before the processing qualities existed rendered at the best one.
    if (preset.getVersion().isEmpty())
    {
        parameterManager.setParameterIntValue (Ids::realtimeQuality, 3);
        parameterManager.setParameterIntValue (Ids::offlineQuality, 3);
    }
}

void Corvane::readUserSettings (const juce::XmlElement& settings)
{
    for (auto* child : XmlHelpers::getChildrenWithTagName (settings, "Preset"))
    {
        if (XmlHelpers::getStringAttribute (*child, "name") == defaultSettingsName)
        {
            Preset preset;
            preset.loadFromXml (child, parameterManager, false);
            applyPresetEntries (preset, defaultSettingsIds, Ids::renumberLegacyDefaultSettingsId);
        }
    }

    if (! presetFolderHasEntries)
        return;

    // A filled preset folder without a record predates the record: version 1.0.
    const auto version = recordedFactoryPresetsVersion (settings).value_or ("1.0");

    const juce::SpinLock::ScopedLockType sl (installedVersionLock);
    installedFactoryPresetsVersion = version;
}

void Corvane::settingsCouldNotBeRead()
{
    // The installation they recorded is unknown: presets already in the folder are taken as
    // installed, since the installer would replace those the user has edited since.
    if (! presetFolderHasEntries)
        return;

    const juce::SpinLock::ScopedLockType sl (installedVersionLock);
    installedFactoryPresetsVersion = currentFactoryPresetsVersion;
}

void Corvane::mergeRecordedSettings (const juce::XmlElement& settings)
{
    // A version that another instance recorded is kept, unless this one has installed the
    // current presets itself.
    const auto recorded = recordedFactoryPresetsVersion (settings);

    if (! recorded.has_value() || ! factoryPresetsNeedInstalling())
        return;

    const juce::SpinLock::ScopedLockType sl (installedVersionLock);
    installedFactoryPresetsVersion = *recorded;
}

std::optional<juce::String> Corvane::recordedFactoryPresetsVersion (const juce::XmlElement& settings)
{
    if (auto* presets = XmlHelpers::getChildByName (settings, "Presets"))
        if (auto* installed = XmlHelpers::getChildByName (*presets, "Installed"))
            return XmlHelpers::getStringAttribute (*installed, "version");

    return {};
}

void Corvane::writeUserSettings (juce::XmlElement& settings)
{
    settings.addChildElement (capturePreset (defaultSettingsName, {}, defaultSettingsIds)->createXml (parameterManager).release());

    const auto version = getInstalledFactoryPresetsVersion();

    if (version.isNotEmpty())
        if (auto* presets = XmlHelpers::getChildByName (settings, "Presets"))
            presets->createNewChildElement ("Installed")->setAttribute ("version", version);
}

void Corvane::applyDefaultSettings()
{
    auto& parameters = parameterManager;
    parameters.copyParameterValue (Ids::mod1RetriggerChannel, Ids::defaultMod1RetriggerChannel);
    parameters.copyParameterValue (Ids::mod1RetriggerNote, Ids::defaultMod1RetriggerNote);
    parameters.copyParameterValue (Ids::mod2RetriggerChannel, Ids::defaultMod2RetriggerChannel);
    parameters.copyParameterValue (Ids::mod2RetriggerNote, Ids::defaultMod2RetriggerNote);
    parameters.copyParameterValue (Ids::maximumDelayLength, Ids::defaultMaximumDelayLength);
}

//==============================================================================
juce::String Corvane::getParameterDisplayName (int id) const
{
    if (Ids::isLineId (id))
    {
        const auto prefix = "Line " + juce::String (Ids::getLineForParameterId (id) + 1);

        switch (Ids::getIndexInLine (id))
        {
            case Ids::delayLeftTimeLinear:
            case Ids::delayRightTimeLinear:
            case Ids::preDelayLeftTimeLinear:
            case Ids::preDelayRightTimeLinear:
                return getParameterDisplayName (id - 2);

            case Ids::delayLeftNumerator:
            case Ids::delayLeftDenominator:     return prefix + " Delay Left Duration";
            case Ids::delayRightNumerator:
            case Ids::delayRightDenominator:    return prefix + " Delay Right Duration";
            case Ids::preDelayLeftNumerator:
            case Ids::preDelayLeftDenominator:  return prefix + " Pre-delay Left Duration";
            case Ids::preDelayRightNumerator:
            case Ids::preDelayRightDenominator: return prefix + " Pre-delay Right Duration";
            default:                            break;
        }
    }

    return BasePlugin::getParameterDisplayName (id);
}

juce::String Corvane::getParameterValueText (int id) const
{
    using T = CorvaneValueText;
    auto& parameters = parameterManager;
    const auto v = parameters.getParameterNormalisedValue (id);

    if (Ids::isLineId (id))
    {
        const auto line = Ids::getLineForParameterId (id);
        const auto textOf = [&] (int index) { return parameters.getParameterText (Ids::getLineParameterId (line, index)); };

        switch (Ids::getIndexInLine (id))
        {
            case Ids::panning:                  return T::panning (v);
            case Ids::volume:                   return T::lineVolume (v);
            case Ids::filterCutoff:             return T::filterCutoff (v);
            case Ids::filterResonance:
            case Ids::modulationTime:
            case Ids::modulationCutoff:
            case Ids::modulationTremolo:        return T::percent (v);
            case Ids::delayLeftTime:
            case Ids::delayRightTime:
            case Ids::preDelayLeftTime:
            case Ids::preDelayRightTime:        return getParameterValueText (id + 2);
            case Ids::delayLeftTimeLinear:
            case Ids::delayRightTimeLinear:
            case Ids::preDelayLeftTimeLinear:
            case Ids::preDelayRightTimeLinear:  return T::milliseconds (parameters.getParameterValue (id));
            case Ids::delayLeftNumerator:
            case Ids::delayLeftDenominator:     return textOf (Ids::delayLeftNumerator) + "/" + textOf (Ids::delayLeftDenominator);
            case Ids::delayRightNumerator:
            case Ids::delayRightDenominator:    return textOf (Ids::delayRightNumerator) + "/" + textOf (Ids::delayRightDenominator);
            case Ids::preDelayLeftNumerator:
            case Ids::preDelayLeftDenominator:  return textOf (Ids::preDelayLeftNumerator) + "/" + textOf (Ids::preDelayLeftDenominator);
            case Ids::preDelayRightNumerator:
            case Ids::preDelayRightDenominator: return textOf (Ids::preDelayRightNumerator) + "/" + textOf (Ids::preDelayRightDenominator);
            case Ids::overdrivePreamp:          return T::overdrivePreamp (v);
            case Ids::overdriveColor:
            case Ids::feedback:                 return T::bipolarPercent (v);
            case Ids::overdriveGain:            return T::minus24To0Decibels (v);
            case Ids::feedbackHold:             return T::button();
            case Ids::stereoSpread:             return getStereoSpreadText (line, v);
            default:                            break;
        }
    }

    switch (id)
    {
        case Ids::lfo1Frequency:
        case Ids::lfo1Frequency + 20:           return T::lfoFrequency (v);
        case Ids::lfo1PhaseShift:
        case Ids::lfo1PhaseShift + 20:          return T::phaseShift (v);
        case Ids::env1Attack:
        case Ids::env1Attack + 20:              return T::envelopeAttack (v);
        case Ids::env1Decay:
        case Ids::env1Release:
        case Ids::env1Decay + 20:
        case Ids::env1Release + 20:             return T::envelopeDecay (v);
        case Ids::env1Hold:
        case Ids::env1Hold + 20:                return T::envelopeHold (v);
        case Ids::env1Sustain:
        case Ids::env1Sustain + 20:
        case Ids::peak1Sensitivity:
        case Ids::peak1Attack:
        case Ids::peak1Release:
        case Ids::peak1Sensitivity + 20:
        case Ids::peak1Attack + 20:
        case Ids::peak1Release + 20:            return T::percent (v, false);
        case Ids::limiterThreshold:             return T::minus24To0Decibels (v);
        case Ids::fxAmount:                     return T::dryWet (v);
        case Ids::masterVolume:                 return T::masterVolume (v);
        case Ids::tapButtonLeft:
        case Ids::tapButtonRight:               return T::button();
        default:                                break;
    }

    return BasePlugin::getParameterValueText (id);
}

juce::String Corvane::getStereoSpreadText (int line, float value) const
{
    const auto channelMode = parameterManager.getParameterIntValue (Ids::getLineParameterId (line, Ids::channelMode));
    double leftDelayMs;

    {
        const juce::ScopedLock sl (engineLock);
        const auto& core = engine->getDelayCore (line);
        leftDelayMs = core.lengthL * 1000.0 / core.rateConstants.sampleRate;
    }

    return CorvaneValueText::stereoSpread (value, channelMode, leftDelayMs);
}

//==============================================================================
juce::String Corvane::getDescription() const
{
    return "Four-line stereo delay with two modulators";
}

juce::String Corvane::getWebAddress() const     { return "https://www.halvorn.com/corvane"; }
juce::String Corvane::getBuildId() const        { return "corvane-1.1.0-20140902"; }

juce::String Corvane::getFormatName() const
{
    return juce::AudioProcessor::getWrapperTypeDescription (wrapperType);
}

//==============================================================================
juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return BasePlugin::createPlugin<Corvane>();
}
