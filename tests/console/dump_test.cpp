#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "console/dump/dump_file.h"
#include "console/dump/gs_dump.h"
#include "tests/support/temp_files.h"
#include "tests/console/gs_fixture.h"

namespace gs_test {
namespace {

// Keeps the pixels of every field.
class PictureHost final : public console::Host {
public:
    void field(const console::Field& field) override
    {
        console::Picture p;
        field.read(p);
        pictures.push_back(p.pixels);
    }
    void message(std::string_view) override {}

    std::vector<std::vector<u32>> pictures;
};

void Send(gs::Gs& g, const std::vector<Qword>& data) { g.transfer(data.data(), static_cast<u32>(data.size())); }

// Records three fields of a small scene drawn into the demo's display buffer, shown on `host`.
std::string RecordScene(PictureHost& host)
{
    std::ostringstream out;
    console::GsDumpWriter writer(out);
    gs::Gs g(host);
    g.setObserver(&writer);
    g.setCrtMode(0, 3, 1);
    g.writePrivileged(gs::CSR, gs::kCsrReset);
    g.writePrivileged(gs::PMODE, 0xff66);
    g.writePrivileged(gs::DISPFB2, 160 | 10 << 9);
    g.writePrivileged(gs::DISPLAY2, 0x001ff9ff01824290);
    Send(g, AdPacket({{gs::FRAME_1, 0xa00a0}, {gs::SCISSOR_1, 0x01ff0000027f0000ull}, {gs::ALPHA_1, 0x44}}));
    for (u32 field = 0; field < 3; ++field) {
        Send(g, AdPacket({{gs::PRIM, 0x4B}, {gs::RGBAQ, Rgba(255, 0, 0, 0x40)}, {gs::XYZ2, Xyz(10 + field * 50, 10)},
                          {gs::RGBAQ, Rgba(0, 255, 0, 0x80)}, {gs::XYZ2, Xyz(600, 40 + field * 30)},
                          {gs::RGBAQ, Rgba(0, 0, 255, 0x60)}, {gs::XYZ2, Xyz(100, 250)}}));
        g.vblank();
        host.field(console::Field(field, g));
    }
    return out.str();
}

// Replays `bytes` at most `limit` fields into `host`; returns the error, empty on success.
std::string Replay(const std::string& bytes, PictureHost& host, u32 limit = 0)
{
    std::istringstream in(bytes);
    std::string error;
    const bool ok = console::ReplayGsDump(in, host, error, limit);
    EXPECT_EQ(ok, error.empty()) << error;
    return error;
}

std::string Header() { return std::string("ORBGSDMP") + std::string("\1\0\0\0\0\0\0\0", 8); }

TEST(GsDump, ReplayShowsTheRecordedPicturesAndEventsReadBackAsWritten)
{
    PictureHost recorded, replayed, limited;
    const std::string dump = RecordScene(recorded);
    ASSERT_EQ(recorded.pictures.size(), 3u);
    EXPECT_NE(recorded.pictures[0], recorded.pictures[2]);
    EXPECT_EQ(Replay(dump, replayed), "");
    EXPECT_EQ(replayed.pictures, recorded.pictures);
    Replay(dump, limited, 2);
    EXPECT_EQ(limited.pictures.size(), 2u);

    std::istringstream in(dump);
    std::string error;
    const auto events = console::ReadGsDump(in, error);
    EXPECT_EQ(error, "");
    std::string kinds; // the record kinds as digits: 1 privileged, 2 video mode, 3 GIF, 4 blank
    for (const auto& e : events) kinds += static_cast<char>('0' + static_cast<int>(e.kind));
    ASSERT_EQ(kinds, "211113343434");
    EXPECT_EQ(std::pair(events[0].mode, events[0].ffmd), (std::pair<u8, u8>(3, 1)));
    EXPECT_EQ(events[1].offset, u32{gs::CSR});
    EXPECT_EQ(events[4].value, 0x001ff9ff01824290u);
    EXPECT_EQ(events[5].data.size(), 4u);
    EXPECT_EQ(events[5].data[1].lo, 0xa00a0u);
}

TEST(GsDump, EveryTruncationGivesOneErrorOrAShorterDump)
{
    PictureHost host;
    const std::string dump = RecordScene(host);
    int cutShort = 0;
    for (size_t length = 0; length < dump.size(); ++length) {
        PictureHost replayed;
        const std::string error = Replay(dump.substr(0, length), replayed);
        EXPECT_LE(replayed.pictures.size(), 3u);
        EXPECT_TRUE(length >= 16 || !error.empty()) << length;
        cutShort += error.find("cut short") != std::string::npos;
    }
    EXPECT_GT(cutShort, static_cast<int>(dump.size()) - 40);
}

TEST(GsDump, BrokenDumpsAreRefusedWithAClearError)
{
    const struct {
        std::string bytes, error;
    } cases[] = {
        {"", "not a GS dump"},
        {"ORBGSDMQ" + std::string(8, '\0'), "not a GS dump"},
        {std::string("ORBGSDMP") + std::string("\2\0\0\0\0\0\0\0", 8), "version 2"},
        {Header() + '\4' + '\x09', "unknown record kind 9 at byte 17"},
        {Header() + '\0', "unknown record kind 0"},
        {Header() + '\3' + std::string("\xFF\xFF\xFF\x7F", 4) + std::string(64, '\0'),
         "GIF transfer of 2147483647 quadwords"},
        {Header() + '\3' + std::string("\0\0\0\0", 4), "GIF transfer of 0 quadwords"},
        {Header() + '\1' + std::string(5, '\0'), "cut short in a register write"},
    };
    for (const auto& c : cases) {
        PictureHost host;
        const std::string error = Replay(c.bytes, host);
        EXPECT_NE(error.find(c.error), std::string::npos) << "got \"" << error << "\", wanted \"" << c.error << "\"";
    }
    // A dump with no blank in it shows nothing, and says so.
    PictureHost none;
    EXPECT_NE(Replay(Header() + '\1' + std::string(12, '\0'), none).find("holds no fields"), std::string::npos);
    // The fields before the fault were shown.
    PictureHost host;
    EXPECT_NE(Replay(Header() + '\4' + '\4' + '\x63', host), "");
    EXPECT_EQ(host.pictures.size(), 2u);
}

// A transfer longer than one DMA transfer can be (from a test or a tool driving the GS directly) and
// an empty one both give a dump that reads back.
TEST(GsDump, TransfersOfAnySizeRecordAsReadableRecords)
{
    std::vector<Qword> big{Tag(17500, kPacked, 4, 0xFFFF)};
    big.resize(70001, Qword{~0ull, ~0ull});
    big.push_back(Tag(1, kPacked, 1, 0xE));
    big.push_back(Ad(gs::LABEL, 77 | u64{0xFF} << 32));
    std::ostringstream out;
    {
        console::GsDumpWriter writer(out);
        MessageLog log;
        gs::Gs g(log);
        g.setObserver(&writer);
        g.transfer(big.data(), 0);
        Send(g, big);
        g.writePrivileged(gs::PMODE, 0xff66);
        EXPECT_EQ(g.readPrivileged(gs::SIGLBLID) >> 32, 77u);
    }
    std::istringstream in(out.str());
    std::string error;
    const auto events = console::ReadGsDump(in, error);
    ASSERT_EQ(error, "");
    size_t qwords = 0;
    for (const auto& e : events)
        if (e.kind == console::GsEvent::Kind::Gif) qwords += e.data.size();
    EXPECT_EQ(qwords, big.size());
    EXPECT_EQ(events.back().kind, console::GsEvent::Kind::Privileged);
}

// A compressed dump cut anywhere, even where a record ends, is damaged, never a shorter dump.
TEST(GsDump, ACompressedDumpCutShortIsDamaged)
{
    PictureHost host;
    const std::string dump = RecordScene(host);
    const auto dir = testing_support::FreshDirectory();
    const auto whole = (dir / "whole.gsdump.gz").string();
    console::DumpFileBuf writer;
    ASSERT_TRUE(writer.openForWriting(whole));
    writer.sputn(dump.data(), static_cast<std::streamsize>(dump.size()));
    ASSERT_TRUE(writer.close());
    const std::string packed = testing_support::ReadFile(whole);

    for (const std::size_t length : {packed.size() - 1, packed.size() - 8, packed.size() / 2, std::size_t{12}}) {
        const auto cut = (dir / "cut.gsdump.gz").string();
        std::ofstream(cut, std::ios::binary).write(packed.data(), static_cast<std::streamsize>(length));
        console::DumpFileBuf file;
        ASSERT_TRUE(file.openForReading(cut));
        std::istream in(&file);
        PictureHost replayed;
        std::string error;
        console::ReplayGsDump(in, replayed, error);
        EXPECT_FALSE(file.readError().empty()) << length;
    }
    console::DumpFileBuf file;
    ASSERT_TRUE(file.openForReading(whole));
    std::istream in(&file);
    PictureHost replayed;
    std::string error;
    EXPECT_TRUE(console::ReplayGsDump(in, replayed, error)) << error;
    EXPECT_EQ(file.readError(), "");
    EXPECT_EQ(replayed.pictures.size(), 3u);
}

} // namespace
} // namespace gs_test
