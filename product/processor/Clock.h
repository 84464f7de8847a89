#pragma once

#include <juce_events/juce_events.h>

#include <atomic>

/** A sample-accurate square wave locked to the host's tempo: each division of a
    beat is split into a low part (the first duty × division) and a high part, and
    tick() reports the sample at which the clock changes between them.

    The clock is aligned to the host's position only when it starts; from then on
    it counts samples on its own, accumulating beats per sample, so that its edges
    never jitter with the host's position reports.

    tick(), start(), stop() and retrigger() belong to the audio thread. The
    setters may be called from any thread: they only hand the value over, and the
    audio thread reschedules with it at its next tick. Listeners are called on the
    message thread.

    The clock cannot run without a usable tempo, sample rate and division (finite
    and above zero): it does not start without them, and stops at its next tick
    when one of them becomes unusable.
*/
class Clock  : private juce::AsyncUpdater
{
public:
    /** 44.1 kHz, no tempo, 4 divisions per beat, duty 0.5, stopped. */
    Clock();
    ~Clock() override;

    /** Starts a stopped clock at the host position ppq (in beats). A running clock
        ignores it; so does a clock without a usable tempo or position.
    */
    void start (double ppq);

    /** Stops a running clock. */
    void stop();

    /** Advances one sample; true when the state changed at this sample. A stopped
        clock does not advance.
    */
    virtual bool tick();

    /** Restarts the count at position 0: the next tick starts a new low part. */
    void retrigger();

    virtual bool isLow() const noexcept        { return state == 0; }
    virtual bool isHigh() const noexcept       { return state == 1; }

    /** True when the position lies in the first half of its division. False on an
        exact division boundary.
    */
    virtual bool isNearerDivisionStart() const noexcept;

    void setBpm (double beatsPerMinute);
    void setSampleRate (double newSampleRate);
    void setDivisionsPerBeat (double newDivisionsPerBeat);

    double getBpm() const noexcept                  { return bpm.load(); }
    double getSampleRate() const noexcept           { return sampleRate.load(); }
    double getDivisionsPerBeat() const noexcept     { return divisionsPerBeat.load(); }

    bool isRunning() const noexcept                 { return running; }

    /** The musical position of the next sample, in beats. */
    double getPosition() const noexcept             { return position; }

    /** True when the last edge was the first one after a start or retrigger. */
    bool wasFirstEdge() const noexcept              { return firstEdge; }

    /** The position at which the last edge happened. */
    double getLastEdgePosition() const noexcept     { return lastEdgePosition; }

    //==============================================================================
    /** Receives the clock's changes on the message thread. Several edges between two
        calls give one call.
    */
    class Listener
    {
    public:
        virtual ~Listener() = default;
        virtual void clockRunningChanged() = 0;
        virtual void clockEdge (Clock* clock) = 0;
    };

    /** Message thread only. */
    void addListener (Listener* listener);
    void removeListener (Listener* listener);

private:
    void handleAsyncUpdate() override;

    bool canRun() const noexcept;
    /** Stores a setting for the audio thread, which reschedules if it changed. */
    void handOver (std::atomic<double>& setting, double value) noexcept;
    void reschedule() noexcept;
    void notifyListeners();

    double position = 0.0;
    std::atomic<double> sampleRate { 0.0 };
    std::atomic<double> bpm { 0.0 };
    std::atomic<double> divisionsPerBeat { 0.0 };
    double duty = 0.5;
    double beatsPerSample = 0.0;
    int samplesToEdge = 0;
    int state = -1;
    int nextState = 0;
    bool firstEdge = false;
    bool running = false;
    std::atomic<bool> needsReschedule { true };
    double lastEdgePosition = 0.0;

    std::atomic<int> runningChanged { 0 }, edgeHappened { 0 };
    std::atomic<bool> hasListeners { false };
    juce::ListenerList<Listener> listeners;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Clock)
};
