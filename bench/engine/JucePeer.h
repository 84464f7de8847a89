#pragma once

#include <memory>

/** A comparison workload built from JUCE's own classes: four stereo lines, each a
    third-order Lagrange delay with feedback through a low-pass biquad, summed and
    mixed with the dry signal. Kept behind a pointer so the benchmarks of the
    engine need no JUCE header.
*/
class JucePeer
{
public:
    JucePeer();
    ~JucePeer();

    void prepare (double sampleRate, int blockSize);
    void process (float* left, float* right, int numSamples) noexcept;

private:
    struct Impl;
    std::unique_ptr<Impl> impl;
};
