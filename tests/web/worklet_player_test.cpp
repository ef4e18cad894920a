#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "iop/amigamod/rpc.h"
#include "web/worklet_player.h"

namespace {

constexpr u32 kSongAddress = 0x1000;

// What the player sent to the page's worklet, one line per command.
struct RecordingSink final : web::SongSink {
    void load(std::span<const u8> bytes) override
    {
        song.assign(bytes.begin(), bytes.end());
        sent.push_back("load " + std::to_string(bytes.size()));
    }
    void play() override { sent.push_back("play"); }
    void stop() override { sent.push_back("stop"); }
    void setVolume(u32 volume) override { sent.push_back("volume " + std::to_string(volume)); }
    void unload() override { sent.push_back("unload"); }
    Position position() override { return {3, 7, 12, 6}; }

    std::vector<std::string> sent;
    std::vector<u8> song;
};

// IOP memory with a heap block holding a song, and the player's RPC server as the loader would see it.
struct PageIop {
    static PageIop* current;
    std::vector<u8> memory = std::vector<u8>(64 * 1024);
    std::map<u32, u32> blocks;
    IrxRpcFunction server = nullptr;
    void* context = nullptr;
    std::vector<std::string> printed;

    IopServices services()
    {
        current = this;
        IopServices s{};
        s.version = IRX_SERVICES_VERSION;
        s.print = [](const char* text) { current->printed.emplace_back(text); };
        s.memory = [](u32 address, u32 size) -> void* {
            auto& m = current->memory;
            return address <= m.size() && size <= m.size() - address ? m.data() + address : nullptr;
        };
        s.registerRpc = [](u32, IrxRpcFunction function, void* context) -> s32 {
            if (current->server) return -1;
            current->server = function;
            current->context = context;
            return 0;
        };
        s.removeRpc = [](u32) { current->server = nullptr; };
        s.sdSetOutput = [](IrxSoundFill, void*) -> s32 { return 0; };
        s.blockSize = [](u32 address) -> u32 {
            const auto b = current->blocks.find(address);
            return b == current->blocks.end() ? 0 : b->second;
        };
        return s;
    }

    s32 call(s32 function, std::vector<u32> words = {}, u32 replyWord = 0)
    {
        std::vector<u8> request(64);
        for (size_t i = 0; i < words.size(); ++i)
            for (int b = 0; b < 4; ++b) request[4 * i + b] = static_cast<u8>(words[i] >> (8 * b));
        const auto* reply = static_cast<const u8*>(server(context, function, request.data(), 4 * static_cast<s32>(words.size())));
        const u8* w = reply + 4 * replyWord;
        return static_cast<s32>(u32{w[0]} | u32{w[1]} << 8 | u32{w[2]} << 16 | u32{w[3]} << 24);
    }

    // A four-channel module header naming one pattern and no samples, and `extra` bytes of it given.
    void putSong(u32 size)
    {
        std::fill(memory.begin() + kSongAddress, memory.begin() + kSongAddress + 1084 + 1024, u8{0});
        std::copy_n("M.K.", 4, memory.begin() + kSongAddress + 1080);
        memory[kSongAddress + 950] = 1;
        blocks[kSongAddress] = size;
    }
};
PageIop* PageIop::current = nullptr;

class WorkletPlayerTest : public testing::Test {
protected:
    void SetUp() override
    {
        services = iop.services();
        player = std::make_unique<web::WorkletPlayer>(services, sink);
        ASSERT_TRUE(player->serve());
    }

