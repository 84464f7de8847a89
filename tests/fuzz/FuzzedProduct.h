#pragma once

#include "Corvane.h"

#include <cstddef>
#include <cstdint>
#include <memory>

/**
    The product as the fuzzing harnesses feed it: JUCE started, the plug-in's folders below a
    temporary root (so that no file of the user's is read or changed), and one Corvane instance
    kept for the whole run, since making one for every input would be far too slow.
*/
class FuzzedProduct
{
public:
    /** The one instance, made on first use. */
    static FuzzedProduct& get();

    Corvane& getProcessor() noexcept    { return *processor; }

    /** A file below the temporary root, holding exactly the input's bytes. */
    juce::File writeInput (const juce::String& fileName, const uint8_t* data, size_t size) const;

    /** Writes the input's bytes over the file. */
    static void writeInput (const juce::File& file, const uint8_t* data, size_t size);

    ~FuzzedProduct();

private:
    FuzzedProduct();

    juce::ScopedJuceInitialiser_GUI juceInitialiser;
    juce::File root;
    std::unique_ptr<Corvane> processor;
};
