#include "AAX_CHostServices.h"
#include "AAX_VAutomationDelegate.h"
#include "AAX_VController.h"
#include "AAX_VTransport.h"
#include "ACFEntryPoints.h"
#include "FakeHost.h"

#include <gtest/gtest.h>

#include <map>

namespace
{
    class FakePlugInDefinition final : public FakeCounted<IACFPluginDefinition>
    {
    public:
        FakePlugInDefinition() : FakeCounted (AAX_IID_PlugInDefinition) {}
    };

    class FakeCollection final : public FakeCounted<AAX_IACFCollection>
    {
    public:
        FakeCollection() : FakeCounted (AAX_IID_Collection) {}

        ACFRESULT QueryInterface (const acfIID& iid, void** out) override
        {
            if (iid == AAX_IID_PlugInDefinition)
                return definition.QueryInterface (iid, out);

            return FakeCounted::QueryInterface (iid, out);
        }

        AAX_Result AddEffect (const char* id, IACFUnknown*) override      { calls.push_back (std::string ("effect ") + id); return AAX_OK; }
        AAX_Result SetManufacturerName (const char* n) override           { calls.push_back (std::string ("manufacturer ") + n); return AAX_OK; }
        AAX_Result AddPackageName (const char* n) override                { calls.push_back (std::string ("package ") + n); return AAX_OK; }
        AAX_Result SetPackageVersion (uint32_t v) override                { calls.push_back ("version " + std::to_string (v)); return AAX_OK; }
        AAX_Result SetProperties (IACFUnknown*) override                  { calls.push_back ("properties"); return AAX_OK; }

        FakePlugInDefinition definition;
        std::vector<std::string> calls;
    };

    class FakePropertyMap final : public FakeCounted<AAX_IACFPropertyMap_V2>
    {
    public:
        FakePropertyMap() : FakeCounted (AAX_IID_PropertyMapV2) {}

        ACFRESULT QueryInterface (const acfIID& iid, void** out) override
        {
            if (iid == AAX_IID_PropertyMap)
                return FakeCounted::QueryInterface (AAX_IID_PropertyMapV2, out);

            return FakeCounted::QueryInterface (iid, out);
        }

        AAX_CBoolean GetProperty (AAX_EProperty p, AAX_CPropertyValue* v) const override
        {
            const auto found = values.find (p);

            if (found == values.end())
                return 0;

            *v = found->second;
            return 1;
        }

        AAX_Result AddProperty (AAX_EProperty p, AAX_CPropertyValue v) override    { values[p] = v; return AAX_OK; }
        AAX_Result RemoveProperty (AAX_EProperty p) override                       { values.erase (p); return AAX_OK; }
        AAX_Result GetPropertyCount (uint32_t* c) const override                   { *c = static_cast<uint32_t> (values.size()); return AAX_OK; }

        AAX_Result GetPropertyAt (uint32_t index, AAX_EProperty* p, AAX_CPropertyValue* v) const override
        {
            auto entry = values.begin();
            std::advance (entry, index);
            *p = entry->first;
            *v = entry->second;
            return AAX_OK;
        }

        std::map<AAX_EProperty, AAX_CPropertyValue> values;
    };

    /** Makes collections and property maps; descriptors it does not make. */
    class FakeFactory final : public FakeCounted<IACFComponentFactory>
    {
    public:
        FakeFactory() : FakeCounted (AAX_IID_ComponentFactory) {}

        ACFRESULT CreateComponent (const acfCLSID& classID, IACFUnknown*, const acfIID& iid, void** out) override
        {
            *out = nullptr;

            if (classID == AAX_CLSID_Collection)
                return collection.QueryInterface (iid, out);

            if (classID == AAX_CLSID_PropertyMap)
            {
                maps.push_back (std::make_unique<FakePropertyMap>());
                return maps.back()->QueryInterface (iid, out);
            }

            return ACF_E_NOINTERFACE;
        }

        FakeCollection collection;
        std::vector<std::unique_ptr<FakePropertyMap>> maps;
    };

    /** A host object that hands out a factory, or claims one and hands out none. */
    class FactoryHost final : public FakeCounted<IACFUnknown>
    {
    public:
        FactoryHost() : FakeCounted (IID_IACFUnknown) {}

        ACFRESULT QueryInterface (const acfIID& iid, void** out) override
        {
            if (iid == AAX_IID_ComponentFactory)
            {
                if (claimWithoutObject)
                {
                    *out = nullptr;
                    return ACF_OK;
                }

                return factory.QueryInterface (iid, out);
            }

            if (services != nullptr && iid == AAX_IID_HostServices)
                return services->QueryInterface (iid, out);

            return FakeCounted::QueryInterface (iid, out);
        }

        FakeFactory factory;
        FakeHostServices* services = nullptr;
        bool claimWithoutObject = false;
    };

    AAX_Result describeProduct (AAX_ICollection* collection)
    {
        collection->SetManufacturerName ("Halvorn");
        collection->AddPackageName ("Corvane");
        collection->SetPackageVersion (0x10100);

        // The fake host makes no effect descriptors: adding one fails.
        return collection->AddEffect ("com.halvorn.corvane", nullptr) == AAX_ERROR_NULL_OBJECT ? AAX_OK : -1;
    }

