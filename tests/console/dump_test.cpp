#include <sstream>
#include <string>
#include <vector>

#include "console/dump/gs_dump.h"
#include "tests/console/gs_fixture.h"

namespace gs_test {
namespace {

// Keeps the picture of every field.
class PictureHost final : public console::Host {
public:
    void field(const console::Field& field) override
    {
        console::Picture p;
        field.read(p);
        pictures.push_back(std::move(p));
    }
    void message(std::string_view text) override { messages.emplace_back(text); }

    std::vector<console::Picture> pictures;
    std::vector<std::string> messages;
};

void Send(gs::Gs& g, const std::vector<Qword>& data) { g.transfer(data.data(), static_cast<u32>(data.size())); }

// Three fields of a small scene drawn into the demo's display buffer, shown on `host` and recorded.
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
    Send(g, AdPacket()
                .add(gs::FRAME_1, 0xa00a0)
                .add(gs::SCISSOR_1, 0x01ff0000027f0000ull)
                .add(gs::ALPHA_1, 0x44)
                .build());
    for (u32 field = 0; field < 3; ++field) {
        Send(g, AdPacket()
                    .add(gs::PRIM, 0x4B)
                    .add(gs::RGBAQ, Rgba(255, 0, 0, 0x40)).add(gs::XYZ2, Xyz(10 + field * 50, 10))
                    .add(gs::RGBAQ, Rgba(0, 255, 0, 0x80)).add(gs::XYZ2, Xyz(600, 40 + field * 30))
                    .add(gs::RGBAQ, Rgba(0, 0, 255, 0x60)).add(gs::XYZ2, Xyz(100, 250))
                    .build());
        g.vblank();
        host.field(console::Field(field, g));
    }
    return out.str();
}

bool SamePictures(const std::vector<console::Picture>& a, const std::vector<console::Picture>& b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].width != b[i].width || a[i].height != b[i].height || a[i].pixels != b[i].pixels) return false;
    return true;
}

std::string Header() { return std::string("ORBGSDMP") + std::string("\1\0\0\0\0\0\0\0", 8); }

TEST(GsDump, ReplayShowsTheRecordedPictures)
{
    PictureHost recorded, replayed;
    const std::string dump = RecordScene(recorded);
    ASSERT_EQ(recorded.pictures.size(), 3u);
    EXPECT_NE(recorded.pictures[0].pixels, recorded.pictures[2].pixels);

    std::istringstream in(dump);
    std::string error;
    ASSERT_TRUE(console::ReplayGsDump(in, replayed, error)) << error;
    EXPECT_TRUE(SamePictures(replayed.pictures, recorded.pictures));

    std::istringstream again(dump);
    PictureHost limited;
    ASSERT_TRUE(console::ReplayGsDump(again, limited, error, 2));
    EXPECT_EQ(limited.pictures.size(), 2u);
}

TEST(GsDump, EventsReadBackAsWritten)
{
    PictureHost host;
    std::istringstream in(RecordScene(host));
    std::string error;
    const auto events = console::ReadGsDump(in, error);
    EXPECT_EQ(error, "");
    ASSERT_EQ(events.size(), 1u + 4 + 1 + 3 * 2);
    EXPECT_EQ(events[0].kind, console::GsEvent::Kind::CrtMode);
    EXPECT_EQ(events[0].mode, 3);
    EXPECT_EQ(events[0].ffmd, 1);
    EXPECT_EQ(events[1].kind, console::GsEvent::Kind::Privileged);
    EXPECT_EQ(events[1].offset, u32{gs::CSR});
    EXPECT_EQ(events[4].value, 0x001ff9ff01824290u);
    EXPECT_EQ(events[5].kind, console::GsEvent::Kind::Gif);
    EXPECT_EQ(events[5].data.size(), 4u);
    EXPECT_EQ(events[5].data[1].lo, 0xa00a0u);
    EXPECT_EQ(events[7].kind, console::GsEvent::Kind::Vblank);
}

TEST(GsDump, EveryTruncationGivesOneErrorOrAShorterDump)
{
    PictureHost host;
    const std::string dump = RecordScene(host);
    int cutShort = 0;
    for (size_t length = 0; length < dump.size(); ++length) {
        std::istringstream in(dump.substr(0, length));
        PictureHost replayed;
        std::string error;
        const bool ok = console::ReplayGsDump(in, replayed, error);
        EXPECT_EQ(ok, error.empty());
        EXPECT_LE(replayed.pictures.size(), 3u);
        if (length < 16) {
            EXPECT_FALSE(ok) << length;
        }
        if (error.find("cut short") != std::string::npos) ++cutShort;
    }
    EXPECT_GT(cutShort, static_cast<int>(dump.size()) - 40);
}

TEST(GsDump, BrokenDumpsAreRefusedWithAClearError)
{
    struct Case {
        std::string bytes;
        std::string error;
    };
    std::string oversized = Header() + '\3';
    oversized += std::string("\xFF\xFF\xFF\x7F", 4);
    oversized += std::string(64, '\0');
    const Case cases[] = {
        {"", "not a GS dump"},
        {"ORBGSDMQ" + std::string(8, '\0'), "not a GS dump"},
        {std::string("ORBGSDMP") + std::string("\2\0\0\0\0\0\0\0", 8), "version 2"},
        {Header() + '\4' + '\x09', "unknown record kind 9 at byte 17"},
        {Header() + '\0', "unknown record kind 0"},
        {oversized, "GIF transfer of 2147483647 quadwords"},
        {Header() + '\3' + std::string("\0\0\0\0", 4), "GIF transfer of 0 quadwords"},
        {Header() + '\1' + std::string(5, '\0'), "cut short in a register write"},
    };
    for (const Case& c : cases) {
        std::istringstream in(c.bytes);
        PictureHost host;
        std::string error;
        EXPECT_FALSE(console::ReplayGsDump(in, host, error));
        EXPECT_NE(error.find(c.error), std::string::npos) << "got \"" << error << "\", wanted \"" << c.error << "\"";
    }
    // The fields before the fault were shown.
    std::istringstream in(Header() + '\4' + '\4' + '\x63');
    PictureHost host;
    std::string error;
    EXPECT_FALSE(console::ReplayGsDump(in, host, error));
    EXPECT_EQ(host.pictures.size(), 2u);
}

TEST(GsDump, TransfersOfAnySizeRecordAsReadableRecords)
{
    // A transfer longer than one DMA transfer can be (here from a test or a tool driving the GS
    // directly) and an empty one both give a dump that reads back and replays the same.
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
        g.transfer(big.data(), static_cast<u32>(big.size()));
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

} // namespace
} // namespace gs_test
