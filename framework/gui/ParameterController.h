#pragma once

#include "Parameter.h"

/**
    Lets a control built in code follow one parameter: every change notification of
    the bound parameter (on the message thread) becomes one updateFromParameter call.
    The control binds itself once through its own setter; a control writes its
    parameter itself when the user changes it.
*/
class ParameterController  : public Parameter::Listener
{
public:
    ParameterController() = default;
    ~ParameterController() override;

    /** Calls updateFromParameter. */
    void parameterChanged (Parameter* changed) override;

    /** Shows the parameter's value without notifying anybody. */
    virtual void updateFromParameter (Parameter* changed) = 0;

    /** The bound parameter, or null while unbound. */
    Parameter* getParameter() const noexcept            { return parameter; }

protected:
    /** The first binding: stores the parameter, joins its asynchronous listeners and
        shows its value at once. Answers false, changing nothing, when the controller
        is bound already or the parameter is null.
    */
    bool bindToParameter (Parameter* newParameter);

private:
    Parameter* parameter = nullptr;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ParameterController)
};
