#include "AAX_CMutex.h"

AAX_CMutex::AAX_CMutex()
    : handle (win32::CreateMutexA (nullptr, 0, nullptr))
{
}

AAX_CMutex::~AAX_CMutex()
{
    if (handle != nullptr)
        win32::CloseHandle (handle);
}

bool AAX_CMutex::Lock()
{
    const auto me = win32::GetCurrentThreadId();

    if (owner.load() == me)
        return false;

    win32::WaitForSingleObject (handle, win32::INFINITE);
    owner = me;
    return true;
}

void AAX_CMutex::Unlock()
{
    if (owner.load() == win32::GetCurrentThreadId())
    {
        owner = 0;
        win32::ReleaseMutex (handle);
    }
}
