#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace win32
{

/**
    The resources of one module, as the resource calls of WindowsResources.h see
    them: each is known by a name and a type, both kept in upper case, and found
    whatever the letter case of the request.

    A resource added from a file name takes the part before the file name's last '.'
    as its name and the part after it as its type ("parameters.xml" is the resource
    PARAMETERS of type XML). The table refers to the data, it does not copy it.
*/
class ResourceTable
{
public:
    struct Resource
    {
        std::string name, type;
        const void* data = nullptr;
        std::size_t size = 0;
    };

    /** Adds a resource named after a file; a file name without a '.' gives an empty
        name and type, which no request finds.
    */
    void addFile (std::string_view fileName, const void* data, std::size_t size);

    /** The first resource of that name and type, compared ignoring ASCII case, or null.
        An empty name or type finds nothing.
    */
    const Resource* find (std::string_view name, std::string_view type) const;

    std::size_t size() const noexcept       { return resources.size(); }

private:
    std::vector<Resource> resources;
};

} // namespace win32
