#pragma once

#include "AAX_MIDI.h"

/** What the render procedure receives for one instance: one pointer per field of the component
    description, in field-index order. The host fills each field before every render call.
*/
struct AAX_RenderContext
{
    float** inputChannels;        ///< field 0: one buffer per input channel
    float** outputChannels;       ///< field 1: one buffer per output channel
    int32_t* blockLength;         ///< field 2: samples in this block
    const int32_t* bypass;        ///< field 3: the last posted bypass packet (0 or 1)
    AAX_IMIDINode* midiNode;      ///< field 4: the MIDI input node
    void* privateData;            ///< field 5: 8 bytes the effect fills through ResetFieldData
};

enum AAX_ERenderField : AAX_CFieldIndex
{
    AAX_FieldAudioIn = 0,
    AAX_FieldAudioOut = 1,
    AAX_FieldBlockLength = 2,
    AAX_FieldBypass = 3,
    AAX_FieldMIDINode = 4,
    AAX_FieldPrivateData = 5,
    AAX_RenderFieldCount = 6
};

static_assert (sizeof (AAX_RenderContext) == AAX_RenderFieldCount * sizeof (void*),
               "the host fills the render context as an array of field pointers");
