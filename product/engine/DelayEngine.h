#pragma once

#include "EngineIndicators.h"
#include "EngineTables.h"
#include "MasterLimiter.h"
#include "Modulators.h"
#include "OnePoleSmoother4.h"
#include "OutputMeter.h"
#include "SampleRateConstants.h"

#include <cstdint>
#include <memory>
#include <vector>

class DelayCore;
class PreDelayCore;

/** The whole signal path of the product: four delay lines (each a pre-delay
    followed by a delay core), the two modulators, the routing that connects the
    lines over four stereo work buses, the dry/wet mix, the master gain, the
    look-ahead limiter and the meters.

    Not thread-safe by itself: the owner calls every operation under one lock,
    the render on the audio thread and the setters on whichever thread changes a
    parameter. Only the published indicators may be read without that lock.

    Settings arrive as normalised parameter values (0..1) and are converted here
    into the fields the cores read.
*/
class DelayEngine
{
public:
    static constexpr int numLines = 4;
    static constexpr int numLineParameters = 47;
    static constexpr int firstGlobalParameter = 47;
    static constexpr int lastGlobalParameter = 91;

    /** The values of "Delay Lines Routing". */
    enum Routing
    {
        parallel = 0,
        serial,
        tappedSerial,
        mixed1,
        mixed2,
        mixed3,
        mixed4,
        mixed5,
        mixed6,
        numRoutings
    };

    /** The four tap flags of a line, in the order the owner reads them. */
    enum TapFlag
    {
        delayLeftTap = 0,
        delayRightTap,
        preDelayLeftTap,
        preDelayRightTap
    };

    /** Builds everything and prepares for 44.1 kHz with blocks of 1024 samples. */
    DelayEngine();
    ~DelayEngine();

    DelayEngine (const DelayEngine&) = delete;
    DelayEngine& operator= (const DelayEngine&) = delete;

    /** Takes a new sample rate and block size: the work buffers are re-allocated,
        the lines resized (their memory cleared), the LFO phases restarted, and
        the gains fade in again from silence. Settings are kept.
    */
    void prepare (double sampleRate, int blockSize);

    /** Renders numSamples samples in place. channels[0] is left (or mono), and
        channels[1] right; channels[1] is touched only for a stereo input or
        output. A mono input feeds both sides of the lines; a mono output gets
        the mean of both sides.

        Runs longer than the block size given to prepare() are rendered in
        chunks. Allocates nothing and takes no lock.
    */
    void process (float** channels, int numSamples, bool inputIsStereo, bool outputIsStereo) noexcept;

    /** Silences the lines (delay memory, filter states, pre-delay buffers) and
        restarts the LFOs; used when a preset is applied.
    */
    void reset() noexcept;

    /** Zeroes the work buses. */
    void clearBuses() noexcept;

    //==============================================================================
    /** A parameter of one line (line 0..3, index 0..46 in the parameter table's
        order, v normalised). Anything out of range is ignored.
    */
    void setLineParameter (int line, int index, float v);

    /** A modulator or master parameter, ids 47..91; other ids are ignored. */
    void setGlobalParameter (int id, float v);

    /** 0 "Low", 1 "Normal", 2 "High", 3 "Ultra"; any other value is "Low". */
    void setQuality (int quality);

    /** Re-allocates every line for the new maximum length (kept within 1..15 seconds). */
    void setMaximumDelayLength (int seconds);

    /** The host tempo, for tempo-synced lines and LFOs. */
    void setHostBpm (double beatsPerMinute);

    /** The LFO rate of a tempo-synced modulator (0 or 1), in cycles per beat. */
    void setLfoTempoRate (int modulator, double cyclesPerBeat);

    void setLfo1TempoSync (bool shouldSync);
    void setLfo2TempoSync (bool shouldSync);
    void setLfo1Frequency (double v);
    void setLfo2Frequency (double v);

    //==============================================================================
    /** A note restarted the modulator (0 or 1); acts from the next sample rendered. */
    void retrigger (int modulator);

    /** A clock edge: a tempo-synced modulator's LFOs jump to the phase of the clock
        position (the fraction of positionInBeats × cyclesPerBeat).
    */
    void rephaseLfo (int modulator, double positionInBeats, double cyclesPerBeat);

    /** Points every line at the buffers of its modulator for the modulator's type. */
    void assignModulationSources();

    //==============================================================================
    /** Meters and lamps for the editor, readable from any thread. */
    EngineIndicators& getIndicators() noexcept                  { return indicators; }

    /** True when the given tap averager of a line produced a new measurement
        during the last call of process().
    */
    bool getTapFlag (int line, TapFlag flag) const noexcept     { return tapFlags[line][flag] != 0; }

    /** The line's stages, for their tap averagers and their fields. */
    DelayCore& getDelayCore (int line) noexcept                 { return *delayCores[line]; }
    PreDelayCore& getPreDelayCore (int line) noexcept           { return *preDelayCores[line]; }

    Modulators& getModulators() noexcept                        { return modulators; }

    int getBlockCapacity() const noexcept                       { return blockCapacity; }
    int getMaximumDelayLength() const noexcept                  { return maximumDelaySeconds; }
    int getRouting() const noexcept                             { return routing; }
    float getFxAmount() const noexcept                          { return fxAmount; }
    float getMasterGain() const noexcept                        { return masterGain; }
    float getLineGainTarget (int line) const noexcept           { return lineGainTargets[line]; }
    bool isLimiterActive() const noexcept                       { return limiterActive; }

private:
    void renderRun (float* left, float* right, int numSamples, bool inputIsStereo, bool outputIsStereo) noexcept;
    void runLines (int numSamples) noexcept;
    void runStagesAhead (const int* lines, int numInWave, int numSamples) noexcept;
    void mix (float* left, float* right, int numSamples, bool inputIsStereo, bool outputIsStereo) noexcept;
    void publish() noexcept;
    void collectTapFlags() noexcept;

    void resizeLines();
    void updateMasterGain();
    void setLfoTempoSync (int modulator, bool shouldSync);
    void setLfoFrequency (int modulator, double v);

    float* bus (int index) noexcept         { return buses[(size_t) index].data(); }

    SampleRateConstants rates;
    int maximumDelaySeconds = 0;

    Modulators modulators;
    OnePoleSmoother4 mixSmoother;       // FX amount, master gain, two spare lanes
    OnePoleSmoother4 lineGainSmoother;  // lines 1 to 4

    EngineTables tables;
    std::unique_ptr<DelayCore> delayCores[numLines];
    std::unique_ptr<PreDelayCore> preDelayCores[numLines];
    MasterLimiter limiter;

    std::vector<float> buses[2 * numLines];     // A left, A right, B left, ... D right
    int blockCapacity = 0;

    bool limiterActive = false;
    float masterVolume = 0.5f;
    int routing = parallel;
    float fxAmount = 0.5f;
    float masterGain = 1.0f;
    float lineGainTargets[numLines] = { 1.0f, 1.0f, 1.0f, 1.0f };

    OutputMeter outputMeters[2];
    EngineIndicators indicators;
    std::uint8_t tapFlags[numLines][4] = {};
};
