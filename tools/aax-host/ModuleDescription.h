#pragma once

#include "AAX_Types.h"

#include <string>
#include <utility>
#include <vector>

/** What a module told the simulated host about itself when it registered, as plain data. */

/** The properties of a property map, in the order they were first added. */
using PropertyList = std::vector<std::pair<uint32_t, AAX_CPropertyValue>>;

/** Finds a property; answers false when the list lacks it. */
inline bool findProperty (const PropertyList& properties, uint32_t id, AAX_CPropertyValue& value)
{
    for (const auto& [propertyID, propertyValue] : properties)
    {
        if (propertyID == id)
        {
            value = propertyValue;
            return true;
        }
    }

    return false;
}

/** One field of a component's render context, as the description declared it. */
struct FieldDescription
{
    enum class Kind
    {
        audioIn,
        audioOut,
        bufferLength,
        sampleRate,
        clock,
        sideChainIn,
        dataInPort,
        auxOutputStem,
        privateData,
        scratchData,
        meters,
        midiNode,
        directMemory,
        reserved
    };

    Kind kind;
    AAX_CFieldIndex index;
    uint32_t size = 0;          ///< bytes of a data port, private or scratch data
    uint32_t type = 0;          ///< port type, node type or option
    std::string name;           ///< of a MIDI node or an auxiliary stem
    uint32_t channelMask = 0;   ///< of a MIDI node
};

/** One processing component: the fields of its render context in the order they were added,
    and the render procedure with the properties its map held when it was added.
*/
struct ComponentDescription
{
    std::vector<FieldDescription> fields;
    AAX_RenderProc renderProcedure = nullptr;
    PropertyList properties;

    const FieldDescription* findField (FieldDescription::Kind kind) const
    {
        for (const auto& field : fields)
            if (field.kind == kind)
                return &field;

        return nullptr;
    }
};

/** One effect: its names, categories, creation procedures and components. */
struct EffectDescription
{
    std::string identifier;
    std::vector<std::string> names;
    std::vector<uint32_t> categories;
    std::vector<std::pair<void*, uint32_t>> procedures;   ///< procedure and procedure id, in order
    std::vector<ComponentDescription> components;
    PropertyList properties;

    /** The procedure added with that id, or null. */
    void* findProcedure (uint32_t procedureID) const
    {
        for (const auto& [procedure, id] : procedures)
            if (id == procedureID)
                return procedure;

        return nullptr;
    }
};

/** The whole description of a module. */
struct ModuleDescription
{
    std::string manufacturerName;
    std::vector<std::string> packageNames;
    uint32_t packageVersion = 0;
    PropertyList properties;
    std::vector<EffectDescription> effects;
};
