#include "AAX_CMutex.h"
#include "AAX_CPacketDispatcher.h"
#include "AAX_VController.h"
#include "FakeHost.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace
{
    /** Fills packets with a counter, or fails when told to. */
    struct Filler
    {
        AAX_Result fill (AAX_CParamID, AAX_CPacket& packet)
        {
            if (fail)
                return AAX_ERROR_NULL_OBJECT;

            packet.Set (++value);
            return AAX_OK;
        }

        int32_t value = 0;
        bool fail = false;
    };

    struct DispatcherWithHost
    {
        DispatcherWithHost()
        {
            host.controller = &fakeController;
            controller = std::make_unique<AAX_VController> (&host);
            dispatcher.Initialize (controller.get(), nullptr);
        }

        void registerFiller (const char* id, AAX_CFieldIndex field)
        {
            dispatcher.RegisterPacket (id, field, AAX_CPacketHandler<Filler> (&filler, &Filler::fill));
        }

        FakeController fakeController;
        FakeHostObject host;
        std::unique_ptr<AAX_VController> controller;
        Filler filler;
        AAX_CPacketDispatcher dispatcher;
    };

    int32_t postedValue (const FakeController::Post& post)
    {
        int32_t v = 0;
        EXPECT_EQ (post.data.size(), sizeof (v));
        std::memcpy (&v, post.data.data(), sizeof (v));
        return v;
    }
}

TEST (PacketDispatcher, NewPacketsPostOnceAtFirstDispatch)
{
    DispatcherWithHost d;
    d.registerFiller ("MasterBypassID", 3);

    EXPECT_EQ (d.dispatcher.Dispatch(), AAX_OK);
    ASSERT_EQ (d.fakeController.posts.size(), 1u);
    EXPECT_EQ (d.fakeController.posts[0].field, 3);
    EXPECT_EQ (postedValue (d.fakeController.posts[0]), 1);

    // Nothing dirty: nothing posted.
    EXPECT_EQ (d.dispatcher.Dispatch(), AAX_OK);
    EXPECT_EQ (d.fakeController.posts.size(), 1u);
}

TEST (PacketDispatcher, DirtyRules)
{
    DispatcherWithHost d;
    d.registerFiller ("MasterBypassID", 3);
    d.dispatcher.Dispatch();
    d.fakeController.posts.clear();

    d.dispatcher.SetDirty ("MasterBypassID");
    d.dispatcher.SetDirty ("MasterBypassID");
    d.dispatcher.SetDirty ("other");
    d.dispatcher.Dispatch();
    ASSERT_EQ (d.fakeController.posts.size(), 1u);

    // A failing handler posts nothing and stays quiet until the next change.
    d.fakeController.posts.clear();
    d.filler.fail = true;
    d.dispatcher.SetDirty ("MasterBypassID");
    EXPECT_EQ (d.dispatcher.Dispatch(), AAX_OK);
    d.filler.fail = false;
    d.dispatcher.Dispatch();
    EXPECT_TRUE (d.fakeController.posts.empty());
}

TEST (PacketDispatcher, IdsSharingAPacket)
{
    DispatcherWithHost d;
    d.registerFiller ("a", 5);
    d.registerFiller ("b", 5);
    d.dispatcher.Dispatch();
    EXPECT_EQ (d.fakeController.posts.size(), 1u);   // one packet, filled by the first id's handler

    d.fakeController.posts.clear();
    d.dispatcher.SetDirty ("b");
    d.dispatcher.Dispatch();
    ASSERT_EQ (d.fakeController.posts.size(), 1u);
    EXPECT_EQ (d.fakeController.posts[0].field, 5);
}

TEST (PacketDispatcher, ResultOfTheLastPost)
{
    DispatcherWithHost d;
    d.registerFiller ("a", 1);
    d.fakeController.postResult = -7;
    EXPECT_EQ (d.dispatcher.Dispatch(), -7);
}

