#include "ParameterManager.h"
#include "AnswerParameter.h"
#include "EnumParameter.h"
#include "FloatParameter.h"
#include "LogicParameter.h"
#include "MidiNoteNames.h"
#include "NoteParameter.h"
#include "NumberConversions.h"
#include "Preset.h"
#include "ResourceLoading.h"
#include "StateParameter.h"
#include "StringParameter.h"
#include "XmlHelpers.h"

ParameterManager::ParameterManager()
{
    byIndex.remapTable (10000);
    byName.remapTable (10000);
}

ParameterManager::~ParameterManager()
{
    clear();
}

//==============================================================================
void ParameterManager::loadResource (const juce::String& fileName)
{
    const auto element = juce::XmlDocument::parse (loadXmlFromResource (fileName));
    loadFromXml (element.get());
}

void ParameterManager::loadFromXml (const juce::XmlElement* element)
{
    clear();

    {
        const juce::ScopedWriteLock sl (lock);
        application = element != nullptr ? XmlHelpers::getStringAttribute (*element, "application") : juce::String();
    }

    if (element == nullptr || ! XmlHelpers::hasTagName (*element, "PluginParameters"))
        return;

    for (auto* row : XmlHelpers::getChildrenWithTagName (*element, "param"))
        if (auto* parameter = createParameter (*row))
            addParameter (parameter);
}

Parameter* ParameterManager::createParameter (const juce::XmlElement& row) const
{
    const auto index = XmlHelpers::getIntAttribute (row, "index", -1);
    const auto name = XmlHelpers::getStringAttribute (row, "name");

    if (index == -1 || name.isEmpty())
        return nullptr;

    const auto type = XmlHelpers::getStringAttribute (row, "type", "float");
    const auto value = XmlHelpers::getStringAttribute (row, "value");

    std::unique_ptr<Parameter> parameter;

    if (type == "float")
    {
        const auto minimum = NumberConversions::toFloat (XmlHelpers::getDoubleAttribute (row, "min", 0.0));
        const auto maximum = NumberConversions::toFloat (XmlHelpers::getDoubleAttribute (row, "max", 1.0));
        parameter = std::make_unique<FloatParameter> (index, name, minimum, maximum, minimum);
        parameter->setText (value, false);
    }
    else if (type == "int")
    {
        parameter = std::make_unique<IntParameter> (index, name,
                                                    XmlHelpers::getIntAttribute (row, "min", 0),
                                                    XmlHelpers::getIntAttribute (row, "max", 1),
                                                    NumberConversions::parseInt (value));
    }
    else if (type == "string")
    {
        parameter = std::make_unique<StringParameter> (index, name, value);
    }
    else if (type == "bool")
    {
        parameter = std::make_unique<BoolParameter> (index, name, value);
    }
    else if (type == "state")
    {
        parameter = std::make_unique<StateParameter> (index, name, value);
    }
    else if (type == "logic")
    {
        parameter = std::make_unique<LogicParameter> (index, name, value);
    }
    else if (type == "answer")
    {
        parameter = std::make_unique<AnswerParameter> (index, name, value);
    }
    else if (type == "enum")
    {
        parameter = std::make_unique<EnumParameter> (index, name, 0, XmlHelpers::getStringAttribute (row, "enum"));
        parameter->setText (value, false);
    }
    else if (type == "note")
    {
        // No note name (-1) starts at the lowest note.
        parameter = std::make_unique<NoteParameter> (index, name, juce::jmax (0, parseMidiNoteName (value)));
    }
    else
    {
        DBG ("Parameter row " << index << " \"" << name << "\" has the unknown type \"" << type << "\"");
        return nullptr;
    }

    parameter->setAutomatable (XmlHelpers::getBoolAttribute (row, "auto", false));
    return parameter.release();
}

void ParameterManager::clear()
{
    const juce::ScopedWriteLock sl (lock);
    byIndex.clear();
    byName.clear();
    parameters.clear();
}

bool ParameterManager::addParameter (Parameter* parameter)
{
    if (parameter == nullptr)
        return false;

    const juce::ScopedWriteLock sl (lock);

    if (parameters.contains (parameter))
        return false;

    if (byIndex[parameter->getIndex()] != nullptr || byName.contains (parameter->getName()))
    {
        delete parameter;
        return false;
    }

    parameters.add (parameter);
    byIndex.set (parameter->getIndex(), parameter);
    byName.set (parameter->getName(), parameter);
    return true;
}

juce::String ParameterManager::getApplication() const
{
    const juce::ScopedReadLock sl (lock);
    return application;
}

//==============================================================================
int ParameterManager::getNumParameters() const
{
    const juce::ScopedReadLock sl (lock);
    return parameters.size();
}

Parameter* ParameterManager::getParameterAt (int position) const
{
    const juce::ScopedReadLock sl (lock);
    return parameters[position];
}

Parameter* ParameterManager::getParameter (int index) const
{
    const juce::ScopedReadLock sl (lock);
    return byIndex[index];
}

