#include "AAX_CParameterManager.h"

#include <cstring>

AAX_CParameterManager::~AAX_CParameterManager()
{
    RemoveAllParameters();
}

AAX_IParameter* AAX_CParameterManager::AddParameter (std::unique_ptr<AAX_IParameter> parameter)
{
    if (parameter == nullptr || parametersByID.count (parameter->Identifier()) != 0)
        return nullptr;

    parameter->SetAutomationDelegate (automationDelegate);
    auto* added = parameter.get();
    parameters.push_back (std::move (parameter));
    parametersByID[added->Identifier()] = added;
    return added;
}

void AAX_CParameterManager::RemoveAllParameters()
{
    parametersByID.clear();

    for (auto& parameter : parameters)
        parameter.reset();

    parameters.clear();
}

AAX_IParameter* AAX_CParameterManager::GetParameterByID (AAX_CParamID id) const
{
    if (id == nullptr)
        return nullptr;

    const auto found = parametersByID.find (id);
    return found != parametersByID.end() ? found->second : nullptr;
}

AAX_IParameter* AAX_CParameterManager::GetParameter (int32_t index) const
{
    if (index < 0 || index >= NumParameters())
        return nullptr;

    return parameters[static_cast<size_t> (index)].get();
}

int32_t AAX_CParameterManager::GetParameterIndex (AAX_CParamID id) const
{
    if (id == nullptr)
        return -1;

    for (size_t i = 0; i < parameters.size(); ++i)
        if (std::strcmp (parameters[i]->Identifier(), id) == 0)
            return static_cast<int32_t> (i);

    return -1;
}
