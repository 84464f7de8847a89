#pragma once

#include <juce_core/juce_core.h>

/**
    The parameter ids of the product and the sets of ids that its documents hold.

    The parameter table declares ids 0 to 125. Ids 0 to 46 are the parameters of one
    delay line: the processor keeps a copy of them per line, line n (1 to 4) under
    ids n * 1000 + index, and uses ids 0 to 46 themselves as the view of the
    selected line. Ids 47 and up are global.
*/
struct CorvaneParameterIds
{
    /** Indices within a line (add the line's base id for a line's own copy). */
    enum LineIndex
    {
        mute                        = 0,
        panning                     = 1,
        volume                      = 2,
        channelMode                 = 3,
        filterCutoff                = 8,
        filterResonance             = 9,
        filterType                  = 10,
        delayJoinChannels           = 12,
        delayLeftTime               = 13,
        delayRightTime              = 14,
        delayLeftTimeLinear         = 15,
        delayRightTimeLinear        = 16,
        delayLeftNumerator          = 19,
        delayLeftDenominator        = 20,
        delayRightNumerator         = 21,
        delayRightDenominator       = 22,
        preDelayJoinChannels        = 24,
        preDelayLeftTime            = 25,
        preDelayRightTime           = 26,
        preDelayLeftTimeLinear      = 27,
        preDelayRightTimeLinear     = 28,
        preDelayLeftNumerator       = 31,
        preDelayLeftDenominator     = 32,
        preDelayRightNumerator      = 33,
        preDelayRightDenominator    = 34,
        overdrivePreamp             = 36,
        overdriveColor              = 37,
        overdriveGain               = 38,
        feedback                    = 39,
        feedbackHold                = 40,
        stereoSpread                = 41,
        modulationSource            = 42,
        modulationTime              = 44,
        modulationCutoff            = 45,
        modulationTremolo           = 46,

        numLineParameters           = 47
    };

    /** Global ids. Those of MOD 2 lie 20 above the MOD 1 ones named here. */
    enum GlobalId
    {
        firstGlobal                 = 47,
        mod1RetriggerMode           = 48,
        lfo1RhythmicScale           = 53,
        lfo1Frequency               = 54,
        lfo1Rate                    = 55,
        lfo1Waveform                = 56,
        lfo1WaveInvert              = 57,
        lfo1PhaseShift              = 58,
        env1Attack                  = 59,
        env1Decay                   = 60,
        env1Sustain                 = 61,
        env1Hold                    = 62,
        env1Release                 = 63,
        peak1Sensitivity            = 64,
        peak1Attack                 = 65,
        peak1Release                = 66,
        mod2RetriggerMode           = 68,
        lfo2RhythmicScale           = 73,
        lfo2Rate                    = 75,
        lfo2Waveform                = 76,
        lfo2WaveInvert              = 77,
        limiterThreshold            = 88,
        fxAmount                    = 89,
        masterVolume                = 91,

        selectedLineNumber          = 92,
        line1TimePanel              = 93,   // one per line, 93 to 96
        presetName                  = 97,
        maximumDelayLength          = 98,
        realtimeQuality             = 99,
        offlineQuality              = 100,
        mod1RetriggerChannel        = 101,
        mod1RetriggerNote           = 102,
        mod2RetriggerChannel        = 103,
        mod2RetriggerNote           = 104,
        defaultMod1RetriggerChannel = 105,
        defaultMod1RetriggerNote    = 106,
        defaultMod2RetriggerChannel = 107,
        defaultMod2RetriggerNote    = 108,
        defaultMaximumDelayLength   = 109,
        defaultRealtimeQuality      = 110,
        defaultOfflineQuality       = 111,
        tapButtonLeft               = 112,
        tapButtonRight              = 113,
        mod1RetriggerLearn          = 114,
        mod2RetriggerLearn          = 115,
        defaultMod1RetriggerLearn   = 116,
        defaultMod2RetriggerLearn   = 117,

        numTableParameters          = 126
    };

    static constexpr int numLines = 4;

    /** The id of a line's own copy of a line parameter; line 0 to 3. */
    static constexpr int getLineParameterId (int line, int index) noexcept    { return (line + 1) * 1000 + index; }

    /** The line (0 to 3) that a line id belongs to; 0 for the view ids below
        1047, and -1 for ids from 4047 on.
    */
    static constexpr int getLineForParameterId (int id) noexcept
    {
        return id < 1047 ? 0 : id < 2047 ? 1 : id < 3047 ? 2 : id < 4047 ? 3 : -1;
    }

    /** The index within its line of a line id; ids from 4047 on come back unchanged. */
    static constexpr int getIndexInLine (int id) noexcept
    {
        return id < 1047 ? id - 1000 : id < 2047 ? id - 2000 : id < 3047 ? id - 3000 : id < 4047 ? id - 4000 : id;
    }

    /** True for the ids of the four lines' own copies. */
    static constexpr bool isLineId (int id) noexcept
    {
        return id >= 1000 && id < 5000 && id % 1000 < numLineParameters;
    }

    //==============================================================================
    /** What presets and the saved state hold: the lines' copies without the time
        knobs (the linear times stand for them) and "Feedback Hold", and the globals
        47 to 91.
    */
    static juce::SparseSet<int> makePresetIds();

    /** The editing state saved with the host's project only: ids 92 to 104. */
    static juce::SparseSet<int> makeEditionIds();

    /** The defaults shared by every instance through the user settings: 105 to 109. */
    static juce::SparseSet<int> makeDefaultSettingsIds();

    /** The copies of one line (0 to 3). */
    static juce::SparseSet<int> makeLineIds (int line);

    /** Older documents stored the retrigger settings under the ids of the MIDI
        parameters that they replaced. These map such an id to today's, and leave
        any other id as it is.
    */
    static int renumberLegacyEditionId (int id) noexcept;
    static int renumberLegacyDefaultSettingsId (int id) noexcept;
};
