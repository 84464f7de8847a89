#include "FileDialogs.h"

namespace
{
    /** Shows the platform's chooser. Each open chooser owns itself through the callback
        it holds: JUCE moves the callback out before calling it, so the chooser lives
        exactly until the user's answer has been handed on.
    */
    struct PlatformChooser  : public FileDialogs::Chooser
    {
        void launch (const FileDialogs::Request& request, FileDialogs::Callback callback) override
        {
            auto chooser = std::make_shared<juce::FileChooser> (request.title, request.initialFile,
                                                                request.patterns);
            chooser->launchAsync (request.flags,
                                  [chooser, callback = std::move (callback)] (const juce::FileChooser& c) mutable
                                  {
                                      if (callback != nullptr)
                                          callback (c.getResults());

                                      chooser.reset();
                                  });
        }
    };

    PlatformChooser platformChooser;
    FileDialogs::Chooser* installedChooser = nullptr;
}

void FileDialogs::launch (const Request& request, Callback callback)
{
    JUCE_ASSERT_MESSAGE_THREAD

    auto* chooser = installedChooser != nullptr ? installedChooser
                                                : static_cast<Chooser*> (&platformChooser);
    chooser->launch (request, std::move (callback));
}

FileDialogs::Chooser* FileDialogs::setChooser (Chooser* newChooser)
{
    return std::exchange (installedChooser, newChooser);
}
