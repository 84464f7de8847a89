#include "BiquadFilter.h"

#include <algorithm>
#include <cmath>
#include <limits>

BiquadFilter::BiquadFilter (float minF, float maxF, float minQ_, float maxQ_, int size, int initialCode)
    : code (initialCode),
      minFrequency (minF), frequencyRange (maxF - minF),
      minQ (minQ_), qRange (maxQ_ - minQ_),
      tableSize (size)
{
    prepare (44100.0);
}

void BiquadFilter::prepare (double sampleRate)
{
    rateConstants.compute (sampleRate);

    if (tables == nullptr || tables->rate != sampleRate)
        tables = FilterTables::forRate (sampleRate, tableSize);

    // Each table ends where its unit's range ends, at 11/24 of the rate when the host
    // runs at 48 kHz (22 kHz, and 88 kHz at four times that rate); from there up the
    // table's end is the limit. Closer to the Nyquist frequency the poles lie so near
    // z = -1 that a cutoff thrown between there and far below keeps energy in a
    // feedback loop that the same settings at 48 kHz lose, and on it (where the cosine
    // rounds to -1) a cutoff moved every sample drives the filter to infinity. Below
    // that rate the top is the table's last entry scaled down with the rate, so that no
    // rate asks a higher fraction of its rate of a filter than 48 kHz does.
    const double rateWhereTheTableEnds = tableSize * 12.0 / 11.0;
    const double scaledTop = std::floor ((tableSize - 1) * sampleRate / rateWhereTheTableEnds);
    highestIndex = scaledTop > 0.0 ? (int) std::min ((double) (tableSize - 1), scaledTop) : 0;

    for (auto& c : coefficients)
    {
        c.cachedIndex = -1;
        c.cachedSemitones = std::numeric_limits<float>::quiet_NaN();
    }

    clear();
}

void BiquadFilter::setCode (int newCode) noexcept
{
    code = newCode;
    clear();
}

void BiquadFilter::clear() noexcept
{
    states[0] = State();
    states[1] = State();
}

void BiquadFilter::setCutoff (float cutoff, float resonance) noexcept
{
    setCoefficients (cutoff * frequencyRange + minFrequency, resonance * qRange + minQ);
}

void BiquadFilter::setCutoffSemitones (int channel, float semitones, float resonance,
                                       const float* semitoneTable, const float* fineTuneTable) noexcept
{
    auto& c = coefficients[channel];

    if (semitones == c.cachedSemitones && resonance == c.cachedResonance && code == c.cachedCode)
        return;

    // A negative cutoff sum or a modulation past the top would leave the tables.
    const float x = semitones > 0.0f ? std::min (semitones, 239.99f) : 0.0f;
    const int i = (int) std::floor (x);
    const int j = (int) std::floor ((x - (float) i) * 1023.0f);
    const float f = semitoneTable[i] * fineTuneTable[j];
    const float normalised = (f - minFrequency) * (1.0f / frequencyRange);

    computeCoefficients (c, normalised * frequencyRange + minFrequency, resonance * qRange + minQ);
    c.cachedSemitones = semitones;
    c.cachedResonance = resonance;
}

void BiquadFilter::setCoefficients (float newFrequency, float newQ) noexcept
{
    computeCoefficients (coefficients[0], newFrequency, newQ);
    coefficients[1] = coefficients[0];
}

void BiquadFilter::computeCoefficients (Coefficients& c, float newFrequency, float newQ) noexcept
{
    c.frequency = newFrequency;
    c.q = newQ;
    c.cachedSemitones = std::numeric_limits<float>::quiet_NaN();

    const double twiceF = 2.0 * (double) newFrequency;
    const int index = twiceF > 0.0 ? (int) std::min (twiceF, (double) highestIndex) : 0;

    // Without modulation the cutoff rarely moves between samples: the same table
    // entry, Q and response give the same coefficients.
    if (index == c.cachedIndex && newQ == c.cachedQ && code == c.cachedCode)
        return;

    c.cachedIndex = index;
    c.cachedQ = newQ;
    c.cachedCode = code;

    const double s = tables->sine[(size_t) index];
    const double cosine = tables->cosine[(size_t) index];
    const double alpha = s / (2.0 * (double) newQ);

    double nb0 = 1.0, nb1 = 0.0, nb2 = 0.0, na0 = 1.0, na1 = 0.0, na2 = 0.0;

    switch (code)
    {
        case lowPass:       nb0 = nb2 = (1.0 - cosine) * 0.5; nb1 = 1.0 - cosine;    break;
        case bandPass:      nb0 = s * 0.5; nb1 = 0.0; nb2 = -s * 0.5;                break;
        case bandPassPeak:  nb0 = alpha; nb1 = 0.0; nb2 = -alpha;                    break;
        case highPass:      nb0 = nb2 = (1.0 + cosine) * 0.5; nb1 = -(1.0 + cosine); break;
        default:            break;
    }

    if (code >= lowPass && code <= highPass)
    {
        na0 = 1.0 + alpha;
        na1 = -2.0 * cosine;
        na2 = 1.0 - alpha;
    }

    c.b0 = nb0 / na0 + 1e-20;
    c.b1 = nb1 / na0 + 1e-20;
    c.b2 = nb2 / na0 + 1e-20;
    c.a1 = na1 / na0 + 1e-20;
    c.a2 = na2 / na0 + 1e-20;
}

void BiquadFilter::getCoefficients (double& cb0, double& cb1, double& cb2, double& ca1, double& ca2, int channel) const noexcept
{
    const auto& c = coefficients[channel];
    cb0 = c.b0; cb1 = c.b1; cb2 = c.b2; ca1 = c.a1; ca2 = c.a2;
}
