#pragma once

#include "ACFTypes.h"

/** Plain types and constants shared by the module and the host: result codes, four-character
    codes, property ids, stem formats, categories and the procedure signatures of a description.
*/

using AAX_Result = int32_t;
using AAX_CTypeID = uint32_t;         ///< a four-character code read as a big-endian number
using AAX_CParamID = const char*;     ///< a parameter id: a NUL-terminated string
using AAX_CFieldIndex = int32_t;      ///< a field of a component's render context
using AAX_CPropertyValue = int32_t;
using AAX_CBoolean = uint8_t;
using AAX_CSampleRate = float;

/** Results of the host binding; 0 is success. */
enum AAX_EResult : AAX_Result
{
    AAX_OK = 0,
    AAX_ERROR_UNKNOWN_PARAMETER = -20001,
    AAX_ERROR_STRING_CONVERSION = -20002,
    AAX_ERROR_NULL_OBJECT = -20004,
    AAX_ERROR_CHUNK_INDEX = -20006,
    AAX_ERROR_CHUNK_ID = -20007,
    AAX_ERROR_CHUNK_SIZE = -20008,
    AAX_ERROR_NOT_IMPLEMENTED = -20009,
    AAX_ERROR_NOT_INITIALIZED = -20011,
    AAX_ERROR_STEP_COUNT_OVERFLOW = -20033,
    AAX_ERROR_CHUNK_WRITE = -333
};

/** Turns a four-character code such as "elck" into its number, first character most significant. */
constexpr AAX_CTypeID AAX_FourCC (const char (&code)[5]) noexcept
{
    return (static_cast<uint32_t> (static_cast<uint8_t> (code[0])) << 24)
         | (static_cast<uint32_t> (static_cast<uint8_t> (code[1])) << 16)
         | (static_cast<uint32_t> (static_cast<uint8_t> (code[2])) << 8)
         |  static_cast<uint32_t> (static_cast<uint8_t> (code[3]));
}

constexpr AAX_CTypeID AAX_ControlStateChunkID = AAX_FourCC ("elck");

/** Notifications the host sends to the effect. */
constexpr AAX_CTypeID AAX_NotificationOfflineStart = AAX_FourCC ("AXof");
constexpr AAX_CTypeID AAX_NotificationOfflineEnd = AAX_FourCC ("AXox");
constexpr AAX_CTypeID AAX_NotificationPreviewState = AAX_FourCC ("ASPv");

/** Where a parameter update comes from. */
enum AAX_EUpdateSource : int32_t
{
    AAX_UpdateSourceUnspecified = 0,
    AAX_UpdateSourceHost = 1,
    AAX_UpdateSourceChunk = 2
};

/** Parameter types and orientations as the parameters store them. */
enum AAX_EParameterType : uint32_t
{
    AAX_ParameterTypeDiscrete = 0,
    AAX_ParameterTypeContinuous = 1
};

using AAX_EParameterOrientation = uint32_t;

/** Properties of a component's property map. The roles of the two host options are the host's. */
enum AAX_EProperty : uint32_t
{
    AAX_PropManufacturerID = 11,
    AAX_PropProductID = 12,
    AAX_PropNativePlugInID = 13,
    AAX_PropOfflinePlugInID = 14,
    AAX_PropInputStemFormat = 51,
    AAX_PropOutputStemFormat = 52,
    AAX_PropHostOption60 = 60,
    AAX_PropHostOption304 = 304
};

/** Stem formats: channel layouts as the host names them. */
enum AAX_EStemFormat : uint32_t
{
    AAX_StemMono = 0x00000001u,
    AAX_StemStereo = 0x00010002u,
    AAX_StemLCR = 0x00020003u,
    AAX_StemQuad = 0x00040004u,
    AAX_Stem5_0 = 0x00050005u,
    AAX_Stem5_1 = 0x00060006u,
    AAX_Stem6_1 = 0x000B0007u,
    AAX_Stem7_1 = 0x000C0008u,
    AAX_StemNone = 0xFF9C0000u
};

/** The stem format of a plain channel count; counts without a layout give AAX_StemNone. */
constexpr AAX_EStemFormat AAX_StemFormatOfChannelCount (int channels) noexcept
{
    switch (channels)
    {
        case 1:  return AAX_StemMono;
        case 2:  return AAX_StemStereo;
        case 3:  return AAX_StemLCR;
        case 4:  return AAX_StemQuad;
        case 5:  return AAX_Stem5_0;
        case 6:  return AAX_Stem5_1;
        case 7:  return AAX_Stem6_1;
        case 8:  return AAX_Stem7_1;
        default: return AAX_StemNone;
    }
}

/** The number of channels of a stem format: its low 16 bits (none for AAX_StemNone). */
constexpr int AAX_ChannelCountOfStemFormat (uint32_t stem) noexcept
{
    return static_cast<int> (stem & 0xFFFFu);
}

/** The effect's category in its description. */
constexpr uint32_t AAX_CategoryDelay = 16;

/** Field kinds of a component's render context. */
constexpr uint32_t AAX_DataPortTypeBuffered = 1;
constexpr uint32_t AAX_MIDINodeTypeLocalInput = 0;
constexpr uint32_t AAX_PrivateDataOptionDefault = 0;

/** Procedure ids of the creation procedures an effect descriptor is given. */
constexpr uint32_t AAX_ProcIDCreateEffectParameters = 0;
constexpr uint32_t AAX_ProcIDCreateEffectGUI = 1;

/** A creation procedure: makes a new object whose reference count is still 0 and returns its
    unknown interface; the host takes its first reference through QueryInterface.
*/
using AAX_CreateObjectProc = IACFUnknown* (*)();

/** The real-time render procedure: called with the render contexts of a run of instances. */
using AAX_RenderProc = void (*) (void* const instancesBegin[], const void* instancesEnd);

/** Called by the host when it makes or drops an instance's render context. */
using AAX_InstanceInitProc = int32_t (*) (const void* instanceContext, uint32_t action);

/** Called by the host on a background thread, without any render context. */
using AAX_BackgroundProc = int32_t (*)();

/** A size or a position on screen, in pixels. */
struct AAX_Point
{
    float vertical = 0.0f;
    float horizontal = 0.0f;
};

/** A rectangle on screen, in pixels. */
struct AAX_Rect
{
    float top = 0.0f;
    float left = 0.0f;
    float width = 0.0f;
    float height = 0.0f;
};

/** Kinds of native window that a view container can hold. */
enum AAX_EViewContainerType : int32_t
{
    AAX_ViewContainerNull = 0,
    AAX_ViewContainerWin32Window = 1,
    AAX_ViewContainerCocoaView = 2,
    AAX_ViewContainerX11Window = 3,
    /** No window: the host hands memory (an AAX_PixelBuffer) that the editor draws into
        whenever the host calls Draw. Hosts that show nothing on screen (tests, snapshots)
        use it.
    */
    AAX_ViewContainerPixelBuffer = 4
};

/** The native view of an AAX_ViewContainerPixelBuffer container. The host owns the memory
    and sizes it to the view size the editor asks for; pixels are 32-bit premultiplied ARGB
    (0xAARRGGBB in native byte order), row after row, width pixels a row.
*/
struct AAX_PixelBuffer
{
    int32_t width = 0;
    int32_t height = 0;
    uint32_t* pixels = nullptr;
};

/** The version the module reports from its version entry point. */
constexpr uint64_t AAX_ModuleSDKVersion = 0x00000201007756BFull;
