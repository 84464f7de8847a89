#include "MidiControl.h"

#include "AtomicFileWriter.h"
#include "CaseKey.h"
#include "Parameter.h"
#include "ParameterManager.h"
#include "XmlHelpers.h"

namespace
{
    bool isController (int controller) noexcept
    {
        return controller >= 0 && controller < MidiControl::numControllers;
    }
}

MidiControl::MidiControl (ParameterManager* parameterManager)
    : manager (parameterManager)
{
}

void MidiControl::addListener (Listener* listener)
{
    listeners.add (listener);
}

void MidiControl::removeListener (Listener* listener)
{
    listeners.remove (listener);
}

void MidiControl::notifyAsync (std::atomic<bool>& flag)
{
    flag = true;
    triggerAsyncUpdate();
}

void MidiControl::handleAsyncUpdate()
{
    // Each flag is taken before its listeners run, so that a change the audio thread
    // makes meanwhile raises it again and is reported by the next update.
    if (mapChangedFlag.exchange (false))
        listeners.call (&Listener::mapChanged, this);

    if (learnStateFlag.exchange (false))
        listeners.call (&Listener::learnStateChanged, this);

    if (activityFlag.exchange (false))
        listeners.call (&Listener::controllerActivity, this);
}

//==============================================================================
void MidiControl::setLearning (bool on)
{
    const juce::ScopedLock sl (lock);

    if (learning == on)
        return;

    candidate = nullptr;
    learntController = -1;
    learning = on;

    // State restores switch learning off on a host thread: listeners are editors and
    // are only ever called on the message thread.
    if (juce::MessageManager::existsAndIsCurrentThread())
        listeners.call (&Listener::learnStateChanged, this);
    else
        notifyAsync (learnStateFlag);
}

bool MidiControl::isLearning() const
{
    const juce::ScopedLock sl (lock);
    return learning;
}

Parameter* MidiControl::getLearnCandidate() const
{
    const juce::ScopedLock sl (lock);
    return candidate;
}

int MidiControl::getLearntController() const
{
    const juce::ScopedLock sl (lock);
    return learntController;
}

void MidiControl::learnParameterTouched (Parameter* parameter)
{
    if (parameter == nullptr || ! parameter->isAutomatable())
        return;

    const juce::ScopedLock sl (lock);

    if (! learning || parameter == candidate)
        return;

    // A parameter that already has a controller makes that pair the learn state.
    if (learntController < 0 || candidate != nullptr)
        learntController = getControllerOf (parameter);

    candidate = parameter;
    tryAssign();
}

void MidiControl::ccMoved (int controller)
{
    if (! isController (controller))
        return;

    const juce::ScopedLock sl (lock);

    if (! learning || controller == learntController)
        return;

    // A controller that already holds a parameter makes that pair the learn state,
    // unless a parameter was touched first and waits for a controller.
    if (candidate == nullptr || learntController >= 0)
        candidate = table[controller];

    learntController = controller;
    tryAssign();
}

void MidiControl::tryAssign()
{
    const juce::ScopedLock sl (lock);

    if (learntController >= 0 && candidate != nullptr && table[learntController] == nullptr)
        assign (learntController, candidate, true);

    notifyAsync (learnStateFlag);
}

//==============================================================================
void MidiControl::putOnController (int controller, Parameter* parameter)
{
    if (parameter != nullptr)
        for (auto& entry : table)
            if (entry == parameter)
                entry = nullptr;

    table[controller] = parameter;
    countAssignments();
}

void MidiControl::countAssignments()
{
    numAssignments = (int) std::count_if (std::begin (table), std::end (table),
                                          [] (const Parameter* p) { return p != nullptr; });
}

void MidiControl::assign (int controller, Parameter* parameter, bool notify)
{
    if (! isController (controller))
        return;

    const juce::ScopedLock sl (lock);

    if (table[controller] == parameter)
        return;

    putOnController (controller, parameter);

    if (notify)
        notifyAsync (mapChangedFlag);
}

void MidiControl::removeAssignment (int controller)
{
    if (! isController (controller))
        return;

    const juce::ScopedLock sl (lock);

    if (table[controller] != nullptr)
    {
        table[controller] = nullptr;
        countAssignments();
        notifyAsync (mapChangedFlag);
    }

    if (learning)
    {
        candidate = nullptr;
        learntController = -1;
        tryAssign();
    }
}

void MidiControl::clearMap()
{
    const juce::ScopedLock sl (lock);
    std::fill (std::begin (table), std::end (table), nullptr);
    numAssignments = 0;
    notifyAsync (mapChangedFlag);
}

