#pragma once

#include <juce_core/juce_core.h>

#include <stdexcept>
#include <string>

/**
    Names of files as the system reads them, for corvane-host's command line and environment.

    juce::File reads a name that begins with '~' as a home folder, and takes ".." and the target
    of a relative symbolic link from the path that was written rather than from the folder the
    system reaches. Here a name is what any POSIX program takes it for: relative to the working
    folder, '~' included, its folders and ".." resolved by the system, and each symbolic link
    followed from the folder it lies in.
*/
struct SystemPath
{
    /** Thrown where the system names a file by bytes that are not UTF-8 text: no juce::File
        can name it, and JUCE's own reading of them writes past its buffer.
    */
    struct UnreadableName : public std::runtime_error
    {
        explicit UnreadableName (const std::string& path);

        juce::String escapedPath;   ///< the name as the user is shown it
    };

    /** Thrown for a relative name where the system cannot name the working folder (it has
        been removed): the name leads to no file.
    */
    struct NoWorkingFolder : public std::runtime_error
    {
        using std::runtime_error::runtime_error;
    };

    /** The file a name of the command line or the environment names. Its folder is resolved as
        the system resolves it, so that JUCE's reading of the path cannot lead elsewhere; the
        last name is kept as given (it may be a link, or not exist yet). A folder that cannot
        be reached is left to the system to report when the file is used. Throws
        UnreadableName when the working folder or a folder the name leads through has a name
        that is not UTF-8 text, and NoWorkingFolder, saying why, for a relative name where
        the working folder cannot be read.
    */
    static juce::File fromArgument (const juce::String& name);

    /** What a symbolic link points at, taken from the folder the link lies in; the file itself
        when it is no link. Throws UnreadableName for a target whose name is not UTF-8 text.
    */
    static juce::File getLinkTarget (const juce::File& file);

    /** The file a name leads to through its symbolic links, one that does not exist yet
        included; after as many links as the system follows, the last one reached.
    */
    static juce::File followLinks (const juce::File& file);

    /** An environment variable's value, empty when it is not set; throws a std::runtime_error
        naming the variable when the value is not UTF-8 text.
    */
    static juce::String getEnvironmentVariable (const char* name);

    /** Refuses (as getEnvironmentVariable does) the variables that name folders and files the
        host and the plug-in use, and that JUCE reads as UTF-8 without a check: HOME, TMPDIR,
        XDG_DATA_HOME (where JUCE looks for fonts), CORVANE_DATA_ROOT and CORVANE_MODULE; and
        a HOME that is set but is no absolute path, which JUCE reads as a path of its own
        (from "~" it looks for the home folder again, without end). Called before anything
        reads them.
    */
    static void checkEnvironment();

    /** Why the system gave up on a name's links (ELOOP): "is a loop of symbolic links", or that
        it leads through a chain longer than the system follows.
    */
    static juce::String describeTooManyLinks (const juce::File& file);
};
