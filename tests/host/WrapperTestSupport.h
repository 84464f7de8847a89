#pragma once

#include "AAXEffectDescriptions.h"
#include "SimulatedGUI.h"
#include "SimulatedInstance.h"
#include "SimulatedModule.h"
#include "WrapperTestProcessor.h"

#include <gtest/gtest.h>

#include <memory>

/** The module of this test program: the wrapper around WrapperTestProcessor, reached through
    entry points of its own that describe these configurations.
*/
namespace WrapperTestModule
{
    extern std::vector<AAXClasses::ChannelConfiguration> configurations;
    extern const AAXClasses::PlugInInfo info;

    SimulatedModule::EntryPoints getEntryPoints();
}

/** A test with the in-process module started and registered. */
class WrapperTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        WrapperTestModule::configurations = { { 2, 2 }, { 1, 2 }, { 1, 1 } };
        WrapperTestProcessor::factoryFails = false;
        module = std::make_unique<SimulatedModule> (WrapperTestModule::getEntryPoints());
        ASSERT_EQ (module->startup(), ACF_OK);
        ASSERT_EQ (module->registerPlugin(), ACF_OK);
    }

    void TearDown() override
    {
        module.reset();
    }

    std::unique_ptr<SimulatedInstance> makeInstance (size_t configuration = 0, int maxBlockSize = 256, int bufferSize = 0)
    {
        SimulatedInstance::Settings settings;
        settings.componentIndex = configuration;
        settings.maxBlockSize = maxBlockSize;
        settings.bufferSize = bufferSize;

        auto instance = std::make_unique<SimulatedInstance> (*module, settings);
        EXPECT_EQ (instance->create(), AAX_OK);
        EXPECT_EQ (instance->initialize(), AAX_OK);
        return instance;
    }

    static WrapperTestProcessor& processor()    { return *WrapperTestProcessor::current.load(); }

    std::unique_ptr<SimulatedModule> module;
};
