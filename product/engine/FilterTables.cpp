#include "FilterTables.h"

#include <cmath>
#include <iterator>
#include <map>
#include <mutex>
#include <utility>

FilterTables::FilterTables (double sampleRate, int size)
    : rate (sampleRate), sine ((size_t) size), cosine ((size_t) size)
{
    const double radiansPerHalfHertz = 2.0 * 3.14159265358979323846 * 0.5 / sampleRate;

    for (int i = 0; i < size; ++i)
    {
        sine[(size_t) i] = (float) std::sin (radiansPerHalfHertz * i);
        cosine[(size_t) i] = (float) std::cos (radiansPerHalfHertz * i);
    }
}

std::shared_ptr<const FilterTables> FilterTables::forRate (double sampleRate, int size)
{
    // Engines on other threads prepare independently; the entries are weak so that
    // a rate no filter uses any more gives its memory back.
    static std::mutex lock;
    static std::map<std::pair<double, int>, std::weak_ptr<const FilterTables>> tables;

    const std::lock_guard<std::mutex> guard (lock);
    auto& slot = tables[{ sampleRate, size }];

    if (auto existing = slot.lock())
        return existing;

    for (auto i = tables.begin(); i != tables.end();)
        i = i->second.expired() && &i->second != &slot ? tables.erase (i) : std::next (i);

    auto made = std::make_shared<const FilterTables> (sampleRate, size);
    slot = made;
    return made;
}
