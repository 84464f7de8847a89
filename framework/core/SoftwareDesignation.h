#pragma once

#include <juce_core/juce_core.h>

/**
    The texts that describe a plug-in in its about information.

    The processor base answers the texts it knows itself (the name, the module's path,
    the platform); the product supplies the rest.
*/
class SoftwareDesignation
{
public:
    virtual ~SoftwareDesignation() = default;

    virtual juce::String getProductName() const = 0;
    /** One line saying what the software is. */
    virtual juce::String getDescription() const = 0;
    virtual juce::String getVersion() const = 0;
    virtual juce::String getWebAddress() const = 0;
    virtual juce::String getReleaseYear() const = 0;
    /** The full path of the plug-in module file. */
    virtual juce::String getModulePath() const = 0;
    virtual juce::String getBuildDate() const = 0;
    virtual juce::String getExtraText() const = 0;
    virtual juce::String getBuildId() const = 0;
    /** The plug-in format the module is built as (e.g. "AAX"). */
    virtual juce::String getFormatName() const = 0;
    virtual juce::String getPlatformName() const = 0;
    /** The source branch the software was built from. */
    virtual juce::String getBranchName() const = 0;
    virtual juce::String getFinalText() const = 0;
};