    /** Stops the module's services whatever a test left behind. */
    struct ModuleServices
    {
        ~ModuleServices()    { ACFEntryPoints::Shutdown (nullptr); }
    };
}

TEST (ModuleEntryPoints, FixedAnswers)
{
    uint64_t version = 0;
    EXPECT_EQ (ACFEntryPoints::GetSDKVersion (&version), ACF_OK);
    EXPECT_EQ (version, 0x00000201007756BFull);
    EXPECT_EQ (ACFEntryPoints::GetSDKVersion (nullptr), ACF_E_POINTER);

    void* factory = &version;
    EXPECT_EQ (ACFEntryPoints::GetClassFactory (nullptr, AAX_CLSID_Collection, IID_IACFUnknown, &factory),
               AAX_ERROR_NOT_IMPLEMENTED);
    EXPECT_EQ (factory, nullptr);
    EXPECT_EQ (ACFEntryPoints::GetClassFactory (nullptr, AAX_CLSID_Collection, IID_IACFUnknown, nullptr),
               AAX_ERROR_NOT_IMPLEMENTED);

    FakePlugInDefinition unused;
    IACFComponentDefinition* component = reinterpret_cast<IACFComponentDefinition*> (&unused);
    EXPECT_EQ (ACFEntryPoints::RegisterComponent (nullptr, 0, &component), ACF_OK);
    EXPECT_EQ (component, nullptr);
    EXPECT_EQ (ACFEntryPoints::RegisterComponent (nullptr, 0, nullptr), ACF_E_POINTER);

    EXPECT_EQ (ACFEntryPoints::CanUnloadNow (nullptr), 0);
}

TEST (ModuleEntryPoints, StartupKeepsTheFirstHostServices)
{
    ModuleServices cleanup;
    FakeHostServices first, second;
    FactoryHost firstHost, secondHost;
    firstHost.services = &first;
    secondHost.services = &second;

    EXPECT_EQ (ACFEntryPoints::Shutdown (nullptr), ACF_OK);
    EXPECT_EQ (AAX_CHostServices::Trace (1, "nobody listens %d", 1), AAX_OK);

    EXPECT_EQ (ACFEntryPoints::Startup (&firstHost), ACF_OK);
    EXPECT_EQ (ACFEntryPoints::Startup (&secondHost), ACF_OK);
    EXPECT_EQ (second.references, 0);
    AAX_CHostServices::Trace (5, "value %d of %s", 3, "ten");
    ASSERT_EQ (first.traces.size(), 1u);
    EXPECT_EQ (first.traces[0].first, 5);
    EXPECT_EQ (first.traces[0].second, "value 3 of ten");

    const std::string longText (600, 'x');
    AAX_CHostServices::Trace (0, "%s", longText.c_str());
    EXPECT_EQ (first.traces[1].second.size(), 511u);

    EXPECT_EQ (ACFEntryPoints::Shutdown (nullptr), ACF_OK);
    EXPECT_EQ (first.references, 0);
    EXPECT_EQ (firstHost.references, 0);
    EXPECT_EQ (AAX_CHostServices::Get(), nullptr);
}

TEST (ModuleEntryPoints, RegisterPluginHandsOutTheHostsDefinition)
{
    FactoryHost host;
    IACFPluginDefinition* definition = nullptr;

    EXPECT_EQ (ACFEntryPoints::RegisterPlugin (&host, &definition, describeProduct), AAX_OK);
    EXPECT_EQ (definition, &host.factory.collection.definition);
    EXPECT_EQ (host.factory.collection.calls, (std::vector<std::string> { "manufacturer Halvorn", "package Corvane",
                                                                          "version 65792" }));
    definition->Release();

    EXPECT_EQ (host.references, 0);
    EXPECT_EQ (host.factory.references, 0);
    EXPECT_EQ (host.factory.collection.references, 0);
    EXPECT_EQ (host.factory.collection.definition.references, 0);
}

