#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "console/iop/iop.h"
#include "tests/support/temp_files.h"

namespace {

namespace fs = std::filesystem;

struct Messages : console::Log {
    void message(std::string_view text) override { lines.emplace_back(text); }
    std::vector<std::string> lines;
};

using testing_support::ReadFile;

// A fresh folder for the test with an empty "root" inside, the host directory the test serves.
fs::path FreshDirectory()
{
    const auto dir = testing_support::FreshDirectory();
    fs::create_directories(dir / "root");
    return dir;
}

void WriteFile(const fs::path& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

TEST(IopHeap, HandsOutFirstFitBlocksAndTakesThemBack)
{
    iop::Heap heap;
    const auto a = heap.allocate(100);
    const auto b = heap.allocate(204800);
    const auto c = heap.allocate(64);
    EXPECT_EQ(a, iop::Heap::kStart);
    EXPECT_EQ(b, a + 128); // rounded to 64 bytes
    EXPECT_EQ(c, b + 204800);
    EXPECT_EQ(heap.blockSize(a), 100u);
    EXPECT_EQ(heap.blockSize(a + 64), 0u);
    EXPECT_TRUE(heap.release(b));
    EXPECT_FALSE(heap.release(b));
    EXPECT_FALSE(heap.release(a + 4));
    // The gap left by b takes a block that fits, and nothing larger than the heap is given.
    EXPECT_EQ(heap.allocate(1000), b);
    EXPECT_EQ(heap.allocate(iop::Heap::kEnd - iop::Heap::kStart), 0u);
    EXPECT_EQ(heap.allocate(0), 0u);
}

TEST(IopHostDevice, ServesOnlyItsDirectory)
{
    const auto dir = FreshDirectory();
    const auto root = dir / "root";
    fs::create_directories(root / "sub");
    WriteFile(dir / "secret", "outside");
    fs::create_symlink(dir / "secret", root / "link");
    const auto canonical = fs::canonical(root);

    EXPECT_EQ(iop::ResolveHostPath(root, "/ROBOT.MOD"), canonical / "ROBOT.MOD");
    EXPECT_EQ(iop::ResolveHostPath(root, "ROBOT.MOD"), canonical / "ROBOT.MOD");
    EXPECT_EQ(iop::ResolveHostPath(root, "sub/../A.IRX"), canonical / "A.IRX");
    EXPECT_EQ(iop::ResolveHostPath(root, "../secret"), std::nullopt);
    EXPECT_EQ(iop::ResolveHostPath(root, "/sub/../../secret"), std::nullopt);
    EXPECT_EQ(iop::ResolveHostPath(root, "link"), std::nullopt);
    EXPECT_EQ(iop::ResolveHostPath(root, ""), std::nullopt);
}

TEST(IopFileService, OpensReadsWritesAndSeeksHostFiles)
{
    const auto dir = FreshDirectory();
    WriteFile(dir / "root" / "song", "0123456789");
    iop::FileService files;
    files.setHostDirectory(dir / "root");

    EXPECT_EQ(files.open("host:missing", 0x0001), iop::kNoEntry);
    EXPECT_EQ(files.open("host:../secret", 0x0001), iop::kAccess);
    EXPECT_EQ(files.open("cdrom0:SONG", 0x0001), iop::kNoDevice);
    EXPECT_EQ(files.read(7, {}), iop::kBadFile);

    const auto fd = files.open("host:/song", 0x0001);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(files.lseek(fd, 4, 0), 4);
    std::uint8_t bytes[16] = {};
    EXPECT_EQ(files.read(fd, {bytes, 3}), 3);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes), 3), "456");
    EXPECT_EQ(files.lseek(fd, 0, 1), 7);
    EXPECT_EQ(files.lseek(fd, 0, 2), 10);
    EXPECT_EQ(files.read(fd, {bytes, 16}), 0);
    EXPECT_EQ(files.lseek(fd, 0, 3), iop::kInvalid);
    EXPECT_EQ(files.close(fd), 0);
    EXPECT_EQ(files.close(fd), iop::kBadFile);

    // Write with create but without truncate: the bytes past what is written stay.
    const auto out = files.open("host:song", 0x0202);
    ASSERT_GE(out, 0);
    const std::uint8_t ab[] = {'a', 'b'};
    EXPECT_EQ(files.write(out, ab), 2);
    files.close(out);
    EXPECT_EQ(ReadFile(dir / "root" / "song"), "ab23456789");
    EXPECT_GE(files.open("host:new", 0x0202), 0);
    EXPECT_TRUE(fs::exists(dir / "root" / "new"));
}

TEST(IopFileService, HasThirtyTwoDescriptors)
{
    const auto dir = FreshDirectory();
    WriteFile(dir / "root" / "f", "x");
    iop::FileService files;
    files.setHostDirectory(dir / "root");
    for (int i = 0; i < iop::FileService::kMaxFiles; ++i) EXPECT_EQ(files.open("host:f", 1), i);
    EXPECT_EQ(files.open("host:f", 1), iop::kTooManyFiles);
    files.close(5);
    EXPECT_EQ(files.open("host:f", 1), 5);
}

