#include "tests/support/recording_console.h"

#include <stdexcept>

namespace testing_support {

GifTransfer DecodeGifTransfer(const std::vector<gs::Qword>& data)
{
    GifTransfer t;
    t.qwc = static_cast<std::uint32_t>(data.size());
    std::size_t i = 0;
    while (i < data.size()) {
        const gs::Qword tag = data[i++];
        t.tags.push_back(tag);
        const std::uint32_t nloop = tag.lo & 0x7FFF;
        const std::uint32_t flg = (tag.lo >> 58) & 3;
        std::uint32_t nreg = (tag.lo >> 60) & 0xF;
        if (nreg == 0) nreg = 16;
        if (flg >= 2) {
            const std::size_t n = std::min<std::size_t>(nloop, data.size() - i);
            t.imageQwords += static_cast<std::uint32_t>(n);
            i += n;
        } else if (flg == 0) {
            for (std::uint32_t k = 0; k < nloop * nreg && i < data.size(); ++k, ++i) {
                const std::uint32_t descriptor = (tag.hi >> (4 * (k % nreg))) & 0xF;
                if (descriptor == 0xE)
                    t.writes.push_back({static_cast<std::uint8_t>(data[i].hi & 0xFF), data[i].lo});
                else
                    t.writes.push_back({0xFF, data[i].lo});
            }
        } else {
            throw std::runtime_error("REGLIST transfers are not decoded by the tests");
        }
    }
    return t;
}

void IopRecord::rpcCall(std::uint32_t serverId, std::int32_t function, bool wait, std::span<const std::uint8_t> sent)
{
    calls.push_back({serverId, function, wait, {sent.begin(), sent.end()}});
    lines.push_back("call " + console::Hex(static_cast<std::uint32_t>(function)) + (wait ? " wait " : " nowait ") +
                    std::to_string(sent.size()));
}

void IopRecord::sifDma(std::uint32_t iopAddress, std::uint32_t size)
{
    lines.push_back("dma " + console::Hex(iopAddress) + " " + std::to_string(size));
}

void IopRecord::heapAlloc(std::uint32_t size, std::uint32_t address)
{
    lines.push_back("alloc " + std::to_string(size) + " -> " + console::Hex(address));
}

void IopRecord::heapFree(std::uint32_t address) { lines.push_back("free " + console::Hex(address)); }

void IopRecord::moduleLoad(std::string_view path, std::int32_t result)
{
    lines.push_back("load " + std::string(path) + " -> " + std::to_string(result));
}

RecordingConsole::RecordingConsole() : machine_(*this, clock_)
{
    clear();
    machine_.iop().setObserver(&iop_);
    machine_.iop().setHostDirectory(ORB_BINARY_DIR "/host");
}

RecordingConsole::~RecordingConsole()
{
    machine_.gs().setObserver(nullptr);
    machine_.iop().setObserver(nullptr);
}

std::vector<console::GsEvent> RecordingConsole::events() const
{
    std::istringstream in(dump_.str());
    std::string error;
    auto events = console::ReadGsDump(in, error);
    if (!error.empty()) throw std::runtime_error(error);
    return events;
}

std::vector<GifTransfer> RecordingConsole::transfers() const
{
    std::vector<GifTransfer> out;
    for (const auto& e : events())
        if (e.kind == console::GsEvent::Kind::Gif) out.push_back(DecodeGifTransfer(e.data));
    return out;
}

std::vector<std::pair<std::uint32_t, std::uint64_t>> RecordingConsole::privilegedWrites() const
{
    std::vector<std::pair<std::uint32_t, std::uint64_t>> out;
    for (const auto& e : events())
        if (e.kind == console::GsEvent::Kind::Privileged) out.emplace_back(e.offset, e.value);
    return out;
}

std::vector<RegisterWrite> RecordingConsole::registerWrites() const
{
    std::vector<RegisterWrite> out;
    for (const auto& t : transfers()) out.insert(out.end(), t.writes.begin(), t.writes.end());
    return out;
}

void RecordingConsole::clear()
{
    dump_.str("");
    dump_.clear();
    // A fresh header, so the record reads back on its own.
    writer_ = std::make_unique<console::GsDumpWriter>(dump_);
    machine_.gs().setObserver(writer_.get());
}

void RecordingConsole::stopRecording()
{
    machine_.gs().setObserver(nullptr);
    writer_.reset();
    dump_.str("");
}

} // namespace testing_support
