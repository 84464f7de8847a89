// A host-parameter map file.

#include "FuzzedProduct.h"

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    auto& product = FuzzedProduct::get();
    product.getProcessor().loadHostParametersMapFile (product.writeInput ("Fuzzed.cvhpmap", data, size));
    return 0;
}
