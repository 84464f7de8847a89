#pragma once

#include "AAX_CBinaryDisplayDelegate.h"
#include "AAX_CBinaryTaperDelegate.h"
#include "AAX_CLinearTaperDelegate.h"
#include "AAX_CNumberDisplayDelegate.h"
#include "AAX_CParameter.h"

#include <memory>

/** An automatable float parameter from 0 to 1, shown with three decimals. */
inline std::unique_ptr<AAX_CParameter<float>> makeFloatParameter (const char* id, const char* name, float defaultValue)
{
    return std::make_unique<AAX_CParameter<float>> (id, AAX_CString (name), defaultValue,
                                                    AAX_CLinearTaperDelegate<float, 0> (0.0f, 1.0f),
                                                    AAX_CNumberDisplayDelegate<float, 3, 0>(), true);
}

/** The master bypass as a module registers it: two steps, discrete, shown as "bypass" and "on". */
inline std::unique_ptr<AAX_CParameter<bool>> makeBypassParameter()
{
    auto bypass = std::make_unique<AAX_CParameter<bool>> (AAX_MasterBypassID, AAX_CString ("Master Bypass"), false,
                                                          AAX_CBinaryTaperDelegate<bool>(),
                                                          AAX_CBinaryDisplayDelegate<bool> ("bypass", "on"), true);
    bypass->SetNumberOfSteps (2);
    bypass->SetType (AAX_ParameterTypeDiscrete);
    return bypass;
}
