#include <gtest/gtest.h>
#include <elf.h>
#include <link.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

#include "console/iop/iop.h"
#include "console/iop/module_file.h"
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

// A file service for the "root" folder of a fresh directory, with the log it writes to.
struct HostFolder {
    HostFolder() : dir(FreshDirectory()), once(log), files(once) { files.setHostDirectory(dir / "root"); }

    fs::path dir;
    Messages log;
    console::OnceLog once;
    iop::FileService files;
};

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
    HostFolder host;
    const auto& dir = host.dir;
    auto& files = host.files;
    WriteFile(dir / "root" / "song", "0123456789");

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
    HostFolder host;
    auto& files = host.files;
    WriteFile(host.dir / "root" / "f", "x");
    for (int i = 0; i < iop::FileService::kMaxFiles; ++i) EXPECT_EQ(files.open("host:f", 1), i);
    EXPECT_EQ(files.open("host:f", 1), iop::kTooManyFiles);
    files.close(5);
    EXPECT_EQ(files.open("host:f", 1), 5);
}

TEST(IopFileService, ServesRegularFilesOnlyAndSaysWhyItRefusesOthers)
{
    HostFolder host;
    const auto root = fs::canonical(host.dir / "root");
    ASSERT_EQ(::mkfifo((root / "fifo").c_str(), 0644), 0);
    fs::create_directory(root / "ROBOT.MOD");
    // A sparse file past what a 32-bit size can say, and one just inside it.
    std::ofstream(root / "huge", std::ios::binary).put('x');
    fs::resize_file(root / "huge", std::uintmax_t{3} << 30);
    std::ofstream(root / "largest", std::ios::binary).put('x');
    fs::resize_file(root / "largest", INT32_MAX);

    // No open may wait for a FIFO's other end, for reading or for writing.
    EXPECT_EQ(host.files.open("host:fifo", 0x0001), iop::kNotRegular);
    EXPECT_EQ(host.files.open("host:fifo", 0x0002), iop::kNotRegular);
    EXPECT_EQ(host.files.open("host:/ROBOT.MOD", 0x0001), iop::kIsDirectory);
    EXPECT_EQ(host.files.open("host:/ROBOT.MOD", 0x0002), iop::kIsDirectory);
    EXPECT_EQ(host.files.open("host:huge", 0x0001), iop::kTooLarge);
    EXPECT_EQ(host.files.open("host:missing", 0x0001), iop::kNoEntry);
    EXPECT_EQ(host.files.open("host:../x", 0x0001), iop::kAccess);
    EXPECT_EQ(host.log.lines,
              (std::vector<std::string>{
                  "IOP: cannot open host:fifo: " + (root / "fifo").string() + " is a FIFO, not a regular file",
                  "IOP: cannot open host:fifo: " + (root / "fifo").string() + " is a device or a FIFO, not a regular file",
                  "IOP: cannot open host:/ROBOT.MOD: " + (root / "ROBOT.MOD").string() + " is a directory, not a regular file",
                  "IOP: cannot open host:huge: " + (root / "huge").string() +
                      " holds 3221225472 bytes, more than an IOP file can (2147483647)",
                  "IOP: cannot open host:missing: " + (root / "missing").string() + " does not exist",
                  "IOP: cannot open host:../x: the name leaves the folder " + (host.dir / "root").string() +
                      " that host: serves"}));
    // Every refused open gave its descriptor back.
    const auto fd = host.files.open("host:largest", 0x0001);
    ASSERT_EQ(fd, 0);
    EXPECT_EQ(host.files.lseek(fd, 0, 2), INT32_MAX);
    fs::remove_all(host.dir);
}

