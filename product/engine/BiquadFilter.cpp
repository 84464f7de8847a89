#include "BiquadFilter.h"

#include <algorithm>
#include <cmath>
#include <limits>

BiquadFilter::BiquadFilter (float minF, float maxF, float minQ_, float maxQ_, int size, int initialCode)
    : code (initialCode),
      minFrequency (minF), frequencyRange (maxF - minF),
      minQ (minQ_), qRange (maxQ_ - minQ_),
      tableSize (size),
      sineTable ((size_t) size), cosineTable ((size_t) size)
{
    prepare (44100.0);
}

void BiquadFilter::prepare (double sampleRate)
{
    rateConstants.compute (sampleRate);
    const double radiansPerHalfHertz = 2.0 * 3.14159265358979323846 * 0.5 / sampleRate;

    for (int i = 0; i < tableSize; ++i)
    {
        sineTable[(size_t) i] = (float) std::sin (radiansPerHalfHertz * i);
        cosineTable[(size_t) i] = (float) std::cos (radiansPerHalfHertz * i);
    }

    // Above the Nyquist frequency the sine turns negative and the filter unstable;
    // the fixed ranges only pass it at rates below 44.1 kHz.
    highestIndex = std::max (0, std::min (tableSize - 1, (int) std::ceil (sampleRate) - 1));
    cachedIndex = -1;
    cachedSemitones = std::numeric_limits<float>::quiet_NaN();
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

void BiquadFilter::setCutoffSemitones (float semitones, float resonance,
                                       const float* semitoneTable, const float* fineTuneTable) noexcept
{
    if (semitones == cachedSemitones && resonance == cachedResonance && code == cachedCode)
        return;

    // A negative cutoff sum or a modulation past the top would leave the tables.
    const float x = semitones > 0.0f ? std::min (semitones, 239.99f) : 0.0f;
    const int i = (int) std::floor (x);
    const int j = (int) std::floor ((x - (float) i) * 1023.0f);
    const float f = semitoneTable[i] * fineTuneTable[j];

    setCutoff ((f - minFrequency) * (1.0f / frequencyRange), resonance);
    cachedSemitones = semitones;
    cachedResonance = resonance;
}

void BiquadFilter::setCoefficients (float newFrequency, float newQ) noexcept
{
    frequency = newFrequency;
    q = newQ;
    cachedSemitones = std::numeric_limits<float>::quiet_NaN();

    const double twiceF = 2.0 * (double) newFrequency;
    const int index = twiceF > 0.0 ? (int) std::min (twiceF, (double) highestIndex) : 0;

    // Without modulation the cutoff rarely moves between samples: the same table
    // entry, Q and response give the same coefficients.
    if (index == cachedIndex && newQ == cachedQ && code == cachedCode)
        return;

    cachedIndex = index;
    cachedQ = newQ;
    cachedCode = code;

    const double s = sineTable[(size_t) index];
    const double c = cosineTable[(size_t) index];
    const double alpha = s / (2.0 * (double) newQ);

    double nb0 = 1.0, nb1 = 0.0, nb2 = 0.0, na0 = 1.0, na1 = 0.0, na2 = 0.0;

    switch (code)
    {
        case lowPass:       nb0 = nb2 = (1.0 - c) * 0.5; nb1 = 1.0 - c;    break;
        case bandPass:      nb0 = s * 0.5; nb1 = 0.0; nb2 = -s * 0.5;      break;
        case bandPassPeak:  nb0 = alpha; nb1 = 0.0; nb2 = -alpha;          break;
        case highPass:      nb0 = nb2 = (1.0 + c) * 0.5; nb1 = -(1.0 + c); break;
        default:            break;
    }

    if (code >= lowPass && code <= highPass)
    {
        na0 = 1.0 + alpha;
        na1 = -2.0 * c;
        na2 = 1.0 - alpha;
    }

    b0 = nb0 / na0 + 1e-20;
    b1 = nb1 / na0 + 1e-20;
    b2 = nb2 / na0 + 1e-20;
    a1 = na1 / na0 + 1e-20;
    a2 = na2 / na0 + 1e-20;
}

void BiquadFilter::getCoefficients (double& cb0, double& cb1, double& cb2, double& ca1, double& ca2) const noexcept
{
    cb0 = b0; cb1 = b1; cb2 = b2; ca1 = a1; ca2 = a2;
}
