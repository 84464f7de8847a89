#pragma once

#include "ACFTypes.h"

#include <exception>

/** A failure inside the module that carries the result code it stands for. The entry points
    catch it with every other exception and answer ACF_E_UNEXPECTED.
*/
class ACFException : public std::exception
{
public:
    explicit ACFException (ACFRESULT r) noexcept : result (r) {}

    const char* what() const noexcept override    { return "host component framework failure"; }
    ACFRESULT Result() const noexcept             { return result; }

private:
    ACFRESULT result;
};
