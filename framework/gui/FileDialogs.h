#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/**
    The one way the toolkit's windows and pages ask the user for files or folders.

    Nothing opens a juce::FileChooser itself: every request goes through launch(), which
    by default shows the platform's asynchronous chooser and keeps it alive until the
    user has answered. Tests install a Chooser of their own that answers at once, so that
    browsing can be driven without a dialog on screen.
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

    /** Called on the message thread with the chosen files; empty when the user cancelled. */
    using Callback = std::function<void (const juce::Array<juce::File>& results)>;

    /** Something that can answer a request: the platform's dialogs, or a test's script. */
    class Chooser
    {
    public:
        virtual ~Chooser() = default;

        /** Must call the callback exactly once, now or later, on the message thread. */
        virtual void launch (const Request& request, Callback callback) = 0;
    };

    /** Hands the request to the installed chooser. The caller must not assume that the
        callback runs before or after this returns, and should guard any component it
        captures (juce::Component::SafePointer), since the user may close it meanwhile.
    */
    static void launch (const Request& request, Callback callback);

    /** Installs a chooser (not owned) in place of the platform's; null puts the platform's
        back. Returns the one that was installed before.
    */
    static Chooser* setChooser (Chooser* newChooser);

    FileDialogs() = delete;
};
