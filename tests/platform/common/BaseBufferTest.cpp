#include <gtest/gtest.h>

#include <cstring>
#include <numeric>
#include <vector>

#include "BaseBuffer.h"

namespace {

std::vector<std::uint8_t> Bytes(int n, int first = 0)
{
    std::vector<std::uint8_t> v(static_cast<std::size_t>(n));
    std::iota(v.begin(), v.end(), std::uint8_t(first));
    return v;
}

std::vector<std::uint8_t> Content(const CBaseBuffer& b)
{
    return std::vector<std::uint8_t>(b.GetBuffer(), b.GetBuffer() + b.GetAvailSize());
}

TEST(CBaseBuffer, StartsEmptyAndAppends)
{
    CBaseBuffer b;
    EXPECT_EQ(b.GetBuffer(), nullptr);
    EXPECT_EQ(b.GetAvailSize(), 0u);
    const auto a = Bytes(10);
    ASSERT_TRUE(b.AppendBuffer(a.data(), a.size()));
    ASSERT_TRUE(b.AppendBuffer(a.data(), 5));
    ASSERT_EQ(b.GetAvailSize(), 15u);
    EXPECT_EQ(std::memcmp(b.GetBuffer(), a.data(), 10), 0);
    EXPECT_EQ(std::memcmp(b.GetBuffer() + 10, a.data(), 5), 0);
    EXPECT_TRUE(b.AppendBuffer(nullptr, 0));
    b.Delete();
    EXPECT_EQ(b.GetAvailSize(), 0u);
    EXPECT_EQ(b.GetBuffer(), nullptr);
}

TEST(CBaseBuffer, SetBufferFromOwnTailIsAnOverlappingMove)
{
    // What the report decoder does: keep the unconsumed tail of its own content.
    CBaseBuffer b;
    const auto a = Bytes(100);
    ASSERT_TRUE(b.AppendBuffer(a.data(), a.size()));
    ASSERT_TRUE(b.SetBuffer(b.GetBuffer() + 3, 90));  // source and destination overlap
    ASSERT_EQ(b.GetAvailSize(), 90u);
    EXPECT_EQ(Content(b), Bytes(90, 3));
    ASSERT_TRUE(b.SetBuffer(b.GetBuffer() + 84, 6));
    EXPECT_EQ(Content(b), Bytes(6, 87));
    ASSERT_TRUE(b.SetBuffer(b.GetBuffer(), 6));  // itself: unchanged
    EXPECT_EQ(Content(b), Bytes(6, 87));
}

TEST(CBaseBuffer, SetBufferFromOutsideGrowsAndReplaces)
{
    CBaseBuffer b;
    const auto small = Bytes(4, 200);
    ASSERT_TRUE(b.SetBuffer(small.data(), small.size()));
    EXPECT_EQ(Content(b), small);
    std::vector<std::uint8_t> large(5000);
    for (std::size_t i = 0; i < large.size(); ++i)
        large[i] = std::uint8_t(i * 7);
    ASSERT_TRUE(b.SetBuffer(large.data(), large.size()));
    EXPECT_EQ(Content(b), large);
    ASSERT_TRUE(b.SetBuffer(nullptr, 0));
    EXPECT_EQ(b.GetAvailSize(), 0u);
}

TEST(CBaseBuffer, AppendFromOwnStorageSurvivesGrowth)
{
    // Appending the buffer to itself forces a reallocation; the source must not dangle.
    CBaseBuffer b;
    const auto a = Bytes(64);
    ASSERT_TRUE(b.AppendBuffer(a.data(), a.size()));
    for (int round = 0; round < 6; ++round)
        ASSERT_TRUE(b.AppendBuffer(b.GetBuffer(), b.GetAvailSize()));
    ASSERT_EQ(b.GetAvailSize(), 64u * 64u);
    for (std::size_t i = 0; i < b.GetAvailSize(); ++i)
        ASSERT_EQ(b.GetBuffer()[i], std::uint8_t(i % 64));
}

}  // namespace
