#include "WindowsSync.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace win32
{

struct KernelObject
{
    virtual ~KernelObject() = default;
};

namespace
{
    struct Mutex final : KernelObject
    {
        std::mutex lock;
        std::condition_variable released;
        DWORD owner = 0;
        std::uint32_t takes = 0;
    };
}

HANDLE CreateMutexA (const void*, BOOL initialOwner, const char* name)
{
    if (name != nullptr)
        return nullptr;

    auto* mutex = new Mutex();

    if (initialOwner)
    {
        mutex->owner = GetCurrentThreadId();
        mutex->takes = 1;
    }

    return mutex;
}

DWORD WaitForSingleObject (HANDLE handle, DWORD milliseconds)
{
    auto* mutex = dynamic_cast<Mutex*> (handle);

    if (mutex == nullptr)
        return WAIT_FAILED;

    const auto me = GetCurrentThreadId();
    std::unique_lock<std::mutex> guard (mutex->lock);
    const auto available = [mutex, me] { return mutex->owner == 0 || mutex->owner == me; };

    if (milliseconds == INFINITE)
        mutex->released.wait (guard, available);
    else if (! mutex->released.wait_for (guard, std::chrono::milliseconds (milliseconds), available))
        return WAIT_TIMEOUT;

    mutex->owner = me;
    ++mutex->takes;
    return WAIT_OBJECT_0;
}

BOOL ReleaseMutex (HANDLE handle)
{
    auto* mutex = dynamic_cast<Mutex*> (handle);

    if (mutex == nullptr)
        return 0;

    {
        std::lock_guard<std::mutex> guard (mutex->lock);

        if (mutex->owner != GetCurrentThreadId() || mutex->takes == 0)
            return 0;

        if (--mutex->takes > 0)
            return 1;

        mutex->owner = 0;
    }

    mutex->released.notify_one();
    return 1;
}

BOOL CloseHandle (HANDLE handle)
{
    if (handle == nullptr)
        return 0;

    delete handle;
    return 1;
}

DWORD GetCurrentThreadId() noexcept
{
    static std::atomic<DWORD> nextID { 1 };

    thread_local const DWORD id = []
    {
        auto next = nextID.fetch_add (1);
        return next != 0 ? next : nextID.fetch_add (1);
    }();

    return id;
}

} // namespace win32
