#include "console/dump/gs_dump.h"

#include <algorithm>
#include <cstring>
#include <istream>
#include <ostream>

namespace console {
namespace {

constexpr char kMagic[8] = {'O', 'R', 'B', 'G', 'S', 'D', 'M', 'P'};
constexpr std::uint32_t kVersion = 1;
// Every GIF transfer comes from one DMA transfer, whose quadword count is 16 bits wide.
constexpr std::uint32_t kMaxGifQwords = 0xFFFF;

template <typename T>
void Put(std::ostream& out, T value)
{
    unsigned char bytes[sizeof(T)];
    for (std::size_t i = 0; i < sizeof(T); ++i) bytes[i] = static_cast<unsigned char>(value >> (8 * i));
    out.write(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

} // namespace

GsDumpWriter::GsDumpWriter(std::ostream& out) : out_(out)
{
    out_.write(kMagic, sizeof kMagic);
    Put<std::uint32_t>(out_, kVersion);
    Put<std::uint32_t>(out_, 0);
}

void GsDumpWriter::privilegedWrite(std::uint32_t offset, std::uint64_t value)
{
    Put<std::uint8_t>(out_, static_cast<std::uint8_t>(GsEvent::Kind::Privileged));
    Put<std::uint32_t>(out_, offset);
    Put<std::uint64_t>(out_, value);
}

void GsDumpWriter::crtMode(std::uint8_t interlace, std::uint8_t mode, std::uint8_t ffmd)
{
    Put<std::uint8_t>(out_, static_cast<std::uint8_t>(GsEvent::Kind::CrtMode));
    Put<std::uint8_t>(out_, interlace);
    Put<std::uint8_t>(out_, mode);
    Put<std::uint8_t>(out_, ffmd);
}

// Records a transfer in parts a reader accepts (the GIF keeps its place between them); skips empty ones.
void GsDumpWriter::gifTransfer(const gs::Qword* data, std::uint32_t count)
{
    while (count != 0) {
        const std::uint32_t part = std::min(count, kMaxGifQwords);
        Put<std::uint8_t>(out_, static_cast<std::uint8_t>(GsEvent::Kind::Gif));
        Put<std::uint32_t>(out_, part);
        for (std::uint32_t i = 0; i < part; ++i) {
            Put<std::uint64_t>(out_, data[i].lo);
            Put<std::uint64_t>(out_, data[i].hi);
        }
        data += part;
        count -= part;
    }
}

void GsDumpWriter::vblank() { Put<std::uint8_t>(out_, static_cast<std::uint8_t>(GsEvent::Kind::Vblank)); }

GsDumpReader::GsDumpReader(std::istream& in) : in_(in) {}

bool GsDumpReader::fail(const std::string& message)
{
    error_ = message;
    return false;
}

std::optional<GsEvent> GsDumpReader::next()
{
    if (!error_.empty()) return std::nullopt;
    // Reads n little-endian bytes; false at a dump cut short.
    auto get = [&](auto& value, const char* what) {
        unsigned char bytes[sizeof value];
        in_.read(reinterpret_cast<char*>(bytes), sizeof bytes);
        if (in_.gcount() != static_cast<std::streamsize>(sizeof bytes))
            return fail("GS dump is cut short in " + std::string(what) + " at byte " + std::to_string(offset_));
        value = 0;
        for (std::size_t i = 0; i < sizeof bytes; ++i)
            value |= static_cast<std::remove_reference_t<decltype(value)>>(bytes[i]) << (8 * i);
        offset_ += sizeof bytes;
        return true;
    };

    if (!headerRead_) {
        char magic[8];
        in_.read(magic, sizeof magic);
        if (in_.gcount() != sizeof magic || std::memcmp(magic, kMagic, sizeof magic) != 0) {
            fail("not a GS dump (the file does not start with \"ORBGSDMP\")");
            return std::nullopt;
        }
        offset_ = sizeof magic;
        std::uint32_t version = 0, flags = 0;
        if (!get(version, "the header") || !get(flags, "the header")) return std::nullopt;
        if (version != kVersion) {
            fail("GS dump version " + std::to_string(version) + " is not supported (this program reads " +
                 std::to_string(kVersion) + ")");
            return std::nullopt;
        }
        headerRead_ = true;
    }

    const int kind = in_.get();
    if (kind == std::char_traits<char>::eof()) return std::nullopt;
    const std::uint64_t recordStart = offset_++;
    GsEvent event;
    event.kind = static_cast<GsEvent::Kind>(kind);
    switch (event.kind) {
    case GsEvent::Kind::Privileged:
        if (!get(event.offset, "a register write") || !get(event.value, "a register write")) return std::nullopt;
        break;
    case GsEvent::Kind::CrtMode:
        if (!get(event.interlace, "a video mode") || !get(event.mode, "a video mode") ||
            !get(event.ffmd, "a video mode"))
            return std::nullopt;
        break;
    case GsEvent::Kind::Gif: {
        std::uint32_t count = 0;
        if (!get(count, "a GIF transfer")) return std::nullopt;
        if (count == 0 || count > kMaxGifQwords) {
            fail("GS dump has a GIF transfer of " + std::to_string(count) + " quadwords at byte " +
                 std::to_string(recordStart) + " (1 to 65535 allowed)");
            return std::nullopt;
        }
        event.data.resize(count);
        for (gs::Qword& q : event.data)
            if (!get(q.lo, "a GIF transfer") || !get(q.hi, "a GIF transfer")) return std::nullopt;
        break;
    }
    case GsEvent::Kind::Vblank:
        break;
    default:
        fail("GS dump has an unknown record kind " + std::to_string(kind) + " at byte " + std::to_string(recordStart));
        return std::nullopt;
    }
    return event;
}

std::vector<GsEvent> ReadGsDump(std::istream& in, std::string& error)
{
    GsDumpReader reader(in);
    std::vector<GsEvent> events;
    while (auto event = reader.next()) events.push_back(std::move(*event));
    error = reader.error();
    return events;
}

bool ReplayGsDump(std::istream& in, Host& host, std::string& error, std::uint64_t fieldLimit,
                  gs::Observer* observer)
{
    gs::Gs gs(host);
    gs.setObserver(observer);
    GsDumpReader reader(in);
    std::uint64_t fields = 0;
    while (auto event = reader.next()) {
        switch (event->kind) {
        case GsEvent::Kind::Privileged: gs.writePrivileged(event->offset, event->value); break;
        case GsEvent::Kind::CrtMode: gs.setCrtMode(event->interlace, event->mode, event->ffmd); break;
        case GsEvent::Kind::Gif:
            gs.transfer(event->data.data(), static_cast<std::uint32_t>(event->data.size()));
            break;
        case GsEvent::Kind::Vblank:
            gs.vblank();
            host.field(Field(fields++, gs));
            if (fieldLimit != 0 && fields >= fieldLimit) return true;
            break;
        }
    }
    error = reader.error();
    if (error.empty() && fields == 0) error = "the GS dump holds no fields (no vertical blank was recorded)";
    return error.empty();
}

} // namespace console
