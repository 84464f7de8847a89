#pragma once

#include "BiquadFilter.h"
#include "CorvaneDelayLine.h"
#include "InputStage.h"
#include "InputStageGroup.h"
#include "InterpolatingRead.h"
#include "OnePoleSmoother4.h"

#include <vector>

/** The main delay of a line: a stereo delay with a kernel-interpolated fractional
    read, an input stage with filter and oversampled overdrive, feedback that can be
    held or filtered, stereo spread, tremolo, mid/side decoding, volume and pan.

    The engine writes the settings below as plain fields (under its lock); every
    continuous one is smoothed here per sample so that automation never clicks.
*/
class DelayCore  : public CorvaneDelayLine
{
public:
    /** The tables are the engine's and must outlive the core. */
    DelayCore (const double* kernel32, const double* kernel8, const double* kernel16,
               const float* semitoneTable, const float* fineTuneTable);

    /** Recomputes the lengths, then the spread offset and modulation depth that follow them. */
    void update() override;

    /** Reallocates and clears the delay memory for the rate and maximum length. */
    void resize (float sampleRate, int blockSize, int maxDelaySeconds) override;

    /** Renders numSamples samples; in and out may be the same buffers. */
    void process (const float* inL, const float* inR, float* outL, float* outR, int numSamples) noexcept;

    /** Prepares a run of numSamples samples whose input stage a group of lines runs
        ahead (see InputStageGroup): fills the member with the stage's inputs and
        settings, and the next process() of those samples takes the stage's outputs
        from it. Returns false, preparing nothing, when the stage is switched off or
        both channels might fall silent within the run (the stage runs only while a
        channel is active); process() then runs the stage itself.
    */
    bool prepareStageAhead (const float* inL, const float* inR, int numSamples, InputStageGroup::Member& member) noexcept;

    /** The stage's switches; lines whose stages run together share them. */
    InputStage::Settings getStageSwitches() const noexcept;

    /** Clears the delay memory and the filter states; the next sample snaps the
        modulated delay to its target instead of gliding. The memory is not touched:
        what was written before reads as silence until it is overwritten, so the
        cost does not grow with the buffers.
    */
    void reset() noexcept;

    /** Filter type index 0 "Off", 1 "LP", 2 "BP", 3 "HP": sets both switchable filters
        and clears their states; any other index is stored but changes nothing else.
    */
    void setFilterType (int index) noexcept;

    /** Interpolation mode and narrowest kernel step of the read ("Low" 0/512,
        "Normal" 1/128, "High" 2/64, "Ultra" 2/16).
    */
    void setQuality (int interpolationMode, double minimumStep) noexcept;

    /** Per-sample modulation (0..1) for the left and right channel; null reads as 0. */
    void setModulationSource (const float* left, const float* right) noexcept;

    /** The output envelopes as nine LED steps (0, 0.125 … 1). */
    float getLeftMeterLevel() const noexcept    { return meterStep (envelopeL); }
    float getRightMeterLevel() const noexcept   { return meterStep (envelopeR); }

    /** Samples added to every read delay at this rate. */
    double getRateOffset() const noexcept       { return rateOffset; }

    bool isLeftActive() const noexcept          { return activeL; }
    bool isRightActive() const noexcept         { return activeR; }

    // Settings written by the engine.
    float spread = 0.0f;            // 0..1, 0.5 centre
    float feedback = 0.5f;          // −1..1
    float cutoff = 0.0f, resonance = 0.0f;
    int filterType = 0;             // 0 Off, 1 LP, 2 BP, 3 HP
    bool overdriveOn = false;
    float preampGain = 0.0f;        // linear
    float colour = 0.0f;            // −1..2
    float overdriveGain = 0.0f;     // linear
    float modTimeDepth = 0.0f, modTime = 0.0f, modCutoff = 0.0f, tremolo = 0.0f;
    float pan = 0.0f;               // 0..2, 1 centre
    float volume = 0.0f;            // linear
    bool midSide = false, stereoToMono = false, swapChannels = false;

