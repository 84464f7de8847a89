// A preset file whose star rating the preset browser writes into it.

#include "FuzzedProduct.h"

#include <cstdlib>
#include <cstring>

namespace
{
    juce::MemoryBlock contentsOf (const juce::File& file)
    {
        juce::MemoryBlock data;
        file.loadFileAsData (data);
        return data;
    }

    // JUCE's own comparison hands an empty block's null pointer to memcmp.
    bool sameBytes (const juce::MemoryBlock& a, const juce::MemoryBlock& b)
    {
        return a.getSize() == b.getSize() && (a.isEmpty() || std::memcmp (a.getData(), b.getData(), a.getSize()) == 0);
    }
}

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    auto& product = FuzzedProduct::get();
    const auto file = product.writeInput ("Rated.cvprst", data, size);
    const auto before = contentsOf (file);
    const auto rating = 1 + (int) (size % 5);

    if (Preset::rewriteFileRating (file, rating))
    {
        // What was written reads back as a preset with the new rating.
        Preset preset;

        if (! preset.loadFromFile (file, product.getProcessor().parameterManager, true) || preset.getRating() != rating)
            std::abort();
    }
    else if (! sameBytes (contentsOf (file), before))
    {
        // A file that was not certain to be rewritten safely is left as it was.
        std::abort();
    }

    return 0;
}
