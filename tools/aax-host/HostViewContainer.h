#pragma once

#include "AAX_IACFViewContainer.h"
#include "HostCallLog.h"
#include "HostObject.h"

#include <memory>
#include <vector>

/** A window of the simulated host that an editor can be attached to. Its type says what kind of
    native window it stands for; the pointer is whatever the host was given (null by default),
    except in a pixel-buffer container, which owns its buffer and sizes it to every view size
    the editor asks for.
*/
class HostViewContainer final : public HostObject<AAX_IACFViewContainer>
{
public:
    HostViewContainer (std::shared_ptr<HostCallLog> log, AAX_EViewContainerType type, void* nativeWindow);

    int32_t GetType() override;
    void* GetPtr() override;
    AAX_Result GetModifiers (uint32_t* outModifiers) override;
    AAX_Result SetViewSize (const AAX_Point& size) override;
    AAX_Result HandleParameterMouseDown (AAX_CParamID id, uint32_t modifiers) override;
    AAX_Result HandleParameterMouseDrag (AAX_CParamID id, uint32_t modifiers) override;
    AAX_Result HandleParameterMouseUp (AAX_CParamID id, uint32_t modifiers) override;

    /** The size the editor last asked for (zero until it asks). */
    AAX_Point getViewSize() const noexcept    { return viewSize; }

    /** What the editor drew into a pixel-buffer container (empty in any other kind). */
    const AAX_PixelBuffer& getPixelBuffer() const noexcept    { return pixelBuffer; }

private:
    void* findInterface (const acfIID& iid) override;

    std::shared_ptr<HostCallLog> log;
    AAX_EViewContainerType type;
    void* nativeWindow;
    AAX_Point viewSize;
    std::vector<uint32_t> pixels;
    AAX_PixelBuffer pixelBuffer;
};