TEST (ModuleEntryPoints, RegisterPluginFailures)
{
    FactoryHost host;
    IACFPluginDefinition* definition = nullptr;

    const auto failing = [] (AAX_ICollection*) -> AAX_Result { return -20123; };
    EXPECT_EQ (ACFEntryPoints::RegisterPlugin (&host, &definition, failing), -20123);

    const auto throwing = [] (AAX_ICollection*) -> AAX_Result { throw std::runtime_error ("description failed"); };
    EXPECT_EQ (ACFEntryPoints::RegisterPlugin (&host, &definition, throwing), ACF_E_UNEXPECTED);

    EXPECT_EQ (ACFEntryPoints::RegisterPlugin (&host, nullptr, describeProduct), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ (ACFEntryPoints::RegisterPlugin (nullptr, &definition, describeProduct), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ (definition, nullptr);

    host.claimWithoutObject = true;
    EXPECT_EQ (ACFEntryPoints::RegisterPlugin (&host, &definition, describeProduct), ACF_E_UNEXPECTED);
    EXPECT_EQ (host.references, 0);
    EXPECT_EQ (host.factory.collection.references, 0);
}

TEST (HostWrappers, MissingInterfacesAnswerWithoutCalling)
{
    FakeHostObject bare;
    {
        AAX_VController controller (&bare);
        AAX_VTransport transport (&bare);
        AAX_VAutomationDelegate automation (&bare);
        AAX_VHostServices services (&bare);
        AAX_VEffectDescriptor effect (&bare);
        AAX_VCollection collection (&bare);

        float rate = 0.0f;
        double tempo = 0.0;
        EXPECT_EQ (controller.GetSampleRate (&rate), AAX_ERROR_NULL_OBJECT);
        EXPECT_EQ (controller.PostPacket (3, &rate, 4), AAX_ERROR_NULL_OBJECT);
        EXPECT_EQ (controller.SetTailLength (10), AAX_ERROR_NOT_IMPLEMENTED);
        EXPECT_EQ (transport.GetCurrentTempo (&tempo), AAX_ERROR_NULL_OBJECT);
        EXPECT_EQ (transport.IsMetronomeEnabled (nullptr), AAX_ERROR_NOT_IMPLEMENTED);
        EXPECT_EQ (automation.RegisterParameter ("0"), AAX_ERROR_NULL_OBJECT);
        EXPECT_EQ (services.Trace (0, "x"), AAX_ERROR_NULL_OBJECT);
        EXPECT_EQ (effect.AddName ("Corvane"), AAX_ERROR_NULL_OBJECT);
        EXPECT_EQ (effect.AddControlMidiInput (0, 0, "x", 0), AAX_ERROR_NOT_IMPLEMENTED);
        EXPECT_EQ (collection.SetManufacturerName ("Halvorn"), AAX_ERROR_NULL_OBJECT);

        AAX_VPropertyMap map (&bare);
        AAX_CPropertyValue value = 0;
        EXPECT_EQ (map.GetProperty (AAX_PropManufacturerID, &value), 0);
        EXPECT_EQ (map.AddProperty (AAX_PropManufacturerID, 1), AAX_ERROR_NULL_OBJECT);
    }
    EXPECT_EQ (bare.references, 0);
}

TEST (HostWrappers, ComponentDescriptorCopiesPropertyMaps)
{
    FactoryHost host;
    {
        AAX_VComponentDescriptor component (&host);
        EXPECT_EQ (component.AddAudioIn (0), AAX_ERROR_NULL_OBJECT);
        EXPECT_EQ (component.AddScratchData (6, 16), AAX_ERROR_NOT_IMPLEMENTED);

        auto* properties = component.NewPropertyMap();
        EXPECT_EQ (properties->AddProperty (AAX_PropManufacturerID, static_cast<AAX_CPropertyValue> (AAX_FourCC ("Hlvn"))), AAX_OK);
        EXPECT_EQ (properties->AddProperty (AAX_PropInputStemFormat, static_cast<AAX_CPropertyValue> (AAX_StemStereo)), AAX_OK);

        auto* copy = component.DuplicatePropertyMap (*properties);
        AAX_CPropertyValue value = 0;
        EXPECT_EQ (copy->GetProperty (AAX_PropManufacturerID, &value), 1);
        EXPECT_EQ (value, static_cast<AAX_CPropertyValue> (0x486C766E));
        EXPECT_EQ (copy->GetProperty (AAX_PropInputStemFormat, &value), 1);
        EXPECT_EQ (value, static_cast<AAX_CPropertyValue> (0x00010002));
        ASSERT_EQ (host.factory.maps.size(), 2u);
        EXPECT_EQ (host.factory.maps[1]->values.size(), 2u);
        EXPECT_EQ (properties->RemoveProperty (AAX_PropManufacturerID), AAX_OK);
        EXPECT_EQ (copy->GetProperty (AAX_PropManufacturerID, &value), 1);
    }

    EXPECT_EQ (host.references, 0);
    EXPECT_EQ (host.factory.maps[0]->references, 0);
    EXPECT_EQ (host.factory.maps[1]->references, 0);
}

TEST (HostWrappers, StemFormatsAndCodes)
{
    EXPECT_EQ (AAX_FourCC ("elck"), 0x656C636Bu);
    EXPECT_EQ (AAX_FourCC ("jcaa") + 2, AAX_FourCC ("jcac"));
    EXPECT_EQ (AAX_StemFormatOfChannelCount (1), 0x00000001u);
    EXPECT_EQ (AAX_StemFormatOfChannelCount (2), 0x00010002u);
    EXPECT_EQ (AAX_StemFormatOfChannelCount (7), 0x000B0007u);
    EXPECT_EQ (AAX_StemFormatOfChannelCount (8), 0x000C0008u);
    EXPECT_EQ (AAX_StemFormatOfChannelCount (9), 0xFF9C0000u);
    EXPECT_EQ (AAX_StemFormatOfChannelCount (0), 0xFF9C0000u);
}