Parameter* ParameterManager::getParameter (const juce::String& name) const
{
    const juce::ScopedReadLock sl (lock);
    return byName[name];
}

template <typename Result, typename Function>
Result ParameterManager::readParameter (int index, Result fallback, Function&& function) const
{
    const juce::ScopedReadLock sl (lock);

    if (auto* parameter = byIndex[index])
        return function (*parameter);

    return fallback;
}

template <typename Function>
void ParameterManager::changeParameter (int index, Function&& function) const
{
    const juce::ScopedReadLock sl (lock);

    if (auto* parameter = byIndex[index])
        function (*parameter);
}

int ParameterManager::getParameterIndex (const juce::String& name) const
{
    const juce::ScopedReadLock sl (lock);

    if (auto* parameter = byName[name])
        return parameter->getIndex();

    return -1;
}

juce::String ParameterManager::getParameterName (int index) const
{
    return readParameter (index, juce::String(), [] (Parameter& p) { return p.getName(); });
}

float ParameterManager::getParameterValue (int index) const
{
    return readParameter (index, 0.0f, [] (Parameter& p) { return p.getValue(); });
}

float ParameterManager::getParameterNormalisedValue (int index) const
{
    return readParameter (index, 0.0f, [] (Parameter& p) { return p.getNormalisedValue(); });
}

int ParameterManager::getParameterIntValue (int index) const
{
    return readParameter (index, 0, [] (Parameter& p) { return p.getIntValue(); });
}

bool ParameterManager::getParameterBoolValue (int index) const
{
    return readParameter (index, false, [] (Parameter& p) { return p.getBoolValue(); });
}

juce::String ParameterManager::getParameterText (int index) const
{
    return readParameter (index, juce::String(), [] (Parameter& p) { return p.getText(); });
}

//==============================================================================
void ParameterManager::setParameterValue (int index, float value)
{
    changeParameter (index, [=] (Parameter& p) { p.setValue (value, true); });
}

void ParameterManager::setParameterNormalisedValue (int index, float value)
{
    changeParameter (index, [=] (Parameter& p) { p.setNormalisedValue (value, true); });
}

void ParameterManager::setParameterIntValue (int index, int value)
{
    changeParameter (index, [=] (Parameter& p) { p.setIntValue (value, true); });
}

void ParameterManager::setParameterBoolValue (int index, bool value)
{
    changeParameter (index, [=] (Parameter& p) { p.setBoolValue (value, true); });
}

void ParameterManager::setParameterText (int index, const juce::String& text)
{
    changeParameter (index, [&] (Parameter& p) { p.setText (text, true); });
}

void ParameterManager::setParameterFrom (int index, const Parameter& source)
{
    changeParameter (index, [&] (Parameter& p) { p.setValueFrom (source, true); });
}

void ParameterManager::copyParameterValue (int destinationIndex, int sourceIndex)
{
    const juce::ScopedReadLock sl (lock);

    auto* destination = byIndex[destinationIndex];
    auto* source = byIndex[sourceIndex];

    if (destination != nullptr && source != nullptr)
        destination->setValueFrom (*source, true);
}

void ParameterManager::capturePreset (Preset& preset, const juce::SparseSet<int>& ids) const
{
    preset.clearEntries();

    for (int i = 0; i < ids.getNumRanges(); ++i)
    {
        const auto range = ids.getRange (i);

        for (auto id = range.getStart(); id < range.getEnd(); ++id)
        {
            const juce::ScopedReadLock sl (lock);
            preset.addEntry (byIndex[id]);
        }
    }

    preset.sortEntries();
}

//==============================================================================
void ParameterManager::addListener (Parameter::Listener* listener)
{
    const juce::ScopedReadLock sl (lock);

    for (auto* p : parameters)
        p->addListener (listener);
}

void ParameterManager::addParameterListener (int index, Parameter::Listener* listener)
{
    changeParameter (index, [=] (Parameter& p) { p.addListener (listener); });
}

void ParameterManager::addAsyncListener (Parameter::Listener* listener)
{
    const juce::ScopedReadLock sl (lock);

    for (auto* p : parameters)
        p->addAsyncListener (listener);
}

void ParameterManager::removeAsyncListener (Parameter::Listener* listener)
{
    const juce::ScopedReadLock sl (lock);

    for (auto* p : parameters)
        p->removeAsyncListener (listener);
}

void ParameterManager::notifyAllParameters()
{
    const juce::ScopedReadLock sl (lock);

    for (auto* p : parameters)
    {
        p->notifyListeners();
        p->triggerAsyncUpdate();
    }
}

//==============================================================================
void ParameterManager::setDefaultValue (int index, float normalisedValue)
{
    const juce::ScopedWriteLock sl (lock);
    defaultValues.set (index, normalisedValue);
}

float ParameterManager::getDefaultValue (int index) const
{
    const juce::ScopedReadLock sl (lock);
    return defaultValues[index];
}

bool ParameterManager::hasDefaultValue (int index) const
{
    const juce::ScopedReadLock sl (lock);
    return defaultValues.contains (index);
}
