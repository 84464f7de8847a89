#pragma once

#include "AAX_VCollection.h"

#include <vector>

namespace AAXClasses
{
    /** What the description of a plug-in says about it, besides its channel configurations. */
    struct PlugInInfo
    {
        const char* effectIdentifier;      ///< the effect's id in the collection
        const char* manufacturerName;
        const char* name;
        const char* description;           ///< a short tagline, given first among the names
        uint32_t version;                  ///< 0x00MMmmpp
        uint32_t category;
        AAX_CTypeID manufacturerID;
        AAX_CTypeID productID;
        AAX_CTypeID nativeIDBase;          ///< the i-th configuration gets this plus i
        AAX_CTypeID offlineIDBase;         ///< likewise
    };

    /** One channel configuration the plug-in offers. */
    struct ChannelConfiguration
    {
        int numInputs;
        int numOutputs;
    };

    /** Describes the plug-in into the host's collection: one effect with one component per
        configuration, in the order given. A configuration with more than 8 inputs or outputs
        (or none) is left out; the others keep their place in the list as their index. The
        first call the host refuses ends the description with its result.

        No processor is made while describing.
    */
    AAX_Result GetEffectDescriptions (AAX_ICollection* collection, const PlugInInfo& info,
                                      const std::vector<ChannelConfiguration>& configurations);
}
