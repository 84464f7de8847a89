// The user settings file that every new instance reads.

#include "FuzzedProduct.h"

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    auto& processor = FuzzedProduct::get().getProcessor();
    FuzzedProduct::writeInput (processor.getSettingsFile(), data, size);
    processor.loadUserSettings();
    return 0;
}
