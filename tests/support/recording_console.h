#pragma once

#include <cstdint>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "console/clock.h"
#include "console/dump/gs_dump.h"
#include "console/machine.h"

namespace testing_support {

// One A+D register write or IMAGE payload as a test reads it back from a GIF transfer.
struct RegisterWrite {
    std::uint8_t reg = 0;
    std::uint64_t value = 0;
    bool operator==(const RegisterWrite&) const = default;
};

// One GIF transfer split into its tags and their data.
struct GifTransfer {
    std::uint32_t qwc = 0;                   // quadwords of the DMA transfer
    std::vector<gs::Qword> tags;             // every GIF tag, in order
    std::vector<RegisterWrite> writes;       // A+D writes of every PACKED tag, in order
    std::uint32_t imageQwords = 0;           // IMAGE data quadwords
};

// Splits a transfer into tags, A+D writes and IMAGE data; PACKED descriptors other than A+D count as
// their raw qword written to register 0xFF.
GifTransfer DecodeGifTransfer(const std::vector<gs::Qword>& data);

// One remote call as the IOP received it.
struct RpcCall {
    std::uint32_t serverId = 0;
    std::int32_t function = 0;
    bool wait = false;
    std::vector<std::uint8_t> sent;
};

// Everything the IOP receives, in order: remote calls, SIF DMA, heap blocks and module loads, as lines like
// "call 0x10 wait 16", "dma 0x100000 4096", "alloc 4096 -> 0x100000", "free 0x100000",
// "load rom0:LIBSD -> 1".
class IopRecord : public iop::Observer {
public:
    void rpcCall(std::uint32_t serverId, std::int32_t function, bool wait, std::span<const std::uint8_t> sent) override;
    void sifDma(std::uint32_t iopAddress, std::uint32_t size) override;
    void heapAlloc(std::uint32_t size, std::uint32_t address) override;
    void heapFree(std::uint32_t address) override;
    void moduleLoad(std::string_view path, std::int32_t result) override;

    std::vector<RpcCall> calls;
    std::vector<std::string> lines;
};

// A console on virtual time whose GS input is recorded in the dump format, for tests that check what
// the program sent, and whose IOP records what it receives. "host:" serves the build's host folder.
// Installs its machine for the test's lifetime.
class RecordingConsole : public console::Host {
public:
    RecordingConsole();
    ~RecordingConsole() override;

    console::Machine& machine() { return machine_; }
    gs::Gs& gs() { return machine_.gs(); }

    // Everything recorded since construction or the last clear().
    std::vector<console::GsEvent> events() const;
    // Only the GIF transfers, decoded.
    std::vector<GifTransfer> transfers() const;
    // Only the privileged register writes, as (offset, value).
    std::vector<std::pair<std::uint32_t, std::uint64_t>> privilegedWrites() const;
    // Every A+D write of every transfer, in order.
    std::vector<RegisterWrite> registerWrites() const;
    void clear();
    // Stops recording (long runs would keep every transfer in memory); clear() starts again.
    void stopRecording();

    std::uint64_t fields() const { return fields_; }
    IopRecord& iop() { return iop_; }
    const std::vector<std::string>& messages() const { return messages_; }

    void field(const console::Field&) override { ++fields_; }
    void message(std::string_view text) override { messages_.emplace_back(text); }

private:
    console::VirtualClock clock_;
    console::Machine machine_;
    std::ostringstream dump_;
    std::unique_ptr<console::GsDumpWriter> writer_;
    std::vector<std::string> messages_;
    IopRecord iop_;
    std::uint64_t fields_ = 0;
};

} // namespace testing_support
