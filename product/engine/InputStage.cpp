#include "InputStage.h"

#include "FastExp.h"

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
    colourFilter.setCutoff (0.0f, 0.0f);    // its frequency never moves: once per rate is enough
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

void InputStage::processFrame (float* frame, const Settings& s,
                               const float* cutoffSemitones, float resonance,
                               const float* semitoneTable, const float* fineTuneTable) noexcept
{
    if (! s.overdriveOn && ! s.filterOn)
        return;

    if (s.filterOn)
        for (int ch = 0; ch < 2; ++ch)
            inputFilter.setCutoffSemitones (ch, cutoffSemitones[ch], resonance, semitoneTable, fineTuneTable);

    const bool filterPre = s.filterOn && ! s.filterPostOverdrive;
    const bool filterPost = s.filterOn && s.filterPostOverdrive;

    // Up: U1 runs at 2x on the held input, U2 at 4x on U1's output with zeros between.
    float w[2][oversampling];

    for (int ch = 0; ch < 2; ++ch)
    {
        const float u = frame[ch] * 0.5f;
        float v[2] = { u, u };
        up1[ch].process (v, 2);

        w[ch][0] = v[0];
        w[ch][1] = 0.0f;
        w[ch][2] = v[1];
        w[ch][3] = 0.0f;
        up2[ch].process (w[ch], oversampling);

        if (filterPre)
            inputFilter.process (ch, w[ch], oversampling);
    }

    if (s.overdriveOn)
    {
        // h·tanh(g·w), written as 1 − 2/(e^(2gw) + 1).
        constexpr int count = 2 * oversampling;
        const float twiceGain = 2.0f * s.preampGain;
        const float h = s.overdriveGain;
        float* const all = &w[0][0];
        float e[count];

        for (int i = 0; i < count; ++i)
            e[i] = twiceGain * all[i];

        fastExp (e, count);

        for (int i = 0; i < count; ++i)
            all[i] = (1.0f - 2.0f / (e[i] + 1.0f) + 1e-20f) * h;
    }

    // Down: D1 at 4x, D2 at 2x on every other D1 output.
    for (int ch = 0; ch < 2; ++ch)
    {
        if (filterPost)
            inputFilter.process (ch, w[ch], oversampling);

        down1[ch].process (w[ch], oversampling);

        float z[2] = { w[ch][1], w[ch][3] };
        down2[ch].process (z, 2);
        float p = z[1] * 0.25f;

        if (s.overdriveOn)
            p += colourFilter.processSample (ch, p) * s.colour;

        frame[ch] = p;
    }
}
