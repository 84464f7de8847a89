#include "ParameterController.h"

ParameterController::~ParameterController()
{
    if (parameter != nullptr)
        parameter->removeAsyncListener (this);
}

void ParameterController::parameterChanged (Parameter* changed)
{
    updateFromParameter (changed);
}

bool ParameterController::bindToParameter (Parameter* newParameter)
{
    if (parameter != nullptr || newParameter == nullptr)
        return false;

    parameter = newParameter;
    parameter->addAsyncListener (this);
    parameterChanged (parameter);
    return true;
}