TEST (PacketDispatcher, NothingIsPostedWithoutAController)
{
    Filler filler;
    AAX_CPacketDispatcher dispatcher;
    dispatcher.RegisterPacket ("a", 1, AAX_CPacketHandler<Filler> (&filler, &Filler::fill));
    EXPECT_EQ (dispatcher.Dispatch(), AAX_ERROR_NULL_OBJECT);

    // The packet is still dirty once a controller arrives.
    FakeController fakeController;
    FakeHostObject host;
    host.controller = &fakeController;
    AAX_VController controller (&host);
    dispatcher.Initialize (&controller, nullptr);
    dispatcher.Dispatch();
    EXPECT_EQ (fakeController.posts.size(), 1u);
}

TEST (PacketDispatcher, HandlersWithoutACallbackOrParameter)
{
    DispatcherWithHost d;
    AAX_CPacket packet (0);
    EXPECT_EQ (AAX_CPacketHandler<Filler> (nullptr, &Filler::fill).Call ("a", packet), AAX_ERROR_NULL_OBJECT);

    AAX_CPacketHandler<Filler>::PlainCallback plain = [] (Filler& f, AAX_CPacket& p) -> AAX_Result { p.Set (int64_t (f.value) + 100); return AAX_OK; };
    EXPECT_EQ (AAX_CPacketHandler<Filler> (&d.filler, plain).Call ("a", packet), AAX_OK);
    EXPECT_EQ (packet.GetSize(), 8u);

    // Without an effect the standard generator has no parameter to read.
    EXPECT_EQ (d.dispatcher.GenerateSingleValuePacket ("MasterBypassID", packet), AAX_ERROR_NULL_OBJECT);
}

TEST (AAXMutex, NestedScopesOnTheOwnerThreadHoldUntilTheOutermostEnds)
{
    AAX_CMutex mutex;
    ASSERT_TRUE (mutex.IsValid());
    std::atomic<bool> otherGotIt { false };
    std::thread other;

    {
        const AAX_CMutex::ScopedLock outer (&mutex);

        {
            const AAX_CMutex::ScopedLock inner (&mutex);
        }

        other = std::thread ([&]
        {
            const AAX_CMutex::ScopedLock lock (&mutex);
            otherGotIt = true;
        });

        std::this_thread::sleep_for (std::chrono::milliseconds (50));
        EXPECT_FALSE (otherGotIt.load());
    }

    other.join();
    EXPECT_TRUE (otherGotIt.load());

    const AAX_CMutex::ScopedLock none (nullptr);
}

TEST (WindowsStandIns, MutexTakesReleasesAndTimesOut)
{
    using namespace win32;

    EXPECT_EQ (CreateMutexA (nullptr, 0, "named"), nullptr);
    EXPECT_EQ (WaitForSingleObject (nullptr, 0), WAIT_FAILED);
    EXPECT_EQ (ReleaseMutex (nullptr), 0);
    EXPECT_EQ (CloseHandle (nullptr), 0);

    auto mutex = CreateMutexA (nullptr, 1, nullptr);
    ASSERT_NE (mutex, nullptr);
    EXPECT_EQ (WaitForSingleObject (mutex, INFINITE), WAIT_OBJECT_0);   // the owner enters again

    DWORD fromOther = 0;
    BOOL releasedByOther = 1;
    std::thread ([&]
    {
        fromOther = WaitForSingleObject (mutex, 10);
        releasedByOther = ReleaseMutex (mutex);
    }).join();
    EXPECT_EQ (fromOther, WAIT_TIMEOUT);
    EXPECT_EQ (releasedByOther, 0);

    EXPECT_EQ (ReleaseMutex (mutex), 1);
    EXPECT_EQ (ReleaseMutex (mutex), 1);
    EXPECT_EQ (ReleaseMutex (mutex), 0);

    std::thread ([&]
    {
        fromOther = WaitForSingleObject (mutex, 0);
        ReleaseMutex (mutex);
    }).join();
    EXPECT_EQ (fromOther, WAIT_OBJECT_0);

    EXPECT_EQ (CloseHandle (mutex), 1);
}

TEST (WindowsStandIns, ThreadIDsAreDistinctAndNotZero)
{
    const auto mine = win32::GetCurrentThreadId();
    win32::DWORD theirs = 0;
    std::thread ([&] { theirs = win32::GetCurrentThreadId(); }).join();

    EXPECT_NE (mine, 0u);
    EXPECT_NE (theirs, 0u);
    EXPECT_NE (mine, theirs);
    EXPECT_EQ (mine, win32::GetCurrentThreadId());
}
