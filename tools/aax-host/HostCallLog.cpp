#include "HostCallLog.h"

void HostCallLog::add (std::string call)
{
    const std::lock_guard<std::mutex> guard (lock);
    calls.push_back (std::move (call));
}

std::vector<std::string> HostCallLog::getCalls() const
{
    const std::lock_guard<std::mutex> guard (lock);
    return calls;
}

std::vector<std::string> HostCallLog::getCallsStartingWith (const std::string& prefix) const
{
    const std::lock_guard<std::mutex> guard (lock);
    std::vector<std::string> matching;

    for (const auto& call : calls)
        if (call.compare (0, prefix.size(), prefix) == 0)
            matching.push_back (call);

    return matching;
}

void HostCallLog::clear()
{
    const std::lock_guard<std::mutex> guard (lock);
    calls.clear();
}
