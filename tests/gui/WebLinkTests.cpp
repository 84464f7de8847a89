#include "TestFolder.h"
#include "WebLink.h"

#include <gtest/gtest.h>

#include <csignal>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
    void pump (int milliseconds = 50)
    {
        juce::MessageManager::getInstance()->runDispatchLoopUntil (milliseconds);
    }

    /** Whether the reading end of a pipe sees the pipe end within two seconds. */
    bool seesEnd (int reader)
    {
        pollfd polled { reader, POLLIN, 0 };
        char byte = 0;
        return ::poll (&polled, 1, 2000) == 1 && ::read (reader, &byte, 1) == 0;
    }

    /** Whether the process has a child that ended and was not collected. */
    bool hasUncollectedChild()
    {
        siginfo_t info {};
        return ::waitid (P_ALL, 0, &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid != 0;
    }
}

// The link opens its address in a browser that holds none of the host's descriptors and stays
// up, and what started the browser is collected.
TEST (WebLink, OpensItsAddressInABrowserThatHoldsNothingOfItsHost)
{
    TestFolder folder ("corvane-browser");
    ASSERT_NE (folder.getFile(), juce::File());
    const auto browser = folder.getFile().getChildFile ("browser");
    const auto opened = folder.getFile().getChildFile ("opened");
    ASSERT_TRUE (browser.replaceWithText ("#!/bin/sh\nprintf '%s\\n%s\\n' $$ \"$1\" > '" + opened.getFullPathName()
                                          + ".part'\nmv '" + opened.getFullPathName() + ".part' '" + opened.getFullPathName()
                                          + "'\nexec /bin/sleep 60\n", false, false, "\n"));
    ASSERT_TRUE (browser.setExecutePermission (true));
    const auto previous = WebLink::setBrowsers ({ browser.getFullPathName() });
    int hostPipe[2] = { -1, -1 };
    ASSERT_EQ (::pipe (hostPipe), 0);

    WebLink link ("www.example.com", juce::URL ("https://www.example.com/corvane"));
    link.triggerClick();

    for (int i = 0; i < 100 && ! opened.exists(); ++i)
        pump();

    for (int i = 0; i < 40 && hasUncollectedChild(); ++i)
        pump();

    WebLink::setBrowsers (previous);
    ::close (hostPipe[1]);
    const auto pipeEnded = seesEnd (hostPipe[0]);
    ::close (hostPipe[0]);
    const auto lines = juce::StringArray::fromLines (opened.loadFileAsString().trimEnd());

    if (lines[0].getIntValue() > 0)
        ::kill (lines[0].getIntValue(), SIGKILL);

    EXPECT_EQ (lines.size(), 2);
    EXPECT_EQ (lines[1], "https://www.example.com/corvane");
    EXPECT_FALSE (hasUncollectedChild());
    EXPECT_TRUE (pipeEnded);
}
