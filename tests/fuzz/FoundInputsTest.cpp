#include "DisplayWatch.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

// Each harness's entry point, renamed after its harness in this program.
#define X(name) extern "C" int replay##name (const uint8_t* data, size_t size);
CORVANE_REPLAYED_HARNESSES
#undef X

namespace
{
    struct Harness
    {
        const char* name;
        int (*run) (const uint8_t*, size_t);
    };

    #define X(name) Harness { #name, replay##name },
    const Harness harnesses[] = { CORVANE_REPLAYED_HARNESSES };
    #undef X
}

class FoundInputs  : public testing::TestWithParam<Harness> {};

// The inputs a harness once failed on, and the seeds its fuzzing starts from, go through it again
// in every test run, so a fault that comes back fails without clang (a hang by the time-out).
// A harness shows nothing, so it reaches no X display, even one that DISPLAY names.
TEST_P (FoundInputs, PassThroughTheHarnessAgain)
{
    const auto folder = std::filesystem::path (CORVANE_FOUND_INPUTS) / GetParam().name;
    int numInputs = 0;
    const DisplayWatch display;
    ASSERT_TRUE (display.isWatching());
    setenv ("DISPLAY", display.getName().c_str(), 1);

    for (const auto& entry : std::filesystem::directory_iterator (folder))
    {
        SCOPED_TRACE (entry.path().filename().string());
        std::ifstream file (entry.path(), std::ios::binary);
        const std::vector<char> bytes ((std::istreambuf_iterator<char> (file)), std::istreambuf_iterator<char>());

        // Copied into a block of exactly its size, so that a read past its end is caught.
        std::unique_ptr<uint8_t[]> input (new uint8_t[bytes.size()]);
        std::copy (bytes.begin(), bytes.end(), input.get());
        GetParam().run (input.get(), bytes.size());
        ++numInputs;
    }

    EXPECT_GT (numInputs, 0) << folder;
    EXPECT_EQ (display.getNumConnections(), 0);
}

INSTANTIATE_TEST_SUITE_P (Harnesses, FoundInputs, testing::ValuesIn (harnesses),
                          [] (const auto& info) { return std::string (info.param.name); });
