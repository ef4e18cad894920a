#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "core/pool.h"
#include "gfx/display.h"
#include "gfx/text_console.h"
#include "tests/support/console_glyphs.h"
#include "tests/support/recording_console.h"

namespace {

using testing_support::GlyphText;
using testing_support::SentGlyphs;
using Blocks = std::vector<PoolFreeBlock>;

constexpr u32 kWhole = POOL_SIZE - 16;
constexpr DisplayInitParams kDemoParams = {1, 0x30, 5};

// A fresh pool on a console whose trace text the test can read back.
class PoolTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PS2Init(&kDemoParams);
        ConsoleSetCursor(0, 0);
        OrbMemInit();
        console.clear();
    }

    std::string Traced() { return GlyphText(SentGlyphs(console)); }

    testing_support::RecordingConsole console;
};

u32 Offset(const void* p) { return static_cast<u32>(static_cast<const u8*>(p) - PoolStorage); }

u32 SizeField(const void* p)
{
    u32 size;
    std::memcpy(&size, static_cast<const u8*>(p) - 8, sizeof size);
    return size;
}

// Leave exactly one free block, at the bottom, with the given data size.
void LeaveFreeBlock(u32 size) { ASSERT_NE(OrbAlloc(kWhole - size - 8), nullptr); }

TEST_F(PoolTest, CarvesTheFirstRequestFromTheTopOfTheWholePool)
{
    EXPECT_EQ(OrbPoolFreeBlocks(), (Blocks{{8, kWhole}}));
    void* vertices = OrbAlloc(19200);
    EXPECT_EQ(Offset(vertices), POOL_SIZE - 19200);
    EXPECT_EQ(SizeField(vertices), 19200u);
    EXPECT_EQ(OrbPoolFreeBlocks(), (Blocks{{8, 10220776}}));
    void* triangles = OrbAlloc(134400);
    EXPECT_EQ(Offset(triangles), POOL_SIZE - 19200 - 8 - 134400);
    EXPECT_EQ(Traced(), "- OrbAlloc :  size -> 19200 - OrbAlloc :  size -> 134400 ");
}

TEST_F(PoolTest, TakesAWholeBlockSilentlyWhenLessThan32BytesWouldBeLeft)
{
    LeaveFreeBlock(1000);
    console.clear();
    void* p = OrbAlloc(969);
    EXPECT_EQ(Offset(p), 16u);
    // The block keeps its full size and gives all of it back.
    EXPECT_EQ(SizeField(p), 1000u);
    EXPECT_TRUE(OrbPoolFreeBlocks().empty());
    EXPECT_EQ(Traced(), "");
    OrbFree(p);
    EXPECT_EQ(OrbPoolFreeBlocks(), (Blocks{{8, 1000}}));
    EXPECT_EQ(Traced(), "- OrbFree :  size -> 1000 ");

    EXPECT_EQ(Offset(OrbAlloc(1000)), 16u);
    EXPECT_TRUE(OrbPoolFreeBlocks().empty());
}

TEST_F(PoolTest, SplitsABlockThatLeavesExactly32Bytes)
{
    LeaveFreeBlock(1000);
    console.clear();
    void* p = OrbAlloc(968);
    EXPECT_EQ(Offset(p), 48u);
    EXPECT_EQ(OrbPoolFreeBlocks(), (Blocks{{8, 24}}));
    EXPECT_EQ(Traced(), "- OrbAlloc :  size -> 968 ");
}

TEST_F(PoolTest, ZeroBytesGiveDistinctPointers)
{
    void* a = OrbAlloc(0);
    void* b = OrbAlloc(0);
    EXPECT_EQ(Offset(a), POOL_SIZE);
    EXPECT_EQ(Offset(b), POOL_SIZE - 8);
    EXPECT_EQ(OrbPoolFreeBlocks(), (Blocks{{8, kWhole - 16}}));
    OrbFree(a);
    OrbFree(b);
    EXPECT_EQ(OrbPoolFreeBlocks(), (Blocks{{8, kWhole}}));
}

