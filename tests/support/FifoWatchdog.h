#pragma once

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include <fcntl.h>
#include <unistd.h>

/**
    Frees a test that blocks reading a FIFO, so that it fails instead of hanging: after a few
    seconds, and until it is destroyed, it keeps opening the FIFO's write end. That open
    succeeds only while someone has the FIFO open for reading, which it reports.
*/
class FifoWatchdog
{
public:
    explicit FifoWatchdog (std::string fifoPath)
        : thread ([this, path = std::move (fifoPath)]
          {
              for (int waited = 0; ! stopping; waited += 10)
              {
                  std::this_thread::sleep_for (std::chrono::milliseconds (10));

                  if (const auto fd = waited >= 3000 ? ::open (path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC) : -1; fd >= 0)
                  {
                      freedAReader = true;
                      ::close (fd);
                  }
              }
          })
    {
    }

    ~FifoWatchdog()
    {
        stopping = true;
        thread.join();
    }

    bool hasFreedAReader() const    { return freedAReader; }

private:
    std::atomic<bool> stopping { false }, freedAReader { false };
    std::thread thread;
};
