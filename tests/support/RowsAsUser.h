#pragma once

#include <juce_core/juce_core.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>

#include <unistd.h>

/**
    The rows of a test that need an ordinary user's rights (a file of mode 000 that cannot be
    read, a folder that takes no files), run as one where the suite runs as the superuser,
    who reads and writes any file.

    The test runs again in a child of the test program that lacks those rights (as
    corvane-host's tests run the host), and only those rows run there; the run that started it
    leaves them to the child. Where the machine lets no process drop the rights, the rows are
    skipped with a message.
*/
struct RowsAsUser
{
    /** True where the rows that need an ordinary user run: not as the superuser, or in the child. */
    static bool runHere()       { return ::geteuid() != 0 || isChild(); }

    /** True in the child, where only those rows run. */
    static bool isChild()       { return std::getenv (marker) != nullptr; }

    /** Whether a row runs in this process: one that needs an ordinary user where runHere()
        says so, any other outside the child.
    */
    static bool runsRow (bool needsUser)    { return needsUser ? runHere() : ! isChild(); }

    /** As the superuser, outside the child: runs the current test again in the child, within
        a time limit, and fails the test with the child's output when the child fails.
        Elsewhere it does nothing.
    */
    static void runInChild()
    {
        if (runHere())
            return;

        const juce::StringArray withoutRights { "setpriv", "--bounding-set=-dac_override,-dac_read_search", "--" };

        // Dropping the rights needs CAP_SETPCAP, which a container may withhold.
        {
            auto command = withoutRights;
            command.add ("true");
            juce::ChildProcess probe;

            if (! probe.start (command) || ! probe.waitForProcessToFinish (10000) || probe.getExitCode() != 0)
            {
                std::cout << "[  SKIPPED ] the rows for an ordinary user: this machine lets no process drop the superuser's rights\n";
                return;
            }
        }

        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        juce::StringArray command { "timeout", "--kill-after=10", "300", "env", juce::String (marker) + "=1" };
        command.addArray (withoutRights);
        command.add (std::filesystem::read_symlink ("/proc/self/exe").string());
        command.add ("--gtest_filter=" + juce::String (test->test_suite_name()) + "." + test->name());

        juce::ChildProcess child;
        ASSERT_TRUE (child.start (command));
        const auto output = child.readAllProcessOutput();
        child.waitForProcessToFinish (10000);
        EXPECT_TRUE (child.getExitCode() == 0 && output.contains ("[  PASSED  ] 1 test.")) << output;
    }

private:
    static constexpr const char* marker = "CORVANE_ROWS_AS_USER";
};
