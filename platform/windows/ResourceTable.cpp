#include "ResourceTable.h"

#include <algorithm>

namespace win32
{

static std::string toUpperAscii (std::string_view text)
{
    std::string result (text);

    for (auto& c : result)
        if (c >= 'a' && c <= 'z')
            c = (char) (c - 'a' + 'A');

    return result;
}

void ResourceTable::addFile (std::string_view fileName, const void* data, std::size_t size)
{
    const auto dot = fileName.rfind ('.');

    if (dot == std::string_view::npos)
        resources.push_back ({ {}, {}, data, size });
    else
        resources.push_back ({ toUpperAscii (fileName.substr (0, dot)),
                               toUpperAscii (fileName.substr (dot + 1)), data, size });
}

const ResourceTable::Resource* ResourceTable::find (std::string_view name, std::string_view type) const
{
    if (name.empty() || type.empty())
        return nullptr;

    const auto upperName = toUpperAscii (name);
    const auto upperType = toUpperAscii (type);

    const auto found = std::find_if (resources.begin(), resources.end(), [&] (const Resource& r)
    {
        return r.name == upperName && r.type == upperType;
    });

    return found != resources.end() ? &*found : nullptr;
}

} // namespace win32
