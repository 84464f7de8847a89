#pragma once

#include "TestFolder.h"

#include <juce_events/juce_events.h>

#include <clocale>
#include <cerrno>
#include <cstdlib>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include <sys/stat.h>
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
        const auto folder = findOrMake (name);

        if (! folder.has_value())
            return std::nullopt;

        return inChild ([&]
        {
            if (! folder->empty())
                ::setenv ("LOCPATH", folder->c_str(), 1);

            return std::setlocale (LC_ALL, name.c_str()) != nullptr ? "=" + body() : std::string ("!");
        });
    }

    /** True when the locale can be had, made for the run where the system lacks it. */
    static bool isAvailable (const std::string& name)
    {
        return findOrMake (name).has_value();
    }

private:
    /** The folder to reach the locale through ("" for the system's own), or nothing where it
        cannot be made. Only children set locales: glibc remembers a locale it failed to find
        for the rest of the process, even after it has been made.
    */
    static std::optional<std::string> findOrMake (const std::string& name)
    {
        static std::map<std::string, std::optional<std::string>> known;
        static TestFolder folder ("corvane-locales");

        if (const auto found = known.find (name); found != known.end())
            return found->second;

        auto& entry = known[name];

        if (inChild ([&] { return std::setlocale (LC_ALL, name.c_str()) != nullptr ? "=" : std::string ("!"); }).has_value())
            return entry = std::string();

        const auto dot = name.find ('.');

        if (folder.getFile() == juce::File() || dot == std::string::npos)
            return entry;

        const auto path = folder.getFile().getChildFile (name).getFullPathName().toStdString();
        const auto command = "localedef -i '" + name.substr (0, dot) + "' -f '" + name.substr (dot + 1) + "' '"
                           + path + "/" + name + "' >/dev/null 2>&1";

        if (::mkdir (path.c_str(), 0700) == 0)
            if (std::system (command.c_str()) == 0)
                entry = path;

        return entry;
    }

    /** Runs body in a forked child: its answer when the child ends well and the answer
        starts with '=', without the '='.
    */
    static std::optional<std::string> inChild (const std::function<std::string()>& body)
    {
        int fds[2];

        if (::pipe (fds) != 0)
            return std::nullopt;

        const auto child = ::fork();

        if (child == 0)
        {
            ::close (fds[0]);

            // The child would post into the parent's message queue: a parent that reads none of
            // it before the queue is full waits for ever in its next post. It gets a queue of
            // its own.
            juce::MessageManager::deleteInstance();
            juce::MessageManager::getInstance();
            const auto answer = body();

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
};