TEST_F(PoolTest, FailsWithoutChangeWhenNoBlockIsLargeEnough)
{
    OrbAlloc(4096);
    const Blocks before = OrbPoolFreeBlocks();
    console.clear();
    EXPECT_EQ(OrbAlloc(kWhole), nullptr);
    EXPECT_EQ(OrbAlloc(0xffffffff), nullptr);
    EXPECT_EQ(OrbPoolFreeBlocks(), before);
    EXPECT_EQ(Traced(), "- OrbAlloc :  -> not enought memory - OrbAlloc :  -> not enought memory ");
}

class PoolFreeOrder : public PoolTest, public ::testing::WithParamInterface<bool> {};

TEST_P(PoolFreeOrder, MergesAdjacentBlocksInEitherOrder)
{
    void* top = OrbAlloc(64);
    void* upper = OrbAlloc(64);
    void* lower = OrbAlloc(64);
    void* bottom = OrbAlloc(64);
    const u32 rest = kWhole - 4 * 72;
    if (GetParam()) {
        OrbFree(upper);
        OrbFree(lower);
    } else {
        OrbFree(lower);
        OrbFree(upper);
    }
    // One block covers both, the header between them included.
    EXPECT_EQ(OrbPoolFreeBlocks(), (Blocks{{8, rest}, {Offset(lower) - 8, 136}}));
    OrbFree(top);
    EXPECT_EQ(OrbPoolFreeBlocks(), (Blocks{{8, rest}, {Offset(lower) - 8, 208}}));
    OrbFree(bottom);
    EXPECT_EQ(OrbPoolFreeBlocks(), (Blocks{{8, kWhole}}));
}

INSTANTIATE_TEST_SUITE_P(Pool, PoolFreeOrder, ::testing::Bool());

TEST_F(PoolTest, IgnoresNullAndPointersItDidNotHandOut)
{
    void* kept = OrbAlloc(64);
    void* freed = OrbAlloc(64);
    OrbAlloc(64);
    OrbFree(freed);
    ASSERT_EQ(OrbPoolFreeBlocks().size(), 2u);
    const Blocks before = OrbPoolFreeBlocks();
    console.clear();
    int outside = 0;
    OrbFree(nullptr);
    OrbFree(&outside);
    OrbFree(PoolStorage);
    OrbFree(PoolStorage + 8);
    OrbFree(static_cast<u8*>(kept) + 4);
    OrbFree(static_cast<u8*>(kept) + 8);
    OrbFree(freed);
    OrbFree(PoolStorage + 4096);
    EXPECT_EQ(OrbPoolFreeBlocks(), before);
    EXPECT_EQ(Traced(), "");
}

TEST_F(PoolTest, FreesBlocksOfSizesThatAreNotMultiplesOf8)
{
    void* a = OrbAlloc(20);
    void* b = OrbAlloc(13);
    EXPECT_EQ(Offset(a) % 8, 4u);
    OrbFree(a);
    OrbFree(b);
    EXPECT_EQ(OrbPoolFreeBlocks(), (Blocks{{8, kWhole}}));
}

TEST_F(PoolTest, ReallocKeepsThePointerAndTheBlock)
{
    void* p = OrbAlloc(4800);
    EXPECT_EQ(OrbRealloc(p, 16), p);
    EXPECT_EQ(OrbRealloc(p, 1u << 30), p);
    EXPECT_EQ(SizeField(p), 4800u);
    EXPECT_EQ(OrbRealloc(nullptr, 16), nullptr);
}

TEST_F(PoolTest, NothingFitsBeforeTheFirstInit)
{
    // As loaded: the storage is zero and the sentinel has no successor.
    std::memset(PoolStorage, 0, POOL_SIZE);
    console.clear();
    EXPECT_EQ(OrbAlloc(16), nullptr);
    OrbFree(PoolStorage + 64);
    EXPECT_TRUE(OrbPoolFreeBlocks().empty());
    EXPECT_EQ(Traced(), "- OrbAlloc :  -> not enought memory ");
}

} // namespace
