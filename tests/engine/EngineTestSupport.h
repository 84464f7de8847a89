#pragma once

#include "DelayEngine.h"
#include "EngineTables.h"

#include <algorithm>
#include <cmath>
#include <vector>

/** Small helpers shared by the engine's tests. */
namespace engine_test
{
    /** One set of the engine's tables for every test that reads them directly. */
    inline const EngineTables& tables()
    {
        static const EngineTables t;
        return t;
    }

    /** A stereo signal the engine renders in place. */
    struct Stereo
    {
        explicit Stereo (int length, float left = 0.0f, float right = 0.0f)
            : l ((size_t) length, left), r ((size_t) length, right) {}

        /** The same tone on both sides: offset + amplitude·sin(radiansPerSample·n). */
        static Stereo sine (int length, float amplitude, float radiansPerSample, float offset = 0.0f)
        {
            Stereo s (length);

            for (size_t n = 0; n < s.l.size(); ++n)
                s.l[n] = s.r[n] = offset + amplitude * std::sin (radiansPerSample * (float) n);

            return s;
        }

        int size() const    { return (int) l.size(); }

        std::vector<float> l, r;
    };

    /** Renders the whole signal in runs of at most runLength samples. */
    inline void render (DelayEngine& engine, Stereo& signal, int runLength,
                        bool inputIsStereo = true, bool outputIsStereo = true)
    {
        for (int start = 0; start < signal.size(); start += runLength)
        {
            float* channels[] = { signal.l.data() + start, signal.r.data() + start };
            engine.process (channels, std::min (runLength, signal.size() - start), inputIsStereo, outputIsStereo);
        }
    }

    /** Renders silence, to let smoothers and glides settle. */
    inline void settle (DelayEngine& engine, int numSamples)
    {
        Stereo silence (numSamples);
        render (engine, silence, engine.getBlockCapacity());
    }

    /** Makes a line a plain delay: unity volume, centred, no feedback, no filter,
        overdrive or modulation, channels joined at the given normalised time.
    */
    inline void makeNeutralLine (DelayEngine& engine, int line, float time)
    {
        const std::pair<int, float> settings[] =
        {
            { 0, 0.0f }, { 1, 0.5f }, { 2, 0.75f }, { 3, 0.0f }, { 4, 0.0f }, { 5, 0.0f },
            { 6, 0.0f }, { 7, 0.0f }, { 8, 0.5f }, { 9, 0.0f }, { 10, 0.0f },
            { 11, 0.0f }, { 12, 1.0f }, { 15, time }, { 16, time },
            { 23, 0.0f }, { 24, 1.0f }, { 27, 0.0f }, { 28, 0.0f },
            { 35, 0.0f }, { 39, 0.5f }, { 40, 0.0f }, { 41, 0.5f },
            { 42, 0.0f }, { 43, 0.0f }, { 44, 0.0f }, { 45, 0.0f }, { 46, 0.0f },
        };

        for (auto [index, v] : settings)
            engine.setLineParameter (line, index, v);
    }

    /** Mutes lines 2 to 4, so that line 1 plays alone. */
    inline void soloFirstLine (DelayEngine& engine)
    {
        for (int line = 1; line < DelayEngine::numLines; ++line)
            engine.setLineParameter (line, 0, 1.0f);
    }

    /** Four neutral lines, fully wet, unity master gain, limiter off, "Normal". */
    inline void makeNeutralEngine (DelayEngine& engine, float time = 0.01f)
    {
        for (int line = 0; line < DelayEngine::numLines; ++line)
            makeNeutralLine (engine, line, time);

        engine.setGlobalParameter (87, 0.0f);
        engine.setGlobalParameter (89, 1.0f);
        engine.setGlobalParameter (90, 0.0f);
        engine.setGlobalParameter (91, 0.5f);
        engine.setQuality (1);
    }

    /** The normalised value of an enumeration entry out of count entries. */
    inline float entry (int index, int count)
    {
        return (float) index / (float) (count - 1);
    }
}
