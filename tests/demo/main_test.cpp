#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>

#include "cloth/cloth.h"
#include "cloth/view.h"
#include "core/pool.h"
#include "gfx/texture.h"
#include "console/machine.h"
#include "math3d/trig.h"
#include "tests/support/recording_console.h"

int EeMain(int argc, char** argv);

namespace {

// Runs the demo, calling back at every field with the number of frames finished by then.
class DemoRun : public testing_support::RecordingConsole {
public:
    void run(std::uint64_t frames, std::function<void(std::uint64_t)> atField = nullptr)
    {
        atField_ = std::move(atField);
        // Field n comes in the wait at the top of frame n.
        machine().setFieldLimit(frames + 1);
        EXPECT_THROW(EeMain(0, nullptr), console::Halt);
    }

    void field(const console::Field& field) override
    {
        RecordingConsole::field(field);
        if (atField_) atField_(field.index());
    }

private:
    std::function<void(std::uint64_t)> atField_;
};

TEST(Demo, StartsTheDisplayAndFlipsOnceBeforeTheFirstWait)
{
    DemoRun demo;
    demo.run(0);
    const auto events = demo.events();
    // Start-up ends with a flip that shows the second buffer, then the wait clears CSR and the blank comes.
    ASSERT_GE(events.size(), 3u);
    const auto end = events.end();
    EXPECT_EQ(end[-3].offset, gs::DISPFB2);
    EXPECT_EQ(end[-3].value, 0x1540u);
    EXPECT_EQ(end[-2].offset, gs::CSR);
    EXPECT_EQ(end[-1].kind, console::GsEvent::Kind::Vblank);
}

TEST(Demo, StepsTheFlagFrom301ReleasesItAt1600AndSwitchesNetsAt2000)
{
    DemoRun demo;
    demo.stopRecording();
    u32 wind[2100] = {};
    ClothParticle corner[2100] = {};
    bool released[2100] = {};
    float angle[2100] = {};
    demo.run(2005, [&](std::uint64_t done) {
        wind[done] = WindCounter;
        corner[done] = ParticlePool[1199];
        released[done] = ParticlePool[0].flags == CLOTH_MOVABLE;
        angle[done] = ViewAngle;
    });

    // Index = frames done: frames 0..300 hang still, 301 and 1999 step, 2000 does not.
    EXPECT_EQ(corner[301].position.y, 225.0f);
    EXPECT_EQ(corner[301].velocity.y, 0.0f);
    EXPECT_EQ(wind[301], wind[1]);
    EXPECT_EQ(wind[302], (wind[301] + 1) & 511);
    EXPECT_EQ(wind[2000], (wind[1999] + 1) & 511);
    EXPECT_EQ(wind[2001], wind[2000]);
    EXPECT_FALSE(released[1600]);
    EXPECT_TRUE(released[1601]);
    // Frame 2000 builds the small net; the view angle takes the cosine of index 0, then of 1 from frame 2004.
    const Vector3& anchor = ParticlePool[0].position;
    EXPECT_NEAR(std::sqrt(anchor.x * anchor.x + anchor.y * anchor.y + anchor.z * anchor.z), 10240.0f, 0.05f);
    EXPECT_EQ(ParticlePool[60].next, nullptr);
    EXPECT_EQ(angle[2004], TableCos(0));
    EXPECT_EQ(angle[2005], TableCos(1));
}

TEST(Demo, PassAfterPassHoldsOneTextureAndLeavesThePoolAsStartUpLeftIt)
{
#ifdef ORB_SANITIZED_BUILD
    constexpr std::uint64_t kPasses = 2;
#else
    constexpr std::uint64_t kPasses = 10;
#endif
    DemoRun demo;
    demo.stopRecording();
    std::vector<PoolFreeBlock> afterStartUp;
    std::uint64_t slotFaults = 0, poolFaults = 0;
    // An earlier run of the demo in this process may have left its slot taken: count from there.
    u32 before = 0;
    demo.run(kPasses * 4101, [&](std::uint64_t done) {
        if (done == 0) {
            afterStartUp = OrbPoolFreeBlocks();
            before = TextureSlotCount;
            return;
        }
        slotFaults += TextureSlotCount != before + 1;
        poolFaults += OrbPoolFreeBlocks() != afterStartUp;
    });
    EXPECT_EQ(slotFaults, 0u);
    EXPECT_EQ(poolFaults, 0u);
    // The mesh's two arrays are the only blocks taken: one free block below them.
    ASSERT_EQ(afterStartUp.size(), 1u);
    EXPECT_EQ(afterStartUp[0].size, 10239984u - 19200 - 8 - 134400 - 8);
}

TEST(Demo, StartsTheMusicAtFrameZeroFadesItFrom3700AndStopsItAt3910)
{
    DemoRun demo;
    demo.stopRecording();
    // The frame during which each call came: calls between field f and field f + 1 belong to frame f.
    std::vector<std::uint64_t> frameOf;
    std::uint64_t frame = 0;
    auto& calls = demo.iop().calls;
    demo.run(4102, [&](std::uint64_t field) {
        frame = field;
        frameOf.resize(calls.size(), field == 0 ? ~0ull : field - 1);
    });
    frameOf.resize(calls.size(), frame);

    const auto volume = [](const testing_support::RpcCall& call) {
        std::uint32_t v = ~0u;
        if (call.sent.size() == 4) std::memcpy(&v, call.sent.data(), 4);
        return v;
    };
    // Start-up greets the player and loads the song; frame 0 plays at full volume.
    ASSERT_EQ(calls.size(), 2u + 2 + 199 + 2 + 2);
    EXPECT_EQ(calls[0].function, 0x10);
    EXPECT_EQ(calls[1].function, 0x20);
    EXPECT_EQ(frameOf[1], ~0ull);
    EXPECT_EQ(calls[2].function, 0x80);
    EXPECT_EQ(volume(calls[2]), 0u);
    EXPECT_EQ(volume(calls[3]), 16383u);
    EXPECT_EQ(frameOf[3], 0u);
    // The fade: 16381 at the end of frame 3700 down to 15985 at the end of 3898.
    for (std::uint32_t i = 0; i < 199; ++i) {
        const auto& call = calls[4 + i];
        EXPECT_EQ(call.function, 0x110);
        EXPECT_EQ(volume(call), 16381 - 2 * i) << i;
        EXPECT_EQ(frameOf[4 + i], 3700 + i) << i;
    }
    // Stop, then silence, at the end of frame 3909; the next pass plays again.
    EXPECT_EQ(calls[203].function, 0x90);
    EXPECT_FALSE(calls[203].wait);
    EXPECT_EQ(frameOf[203], 3909u);
    EXPECT_EQ(volume(calls[204]), 0u);
    EXPECT_EQ(calls[205].function, 0x80);
    EXPECT_EQ(volume(calls[206]), 16383u);
    EXPECT_EQ(frameOf[206], 4101u);
}

} // namespace