Parameter* MidiControl::getParameterOf (int controller) const
{
    if (! isController (controller))
        return nullptr;

    const juce::ScopedLock sl (lock);
    return table[controller];
}

int MidiControl::getControllerOf (const Parameter* parameter) const
{
    if (parameter == nullptr)
        return -1;

    const juce::ScopedLock sl (lock);

    for (int i = 0; i < numControllers; ++i)
        if (table[i] == parameter)
            return i;

    return -1;
}

int MidiControl::getNumAssignments() const
{
    const juce::ScopedLock sl (lock);
    return numAssignments;
}

Parameter* MidiControl::getLastActiveParameter() const
{
    const juce::ScopedLock sl (lock);
    return lastActiveParameter;
}

//==============================================================================
void MidiControl::processMidiMessage (const juce::MidiMessage& message)
{
    // Only controller changes need the lock: the rest of the stream passes untouched.
    if (message.getRawDataSize() < 3 || (message.getRawData()[0] & 0xf0) != 0xb0)
        return;

    const int controller = message.getRawData()[1] & 0x7f;
    const int value = message.getRawData()[2] & 0x7f;

    const juce::ScopedLock sl (lock);

    if (learning)
        ccMoved (controller);

    if (auto* parameter = table[controller])
    {
        // 1/127 in single precision: 0 gives 0 and 127 gives exactly 1.
        parameter->setNormalisedValue ((float) value * 0.007874016f, true);
        lastActiveParameter = parameter;
        notifyAsync (activityFlag);
    }
}

//==============================================================================
juce::String MidiControl::getProductName() const
{
    const juce::ScopedLock sl (lock);
    return productName;
}

void MidiControl::setProductName (const juce::String& name)
{
    const juce::ScopedLock sl (lock);
    productName = name;
}

bool MidiControl::isValidMap (const juce::XmlElement* element) const
{
    if (element == nullptr)
        return false;

    if (! XmlHelpers::hasTagName (*element, "MidiControlMap")
         && ! XmlHelpers::hasTagName (*element, "MidiCCMap"))
        return false;

    const auto name = getProductName();

    return name.isEmpty()
        || CaseKey::equal (XmlHelpers::getStringAttribute (*element, "name"), name)
        || CaseKey::equal (XmlHelpers::getStringAttribute (*element, "application"), name);
}

bool MidiControl::readMap (const juce::XmlElement* element)
{
    if (! isValidMap (element))
        return false;

    // The parameters are looked up first, under the manager's lock only.
    juce::Array<std::pair<int, Parameter*>> assignments;

    for (auto* child : element->getChildIterator())
    {
        if (! XmlHelpers::hasTagName (*child, "assign"))
            continue;

        auto* parameter = manager != nullptr ? manager->getParameter (XmlHelpers::getStringAttribute (*child, "param"))
                                             : nullptr;

        if (parameter == nullptr || ! parameter->isAutomatable())
            continue;

        const auto controller = XmlHelpers::getIntAttribute (*child, "CC");

        if (isController (controller))
            assignments.add ({ controller, parameter });
    }

    setLearning (false);

    const juce::ScopedLock sl (lock);
    std::fill (std::begin (table), std::end (table), nullptr);
    numAssignments = 0;

    for (auto& [controller, parameter] : assignments)
        if (table[controller] != parameter)
            putOnController (controller, parameter);

    notifyAsync (mapChangedFlag);
    return true;
}

std::unique_ptr<juce::XmlElement> MidiControl::createMapXml() const
{
    auto map = std::make_unique<juce::XmlElement> ("MidiControlMap");
    map->setAttribute ("name", getProductName());

    const juce::ScopedLock sl (lock);

    for (int i = 0; i < numControllers; ++i)
    {
        if (auto* parameter = table[i])
        {
            auto* assignment = map->createNewChildElement ("assign");
            assignment->setAttribute ("CC", i);
            assignment->setAttribute ("param", parameter->getName());
        }
    }

    return map;
}

bool MidiControl::loadMapFile (const juce::File& file)
{
    const auto element = XmlHelpers::parseUntrusted (file);
    return element != nullptr && readMap (element.get());
}

bool MidiControl::saveMapFile (const juce::File& file, AtomicFileWriter::DanglingLinks danglingLinks) const
{
    return AtomicFileWriter::write (file, *createMapXml(), danglingLinks) == AtomicFileWriter::Outcome::written;
}