TEST(IopSifDma, CopiesIntoIopMemoryAndRefusesWhatLeavesIt)
{
    Messages log;
    iop::Iop iop(log);
    const char song[] = "M.K.";
    const auto id = iop.sifDma(song, 0x100000, 4);
    EXPECT_NE(id, 0u);
    EXPECT_LT(iop.sifDmaStat(id), 0);
    EXPECT_EQ(std::memcmp(iop.memory(0x100000, 4), song, 4), 0);
    EXPECT_EQ(iop.sifDma(song, iop::kMemorySize - 2, 4), 0u);
    EXPECT_EQ(iop.memory(iop::kMemorySize - 2, 4), nullptr);
    EXPECT_EQ(iop.memory(0xFFFFFFF0, 0x20), nullptr);
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_EQ(log.lines[0], "IOP: SIF DMA of 4 bytes to 0x1ffffe leaves IOP memory; refused");
}

class IopModules : public testing::Test {
protected:
    IopModules() : iop(log)
    {
        const auto dir = FreshDirectory();
        fs::copy_file(fs::path(ORB_BINARY_DIR) / "test-host" / "ECHO.IRX", dir / "root" / "ECHO.IRX");
        WriteFile(dir / "root" / "BROKEN.IRX", std::string(4096, '\x5a'));
        iop.setHostDirectory(dir / "root");
    }

    Messages log;
    iop::Iop iop;
};

TEST_F(IopModules, LoadsRomModulesInTheOrderTheyNeedEachOther)
{
    EXPECT_LT(iop.loadModule("rom0:XPADMAN", {}), 0);
    EXPECT_FALSE(iop.libraryLoaded("padman"));
    EXPECT_GT(iop.loadModule("rom0:XSIO2MAN", {}), 0);
    EXPECT_GT(iop.loadModule("rom0:XPADMAN", {}), 0);
    EXPECT_TRUE(iop.libraryLoaded("padman"));
    EXPECT_EQ(iop.loadModule("rom0:NOSUCH", {}), iop::kNoEntry);
    EXPECT_EQ(iop.loadModule("mc0:LIBSD", {}), iop::kNoDevice);
}

TEST_F(IopModules, RefusesMissingBrokenAndUnlinkableHostModules)
{
    EXPECT_EQ(iop.loadModule("host:MISSING.IRX", {}), iop::kNoEntry);
    EXPECT_EQ(iop.loadModule("host:BROKEN.IRX", {}), iop::kNotModule);
    // ECHO imports LIBSD's library, which is not loaded yet.
    EXPECT_EQ(iop.loadModule("host:ECHO.IRX", {}), iop::kLinkError);
    EXPECT_FALSE(iop.serves(0x7E570001));
    ASSERT_EQ(log.lines.size(), 2u);
    EXPECT_TRUE(log.lines[0].starts_with("IOP: host:BROKEN.IRX is not a module: ")) << log.lines[0];
    EXPECT_EQ(log.lines[1], "IOP: host:ECHO.IRX needs libsd, which is not loaded");
}

TEST_F(IopModules, StartsAHostModuleThatServesCalls)
{
    ASSERT_GT(iop.loadModule("rom0:LIBSD", {}), 0);
    const char args[] = "one\0two";
    ASSERT_GT(iop.loadModule("host:ECHO.IRX", {args, sizeof args}), 0);
    ASSERT_TRUE(iop.serves(0x7E570001));
    EXPECT_EQ(log.lines, std::vector<std::string>{"ECHO: serving"});

    std::uint8_t request[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    std::uint8_t reply[20] = {};
    EXPECT_EQ(iop.call(0x7E570001, 0x42, true, request, reply), 0);
    s32 words[3];
    std::memcpy(words, reply, sizeof words);
    EXPECT_EQ(words[0], 0x42);
    EXPECT_EQ(words[1], 8);
    EXPECT_EQ(words[2], 3); // the path, then the two arguments
    EXPECT_EQ(std::memcmp(reply + 12, request, 8), 0);

    // A call that does not wait gets no reply.
    std::uint8_t untouched[12] = {};
    EXPECT_EQ(iop.call(0x7E570001, 0x43, false, request, untouched), 0);
    EXPECT_EQ(untouched[0], 0);
    EXPECT_LT(iop.call(0x7E570002, 0x42, true, request, reply), 0);
}

TEST(IopSound, IsSilentWithoutAStream)
{
    Messages log;
    iop::Iop iop(log);
    iop.startField();
    const auto field = iop.finishField();
    EXPECT_EQ(field.size(), 2 * iop::kFramesPerField);
    EXPECT_EQ(std::count(field.begin(), field.end(), 0), static_cast<long>(field.size()));
}

} // namespace