    PageIop iop;
    IopServices services{};
    RecordingSink sink;
    std::unique_ptr<web::WorkletPlayer> player;
};

TEST_F(WorkletPlayerTest, HandsTheSongFromIopMemoryToTheWorklet)
{
    iop.putSong(1084 + 1024);
    EXPECT_EQ(iop.call(amigamod::kLoad, {kSongAddress}), 0);
    ASSERT_EQ(sink.song.size(), 1084u + 1024u);
    EXPECT_TRUE(std::equal(sink.song.begin(), sink.song.end(), iop.memory.begin() + kSongAddress));
    EXPECT_TRUE(iop.printed.empty());
}

TEST_F(WorkletPlayerTest, PassesPlayStopAndVolumeOnInOrder)
{
    iop.putSong(1084 + 1024);
    iop.call(amigamod::kInit);
    iop.call(amigamod::kLoad, {kSongAddress});
    EXPECT_EQ(iop.call(amigamod::kPlay, {0}), 0);
    iop.call(amigamod::kSetVolume, {16383});
    iop.call(amigamod::kSetVolume, {9000});
    // Beyond full volume is full volume, as on the module file.
    iop.call(amigamod::kSetVolume, {0xFFFF});
    iop.call(amigamod::kStop);
    iop.call(amigamod::kSetVolume, {0});
    EXPECT_EQ(sink.sent, (std::vector<std::string>{"stop", "load 2108", "play", "volume 16383", "volume 9000",
                                                   "volume 16383", "stop", "volume 0"}));
}

TEST_F(WorkletPlayerTest, RefusesToPlayWithoutASong)
{
    EXPECT_EQ(iop.call(amigamod::kPlay, {0}), -1);
    // Nothing in IOP memory at an address that no heap block starts: the header is unreadable past the end.
    EXPECT_EQ(iop.call(amigamod::kLoad, {static_cast<u32>(iop.memory.size()) - 16}), -1);
    EXPECT_EQ(iop.call(amigamod::kPlay, {0}), -1);
    ASSERT_EQ(iop.printed.size(), 1u);
    EXPECT_NE(iop.printed[0].find("not a module it can play"), std::string::npos);
    EXPECT_EQ(std::count(sink.sent.begin(), sink.sent.end(), "play"), 0);
}

TEST_F(WorkletPlayerTest, SaysWhenTheBlockHoldsLessThanTheSongNames)
{
    iop.putSong(1500);
    EXPECT_EQ(iop.call(amigamod::kLoad, {kSongAddress}), 0);
    EXPECT_EQ(sink.song.size(), 1500u);
    ASSERT_EQ(iop.printed.size(), 1u);
    EXPECT_NE(iop.printed[0].find("cut short: 1500 of the 2108 bytes"), std::string::npos);
}

TEST_F(WorkletPlayerTest, ReportsTheWorkletsPositionOnlyWithASong)
{
    EXPECT_EQ(iop.call(amigamod::kGetInfo, {}, 1), 0);
    iop.putSong(1084 + 1024);
    iop.call(amigamod::kLoad, {kSongAddress});
    EXPECT_EQ(iop.call(amigamod::kGetInfo, {}, 1), 3);
    EXPECT_EQ(iop.call(amigamod::kGetInfo, {}, 2), 7);
    EXPECT_EQ(iop.call(amigamod::kGetInfo, {}, 3), 12);
    EXPECT_EQ(iop.call(amigamod::kGetInfo, {}, 4), 6);
}

TEST_F(WorkletPlayerTest, QuitUnloadsAndUnknownFunctionsAreRefused)
{
    iop.putSong(1084 + 1024);
    iop.call(amigamod::kLoad, {kSongAddress});
    EXPECT_EQ(iop.call(0x777), -1);
    EXPECT_EQ(iop.printed, std::vector<std::string>{"AMIGAMOD: unknown function 0x777"});
    EXPECT_EQ(iop.call(amigamod::kBlock, {1, 2, 3}), 0);
    iop.call(amigamod::kQuit);
    EXPECT_EQ(iop.call(amigamod::kPlay, {0}), -1);
    player.reset();
    // Quit unloaded the song already; ending the player removes its server without a second unload.
    EXPECT_EQ(std::count(sink.sent.begin(), sink.sent.end(), "unload"), 1);
    EXPECT_EQ(iop.server, nullptr);
}

TEST(WorkletPlayerModule, StartsOncePerSinkAndStopsCleanly)
{
    PageIop iop;
    const IopServices services = iop.services();
    web::SetPlayerSink(nullptr);
    EXPECT_EQ(web::PlayerStart(&services, 0, nullptr), IRX_NO_RESIDENT_END);
    RecordingSink sink;
    web::SetPlayerSink(&sink);
    EXPECT_EQ(web::PlayerStart(&services, 0, nullptr), IRX_RESIDENT_END);
    EXPECT_EQ(web::PlayerStart(&services, 0, nullptr), IRX_NO_RESIDENT_END);
    EXPECT_NE(iop.server, nullptr);
    web::PlayerStop();
    EXPECT_EQ(iop.server, nullptr);
    web::SetPlayerSink(nullptr);
    EXPECT_EQ(iop.printed.front(), "AMIGAMOD: this page has no sound output for the player");
}

} // namespace
