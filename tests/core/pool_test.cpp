#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "core/pool.h"
#include "gfx/text_console.h"
#include "tests/support/console_glyphs.h"
#include "tests/support/demo_display.h"

namespace {

using Blocks = std::vector<PoolFreeBlock>;

constexpr u32 kWhole = POOL_SIZE - 16;

// A fresh pool on a console whose trace text the test can read back.
class Pool : public testing_support::DemoDisplayTest {
protected:
    void SetUp() override
    {
        DemoDisplayTest::SetUp();
        ConsoleSetCursor(0, 0);
        OrbMemInit();
    }

    std::string Traced() { return testing_support::GlyphText(testing_support::SentGlyphs(console)); }
};

u32 Offset(const void* p) { return static_cast<u32>(static_cast<const u8*>(p) - PoolStorage); }

u32 SizeField(const void* p)
{
    u32 size;
    std::memcpy(&size, static_cast<const u8*>(p) - 8, sizeof size);
    return size;
}

TEST_F(Pool, CarvesEachRequestFromTheTopOfTheFreeBlock)
{
    EXPECT_EQ(OrbPoolFreeBlocks(), (Blocks{{8, kWhole}}));
    void* vertices = OrbAlloc(19200);
    EXPECT_EQ(Offset(vertices), POOL_SIZE - 19200);
    EXPECT_EQ(SizeField(vertices), 19200u);
    EXPECT_EQ(OrbPoolFreeBlocks(), (Blocks{{8, 10220776}}));
    EXPECT_EQ(Offset(OrbAlloc(134400)), POOL_SIZE - 19200 - 8 - 134400);
    EXPECT_EQ(Traced(), "- OrbAlloc :  size -> 19200 - OrbAlloc :  size -> 134400 ");
    // Realloc hands the block back as it is, whatever the size.
    EXPECT_EQ(OrbRealloc(vertices, 1u << 30), vertices);
    EXPECT_EQ(SizeField(vertices), 19200u);
    EXPECT_EQ(OrbRealloc(nullptr, 16), nullptr);

    // Zero bytes give distinct pointers.
    EXPECT_EQ(Offset(OrbAlloc(0)), POOL_SIZE - 19200 - 8 - 134400 - 8);
    EXPECT_EQ(Offset(OrbAlloc(0)), POOL_SIZE - 19200 - 8 - 134400 - 16);
}

TEST_F(Pool, TakesTheWholeBlockSilentlyUnlessAtLeast32BytesWouldBeLeft)
{
    // Leave exactly one free block, at the bottom, of 1000 bytes.
    ASSERT_NE(OrbAlloc(kWhole - 1000 - 8), nullptr);
    console.clear();
    void* p = OrbAlloc(969);
    EXPECT_EQ(Offset(p), 16u);
    EXPECT_EQ(SizeField(p), 1000u);
    EXPECT_TRUE(OrbPoolFreeBlocks().empty());
    OrbFree(p);
    EXPECT_EQ(OrbPoolFreeBlocks(), (Blocks{{8, 1000}}));
    // Exactly 32 spare bytes: split, leaving 24 bytes of data.
    EXPECT_EQ(Offset(OrbAlloc(968)), 48u);
    EXPECT_EQ(OrbPoolFreeBlocks(), (Blocks{{8, 24}}));
    EXPECT_EQ(Traced(), "- OrbFree :  size -> 1000 - OrbAlloc :  size -> 968 ");
}

TEST_F(Pool, FailsWithoutChangeWhenNoBlockIsLargeEnoughOrBeforeTheFirstInit)
{
    OrbAlloc(4096);
    const Blocks before = OrbPoolFreeBlocks();
    console.clear();
    EXPECT_EQ(OrbAlloc(kWhole), nullptr);
    EXPECT_EQ(OrbAlloc(0xffffffff), nullptr);
    EXPECT_EQ(OrbPoolFreeBlocks(), before);
    EXPECT_EQ(Traced(), "- OrbAlloc :  -> not enought memory - OrbAlloc :  -> not enought memory ");

    // As loaded: the storage is zero and the sentinel has no successor.
    std::memset(PoolStorage, 0, POOL_SIZE);
    console.clear();
    EXPECT_EQ(OrbAlloc(16), nullptr);
    OrbFree(PoolStorage + 64);
    EXPECT_TRUE(OrbPoolFreeBlocks().empty());
    EXPECT_EQ(Traced(), "- OrbAlloc :  -> not enought memory ");
}

TEST_F(Pool, MergesAdjacentBlocksInEitherOrder)
{
    for (bool upperFirst : {true, false}) {
        SCOPED_TRACE(upperFirst);
        OrbMemInit();
        void* top = OrbAlloc(64);
        void* upper = OrbAlloc(64);
        void* lower = OrbAlloc(64);
        void* bottom = OrbAlloc(64);
        OrbFree(upperFirst ? upper : lower);
        OrbFree(upperFirst ? lower : upper);
        // One block covers both, the header between them included.
        const u32 rest = kWhole - 4 * 72;
        EXPECT_EQ(OrbPoolFreeBlocks(), (Blocks{{8, rest}, {Offset(lower) - 8, 136}}));
        OrbFree(top);
        EXPECT_EQ(OrbPoolFreeBlocks(), (Blocks{{8, rest}, {Offset(lower) - 8, 208}}));
        OrbFree(bottom);
        EXPECT_EQ(OrbPoolFreeBlocks(), (Blocks{{8, kWhole}}));
    }
    // Sizes that are not multiples of 8 leave headers unaligned.
    void* a = OrbAlloc(20);
    void* b = OrbAlloc(13);
    EXPECT_EQ(Offset(a) % 8, 4u);
    OrbFree(a);
    OrbFree(b);
    EXPECT_EQ(OrbPoolFreeBlocks(), (Blocks{{8, kWhole}}));
}

TEST_F(Pool, IgnoresNullAndPointersItDidNotHandOut)
{
    void* kept = OrbAlloc(64);
    void* freed = OrbAlloc(64);
    OrbAlloc(64);
    OrbFree(freed);
    const Blocks before = OrbPoolFreeBlocks();
    ASSERT_EQ(before.size(), 2u);
    console.clear();
    int outside = 0;
    u8* inside = static_cast<u8*>(kept);
    for (void* p : std::initializer_list<void*>{nullptr, &outside, PoolStorage, PoolStorage + 8, inside + 4, inside + 8,
                                                freed, PoolStorage + 4096})
        OrbFree(p);
    EXPECT_EQ(OrbPoolFreeBlocks(), before);
    EXPECT_EQ(Traced(), "");
}

} // namespace