    float spreadOffset = 0.0f;      // (spread − 0.5)·lengthL samples
    float feedbackGain = 0.495f;    // feedback·0.99
    bool smoothModulatedTime = false;
    int modulationSource = 0;       // 0 "MOD 1", 1 "MOD 2"
    bool feedbackHold = false;
    int filterMode = 0;             // 0 "Pre Overdrive", 1 "Post Overdrive"
    bool filterInLoop = false;
    bool logModulation = false;

private:
    /** The longest stretch of samples processed as one chunk. */
    static constexpr int chunkLength = InterpolatingRead::maximumRun;

    static float meterStep (double envelope) noexcept;

    /** True when every delay reads only samples older than a chunk of count samples
        and is no longer than longest, so that no read is clamped.
    */
    static bool readsBehind (const double* delays, int count, int longest) noexcept;

    /** What a chunk's passes take: its signals and the chunk's values computed
        ahead, each count samples long.
    */
    struct Chunk
    {
        const float* inL;
        const float* inR;
        float* outL;
        float* outR;
        int count;
        const float* readsL;
        const float* readsR;
        const float* stagedL;       // null when the stage is switched off
        const float* stagedR;
        const double* feedbacks;
        const double* spreads;
        const float* volumes;
        const double* pans;
        const float (*stageGains)[4];
        const float* modulationL;
        const float* modulationR;
    };

    /** The two channels' tremolo as one vector held in a register: left to itself the
        compiler pairs them through memory, and the round trip stalls every sample.
    */
    using ChannelPair = double __attribute__ ((vector_size (2 * sizeof (double))));

    /** The rest of process() for a chunk whose channels are both read ahead and stay
        active throughout, whose stage is run ahead or off, and whose memory is all
        fresh; in passes over the whole chunk rather than sample by sample.
    */
    void renderChunk (const Chunk& chunk, int index, int& silentL, int& silentR, double& envL, double& envR,
                      ChannelPair& tremolo) noexcept;

    /** How many silent writes a channel must have seen before it can stop reading. */
    static int activityWindow (double delay, double spreadOffset, int length, int kernelTaps) noexcept;

    // S1 and S2 carry the delay lengths, so their lanes are double.
    BasicOnePoleSmoother4<double> s1;   // spread offset, length L, length R, feedback
    BasicOnePoleSmoother4<double> s2;   // S1 lengths, S3 modulation depth, pan
    OnePoleSmoother4 s3;                // volume, modulation depth
    OnePoleSmoother4 s4;                // preamp gain, colour, overdrive gain, tremolo

    InputStage inputStage;
    BiquadFilter loopFilter;
    InterpolatingRead reader;

    double rateOffset = 0.0;        // added to every read delay
    bool snapPending = false;

    const float* semitoneTable;
    const float* fineTuneTable;

    std::vector<double> bufferL, bufferR;   // bufferLength + the reader's guard each
    std::vector<float> spreadBuffer;        // bufferLength: it holds reads, which are floats
    int writeIndex = 0;
    int freshWrites = 0;    // samples written since the memory was last cleared, up to bufferLength

    double previousDelayL = 0.0, previousDelayR = 0.0;
    const float* modulationL = nullptr;
    const float* modulationR = nullptr;

    // A run's input stage, when a group runs it ahead: inputs, outputs, gains and
    // filter positions, each a block of blockCapacity samples.
    enum StagedBlock { stagedInputL, stagedInputR, stagedOutputL, stagedOutputR, stagedPreamp,
                       stagedOverdrive, stagedColour, stagedCutoffL, stagedCutoffR, numStagedBlocks };
    std::vector<float> stagedRuns;
    int blockCapacity = 0;
    bool stagedAhead = false;

    float* stagedBlock (StagedBlock b) noexcept    { return stagedRuns.data() + (size_t) b * (size_t) blockCapacity; }

    bool activeL = false, activeR = false;
    int silentWritesL = 0, silentWritesR = 0;   // samples since a non-silent write

    double delaySmoothL1 = 0.0, delaySmoothR1 = 0.0, delaySmoothL2 = 0.0, delaySmoothR2 = 0.0;
    double timeSmoothCoefficient = 0.0;
    double tremoloModL = 0.0, tremoloModR = 0.0;
    double envelopeL = 0.0, envelopeR = 0.0;
    double envelopeDecay = 0.0;
    float tremoloSmoothCoefficient = 0.0f;
};
