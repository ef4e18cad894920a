#pragma once

#include <map>
#include <span>
#include <string>
#include <vector>

#include "iop/irx.h"

namespace iop_testing {

inline constexpr u32 kMemorySize = 2 * 1024 * 1024;
inline constexpr u32 kFieldFrames = 960;

// An IOP for one module file: opens it with dlopen and offers it 2 MiB of memory, RPC servers and a sound
// output, recording what the module does with them. One at a time: the services carry no context.
class FakeIop {
public:
    explicit FakeIop(const char* modulePath);
    ~FakeIop();
    FakeIop(const FakeIop&) = delete;
    FakeIop& operator=(const FakeIop&) = delete;

    int start();
    void stop();
    // Calls `function` of the music server; returns the first `replySize` bytes of its reply.
    std::vector<u8> call(s32 function, std::vector<u8> request, u32 replySize = 64);
    // Plays `fields` fields of the sound output (silence when none is set).
    std::vector<s16> play(u32 fields = 1);

    const char* const* imports = nullptr;
    std::vector<u8> memory;
    std::map<u32, u32> blocks; // heap blocks: address -> size
    std::map<u32, std::pair<IrxRpcFunction, void*>> servers;
    std::vector<std::string> printed;
    IrxSoundFill fill = nullptr;
    void* fillContext = nullptr;
    int outputCalls = 0;
    u32 readUpTo = 0; // the end of the furthest memory range the module was given

private:
    void* library_ = nullptr;
    int (*start_)(const IopServices*, int, char**) = nullptr;
    void (*stop_)() = nullptr;
    bool resident_ = false;
    IopServices services_{};
};

// Little-endian words as request bytes, and word `index` of a reply.
std::vector<u8> Words(std::initializer_list<u32> words);
s32 Word(const std::vector<u8>& reply, u32 index);
// Root mean square of one channel (0 left, 1 right) of interleaved stereo samples.
double Rms(std::span<const s16> samples, int channel);
bool Silent(std::span<const s16> samples);

} // namespace iop_testing
