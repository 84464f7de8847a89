#pragma once

#include "WindowsSync.h"

#include <atomic>

/** A mutex the owning thread may enter again without waiting. There is no entry count: only
    the outermost ScopedLock of a thread took the mutex, and only it releases it.
*/
class AAX_CMutex
{
public:
    AAX_CMutex();
    ~AAX_CMutex();

    AAX_CMutex (const AAX_CMutex&) = delete;
    AAX_CMutex& operator= (const AAX_CMutex&) = delete;

    /** False when the system mutex could not be made; such a mutex must not be used. */
    bool IsValid() const noexcept    { return handle != nullptr; }

    /** Takes the mutex unless the calling thread owns it already; answers whether it took it.
        A failed wait counts as taken.
    */
    bool Lock();

    /** Gives the mutex up when the calling thread owns it. */
    void Unlock();

    /** Holds a mutex, if any, for its own lifetime; nested on the owning thread it does nothing. */
    class ScopedLock
    {
    public:
        explicit ScopedLock (AAX_CMutex* m) : mutex (m), locked (m != nullptr && m->Lock()) {}
        ~ScopedLock()    { if (locked) mutex->Unlock(); }

        ScopedLock (const ScopedLock&) = delete;
        ScopedLock& operator= (const ScopedLock&) = delete;

    private:
        AAX_CMutex* mutex;
        bool locked;
    };

private:
    std::atomic<win32::DWORD> owner { 0 };
    win32::HANDLE handle;
};
