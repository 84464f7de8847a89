#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size);

// The inputs a harness once failed on, and the seeds its fuzzing starts from, go through it again
// in every test run, so a fault that comes back fails without clang (a hang by the time-out).
TEST (FoundInputs, PassThroughTheHarnessAgain)
{
    int numInputs = 0;

    for (const auto& entry : std::filesystem::directory_iterator (CORVANE_FOUND_INPUTS))
    {
        SCOPED_TRACE (entry.path().filename().string());
        std::ifstream file (entry.path(), std::ios::binary);
        const std::vector<char> bytes ((std::istreambuf_iterator<char> (file)), std::istreambuf_iterator<char>());

        // Copied into a block of exactly its size, so that a read past its end is caught.
        std::unique_ptr<uint8_t[]> input (new uint8_t[bytes.size()]);
        std::copy (bytes.begin(), bytes.end(), input.get());
        LLVMFuzzerTestOneInput (input.get(), bytes.size());
        ++numInputs;
    }

    EXPECT_GT (numInputs, 0) << CORVANE_FOUND_INPUTS;
}
