#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/**
    The one way the toolkit's windows and pages ask the user for files or folders.

    Nothing opens a chooser itself: every request goes through launch(), which by default
    shows the platform's chooser (on Linux the desktop's own, or where the desktop has none
    the toolkit's browser) and keeps it alive until the user has answered or the component
    that asked is deleted. Tests install a Chooser of their own that answers at once, so
    that browsing can be driven without a dialog on screen.

    Every answer is judged against what the user could have chosen on the chooser: the
    folder it showed with the name in its file box, or a file clicked in its list. An
    answer that is neither, or that names a file the program cannot read by its name, is
    refused, since it names a place the user never pointed at.
*/
class FileDialogs
{
public:
    /** What a chooser is asked for. */
    struct Request
    {
        juce::String title;
        juce::File initialFile;                 // start folder, or a suggested file when saving
        juce::String patterns;                  // wildcards such as "*.cvprst"; empty means all
        int flags = 0;                          // juce::FileBrowserComponent::FileChooserFlags
    };

    /** A chooser's answer, with what it showed when the user answered. */
    struct Answer
    {
        juce::Array<juce::File> results;        // empty when the user cancelled
        juce::File shownFolder;
        juce::String typedName;                 // the text of its file box
        juce::Array<juce::File> clickedFiles;
        bool unreadable = false;                // the chooser named a file whose name cannot be read
    };

    /** What the caller gets: the chosen files (none when the user cancelled), or a refusal. */
    struct Choice
    {
        juce::Array<juce::File> files;
        bool refused = false;
        /** What the chooser asked about before overwriting, when the request asked it to: a
            caller that is to write over another file asks the user itself.
        */
        juce::File warnedAbout;
    };

    /** Why a refused choice was refused, to follow "could not be saved: " and the like. */
    static const char* const refusalReason;

    /** Called on the message thread once the user has answered. */
    using Callback = std::function<void (const Choice&)>;

    /** Something that can answer a request: JUCE's browser, or a test's script. */
    class Chooser
    {
    public:
        virtual ~Chooser() = default;

        /** Must call answered at most once, now or later, on the message thread; a chooser
            that is still open when the owner is deleted closes at once and answers nothing.
        */
        virtual void launch (juce::Component& owner, const Request& request,
                             std::function<void (const Answer&)> answered) = 0;
    };

    /** Hands the request of the owner (the component that asks) to the installed chooser.
        The caller must not assume that the callback runs before or after this returns. The
        chooser, with its questions, closes when the owner is deleted, and the callback is
        then never called.
    */
    static void launch (juce::Component& owner, const Request& request, Callback callback);

    /** Installs a chooser (not owned) in place of the platform's; null puts the platform's
        back. Returns the one that was installed before.
    */
    static Chooser* setChooser (Chooser* newChooser);

    /** The user's choice in the answer, or a refusal. */
    static Choice judge (const Request& request, const Answer& answer);

    FileDialogs() = delete;
};
