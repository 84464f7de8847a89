#include "HostCollection.h"

#include "AAX_Identifiers.h"
#include "HostPropertyMap.h"

HostCollection::HostCollection (std::shared_ptr<HostCallLog> l) : log (std::move (l))
{
}

HostCollection::~HostCollection()
{
    for (auto& effect : effects)
        effect.second->Release();
}

void* HostCollection::findInterface (const acfIID& iid)
{
    if (iid == AAX_IID_Collection)
        return static_cast<AAX_IACFCollection*> (this);

    if (iid == AAX_IID_PlugInDefinition)
        return static_cast<IACFPluginDefinition*> (this);

    return nullptr;
}

AAX_Result HostCollection::AddEffect (const char* effectID, IACFUnknown* effectDescriptor)
{
    log->add (std::string ("Collection.AddEffect ") + (effectID != nullptr ? effectID : ""));
    auto* effect = findHostObject<HostEffectDescriptor> (effectDescriptor, AAX_IID_EffectDescriptor);

    if (effect == nullptr || effectID == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    effect->AddRef();
    effects.emplace_back (effectID, effect);
    return AAX_OK;
}

AAX_Result HostCollection::SetManufacturerName (const char* name)
{
    log->add (std::string ("Collection.SetManufacturerName ") + (name != nullptr ? name : ""));

    if (name == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    description.manufacturerName = name;
    return AAX_OK;
}

AAX_Result HostCollection::AddPackageName (const char* name)
{
    log->add (std::string ("Collection.AddPackageName ") + (name != nullptr ? name : ""));

    if (name == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    description.packageNames.emplace_back (name);
    return AAX_OK;
}

AAX_Result HostCollection::SetPackageVersion (uint32_t version)
{
    log->add ("Collection.SetPackageVersion " + std::to_string (version));
    description.packageVersion = version;
    return AAX_OK;
}

AAX_Result HostCollection::SetProperties (IACFUnknown* propertyMap)
{
    log->add ("Collection.SetProperties");
    return HostPropertyMap::readProperties (propertyMap, description.properties) ? AAX_OK : AAX_ERROR_NULL_OBJECT;
}

ModuleDescription HostCollection::getDescription() const
{
    auto result = description;

    for (const auto& [identifier, effect] : effects)
        result.effects.push_back (effect->getDescription (identifier));

    return result;
}
