#pragma once

#include "TestFolder.h"

#include <clocale>
#include <cstdlib>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

/**
    Runs part of a test in a child process under a locale a host may run in ("C",
    "tr_TR.UTF-8", "de_DE.ISO-8859-1"), so that the test's own process keeps its locale. A
    locale the system lacks is made for the run with localedef in a folder of the test's own
    and reached through LOCPATH; where it cannot be made, the run answers nothing.
*/
class TestLocale
{
public:
    /** The body's answer, run with setlocale (LC_ALL, name) in a forked child, or nothing
        where the locale cannot be had or the child does not end well.
    */
    static std::optional<std::string> run (const std::string& name, const std::function<std::string()>& body)
    {
        if (! isAvailable (name))
            return std::nullopt;

        int fds[2];

        if (::pipe (fds) != 0)
            return std::nullopt;

        const auto child = ::fork();

        if (child == 0)
        {
            ::close (fds[0]);
            const auto answer = setLocale (name) ? "=" + body() : std::string ("!");

            for (size_t written = 0; written < answer.size();)
            {
                const auto n = ::write (fds[1], answer.data() + written, answer.size() - written);

                if (n <= 0)
                    ::_exit (1);

                written += (size_t) n;
            }

            ::_exit (0);
        }

        ::close (fds[1]);
        std::string answer;
        char buffer[4096];

        for (ssize_t n; (n = ::read (fds[0], buffer, sizeof (buffer))) != 0;)
        {
            if (n > 0)
                answer.append (buffer, (size_t) n);
            else if (errno != EINTR)
                break;
        }

        ::close (fds[0]);
        int status = 0;

        if (child < 0 || ::waitpid (child, &status, 0) != child || ! WIFEXITED (status) || WEXITSTATUS (status) != 0
            || answer.empty() || answer[0] != '=')
            return std::nullopt;

        return answer.substr (1);
    }

    /** True when the locale can be set, after making it where the system lacks it. */
    static bool isAvailable (const std::string& name)
    {
        if (canSet (name))
            return true;

        static TestFolder folder ("corvane-locales");
        const auto dot = name.find ('.');

        if (folder.getFile() == juce::File() || dot == std::string::npos)
            return false;

        const auto path = folder.getFile().getFullPathName().toStdString();
        const auto command = "localedef -i '" + name.substr (0, dot) + "' -f '" + name.substr (dot + 1) + "' '"
                           + path + "/" + name + "' >/dev/null 2>&1";
        // localedef may warn, and fail, of a locale it made: whether it can be set decides.
        [[maybe_unused]] const auto made = std::system (command.c_str());
        madeLocales()[name] = path;
        return canSet (name);
    }

private:
    /** The locales made for the tests, by the folders that hold them. Only a child is pointed at
        them: the C library keeps what it loaded, and remembers a locale it did not find on a
        search path, never looking there again.
    */
    static std::map<std::string, std::string>& madeLocales()
    {
        static std::map<std::string, std::string> made;
        return made;
    }

    static bool setLocale (const std::string& name)
    {
        if (const auto made = madeLocales().find (name); made != madeLocales().end())
            ::setenv ("LOCPATH", made->second.c_str(), 1);

        return std::setlocale (LC_ALL, name.c_str()) != nullptr;
    }

    static bool canSet (const std::string& name)
    {
        const auto child = ::fork();

        if (child == 0)
            ::_exit (setLocale (name) ? 0 : 1);

        int status = 0;
        return child > 0 && ::waitpid (child, &status, 0) == child && WIFEXITED (status) && WEXITSTATUS (status) == 0;
    }
};
