#include "ModuleTestSupport.h"

#include "AAX_Identifiers.h"

#include <elf.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <thread>
#include <vector>

namespace
{
    /** The names of the symbols a shared library defines for others to find. */
    std::set<std::string> readExportedSymbols (const std::string& path)
    {
        std::ifstream file (path, std::ios::binary);
        const std::vector<char> bytes ((std::istreambuf_iterator<char> (file)), std::istreambuf_iterator<char>());
        std::set<std::string> names;

        Elf64_Ehdr header {};

        if (bytes.size() < sizeof (header))
            return names;

        std::memcpy (&header, bytes.data(), sizeof (header));

        if (std::memcmp (header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != ELFCLASS64
             || header.e_shoff + static_cast<size_t> (header.e_shnum) * sizeof (Elf64_Shdr) > bytes.size())
            return names;

        std::vector<Elf64_Shdr> sections (header.e_shnum);
        std::memcpy (sections.data(), bytes.data() + header.e_shoff, sections.size() * sizeof (Elf64_Shdr));

        for (const auto& section : sections)
        {
            if (section.sh_type != SHT_DYNSYM || section.sh_link >= sections.size())
                continue;

            const auto& strings = sections[section.sh_link];

            for (size_t offset = 0; offset + sizeof (Elf64_Sym) <= section.sh_size; offset += sizeof (Elf64_Sym))
            {
                Elf64_Sym symbol {};
                std::memcpy (&symbol, bytes.data() + section.sh_offset + offset, sizeof (symbol));
                const auto binding = ELF64_ST_BIND (symbol.st_info);

                if (symbol.st_shndx != SHN_UNDEF && symbol.st_name != 0 && (binding == STB_GLOBAL || binding == STB_WEAK))
                    names.insert (bytes.data() + strings.sh_offset + symbol.st_name);
            }
        }

        return names;
    }
}

TEST (ModuleFile, ExportsExactlyTheSevenEntryPoints)
{
    const std::set<std::string> expected { "ACFRegisterPlugin", "ACFRegisterComponent", "ACFGetClassFactory",
                                           "ACFCanUnloadNow", "ACFStartup", "ACFShutdown", "ACFGetSDKVersion" };
    EXPECT_EQ (readExportedSymbols (getModulePath()), expected);
}

TEST (ModuleLoading, StartupAndShutdownRules)
{
    SimulatedModule module (getModulePath());
    ASSERT_TRUE (module.isLoaded()) << module.getError();
    auto& host = module.getHostObject();
    const auto& entryPoints = module.getEntryPoints();

    // A shutdown before any start-up does nothing.
    EXPECT_EQ (module.shutdown(), ACF_OK);
    EXPECT_EQ (host.getReferenceCount(), 1u);

    // The module keeps the host's services from start-up to shutdown...
    EXPECT_EQ (module.startup(), ACF_OK);
    EXPECT_EQ (host.getReferenceCount(), 2u);

    // ...and a second start-up keeps the first host's services, taking nothing from the second.
    auto* secondHost = new HostModuleObject (std::make_shared<HostCallLog>());
    EXPECT_EQ (entryPoints.startup (secondHost->asUnknown()), ACF_OK);
    EXPECT_EQ (secondHost->getReferenceCount(), 1u);
    EXPECT_EQ (host.getReferenceCount(), 2u);

    EXPECT_EQ (module.shutdown(), ACF_OK);
    EXPECT_EQ (host.getReferenceCount(), 1u);
    EXPECT_EQ (secondHost->getReferenceCount(), 1u);
    secondHost->Release();

    uint64_t version = 0;
    EXPECT_EQ (module.getSDKVersion (version), ACF_OK);
    EXPECT_EQ (version, 0x00000201007756BFull);
    EXPECT_EQ (entryPoints.getSDKVersion (nullptr), ACF_E_POINTER);

    IACFComponentDefinition* component = reinterpret_cast<IACFComponentDefinition*> (&host);
    EXPECT_EQ (entryPoints.registerComponent (host.asUnknown(), 0, &component), ACF_OK);
    EXPECT_EQ (component, nullptr);

    void* factory = &host;
    EXPECT_EQ (entryPoints.getClassFactory (host.asUnknown(), AAX_CLSID_Collection, IID_IACFUnknown, &factory), AAX_ERROR_NOT_IMPLEMENTED);
    EXPECT_EQ (factory, nullptr);
}

TEST (ModuleLoading, RegistrationNeedsTheHostsComponentFactory)
{
    SimulatedModule module (getModulePath());
    ASSERT_TRUE (module.isLoaded()) << module.getError();
    module.getHostObject().setFactoryAvailable (false);

    EXPECT_EQ (module.startup(), ACF_OK);
    EXPECT_EQ (module.registerPlugin(), AAX_ERROR_NULL_OBJECT);
    EXPECT_TRUE (module.getDescription().effects.empty());

    IACFPluginDefinition* definition = nullptr;
    EXPECT_EQ (module.getEntryPoints().registerPlugin (module.getHostObject().asUnknown(), nullptr), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ (module.getEntryPoints().registerPlugin (nullptr, &definition), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ (definition, nullptr);
    EXPECT_EQ (module.canUnloadNow(), 0);
}

TEST (ModuleLoading, CanBeUnloadedOnlyWhenEveryObjectIsGone)
{
    SimulatedModule module (getModulePath());
    ASSERT_TRUE (module.isLoaded()) << module.getError();
    EXPECT_EQ (module.canUnloadNow(), 0);
    ASSERT_EQ (module.startup(), ACF_OK);
    ASSERT_EQ (module.registerPlugin(), ACF_OK);
    EXPECT_EQ (module.canUnloadNow(), 0);

    {
        SimulatedInstance instance (module, {});
        ASSERT_EQ (instance.create(), AAX_OK);
        EXPECT_EQ (module.canUnloadNow(), 1);

        SimulatedGUI gui (instance);
        ASSERT_EQ (gui.create(), AAX_OK);
        EXPECT_EQ (module.canUnloadNow(), 2);

        ASSERT_EQ (instance.initialize(), AAX_OK);
        ASSERT_EQ (gui.initialize(), AAX_OK);
        EXPECT_FALSE (module.unload());
        EXPECT_TRUE (module.isLoaded());

        // The editor object holds the effect: the effect outlives the host's own reference.
        instance.uninitialize();
        instance.release();
        EXPECT_EQ (module.canUnloadNow(), 2);

        gui.uninitialize();
        gui.release();
        EXPECT_EQ (module.canUnloadNow(), 0);
    }

    EXPECT_TRUE (module.unload()) << module.getError();
}

TEST (ModuleLoading, NoThreadIsLeftFromLoadToUnload)
{
    const auto threadsBefore = countThreads();

    SimulatedModule module (getModulePath());
    ASSERT_TRUE (module.isLoaded()) << module.getError();
    ASSERT_EQ (module.startup(), ACF_OK);
    ASSERT_EQ (module.registerPlugin(), ACF_OK);

    {
        SimulatedInstance instance (module, {});
        ASSERT_EQ (instance.create(), AAX_OK);
        ASSERT_EQ (instance.initialize(), AAX_OK);
        EXPECT_GT (countThreads(), threadsBefore);   // the module's message thread

        SimulatedGUI gui (instance);
        ASSERT_EQ (gui.create(), AAX_OK);
        ASSERT_EQ (gui.initialize(), AAX_OK);
        gui.attach (AAX_ViewContainerWin32Window);

        for (int block = 0; block < 20; ++block)
            instance.processBlock (256);

        // The editor's timer runs on JUCE's timer thread for a while.
        std::this_thread::sleep_for (std::chrono::milliseconds (100));
        EXPECT_GE (countThreads(), threadsBefore + 2);   // and JUCE's timer thread
        gui.detach();
    }

    // Every thread of the module has finished once it says it may be unloaded...
    ASSERT_EQ (module.canUnloadNow(), 0);
    EXPECT_EQ (countThreads(), threadsBefore);

    // ...and unloading it leaves nothing running.
    ASSERT_TRUE (module.unload()) << module.getError();
    EXPECT_EQ (countThreads(), threadsBefore);
}

TEST (ModuleLoading, EveryHostReferenceIsGivenBack)
{
    const auto hostObjectsBefore = HostObjectBase::getNumAlive();

    {
        SimulatedModule module (getModulePath());
        ASSERT_TRUE (module.isLoaded()) << module.getError();
        ASSERT_EQ (module.startup(), ACF_OK);
        ASSERT_EQ (module.registerPlugin(), ACF_OK);

        // The description objects went with the definition.
        EXPECT_EQ (HostObjectBase::getNumAlive(), hostObjectsBefore + 1);

        SimulatedInstance instance (module, {});
        ASSERT_EQ (instance.create(), AAX_OK);
        ASSERT_EQ (instance.initialize(), AAX_OK);
        EXPECT_GT (instance.getHostObject().getReferenceCount(), 1u);

        SimulatedGUI gui (instance);
        ASSERT_EQ (gui.create(), AAX_OK);
        ASSERT_EQ (gui.initialize(), AAX_OK);
        gui.attach (AAX_ViewContainerWin32Window);
        EXPECT_GT (gui.getContainer()->getReferenceCount(), 1u);
        gui.detach();

        gui.uninitialize();
        gui.release();
        instance.uninitialize();
        instance.release();
        EXPECT_EQ (instance.getHostObject().getReferenceCount(), 1u);
        EXPECT_EQ (module.canUnloadNow(), 0);

        ASSERT_TRUE (module.unload());
        EXPECT_EQ (module.getHostObject().getReferenceCount(), 1u);
    }

    EXPECT_EQ (HostObjectBase::getNumAlive(), hostObjectsBefore);
}

TEST (ModuleLoading, RepeatedLifeCyclesEndTheMessageThreadCleanly)
{
    SimulatedModule module (getModulePath());
    ASSERT_TRUE (module.isLoaded()) << module.getError();
    ASSERT_EQ (module.startup(), ACF_OK);

    // Describing and each instance start the message thread and stop it again: the stop once
    // raced with the thread's own shutdown, which the sanitizers catch within a few hundred rounds.
    for (int cycle = 0; cycle < 200; ++cycle)
    {
        ASSERT_EQ (module.registerPlugin(), ACF_OK);

        if (cycle % 100 == 0)
        {
            SimulatedInstance instance (module, {});
            ASSERT_EQ (instance.create(), AAX_OK);
            ASSERT_EQ (instance.initialize(), AAX_OK);
        }

        ASSERT_EQ (module.canUnloadNow(), 0);
    }
}

TEST (ModuleLoading, AHostMayExitWithAnInstanceOpen)
{
    GTEST_FLAG_SET (death_test_style, "threadsafe");

    EXPECT_EXIT ({
        SimulatedModule module (getModulePath());
        module.startup();
        module.registerPlugin();

        SimulatedInstance instance (module, {});
        instance.create();
        instance.initialize();
        std::exit (0);
    }, ::testing::ExitedWithCode (0), "");
}
