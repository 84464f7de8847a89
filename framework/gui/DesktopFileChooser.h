#pragma once

#include "ChildProgram.h"
#include "FileDialogs.h"
#include "OwnerWatcher.h"

#include <string>

/**
    The desktop's own file chooser on Linux: zenity, or kdialog on KDE or where zenity is
    missing, started with the arguments juce::FileChooser gives them.

    juce::FileChooser reads the program's answer through JUCE's UTF-8 conversion, which writes
    past its buffer on a name that is not UTF-8; here the answer is read as bytes, and a name
    that cannot be read, or that is not in a folder that exists as named, is answered as
    unreadable. The chooser closes when the component that opened it is deleted or hidden:
    the program is ended and nothing is answered. The program is followed to its end
    whatever the host does with its child processes.
*/
class DesktopFileChooser  : private juce::Timer
{
public:
    /** Starts the desktop's chooser for the owner; answered is called once, on the message
        thread, unless the owner goes first. Returns false when the desktop has no chooser or
        no process could be made for it; where its program turns out not to start, the
        toolkit's browser opens in its place.
        While one is open, another request is ignored (returns true): the user answers one
        chooser at a time.
    */
    static bool launch (juce::Component& owner, const FileDialogs::Request& request,
                        std::function<void (const FileDialogs::Answer&)> answered);

    ~DesktopFileChooser() override;

private:
    /** The answer for the bytes a chooser printed: what it names, or unreadable. */
    static FileDialogs::Answer readAnswer (const FileDialogs::Request& request, std::string printed);

    DesktopFileChooser (juce::Component& owner, const FileDialogs::Request& request,
                        std::function<void (const FileDialogs::Answer&)> answered);

    bool start();
    void timerCallback() override;

    OwnerWatcher owner;
    const FileDialogs::Request request;
    std::function<void (const FileDialogs::Answer&)> answered;
    ChildProgram program;
    std::string printed;

    JUCE_DECLARE_NON_COPYABLE (DesktopFileChooser)
};
