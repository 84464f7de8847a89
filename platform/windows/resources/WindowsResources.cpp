#include "WindowsResources.h"

#include <CorvaneBinaryData.h>

#include <algorithm>
#include <atomic>
#include <limits>

namespace win32
{

static const ResourceTable& getEmbeddedResources()
{
    static const ResourceTable table = []
    {
        ResourceTable t;

        for (int i = 0; i < CorvaneBinaryData::namedResourceListSize; ++i)
        {
            int size = 0;
            const auto* data = CorvaneBinaryData::getNamedResource (CorvaneBinaryData::namedResourceList[i], size);
            t.addFile (CorvaneBinaryData::originalFilenames[i], data, (std::size_t) std::max (0, size));
        }

        return t;
    }();

    return table;
}

static std::atomic<HMODULE> currentModule { nullptr };

HMODULE getCurrentModuleInstanceHandle() noexcept
{
    if (auto* module = currentModule.load())
        return module;

    return &getEmbeddedResources();
}

void setCurrentModuleInstanceHandle (HMODULE module) noexcept
{
    currentModule.store (module);
}

HRSRC FindResourceA (HMODULE module, const char* name, const char* type)
{
    if (name == nullptr || type == nullptr)
        return nullptr;

    return (module != nullptr ? module : &getEmbeddedResources())->find (name, type);
}

DWORD SizeofResource (HMODULE, HRSRC resource)
{
    if (resource == nullptr)
        return 0;

    return (DWORD) std::min (resource->size, (std::size_t) std::numeric_limits<DWORD>::max());
}

HGLOBAL LoadResource (HMODULE, HRSRC resource)
{
    return resource;
}

const void* LockResource (HGLOBAL loaded)
{
    return loaded != nullptr ? loaded->data : nullptr;
}

BOOL FreeResource (HGLOBAL)
{
    return 0;
}

} // namespace win32
