#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

/**
    Frees a test that blocks reading a FIFO, so that it fails instead of hanging: after a
    delay, and until it is destroyed, it keeps opening the write end of each FIFO. That open
    succeeds only while someone has the FIFO open for reading, which is what it reports.
*/
class FifoWatchdog
{
public:
    explicit FifoWatchdog (std::vector<std::string> fifoPaths, std::chrono::milliseconds delay = std::chrono::seconds (3))
        : paths (std::move (fifoPaths)),
          thread ([this, delay]
          {
              std::unique_lock<std::mutex> lock (mutex);

              if (stopped.wait_for (lock, delay, [this] { return stopping; }))
                  return;

              while (! stopped.wait_for (lock, std::chrono::milliseconds (10), [this] { return stopping; }))
              {
                  for (const auto& path : paths)
                  {
                      const auto fd = ::open (path.c_str(), O_WRONLY | O_NONBLOCK);

                      if (fd >= 0)
                      {
                          freedAReader = true;
                          ::close (fd);
                      }
                  }
              }
          })
    {
    }

    ~FifoWatchdog()
    {
        {
            const std::lock_guard<std::mutex> lock (mutex);
            stopping = true;
        }

        stopped.notify_all();
        thread.join();
    }

    /** True once anybody was found reading one of the FIFOs. */
    bool hasFreedAReader() const    { return freedAReader; }

private:
    std::vector<std::string> paths;
    std::atomic<bool> freedAReader { false };
    std::mutex mutex;
    std::condition_variable stopped;
    bool stopping = false;
    std::thread thread;
};
