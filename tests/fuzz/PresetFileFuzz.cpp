// A preset file, read for the browser's header and read whole and applied.

#include "FuzzedProduct.h"

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    auto& product = FuzzedProduct::get();
    auto& processor = product.getProcessor();
    const auto file = product.writeInput ("Fuzzed.cvprst", data, size);

    Preset header;
    header.loadFromFile (file, processor.parameterManager, true);

    Preset preset;

    if (preset.loadFromFile (file, processor.parameterManager, false))
        processor.applyPreset (processor.getPresetCollection (0), preset);

    return 0;
}
