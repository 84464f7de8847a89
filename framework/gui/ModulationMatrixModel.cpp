#include "ModulationMatrixModel.h"

#include <cmath>

namespace
{
    /** A NaN would poison every sample it modulates; it counts as no modulation. */
    float limitToUnit (float value) noexcept
    {
        return std::isnan (value) ? 0.0f : juce::jlimit (-1.0f, 1.0f, value);
    }

    const juce::Array<const ModulationMatrixModel::Row*> noRows;
    const juce::Array<int> noDestinations;
}

ModulationMatrixModel::ModulationMatrixModel() = default;

ModulationMatrixModel::~ModulationMatrixModel() = default;

juce::String ModulationMatrixModel::getSourceName (int source)
{
    static const char* const names[] = { "Modulation", "Expression", "Pitch Bend", "Velocity", "Pitch",
                                         "Channel Pressure", "Sustain", "Arpe Gate", "Arpe Tie" };

    return juce::isPositiveAndBelow (source, (int) numSources) ? juce::String (names[source]) : juce::String();
}

//==============================================================================
void ModulationMatrixModel::addRow()
{
    const juce::ScopedLock sl (lock);
    const auto* added = rows.add (new Row());
    rebuildIndexes();

    callListeners ([&] (Listener& l) { l.rowAdded (*this, *added); });
}

void ModulationMatrixModel::removeRow (int index)
{
    const juce::ScopedLock sl (lock);

    if (! juce::isPositiveAndBelow (index, rows.size()))
        return;

    const auto removed = *rows.getUnchecked (index);
    rows.remove (index);
    rebuildIndexes();

    callListeners ([&] (Listener& l) { l.rowRemoved (*this, removed); });
}

void ModulationMatrixModel::moveRow (int from, int to)
{
    const juce::ScopedLock sl (lock);

    if (from == to || ! juce::isPositiveAndBelow (from, rows.size()))
        return;

    if (! juce::isPositiveAndBelow (to, rows.size()))
        to = rows.size() - 1;

    rows.move (from, to);
}

void ModulationMatrixModel::setRow (int index, const Row& newRow)
{
    const juce::ScopedLock sl (lock);

    if (! juce::isPositiveAndBelow (index, rows.size()))
        return;

    auto& stored = *rows.getUnchecked (index);
    const Row wanted { newRow.source, newRow.destination, limitToUnit (newRow.amount) };

    if (stored.source == wanted.source && stored.destination == wanted.destination
        && ! (stored.amount < wanted.amount) && ! (stored.amount > wanted.amount))
        return;

    const auto old = stored;
    stored = wanted;

    // The indexes point at the record itself, so a new amount alone needs no rebuild.
    if (old.source != wanted.source || old.destination != wanted.destination)
        rebuildIndexes();

    callListeners ([&] (Listener& l) { l.rowChanged (*this, old, stored); });
}

int ModulationMatrixModel::getNumRows() const
{
    const juce::ScopedLock sl (lock);
    return rows.size();
}

ModulationMatrixModel::Row ModulationMatrixModel::getRow (int index) const
{
    const juce::ScopedLock sl (lock);

    if (auto* row = rows[index])
        return *row;

    return {};
}

float ModulationMatrixModel::getSourceValue (int source) const
{
    const juce::ScopedLock sl (lock);
    return juce::isPositiveAndBelow (source, (int) numSources) ? sourceValues[source] : 0.0f;
}

void ModulationMatrixModel::setSourceValue (int source, float value)
{
    const juce::ScopedLock sl (lock);

    if (juce::isPositiveAndBelow (source, (int) numSources))
        sourceValues[source] = limitToUnit (value);
}

void ModulationMatrixModel::addListener (Listener* listener)
{
    const juce::ScopedLock sl (lock);

    if (listener != nullptr)
        listeners.addIfNotAlreadyThere (listener);
}

void ModulationMatrixModel::removeListener (Listener* listener)
{
    const juce::ScopedLock sl (lock);
    listeners.removeFirstMatchingValue (listener);
}

template <typename Callback>
void ModulationMatrixModel::callListeners (Callback&& callback)
{
    // Backwards and bounds-checked, so a listener may remove itself while it is told.
    for (int i = listeners.size(); --i >= 0;)
        if (auto* listener = listeners[i])
            callback (*listener);
}

//==============================================================================
const juce::Array<const ModulationMatrixModel::Row*>& ModulationMatrixModel::getRowsOfSource (int source) const
{
    return juce::isPositiveAndBelow (source, (int) numSources) ? rowsBySource[source] : noRows;
}

const juce::Array<int>& ModulationMatrixModel::getDestinationsOfSource (int source) const
{
    return juce::isPositiveAndBelow (source, (int) numSources) ? destinationsBySource[source] : noDestinations;
}

const juce::Array<const ModulationMatrixModel::Row*>& ModulationMatrixModel::getNoteRowsOfDestination (int destination) const
{
    return noteIndex.getRows (destination);
}

const juce::Array<const ModulationMatrixModel::Row*>& ModulationMatrixModel::getContinuousRowsOfDestination (int destination) const
{
    return continuousIndex.getRows (destination);
}

void ModulationMatrixModel::rebuildIndexes()
{
    clearIndexes();

    for (const auto* row : rows)
    {
        if (row->destination < 0 || ! juce::isPositiveAndBelow (row->source, (int) numSources))
            continue;

        rowsBySource[row->source].add (row);
        destinationsBySource[row->source].addIfNotAlreadyThere (row->destination);
        (isNoteSource (row->source) ? noteIndex : continuousIndex).add (*row);
    }
}

void ModulationMatrixModel::clearIndexes()
{
    for (int source = 0; source < numSources; ++source)
    {
        rowsBySource[source].clearQuick();
        rowsBySource[source].minimiseStorageOverheads();
        destinationsBySource[source].clearQuick();
        destinationsBySource[source].minimiseStorageOverheads();
    }

    continuousIndex.clear();
    noteIndex.clear();
}

//==============================================================================
void ModulationMatrixModel::DestinationIndex::add (const Row& row)
{
    destinations.addIfNotAlreadyThere (row.destination);

    rowsByDestination[row.destination].add (&row);
}

void ModulationMatrixModel::DestinationIndex::clear()
{
    destinations.clearQuick();
    destinations.minimiseStorageOverheads();
    rowsByDestination.clear();
}

const juce::Array<const ModulationMatrixModel::Row*>& ModulationMatrixModel::DestinationIndex::getRows (int destination) const
{
    const auto found = rowsByDestination.find (destination);
    return found != rowsByDestination.end() ? found->second : noRows;
}
