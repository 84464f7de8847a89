// The processor's state chunk, as the host hands it back.

#include "FuzzedProduct.h"

#include <limits>

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    if (size > (size_t) std::numeric_limits<int>::max())
        return 0;

    auto& processor = FuzzedProduct::get().getProcessor();
    processor.setStateInformation (data, (int) size);
    processor.setCurrentProgramStateInformation (data, (int) size);
    return 0;
}