TEST(IopFileService, NamesAMissingFolder)
{
    Messages log;
    console::OnceLog once(log);
    iop::FileService files(once);
    files.setHostDirectory("/nonexistent/orb-host");
    EXPECT_EQ(files.open("host:/ROBOT.MOD", 0x0001), iop::kNoEntry);
    EXPECT_EQ(files.open("host:NEW", 0x0202), iop::kNoEntry);
    EXPECT_EQ(log.lines, (std::vector<std::string>{
                             "IOP: cannot open host:/ROBOT.MOD: the folder /nonexistent/orb-host that host: serves "
                             "does not exist",
                             "IOP: cannot open host:NEW: the folder /nonexistent/orb-host that host: serves does not "
                             "exist"}));
    // A file given for the folder.
    HostFolder host;
    WriteFile(host.dir / "file", "x");
    host.files.setHostDirectory(host.dir / "file");
    EXPECT_EQ(host.files.open("host:/ROBOT.MOD", 0x0001), iop::kNoEntry);
    EXPECT_EQ(host.log.lines, std::vector<std::string>{"IOP: cannot open host:/ROBOT.MOD: the folder " +
                                                       (host.dir / "file").string() +
                                                       " that host: serves is not a folder"});
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
    ASSERT_EQ(log.lines.size(), 3u);
    EXPECT_EQ(log.lines[0], "IOP: cannot open host:MISSING.IRX: " +
                                (fs::canonical(iop.files().hostDirectory()) / "MISSING.IRX").string() +
                                " does not exist");
    EXPECT_EQ(log.lines[1], "IOP: host:BROKEN.IRX is not a module: it is not an ELF file");
    EXPECT_EQ(log.lines[2], "IOP: host:ECHO.IRX needs libsd, which is not loaded");
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

// The bytes of the loader tests' module, and the same module without its section headers, which the dynamic
// loader does without: cutting that one reaches its segments first.
std::string EchoModule() { return ReadFile(fs::path(ORB_BINARY_DIR) / "test-host" / "ECHO.IRX"); }

std::string WithoutSections(std::string module)
{
    ElfW(Ehdr) header;
    std::memcpy(&header, module.data(), sizeof header);
    header.e_shoff = 0;
    header.e_shnum = 0;
    header.e_shstrndx = 0;
    std::memcpy(module.data(), &header, sizeof header);
    return module;
}

std::string Fault(const std::string& bytes)
{
    return iop::ModuleFileFault({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
}

// Where the last of the module's loaded segments ends in the file.
std::size_t LoadedEnd(const std::string& module)
{
    ElfW(Ehdr) header;
    std::memcpy(&header, module.data(), sizeof header);
    std::size_t end = 0;
    for (unsigned n = 0; n < header.e_phnum; ++n) {
        ElfW(Phdr) segment;
        std::memcpy(&segment, module.data() + header.e_phoff + n * sizeof segment, sizeof segment);
        if (segment.p_type == PT_LOAD) end = std::max<std::size_t>(end, segment.p_offset + segment.p_filesz);
    }
    return end;
}

TEST(IopModuleFile, TakesWholeModulesAndRefusesCutOnes)
{
    const std::string module = EchoModule();
    ASSERT_GT(module.size(), 4096u);
    EXPECT_EQ(Fault(module), "");
    std::vector<std::size_t> cuts = {0, 1, 63, 64, 65, 200, 4000, module.size() - 1};
    for (std::size_t eighth = 1; eighth < 8; ++eighth) cuts.push_back(module.size() * eighth / 8);
    for (const std::size_t cut : cuts) EXPECT_NE(Fault(module.substr(0, cut)), "") << "cut at " << cut;
    EXPECT_EQ(Fault(module.substr(0, 10)), "it is shorter than an ELF header");
    EXPECT_EQ(Fault(module.substr(0, 100)), "its program headers lie outside the file");
    EXPECT_EQ(Fault(module.substr(0, 4000)), "its section headers lie outside the file");

    // Without section headers only the loaded part matters: any cut into it is refused, the unloaded tail
    // (its symbol table) may go.
    const std::string stripped = WithoutSections(module);
    const std::size_t loaded = LoadedEnd(stripped);
    ASSERT_GT(loaded, 4096u);
    EXPECT_EQ(Fault(stripped), "");
    EXPECT_EQ(Fault(stripped.substr(0, loaded)), "");
    for (const std::size_t cut : {std::size_t{1000}, std::size_t{2000}, loaded / 2, loaded * 3 / 4, loaded - 1})
        EXPECT_TRUE(Fault(stripped.substr(0, cut)).starts_with("segment ")) << "cut at " << cut;
}

TEST(IopModuleFile, RefusesOtherFilesAndDamagedHeaders)
{
    std::mt19937 random(11);
    for (const std::size_t size : {64u, 4096u, 20000u}) {
        std::string noise(size, '\0');
        for (char& c : noise) c = static_cast<char>(random());
        EXPECT_EQ(Fault(noise), "it is not an ELF file");
        // A good ELF header before noise: the headers it points at are noise.
        std::string headed = noise;
        const std::string module = EchoModule();
        std::copy_n(module.begin(), sizeof(ElfW(Ehdr)), headed.begin());
        EXPECT_NE(Fault(headed), "") << size;
    }
    const auto damaged = [](std::size_t offset, std::uint16_t value) {
        std::string module = EchoModule();
        std::memcpy(module.data() + offset, &value, sizeof value);
        return Fault(module);
    };
    EXPECT_EQ(damaged(offsetof(ElfW(Ehdr), e_machine), EM_MIPS), "it is an ELF file for another machine");
    EXPECT_EQ(damaged(offsetof(ElfW(Ehdr), e_type), ET_EXEC), "it is not a shared object");
    EXPECT_EQ(damaged(offsetof(ElfW(Ehdr), e_phentsize), 40), "its program headers lie outside the file");
    EXPECT_EQ(damaged(offsetof(ElfW(Ehdr), e_shstrndx), 0xFF00), "its section headers lie outside the file");
}

TEST_F(IopModules, RefusesCutAndRandomModuleFilesWithOneLineEach)
{
    ASSERT_GT(iop.loadModule("rom0:LIBSD", {}), 0);
    const std::string module = EchoModule();
    std::mt19937 random(5);
    std::string noise(module.size(), '\0');
    for (char& c : noise) c = static_cast<char>(random());
    const std::vector<std::string> files = {module.substr(0, 0), module.substr(0, 64), module.substr(0, 4000),
                                            module.substr(0, module.size() / 2), module.substr(0, module.size() - 1),
                                            WithoutSections(module).substr(0, LoadedEnd(module) * 3 / 4), noise};
    for (std::size_t n = 0; n < files.size(); ++n) {
        const std::string name = "CUT" + std::to_string(n) + ".IRX";
        WriteFile(iop.files().hostDirectory() / name, files[n]);
        log.lines.clear();
        EXPECT_EQ(iop.loadModule("host:" + name, {}), iop::kNotModule) << n;
        ASSERT_EQ(log.lines.size(), 1u) << n;
        EXPECT_TRUE(log.lines[0].starts_with("IOP: host:" + name + " is not a module: ")) << log.lines[0];
    }
    EXPECT_FALSE(iop.serves(0x7E570001));
    WriteFile(iop.files().hostDirectory() / "STRIPPED.IRX", WithoutSections(module));
    EXPECT_GT(iop.loadModule("host:STRIPPED.IRX", {}), 0);
    EXPECT_TRUE(iop.serves(0x7E570001));
}

TEST_F(IopModules, AModuleFileCutAfterLoadingLeavesTheModuleWhole)
{
    ASSERT_GT(iop.loadModule("rom0:LIBSD", {}), 0);
    ASSERT_GT(iop.loadModule("host:ECHO.IRX", {}), 0);
    // Pages mapped from a file that is cut would fault when next touched.
    fs::resize_file(iop.files().hostDirectory() / "ECHO.IRX", 0);
    std::uint8_t request[4] = {1, 2, 3, 4};
    std::uint8_t reply[16] = {};
    EXPECT_EQ(iop.call(0x7E570001, 0x42, true, request, reply), 0);
    EXPECT_EQ(std::memcmp(reply + 12, request, 4), 0);
}

TEST_F(IopModules, LoadsOnlyRegularFiles)
{
    const auto root = iop.files().hostDirectory();
    fs::create_directory(root / "DIR.IRX");
    ASSERT_EQ(::mkfifo((root / "FIFO.IRX").c_str(), 0644), 0);
    EXPECT_EQ(iop.loadModule("host:DIR.IRX", {}), iop::kIsDirectory);
    EXPECT_EQ(iop.loadModule("host:FIFO.IRX", {}), iop::kNotRegular);
    EXPECT_EQ(log.lines.size(), 2u);
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
