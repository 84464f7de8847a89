#include "Clock.h"

#include <cmath>
#include <limits>

namespace
{
    bool isUsable (double x) noexcept
    {
        return std::isfinite (x) && x > 0.0;
    }

    // Rounds a sample count up and keeps it within the countdown's range: at an
    // extreme tempo or division the count can exceed it, and the countdown then
    // simply reschedules when it runs out.
    int samplesUntil (double samples) noexcept
    {
        if (! (samples < (double) std::numeric_limits<int>::max()))
            return std::numeric_limits<int>::max();

        return samples > 0.0 ? (int) std::ceil (samples) : 0;
    }
}

Clock::Clock()
{
    setSampleRate (44100.0);
    setDivisionsPerBeat (4.0);
}

Clock::~Clock()
{
    cancelPendingUpdate();
}

bool Clock::canRun() const noexcept
{
    return isUsable (bpm.load()) && isUsable (sampleRate.load()) && isUsable (divisionsPerBeat.load());
}

void Clock::start (double ppq)
{
    if (running || ! std::isfinite (ppq) || ! canRun())
        return;

    position = 0.0;
    state = -1;
    running = true;
    needsReschedule = true;
    runningChanged = 1;
    notifyListeners();

    if (ppq != position)
    {
        position = ppq;
        needsReschedule = true;
    }
}

void Clock::stop()
{
    if (! running)
        return;

    position = 0.0;
    state = -1;
    running = false;
    needsReschedule = true;
    runningChanged = 1;
    notifyListeners();
}

bool Clock::tick()
{
    if (! running)
        return false;

    if (needsReschedule.load (std::memory_order_relaxed) && needsReschedule.exchange (false))
    {
        if (! canRun())
        {
            stop();
            return false;
        }

        reschedule();
    }

    bool edge = false;

    // A countdown that ends on the state the clock is already in is no edge.
    if (samplesToEdge == 0 && ! (state != -1 && state == nextState))
    {
        lastEdgePosition = position;
        firstEdge = (state == -1);
        state = nextState;
        edgeHappened = 1;
        notifyListeners();
        edge = true;
    }

    --samplesToEdge;
    position += beatsPerSample;

    if (samplesToEdge < 0)
        needsReschedule.store (true, std::memory_order_relaxed);

    return edge;
}

void Clock::reschedule() noexcept
{
    const double rate = sampleRate.load();
    const double tempo = bpm.load();

    const double samplesPerBeat = rate * 60.0 / tempo;
    beatsPerSample = tempo / (rate * 60.0);
    const double period = 1.0 / divisionsPerBeat.load();

    // A position exactly on a boundary belongs to the division that ends there.
    const double end = std::ceil (position / period) * period;
    const double start = end - period;
    const double lowLength = period * duty;
    const double tolerance = 0.005 * period;

    if (position < 0.0)
    {
        // Pre-roll: no edges until the position reaches 0.
        samplesToEdge = -1;
        state = -1;
        nextState = 0;
        return;
    }

    if (position <= start + lowLength)
    {
        if (state == 0)
        {
            nextState = 1;
            samplesToEdge = samplesUntil ((start + lowLength - position) * samplesPerBeat);
        }
        else if (state == 1)
        {
            // High in a low part (after a change of division): stay high to the end
            // of the division, unless it has only just begun.
            nextState = 0;
            samplesToEdge = position > start + tolerance ? samplesUntil ((end - position) * samplesPerBeat) : 0;
        }
        else
        {
            nextState = 0;
            samplesToEdge = 0;
        }
    }
    else
    {
        if (state == 1)
        {
            nextState = 0;
            samplesToEdge = samplesUntil ((end - position) * samplesPerBeat);
        }
        else if (state == 0)
        {
            // Low in a high part: rise at once, unless the division is about to end,
            // in which case wait for the next division's high part.
            nextState = 1;
            samplesToEdge = position > end - tolerance ? samplesUntil ((lowLength + end - position) * samplesPerBeat) : 0;
        }
        else
        {
            nextState = 0;
            samplesToEdge = 0;
        }
    }
}

void Clock::retrigger()
{
    position = 0.0;
    state = -1;
    needsReschedule = true;
}

bool Clock::isNearerDivisionStart() const noexcept
{
    const double x = position * divisionsPerBeat.load();
    const double c = std::ceil (x);
    return x - (c - 1.0) < c - x;
}

void Clock::setBpm (double beatsPerMinute)                  { handOver (bpm, beatsPerMinute); }
void Clock::setSampleRate (double newSampleRate)            { handOver (sampleRate, newSampleRate); }
void Clock::setDivisionsPerBeat (double newDivisionsPerBeat) { handOver (divisionsPerBeat, newDivisionsPerBeat); }

void Clock::handOver (std::atomic<double>& setting, double value) noexcept
{
    if (setting.exchange (value) != value)
        needsReschedule = true;
}

//==============================================================================
void Clock::addListener (Listener* listener)
{
    // Changes that nobody was told of are no news to a first listener.
    if (listeners.isEmpty())
    {
        runningChanged = 0;
        edgeHappened = 0;
    }

    listeners.add (listener);
    hasListeners = ! listeners.isEmpty();
}

void Clock::removeListener (Listener* listener)
{
    listeners.remove (listener);
    hasListeners = ! listeners.isEmpty();
}

void Clock::notifyListeners()
{
    // Posting a message is no business of the audio thread unless someone listens.
    if (hasListeners.load (std::memory_order_relaxed))
        triggerAsyncUpdate();
}

void Clock::handleAsyncUpdate()
{
    if (runningChanged.exchange (0) == 1)
        listeners.call (&Listener::clockRunningChanged);

    if (edgeHappened.exchange (0) == 1)
        listeners.call (&Listener::clockEdge, this);
}
