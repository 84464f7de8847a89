#pragma once

#include "AAX_IParameter.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

/** The parameters of one instance, by index (the order of addition) and by id. The manager owns
    them and registers each with the instance's automation delegate as it is added.
*/
class AAX_CParameterManager
{
public:
    AAX_CParameterManager() = default;
    ~AAX_CParameterManager();

    AAX_CParameterManager (const AAX_CParameterManager&) = delete;
    AAX_CParameterManager& operator= (const AAX_CParameterManager&) = delete;

    /** The delegate given to every parameter added from now on (null: no host). */
    void SetAutomationDelegate (AAX_IAutomationDelegate* delegate) noexcept    { automationDelegate = delegate; }

    /** Takes the parameter; answers it, or null (and deletes it) when it is null or its id is
        already taken.
    */
    AAX_IParameter* AddParameter (std::unique_ptr<AAX_IParameter> parameter);

    /** Deletes every parameter in index order, which unregisters each from the host. */
    void RemoveAllParameters();

    int32_t NumParameters() const noexcept    { return static_cast<int32_t> (parameters.size()); }

    /** Null for a null or unknown id. */
    AAX_IParameter* GetParameterByID (AAX_CParamID id) const;

    /** Null for an index out of range. */
    AAX_IParameter* GetParameter (int32_t index) const;

    /** The first index whose id equals the given one; -1 when there is none. */
    int32_t GetParameterIndex (AAX_CParamID id) const;

private:
    AAX_IAutomationDelegate* automationDelegate = nullptr;
    std::vector<std::unique_ptr<AAX_IParameter>> parameters;
    std::map<std::string, AAX_IParameter*> parametersByID;
};
