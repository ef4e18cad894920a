#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "console/gs/gs.h"
#include "console/host.h"

namespace console {

// One input of the GS as a dump holds it.
struct GsEvent {
    enum class Kind : std::uint8_t { Privileged = 1, CrtMode = 2, Gif = 3, Vblank = 4 };

    Kind kind = Kind::Vblank;
    std::uint32_t offset = 0;  // Privileged: register offset from 0x12000000
    std::uint64_t value = 0;   // Privileged: value written
    std::uint8_t interlace = 0, mode = 0, ffmd = 0; // CrtMode
    std::vector<gs::Qword> data; // Gif: the transfer's quadwords
};

// Writes every input of a GS to a stream in the dump format (docs/gs-dump.md).
class GsDumpWriter final : public gs::Observer {
public:
    explicit GsDumpWriter(std::ostream& out);

    void privilegedWrite(std::uint32_t offset, std::uint64_t value) override;
    void crtMode(std::uint8_t interlace, std::uint8_t mode, std::uint8_t ffmd) override;
    void gifTransfer(const gs::Qword* data, std::uint32_t count) override;
    void vblank() override;

private:
    std::ostream& out_;
};

// Reads a dump back one event at a time; a broken dump ends the reading with an error.
class GsDumpReader {
public:
    explicit GsDumpReader(std::istream& in);

    // The next event, or nothing at the end of the dump or at the first fault (see error()).
    std::optional<GsEvent> next();
    const std::string& error() const { return error_; }

private:
    bool fail(const std::string& message);

    std::istream& in_;
    std::uint64_t offset_ = 0;
    bool headerRead_ = false;
    std::string error_;
};

// Reads a whole dump into events; stops at the first fault, which goes to `error`.
std::vector<GsEvent> ReadGsDump(std::istream& in, std::string& error);

// Feeds a dump through a fresh GS and tells the host of every field, as the console did when the
// dump was made; `observer`, when given, sees the GS's inputs as it did. Returns false with `error` set
// when the dump is broken; the fields before the fault have been shown.
bool ReplayGsDump(std::istream& in, Host& host, std::string& error, std::uint64_t fieldLimit = 0,
                  gs::Observer* observer = nullptr);

} // namespace console
