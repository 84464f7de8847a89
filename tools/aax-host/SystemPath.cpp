#include "SystemPath.h"

#include "StrictUtf8.h"
#include "WorkingFolder.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <set>
#include <string>
#include <utility>

#include <sys/stat.h>
#include <unistd.h>

namespace
{
    juce::File fileOf (const std::string& path)
    {
        const auto name = StrictUtf8::toString (path);

        if (! name.has_value())
            throw SystemPath::UnreadableName (path);

        // The path is the system's own: JUCE's parsing would read '~' and ".." into it.
        return juce::File::createFileWithoutCheckingPath (*name);
    }

    /** The path with its folder resolved by the system and its last name kept; a path that
        ends in ".", ".." or a slash names a folder, resolved whole.
    */
    juce::File resolveFolder (const std::string& path)
    {
        const auto slash = path.find_last_of ('/');
        auto folder = path.substr (0, slash);
        auto name = path.substr (slash + 1);

        if (name.empty() || name == "." || name == "..")
        {
            folder = path;
            name.clear();
        }

        char* resolved = realpath (folder.empty() ? "/" : folder.c_str(), nullptr);

        if (resolved == nullptr)
            return fileOf (path);

        std::string result (resolved);
        std::free (resolved);

        if (! name.empty())
            result += (result == "/" ? "" : "/") + name;

        return fileOf (result);
    }
}

SystemPath::UnreadableName::UnreadableName (const std::string& path)
    : std::runtime_error ("'" + StrictUtf8::escaped (path).toStdString() + "' is not UTF-8 text"),
      escapedPath (StrictUtf8::escaped (path))
{
}

juce::File SystemPath::fromArgument (const juce::String& name)
{
    auto path = name.toStdString();

    if (path.empty())
        return {};

    if (path.front() != '/')
    {
        juce::String cause;
        const auto workingFolder = WorkingFolder::read (cause);

        if (! workingFolder.has_value())
            throw NoWorkingFolder ("is relative to the working folder, which cannot be read: " + cause.toStdString());

        path = *workingFolder + "/" + path;
    }

    return resolveFolder (path);
}

juce::File SystemPath::getLinkTarget (const juce::File& file)
{
    const auto path = file.getFullPathName().toStdString();
    std::string target (PATH_MAX, '\0');
    const auto length = readlink (path.c_str(), target.data(), target.size());

    if (length <= 0 || length >= PATH_MAX)
        return file;

    target.resize (static_cast<size_t> (length));
    return resolveFolder (target.front() == '/' ? target : path.substr (0, path.find_last_of ('/') + 1) + target);
}

juce::File SystemPath::followLinks (const juce::File& file)
{
    auto result = file;

    // As many links as the system itself follows before it gives up on a loop.
    for (int hops = 0; hops < 40 && result.isSymbolicLink(); ++hops)
        result = getLinkTarget (result);

    return result;
}

juce::String SystemPath::getEnvironmentVariable (const char* name)
{
    const auto* value = std::getenv (name);

    if (value == nullptr)
        return {};

    if (const auto text = StrictUtf8::toString (value))
        return *text;

    throw std::runtime_error (std::string ("the environment variable ") + name + " ('" + StrictUtf8::escaped (value).toStdString()
                              + "') is not UTF-8 text: no file can be named by it");
}

void SystemPath::checkEnvironment()
{
    for (const auto* name : { "HOME", "TMPDIR", "XDG_DATA_HOME", "CORVANE_DATA_ROOT", "CORVANE_MODULE" })
        getEnvironmentVariable (name);

    if (const auto* home = std::getenv ("HOME"); home != nullptr && home[0] != '/')
        throw std::runtime_error (std::string ("the environment variable HOME ('") + home + "') is not an absolute path:"
                                  " no home folder can be named by it");
}

juce::String SystemPath::describeTooManyLinks (const juce::File& file)
{
    std::set<std::pair<dev_t, ino_t>> visited;
    auto link = file;

    for (int hops = 0; hops < 100000; ++hops)
    {
        struct stat info {};

        if (lstat (link.getFullPathName().toRawUTF8(), &info) != 0)
        {
            // A link of a folder on the way may be where the system gave up: the cause stays open.
            if (errno != ENOENT)
                break;
        }
        else if (S_ISLNK (info.st_mode))
        {
            if (! visited.emplace (info.st_dev, info.st_ino).second)
                return "is a loop of symbolic links";

            link = getLinkTarget (link);
            continue;
        }

        // The chain ends, in a file or in a name still to be made.
        return "leads through too many links (a chain of symbolic links longer than the system follows)";
    }

    return "leads through too many links (a loop of symbolic links, or a chain longer than the system follows)";
}
