#pragma once

#include "SimulatedGUI.h"
#include "SimulatedInstance.h"
#include "SimulatedModule.h"

#include <gtest/gtest.h>

#include <dirent.h>

#include <cstdlib>
#include <memory>
#include <string>

/** The module under test, as the build passes it in (CORVANE_MODULE). */
inline std::string getModulePath()
{
    const auto* path = std::getenv ("CORVANE_MODULE");
    return path != nullptr ? path : "";
}

/** Threads of this process right now. */
inline int countThreads()
{
    int count = 0;

    if (auto* tasks = opendir ("/proc/self/task"))
    {
        while (auto* entry = readdir (tasks))
            if (entry->d_name[0] != '.')
                ++count;

        closedir (tasks);
    }

    return count;
}

/** A test with the module loaded, started and registered. */
class ModuleTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE (module.isLoaded()) << module.getError();
        ASSERT_EQ (module.startup(), ACF_OK);
        ASSERT_EQ (module.registerPlugin(), ACF_OK);
        ASSERT_EQ (module.getDescription().effects.size(), 1u);
        ASSERT_EQ (module.getDescription().effects[0].components.size(), 3u);
    }

    /** A created and initialised instance of a channel configuration (0: 2x2, 1: 1x2, 2: 1x1). */
    std::unique_ptr<SimulatedInstance> makeInstance (size_t configuration = 0, float sampleRate = 48000.0f, int blockSize = 256)
    {
        SimulatedInstance::Settings settings;
        settings.componentIndex = configuration;
        settings.sampleRate = sampleRate;
        settings.maxBlockSize = blockSize;

        auto instance = std::make_unique<SimulatedInstance> (module, settings);
        EXPECT_EQ (instance->create(), AAX_OK);
        EXPECT_EQ (instance->initialize(), AAX_OK);
        return instance;
    }

    SimulatedModule module { getModulePath() };
};
