#include "AAX_CEffectParameters.h"

#include "AAX_CParameter.h"
#include "AAX_Identifiers.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace
{
    constexpr const char* controlStateName = "Complete Controls State";
    constexpr const char* previewParameterID = "PreviewID";
    constexpr size_t maxShortenedNameLength = 255;
}

template <typename Action>
AAX_Result AAX_CEffectParameters::withParameter (AAX_CParamID id, Action&& action) const
{
    const AAX_CCallGate::Call call (callGate);

    if (! call)
        return AAX_ERROR_NOT_INITIALIZED;

    auto* parameter = parameterManager.GetParameterByID (id);
    return parameter != nullptr ? action (*parameter) : AAX_ERROR_UNKNOWN_PARAMETER;
}

template <typename Output, typename Action>
AAX_Result AAX_CEffectParameters::withParameter (AAX_CParamID id, Output* output, Action&& action) const
{
    if (output == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    return withParameter (id, [output, &action] (AAX_IParameter& parameter) { return action (parameter, *output); });
}

template <typename Output, typename Getter>
AAX_Result AAX_CEffectParameters::readParameter (AAX_CParamID id, Output* output, Getter getter) const
{
    return withParameter (id, output, [getter] (AAX_IParameter& parameter, Output& out)
    {
        out = (parameter.*getter)();
        return AAX_OK;
    });
}

template <typename Change, typename... Args>
AAX_Result AAX_CEffectParameters::changeParameter (AAX_CParamID id, Change change, Args... args) const
{
    return withParameter (id, [&] (AAX_IParameter& parameter)
    {
        (parameter.*change) (args...);
        return AAX_OK;
    });
}

AAX_CEffectParameters::AAX_CEffectParameters() = default;

AAX_CEffectParameters::~AAX_CEffectParameters() = default;

ACFRESULT AAX_CEffectParameters::InternalQueryInterface (const acfIID& iid, void** outInterface)
{
    if (outInterface != nullptr && (iid == AAX_IID_EffectParameters || iid == AAX_IID_EffectParametersV2))
    {
        auto* mainInterface = static_cast<AAX_IACFEffectParameters_V2*> (this);
        *outInterface = mainInterface;
        mainInterface->AddRef();
        return ACF_OK;
    }

    return CACFUnknown::InternalQueryInterface (iid, outInterface);
}

AAX_Result AAX_CEffectParameters::Initialize (IACFUnknown* hostController)
{
    AAX_CCallGate::Teardown teardown (callGate);

    if (! teardown)
        return AAX_ERROR_NOT_INITIALIZED;

    EffectStop();

    // The parameters stay registered with the host that initialises the instance again, through
    // the wrappers they were registered with; another host gets them only after the first one
    // has them no more.
    if (initialised && hostController != hostObject)
        uninitialize();

    if (! initialised)
    {
        // A wrapper that cannot be allocated stays null, and its users work without it.
        controller.reset (new (std::nothrow) AAX_VController (hostController));
        automationDelegate.reset (new (std::nothrow) AAX_VAutomationDelegate (hostController));
        transport.reset (new (std::nothrow) AAX_VTransport (hostController));
        hostObject = hostController;
        initialised = true;
    }

    // Open again even when EffectInit fails: the instance has its wrappers and what it registered.
    teardown.openAfterwards (true);
    parameterManager.SetAutomationDelegate (automationDelegate.get());
    packetDispatcher.Initialize (controller.get(), this);

    if (const auto result = EffectInit(); result != AAX_OK)
        return result;

    filteredParameters.insert (parameterManager.GetParameterByID (AAX_MasterBypassID) != nullptr ? AAX_MasterBypassID : "");
    return AAX_OK;
}

AAX_Result AAX_CEffectParameters::Uninitialize()
{
    const AAX_CCallGate::Teardown teardown (callGate);

    if (! teardown)
        return AAX_ERROR_NOT_INITIALIZED;

    EffectStop();
    uninitialize();
    return AAX_OK;
}

void AAX_CEffectParameters::uninitialize()
{
    parameterManager.RemoveAllParameters();
    parameterManager.SetAutomationDelegate (nullptr);
    packetDispatcher.Initialize (nullptr, this);

    controller.reset();
    automationDelegate.reset();
    transport.reset();
    hostObject = nullptr;
    initialised = false;
    EffectUninit();
}

AAX_Result AAX_CEffectParameters::NotificationReceived (AAX_CTypeID type, const void* data, uint32_t size)
{
    const AAX_CCallGate::Call call (callGate);

    if (! call)
        return AAX_ERROR_NOT_INITIALIZED;

    if (type == AAX_NotificationPreviewState && data != nullptr && size >= sizeof (int32_t))
    {
        if (auto* preview = parameterManager.GetParameterByID (previewParameterID))
        {
            int32_t state = 0;
            std::memcpy (&state, data, sizeof (state));
            preview->SetValueWithBool (state != 0);
        }
    }

    return AAX_OK;
}

AAX_Result AAX_CEffectParameters::GetNumberOfParameters (int32_t* outCount) const
{
    if (outCount == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    const AAX_CCallGate::Call call (callGate);

    if (! call)
        return AAX_ERROR_NOT_INITIALIZED;

    *outCount = parameterManager.NumParameters();
    return AAX_OK;
}

AAX_Result AAX_CEffectParameters::GetMasterBypassParameter (AAX_IString* outID) const
{
    if (outID == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    const AAX_CCallGate::Call call (callGate);

    if (! call)
        return AAX_ERROR_NOT_INITIALIZED;

    outID->Set (parameterManager.GetParameterByID (AAX_MasterBypassID) != nullptr ? AAX_MasterBypassID : "");
    return AAX_OK;
}

AAX_Result AAX_CEffectParameters::GetParameterIsAutomatable (AAX_CParamID id, AAX_CBoolean* outAutomatable) const
{
    if (outAutomatable == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    *outAutomatable = 0;

    return withParameter (id, outAutomatable, [] (AAX_IParameter& parameter, AAX_CBoolean& out)
    {
        out = parameter.Automatable() ? 1 : 0;
        return AAX_OK;
    });
}

AAX_Result AAX_CEffectParameters::GetParameterNumberOfSteps (AAX_CParamID id, int32_t* outSteps) const
{
    return withParameter (id, outSteps, [] (AAX_IParameter& parameter, int32_t& out)
    {
        const auto steps = parameter.GetNumberOfSteps();

        if (steps > 0x7FFFFFFFu)
            return AAX_ERROR_STEP_COUNT_OVERFLOW;

        out = static_cast<int32_t> (steps);
        return AAX_OK;
    });
}

AAX_Result AAX_CEffectParameters::GetParameterName (AAX_CParamID id, AAX_IString* outName) const
{
    if (outName == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    const AAX_CCallGate::Call call (callGate);

    if (! call)
        return AAX_ERROR_NOT_INITIALIZED;

    auto* parameter = parameterManager.GetParameterByID (id);
    outName->Set (parameter != nullptr ? parameter->Name().Get() : "");
    return AAX_OK;
}

AAX_Result AAX_CEffectParameters::GetParameterNameOfLength (AAX_CParamID id, AAX_IString* outName, int32_t length) const
{
    if (outName == nullptr)
        return AAX_ERROR_STRING_CONVERSION;

    const AAX_CCallGate::Call call (callGate);

    if (! call)
        return AAX_ERROR_NOT_INITIALIZED;

    auto* parameter = parameterManager.GetParameterByID (id);

    if (parameter == nullptr)
    {
        outName->Set ("");
        return AAX_OK;
    }

    const auto shortened = parameter->ShortenedName (length).StdString().substr (0, maxShortenedNameLength);

    // The shortened name may hold several candidates, one per line: the longest that fits wins.
    std::string best;
    bool found = false;

    for (size_t start = 0;;)
    {
        const auto end = std::min (shortened.find ('\n', start), shortened.size());
        const auto candidateLength = end - start;

        if (static_cast<int64_t> (candidateLength) <= length && (! found || candidateLength > best.size()))
        {
            best = shortened.substr (start, candidateLength);
            found = true;
        }

        if (end == shortened.size())
            break;

        start = end + 1;
    }

    if (found)
        outName->Set (best.c_str());
    else if (length < 1)
        outName->Set ("");
    else
        outName->Set (shortened.substr (0, static_cast<size_t> (length)).c_str());

    return AAX_OK;
}

AAX_Result AAX_CEffectParameters::GetParameterDefaultNormalizedValue (AAX_CParamID id, double* outValue) const
{
    return readParameter (id, outValue, &AAX_IParameter::GetNormalizedDefaultValue);
}

AAX_Result AAX_CEffectParameters::SetParameterDefaultNormalizedValue (AAX_CParamID id, double value)
{
    return changeParameter (id, &AAX_IParameter::SetNormalizedDefaultValue, value);
}

AAX_Result AAX_CEffectParameters::GetParameterType (AAX_CParamID id, uint32_t* outType) const
{
    return readParameter (id, outType, &AAX_IParameter::GetType);
}

AAX_Result AAX_CEffectParameters::GetParameterOrientation (AAX_CParamID id, AAX_EParameterOrientation* outOrientation) const
{
    return readParameter (id, outOrientation, &AAX_IParameter::GetOrientation);
}

AAX_Result AAX_CEffectParameters::GetParameter (AAX_CParamID id, AAX_IParameter** outParameter)
{
    if (outParameter == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    const AAX_CCallGate::Call call (callGate);

    if (! call)
        return AAX_ERROR_NOT_INITIALIZED;

    *outParameter = parameterManager.GetParameterByID (id);
    return *outParameter != nullptr ? AAX_OK : AAX_ERROR_UNKNOWN_PARAMETER;
}

AAX_Result AAX_CEffectParameters::GetParameterIndex (AAX_CParamID id, int32_t* outIndex) const
{
    if (outIndex == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    const AAX_CCallGate::Call call (callGate);

    if (! call)
        return AAX_ERROR_NOT_INITIALIZED;

    *outIndex = parameterManager.GetParameterIndex (id);
    return *outIndex >= 0 ? AAX_OK : AAX_ERROR_UNKNOWN_PARAMETER;
}

AAX_Result AAX_CEffectParameters::GetParameterIDFromIndex (int32_t index, AAX_IString* outID) const
{
    if (outID == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    const AAX_CCallGate::Call call (callGate);

    if (! call)
        return AAX_ERROR_NOT_INITIALIZED;

    auto* parameter = parameterManager.GetParameter (index);
    outID->Set (parameter != nullptr ? parameter->Identifier() : "");
    return parameter != nullptr ? AAX_OK : AAX_ERROR_UNKNOWN_PARAMETER;
}

AAX_Result AAX_CEffectParameters::GetParameterValueInfo (AAX_CParamID, int32_t, int32_t* outValue) const
{
    if (outValue != nullptr)
        *outValue = 0;

    return AAX_ERROR_NOT_IMPLEMENTED;
}

AAX_Result AAX_CEffectParameters::GetParameterValueFromString (AAX_CParamID id, double* outValue, const AAX_IString& text) const
{
    return withParameter (id, outValue, [&text] (AAX_IParameter& parameter, double& out)
    {
        return parameter.GetNormalizedValueFromString (AAX_CString (text.Get()), &out) ? AAX_OK
                                                                                       : AAX_ERROR_STRING_CONVERSION;
    });
}

AAX_Result AAX_CEffectParameters::GetParameterStringFromValue (AAX_CParamID id, double value, AAX_IString* outText, int32_t maxLength) const
{
    return withParameter (id, outText, [value, maxLength] (AAX_IParameter& parameter, AAX_IString& out)
    {
        AAX_CString text;

        if (! parameter.GetStringFromNormalizedValue (value, maxLength, text))
            return AAX_ERROR_STRING_CONVERSION;

        out.Set (text.Get());
        return AAX_OK;
    });
}

AAX_Result AAX_CEffectParameters::GetParameterValueString (AAX_CParamID id, AAX_IString* outText, int32_t maxLength) const
{
    return withParameter (id, outText, [maxLength] (AAX_IParameter& parameter, AAX_IString& out)
    {
        AAX_CString text;
        parameter.GetValueString (maxLength, &text);
        out.Set (text.Get());
        return AAX_OK;
    });
}

AAX_Result AAX_CEffectParameters::GetParameterNormalizedValue (AAX_CParamID id, double* outValue) const
{
    return readParameter (id, outValue, &AAX_IParameter::GetNormalizedValue);
}

AAX_Result AAX_CEffectParameters::SetParameterNormalizedValue (AAX_CParamID id, double value)
{
    return changeParameter (id, &AAX_IParameter::SetNormalizedValue, value);
}

AAX_Result AAX_CEffectParameters::SetParameterNormalizedRelative (AAX_CParamID id, double delta)
{
    double value = 0.0;

    if (const auto result = GetParameterNormalizedValue (id, &value); result != AAX_OK)
        return result;

    return SetParameterNormalizedValue (id, std::clamp (value + delta, 0.0, 1.0));
}

AAX_Result AAX_CEffectParameters::TouchParameter (AAX_CParamID id)
{
    return changeParameter (id, &AAX_IParameter::Touch);
}

AAX_Result AAX_CEffectParameters::ReleaseParameter (AAX_CParamID id)
{
    return changeParameter (id, &AAX_IParameter::Release);
}

AAX_Result AAX_CEffectParameters::UpdateParameterTouch (AAX_CParamID, AAX_CBoolean)
{
    return AAX_OK;
}

AAX_Result AAX_CEffectParameters::UpdateParameterNormalizedValue (AAX_CParamID id, double value, AAX_EUpdateSource)
{
    return withParameter (id, [this, id, value] (AAX_IParameter& parameter)
    {
        parameter.UpdateNormalizedValue (value);
        const auto result = packetDispatcher.SetDirty (id);
        changeCount.fetch_add (1);
        return result;
    });
}

AAX_Result AAX_CEffectParameters::UpdateParameterNormalizedRelative (AAX_CParamID id, double delta)
{
    double value = 0.0;

    if (const auto result = GetParameterNormalizedValue (id, &value); result != AAX_OK)
        return result;

    return UpdateParameterNormalizedValue (id, std::clamp (value + delta, 0.0, 1.0), AAX_UpdateSourceUnspecified);
}

AAX_Result AAX_CEffectParameters::GenerateCoefficients()
{
    const AAX_CCallGate::Call call (callGate);

    if (! call)
        return AAX_ERROR_NOT_INITIALIZED;

    return packetDispatcher.Dispatch();
}

AAX_Result AAX_CEffectParameters::ResetFieldData (AAX_CFieldIndex, void* data, uint32_t size) const
{
    if (data == nullptr)
        return size == 0 ? AAX_OK : AAX_ERROR_NULL_OBJECT;

    std::memset (data, 0, size);
    return AAX_OK;
}

AAX_Result AAX_CEffectParameters::GetNumberOfChunks (int32_t* outCount) const
{
    if (outCount == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    *outCount = 1;
    return AAX_OK;
}

AAX_Result AAX_CEffectParameters::GetChunkIDFromIndex (int32_t index, AAX_CTypeID* outID) const
{
    if (outID == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    *outID = index == 0 ? AAX_ControlStateChunkID : 0;
    return index == 0 ? AAX_OK : AAX_ERROR_CHUNK_INDEX;
}

AAX_Result AAX_CEffectParameters::GetChunkSize (AAX_CTypeID id, uint32_t* outSize)
{
    if (outSize == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    *outSize = 0;

    if (id != AAX_ControlStateChunkID)
        return AAX_ERROR_CHUNK_ID;

    const AAX_CCallGate::Call call (callGate);

    if (! call)
        return AAX_ERROR_NOT_INITIALIZED;

    const std::lock_guard<std::mutex> lock (chunkLock);
    buildChunkData();
    lastChunkSize = chunkParser.GetChunkDataSize();

    if (lastChunkSize < 0)
        return AAX_ERROR_CHUNK_SIZE;

    *outSize = static_cast<uint32_t> (lastChunkSize);
    return AAX_OK;
}

AAX_Result AAX_CEffectParameters::GetChunk (AAX_CTypeID id, AAX_ChunkRecord* chunk)
{
    if (chunk == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    if (id != AAX_ControlStateChunkID)
        return AAX_ERROR_CHUNK_ID;

    const AAX_CCallGate::Call call (callGate);

    if (! call)
        return AAX_ERROR_NOT_INITIALIZED;

    const std::lock_guard<std::mutex> lock (chunkLock);
    buildChunkData();
    const auto size = chunkParser.GetChunkDataSize();

    if (size != lastChunkSize || size <= 0)
        return AAX_ERROR_CHUNK_SIZE;

    chunk->version = chunkParser.GetChunkVersion();
    chunk->setName (controlStateName);
    return chunkParser.GetChunkData (*chunk);
}

AAX_Result AAX_CEffectParameters::SetChunk (AAX_CTypeID id, const AAX_ChunkRecord* chunk)
{
    if (chunk == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    if (id != AAX_ControlStateChunkID)
        return AAX_ERROR_CHUNK_ID;

    const AAX_CCallGate::Call call (callGate);

    if (! call)
        return AAX_ERROR_NOT_INITIALIZED;

    // A parser of its own: setting values calls into the host, which must not find the shared
    // builder held.
    AAX_CChunkDataParser parser;
    parser.LoadChunk (*chunk);

    for (int32_t index = 0; index < parameterManager.NumParameters(); ++index)
    {
        auto* parameter = parameterManager.GetParameter (index);

        if (parameter == nullptr || isFiltered (parameter->Identifier()))
            continue;

        const auto* id = parameter->Identifier();
        float floatValue = 0.0f;
        int32_t intValue = 0;
        bool boolValue = false;
        double doubleValue = 0.0;
        AAX_CString stringValue;

        if (parameter->GetValueAsFloat (&floatValue))
        {
            if (parser.FindDouble (id, &doubleValue))
                parameter->SetValueWithFloat (static_cast<float> (doubleValue));
        }
        else if (parameter->GetValueAsInt32 (&intValue))
        {
            if (parser.FindInt32 (id, &intValue))
                parameter->SetValueWithInt32 (intValue);
        }
        else if (parameter->GetValueAsBool (&boolValue))
        {
            if (parser.FindInt32 (id, &intValue))
                parameter->SetValueWithBool (intValue != 0);
        }
        else if (parameter->GetValueAsDouble (&doubleValue))
        {
            if (parser.FindDouble (id, &doubleValue))
                parameter->SetValueWithDouble (doubleValue);
        }
        else if (parameter->GetValueAsString (&stringValue))
        {
            if (parser.FindString (id, &stringValue))
                parameter->SetValueWithString (stringValue);
        }
    }

    return AAX_OK;
}

AAX_Result AAX_CEffectParameters::CompareActiveChunk (const AAX_ChunkRecord* chunk, AAX_CBoolean* outIsEqual)
{
    if (chunk == nullptr || outIsEqual == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    const AAX_CCallGate::Call call (callGate);

    if (! call)
        return AAX_ERROR_NOT_INITIALIZED;

    if (chunk->chunkID != AAX_ControlStateChunkID)
    {
        *outIsEqual = 1;
        return AAX_OK;
    }

    *outIsEqual = 0;
    AAX_CChunkDataParser parser;
    parser.LoadChunk (*chunk);

    for (int32_t index = 0; index < parameterManager.NumParameters(); ++index)
    {
        auto* parameter = parameterManager.GetParameter (index);

        if (parameter == nullptr || isFiltered (parameter->Identifier()))
            continue;

        const auto* id = parameter->Identifier();
        float floatValue = 0.0f;
        int32_t intValue = 0, storedInt = 0;
        bool boolValue = false;
        double doubleValue = 0.0, storedDouble = 0.0;
        AAX_CString stringValue, storedString;
        bool equal = false;

        if (parameter->GetValueAsFloat (&floatValue))
            equal = parser.FindDouble (id, &storedDouble) && floatValue == static_cast<float> (storedDouble);
        else if (parameter->GetValueAsInt32 (&intValue))
            equal = parser.FindInt32 (id, &storedInt) && intValue == storedInt;
        else if (parameter->GetValueAsBool (&boolValue))
            equal = parser.FindInt32 (id, &storedInt) && boolValue == (storedInt != 0);
        else if (parameter->GetValueAsDouble (&doubleValue))
            equal = parser.FindDouble (id, &storedDouble)
                     && static_cast<float> (doubleValue) == static_cast<float> (storedDouble);
        else if (parameter->GetValueAsString (&stringValue))
            equal = parser.FindString (id, &storedString) && stringValue == storedString;

        if (! equal)
            return AAX_OK;
    }

    *outIsEqual = 1;
    return AAX_OK;
}

AAX_Result AAX_CEffectParameters::GetNumberOfChanges (int32_t* outChanges) const
{
    if (outChanges == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    *outChanges = static_cast<int32_t> (changeCount.load() & 0x7FFFFFFFu);
    return AAX_OK;
}

AAX_Result AAX_CEffectParameters::TimerWakeup()
{
    return AAX_OK;
}

AAX_Result AAX_CEffectParameters::GetCurveData (AAX_CTypeID, const float*, uint32_t, float*) const
{
    return AAX_ERROR_NOT_IMPLEMENTED;
}

AAX_Result AAX_CEffectParameters::GetCustomData (AAX_CTypeID, uint32_t, void*, uint32_t* outWritten) const
{
    if (outWritten != nullptr)
        *outWritten = 0;

    return AAX_OK;
}

AAX_Result AAX_CEffectParameters::SetCustomData (AAX_CTypeID, uint32_t, const void*)
{
    return AAX_OK;
}

AAX_Result AAX_CEffectParameters::ProcessMidiTransfers()
{
    return AAX_OK;
}

AAX_Result AAX_CEffectParameters::GetCurveMeterIDs (AAX_CTypeID, uint32_t*, uint32_t*) const
{
    return AAX_ERROR_NOT_IMPLEMENTED;
}

AAX_Result AAX_CEffectParameters::UpdateMidiNode (AAX_CFieldIndex, const AAX_MIDIPacket&)
{
    return AAX_OK;
}

AAX_Result AAX_CEffectParameters::UpdateControlMidiNode (AAX_CTypeID, const AAX_MIDIPacket&)
{
    return AAX_OK;
}

AAX_Result AAX_CEffectParameters::EffectInit()
{
    return AAX_OK;
}

void AAX_CEffectParameters::buildChunkData()
{
    chunkParser.Clear();
    chunkParser.SetChunkVersion (-1);

    for (int32_t index = 0; index < parameterManager.NumParameters(); ++index)
    {
        auto* parameter = parameterManager.GetParameter (index);

        if (parameter == nullptr || isFiltered (parameter->Identifier()))
            continue;

        const auto* id = parameter->Identifier();
        float floatValue = 0.0f;
        int32_t intValue = 0;
        bool boolValue = false;
        double doubleValue = 0.0;
        AAX_CString stringValue;

        if (parameter->GetValueAsFloat (&floatValue))
            chunkParser.AddDouble (id, static_cast<double> (floatValue));
        else if (parameter->GetValueAsInt32 (&intValue))
            chunkParser.AddInt32 (id, intValue);
        else if (parameter->GetValueAsBool (&boolValue))
            chunkParser.AddInt32 (id, boolValue ? 1 : 0);
        else if (parameter->GetValueAsDouble (&doubleValue))
            chunkParser.AddDouble (id, doubleValue);
        else if (parameter->GetValueAsString (&stringValue))
            chunkParser.AddString (id, stringValue.Get());
    }
}

bool AAX_CEffectParameters::isFiltered (AAX_CParamID id) const
{
    return filteredParameters.count (id) != 0;
}
