#include "InputStage.h"

#include <cmath>

InputStage::InputStage()
    : inputFilter (22.0f, 88000.0f, 1.0f, 8.0f, 176000, BiquadFilter::pass),
      colourFilter (2000.0f, 2000.0f, 1.0f, 1.0f, 4000, BiquadFilter::bandPassPeak)
{
    prepare (44100.0);
}

void InputStage::prepare (double sampleRate)
{
    inputFilter.prepare (4.0 * sampleRate);
    colourFilter.prepare (sampleRate);
    updateColour();
    clear();
}

void InputStage::clear() noexcept
{
    inputFilter.clear();
    colourFilter.clear();
    clearHalfBands();
}

void InputStage::clearHalfBands() noexcept
{
    for (int ch = 0; ch < 2; ++ch)
    {
        up1[ch].clear();
        up2[ch].clear();
        down1[ch].clear();
        down2[ch].clear();
    }
}

void InputStage::updateColour() noexcept
{
    colourFilter.setCutoff (0.0f, 0.0f);
}

float InputStage::processSample (int ch, float x, const Settings& s,
                                 float cutoffSemitones, float resonance,
                                 const float* semitoneTable, const float* fineTuneTable) noexcept
{
    if (! s.overdriveOn && ! s.filterOn)
        return x;

    if (s.filterOn)
        inputFilter.setCutoffSemitones (cutoffSemitones, resonance, semitoneTable, fineTuneTable);

    const bool filterPre = s.filterOn && ! s.filterPostOverdrive;
    const bool filterPost = s.filterOn && s.filterPostOverdrive;
    const float u = x * 0.5f;
    float y = 0.0f;

    // Four steps at 4x: U1 runs at 2x on the held input, U2 at 4x on U1's output with
    // zeros between, D1 at 4x and D2 at 2x on every other D1 output.
    for (int n = 0; n < 4; ++n)
    {
        const float v = (n & 1) == 0 ? up1[ch].process (u) : 0.0f;
        float w = up2[ch].process (v);

        if (filterPre)
            w = inputFilter.processSample (ch, w);

        if (s.overdriveOn)
            w = (1.0f - 2.0f / (std::exp (2.0f * s.preampGain * w) + 1.0f) + 1e-20f) * s.overdriveGain;

        if (filterPost)
            w = inputFilter.processSample (ch, w);

        const float z = down1[ch].process (w);

        if ((n & 1) != 0)
            y = down2[ch].process (z);
    }

    float p = y * 0.25f;

    if (s.overdriveOn)
        p += colourFilter.processSample (ch, p) * s.colour;

    return p;
}
