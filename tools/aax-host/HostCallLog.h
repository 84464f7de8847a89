#pragma once

#include <mutex>
#include <string>
#include <vector>

/** The calls a module made into the simulated host, in the order they arrived.

    Every host object of one simulated module writes here, from whatever thread the module calls
    on. Read-only queries that a module makes on every render (transport and controller getters)
    are counted by their objects instead of being written here, so that a long render neither
    grows the log nor allocates on the audio thread.
*/
class HostCallLog
{
public:
    void add (std::string call);

    /** A copy of every call so far. */
    std::vector<std::string> getCalls() const;

    /** The calls so far that begin with the prefix (such as "Automation."). */
    std::vector<std::string> getCallsStartingWith (const std::string& prefix) const;

    void clear();

private:
    mutable std::mutex lock;
    std::vector<std::string> calls;
};
