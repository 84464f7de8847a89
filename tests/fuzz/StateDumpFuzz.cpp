// The state dump in the user data folder.

#include "FuzzedProduct.h"

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    auto& processor = FuzzedProduct::get().getProcessor();
    FuzzedProduct::writeInput (processor.getSettingsFile().withFileExtension (".dump"), data, size);
    processor.readStateDump();
    return 0;
}
