#include <gtest/gtest.h>

#include <thread>

#include "BaseLock.h"
#include "BaseStringA.h"
#include "PtrArrayCtrl.h"
#include "PtrListCtrl.h"

namespace {

int g_items[10];

void* Item(int i)
{
    return &g_items[i];
}

TEST(CPtrArrayCtrl, AddsInsertsFindsAndRemoves)
{
    CPtrArrayCtrl a;
    EXPECT_EQ(a.AddData(Item(0), -1), 0);
    EXPECT_EQ(a.AddData(Item(2), -1), 1);
    EXPECT_EQ(a.AddData(Item(1), 1), 1);  // insert before index 1
    EXPECT_EQ(a.AddData(Item(3), 99), 3);  // past the end appends
    ASSERT_EQ(a.GetCount(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(a.GetAt(i), Item(i));
    EXPECT_EQ(a.GetAt(-1), nullptr);
    EXPECT_EQ(a.GetAt(4), nullptr);
    EXPECT_EQ(a.FindFirst([](void* p) { return p == Item(2); }), 2);
    EXPECT_EQ(a.FindFirst([](void* p) { return p == Item(9); }), -1);
    a.RemoveAt(1, 2);
    ASSERT_EQ(a.GetCount(), 2);
    EXPECT_EQ(a.GetAt(1), Item(3));
    a.RemoveAt(1, 100);  // out-of-range part ignored
    EXPECT_EQ(a.GetCount(), 1);
    a.RemoveAt(5);
    EXPECT_EQ(a.GetCount(), 1);
    a.RemoveAll();
    EXPECT_EQ(a.GetCount(), 0);
}

TEST(CPtrListCtrl, RemoveAtReturnsTheItem)
{
    CPtrListCtrl l;
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(l.AddData(Item(i)), i);
    EXPECT_EQ(l.RemoveAt(1), Item(1));
    EXPECT_EQ(l.GetCount(), 2);
    EXPECT_EQ(l.GetAt(1), Item(2));
    EXPECT_EQ(l.RemoveAt(7), nullptr);
    EXPECT_EQ(l.GetAt(2), nullptr);
    l.RemoveAll();
    EXPECT_EQ(l.GetCount(), 0);
}

TEST(CBaseStringA, SetCopiesWholeOrPart)
{
    CBaseStringA s;
    EXPECT_STREQ(s.GetString(), "");
    s.Set("V1.2.3", -1);
    EXPECT_STREQ(s.GetString(), "V1.2.3");
    s.Set("abcdef", 3);
    EXPECT_STREQ(s.GetString(), "abc");
    EXPECT_EQ(s.GetLength(), 3);
    s.Set(nullptr, -1);
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_STREQ(CBaseStringA("x").GetString(), "x");
}

TEST(CAutoBaseLock, HoldsTheLockForItsLifetime)
{
    // Probed from another thread: try_lock by the owner is undefined for std::mutex.
    CBaseLock lock;
    auto probe = [&lock] {
        bool got = false;
        std::thread t([&] {
            got = lock.TryLock();
            if (got)
                lock.Unlock();
        });
        t.join();
        return got;
    };
    {
        CAutoBaseLock hold(lock);
        EXPECT_FALSE(probe());
    }
    EXPECT_TRUE(probe());
}

}  // namespace
