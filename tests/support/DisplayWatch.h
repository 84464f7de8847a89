#pragma once

#include <atomic>
#include <cstddef>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

/**
    Stands where an X client first looks for display :N on Linux, the abstract socket
    "/tmp/.X11-unix/XN", and counts the connections that come from this process or one it
    started (on a shared machine other programs may look there too): a test points DISPLAY at it
    and checks that none came. Each connection is closed once the client has said what it wants,
    so that it gives up instead of waiting for a server's answer (or writing into a closed socket).
*/
class DisplayWatch
{
public:
    /** Watches :number, or the first number from 200 that no server holds when none is given;
        isWatching() is false when the number is taken (a real server on it).
    */
    explicit DisplayWatch (int number = -1)
    {
        const auto first = number < 0 ? 200 : number, end = number < 0 ? 300 : number + 1;

        for (int candidate = first; candidate < end && listener < 0; ++candidate)
        {
            const auto path = "/tmp/.X11-unix/X" + std::to_string (candidate);

            // A server seen through the file system alone (one in another network namespace
            // that shares /tmp) holds the number too, by its socket file or its lock file.
            if (access (path.c_str(), F_OK) == 0 || access (("/tmp/.X" + std::to_string (candidate) + "-lock").c_str(), F_OK) == 0)
                continue;

            sockaddr_un address {};
            address.sun_family = AF_UNIX;
            path.copy (address.sun_path + 1, path.size());

            const auto fd = socket (AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
            const auto length = static_cast<socklen_t> (offsetof (sockaddr_un, sun_path) + 1 + path.size());

            if (bind (fd, reinterpret_cast<const sockaddr*> (&address), length) != 0 || listen (fd, 8) != 0)
            {
                close (fd);
                continue;
            }

            listener = fd;
            name = ":" + std::to_string (candidate);
        }

        if (listener >= 0)
            thread = std::thread ([this] { watch(); });
    }

    ~DisplayWatch()
    {
        stopping = true;

        if (thread.joinable())
            thread.join();

        if (listener >= 0)
            close (listener);
    }

    bool isWatching() const             { return listener >= 0; }
    const std::string& getName() const  { return name; }
    int getNumConnections() const       { return numConnections; }

private:
    void watch()
    {
        for (pollfd waiting { listener, POLLIN, 0 }; ! stopping; waiting.revents = 0)
        {
            if (poll (&waiting, 1, 20) > 0)
            {
                if (const auto connection = accept (listener, nullptr, nullptr); connection >= 0)
                {
                    if (isOurs (connection))
                        ++numConnections;

                    pollfd request { connection, POLLIN, 0 };
                    char bytes[256];

                    if (poll (&request, 1, 2000) > 0)
                        recv (connection, bytes, sizeof (bytes), 0);

                    close (connection);
                }
            }
        }
    }

    static bool isOurs (int connection)
    {
        ucred peer {};
        socklen_t size = sizeof (peer);

        if (getsockopt (connection, SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0)
            return false;

        // A program is often started through others (timeout, env, a shell): its line of
        // parents is followed up to this process, or to the first process.
        for (auto pid = peer.pid; pid > 1;)
        {
            if (pid == getpid())
                return true;

            pid = parentOf (pid);
        }

        return false;
    }

    static pid_t parentOf (pid_t pid)
    {
        // /proc/PID/stat: "PID (NAME) STATE PARENT ...", where NAME may hold anything.
        std::ifstream stat ("/proc/" + std::to_string (pid) + "/stat");
        const std::string line ((std::istreambuf_iterator<char> (stat)), std::istreambuf_iterator<char>());
        std::istringstream fields (line.substr (line.rfind (')') + 1));
        char state = 0;
        pid_t parent = 0;
        fields >> state >> parent;
        return parent;
    }

    int listener = -1;
    std::string name;
    std::atomic<int> numConnections { 0 };
    std::atomic<bool> stopping { false };
    std::thread thread;
};
