#pragma once

#include <juce_events/juce_events.h>

#include <map>

/**
    The rows of a modulation matrix, each routing one modulation source (a MIDI
    controller, pitch bend, velocity...) to one destination number with a bipolar
    amount, and the indexes a modulation engine walks: the rows and destinations of
    each source, and for the note sources and the continuous ones apart, the
    destinations and the rows of each destination.

    Everything is guarded by one re-entrant lock, which every operation holds while it
    tells the listeners, last registered first. Readers take getLock() themselves; the
    index arrays hold the model's own row records and stay valid while the lock is held.
*/
class ModulationMatrixModel
{
public:
    /** One routing; a new row routes nothing: (-1, -1, 0). */
    struct Row
    {
        int source = -1;
        int destination = -1;
        float amount = 0.0f;
    };

    enum Source
    {
        modulation = 0,
        expression,
        pitchBend,
        velocity,
        pitch,
        channelPressure,
        sustain,
        arpeggiatorGate,
        arpeggiatorTie,
        numSources
    };

    /** Told of every change of the rows; moves are not reported. */
    class Listener
    {
    public:
        virtual ~Listener() = default;

        virtual void rowAdded (ModulationMatrixModel&, const Row& /*newRow*/) {}
        virtual void rowRemoved (ModulationMatrixModel&, const Row& /*removedRow*/) {}
        virtual void rowChanged (ModulationMatrixModel&, const Row& /*oldRow*/, const Row& /*newRow*/) {}
    };

    ModulationMatrixModel();
    ~ModulationMatrixModel();

    /** The source's display name; empty for an index that is no source. */
    static juce::String getSourceName (int source);

    /** Velocity and pitch come with a note; every other source changes continuously. */
    static bool isNoteSource (int source) noexcept      { return source == velocity || source == pitch; }

    void addRow();
    /** Does nothing for an index that is no row. */
    void removeRow (int index);
    /** Moves a row without rebuilding the indexes or telling anybody; a "to" outside the
        rows means the end.
    */
    void moveRow (int from, int to);
    /** Overwrites a row (nothing for an index that is no row or an equal row); the
        amount is limited to -1..1.
    */
    void setRow (int index, const Row& newRow);

    int getNumRows() const;
    /** A copy of the row, or a new row's record for an index that is no row. */
    Row getRow (int index) const;

    /** The live level of a source, -1..1; 0 for an index that is no source. */
    float getSourceValue (int source) const;
    /** Stores a source's live level, limited to -1..1; the writer broadcasts valuesChanged. */
    void setSourceValue (int source, float value);

    void addListener (Listener*);
    void removeListener (Listener*);

    const juce::CriticalSection& getLock() const noexcept  { return lock; }

    //==============================================================================
    // Indexes: read them with the lock held. Rows without a source or a destination are
    // in none of them; each list keeps the order of the rows at their last change.
    const juce::Array<const Row*>& getRowsOfSource (int source) const;
    /** Each destination once, in order of first appearance. */
    const juce::Array<int>& getDestinationsOfSource (int source) const;

    const juce::Array<int>& getNoteDestinations() const noexcept         { return noteIndex.destinations; }
    const juce::Array<int>& getContinuousDestinations() const noexcept   { return continuousIndex.destinations; }
    const juce::Array<const Row*>& getNoteRowsOfDestination (int destination) const;
    const juce::Array<const Row*>& getContinuousRowsOfDestination (int destination) const;

    /** Broadcast by whoever writes the source levels, and whoever replaces the rows as a whole. */
    juce::ChangeBroadcaster valuesChanged, rowsChanged;

private:
    /** The destinations of one category of sources and the rows of each of them. */
    struct DestinationIndex
    {
        void add (const Row&);
        void clear();
        const juce::Array<const Row*>& getRows (int destination) const;

        juce::Array<int> destinations;
        std::map<int, juce::Array<const Row*>> rowsByDestination;
    };

    void rebuildIndexes();
    void clearIndexes();

    template <typename Callback>
    void callListeners (Callback&& callback);

    juce::Array<Listener*> listeners;
    juce::OwnedArray<Row> rows;
    juce::Array<const Row*> rowsBySource[numSources];
    juce::Array<int> destinationsBySource[numSources];
    DestinationIndex continuousIndex, noteIndex;
    float sourceValues[numSources] = {};
    juce::CriticalSection lock;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ModulationMatrixModel)
};
