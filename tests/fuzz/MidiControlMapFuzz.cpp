// A MIDI control map file.

#include "FuzzedProduct.h"

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    auto& product = FuzzedProduct::get();
    product.getProcessor().midiControl.loadMapFile (product.writeInput ("Fuzzed.cvccmap", data, size));
    return 0;
}
